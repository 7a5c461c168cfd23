// fotoloom-cli run: a generation run from a settings file and options, with progress on stderr.
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "cli/Commands.h"
#include "cli/ConsoleDesktop.h"
#include "cli/ConsoleView.h"
#include "cli/InputFile.h"
#include "core/SettingsFile.h"
#include "run/GenerationRun.h"
#include "run/OutputFolder.h"

namespace fotoloom::cli {

int RunCommand(const CliCommand& cmd) {
  GallerySettings settings;
  if (!cmd.SettingsFile.empty()) {
    // Loading a missing file would quietly give empty templates; a file named
    // on the command line must be there.
    RequireReadableFile(cmd.SettingsFile);
    Read_settings_file(cmd.SettingsFile, settings);
  }
  if (cmd.Input) settings.SetInputPath(*cmd.Input);
  if (cmd.Output) settings.SetOutputPath(*cmd.Output);
  if (cmd.Elements) settings.SetElementsMode(*cmd.Elements);
  // Opening the browser is --open's job here, not the settings'.
  settings.SetAutoBrowserStart(false);

  ConsoleDesktop desktop(stderr, cmd.Yes, cmd.Quiet);
  ConsoleView view(stderr, ::isatty(STDERR_FILENO) == 1, cmd.Quiet);
  GenerationRun run(settings, desktop, view);
  if (cmd.Jobs) run.Jobs = *cmd.Jobs;
  desktop.OnInterrupt = [&run] { run.Cancel(); };
  CatchInterrupt();

  RunOutcome outcome = RunOutcome::NotStarted;
  try {
    outcome = run.Start();
  } catch (const std::exception& e) {
    view.Finish();
    if (!run.FailedImage().empty()) std::fprintf(stderr, "%s:\n", run.FailedImage().c_str());
    std::fprintf(stderr, "%s\n", e.what());
    return Interrupted() ? kExitInterrupted : kExitFailed;
  }
  view.Finish();
  if (Interrupted()) {
    if (!cmd.Quiet) std::fprintf(stderr, "Interrupted; what was written stays.\n");
    return kExitInterrupted;
  }
  if (outcome != RunOutcome::Finished) return kExitFailed;
  if (!cmd.Quiet) std::fprintf(stderr, "First page: %s\n", First_page_path(settings).c_str());
  if (cmd.Open) Open_first_page(settings, desktop);
  return kExitDone;
}

}  // namespace fotoloom::cli
