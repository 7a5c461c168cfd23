// fotoloom-cli run: a generation run from a settings file and options, with progress on stderr.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "cli/Commands.h"
#include "cli/ConsoleDesktop.h"
#include "cli/ConsoleView.h"
#include "cli/DryRunReport.h"
#include "cli/InputFile.h"
#include "cli/SettingOverrides.h"
#include "core/SettingsCheck.h"
#include "run/GenerationRun.h"
#include "run/OutputFolder.h"
#include "run/RunSummary.h"

namespace fotoloom::cli {
namespace {

// The settings of the run: the file, then --set, then the other options.
void LoadSettings(const CliCommand& cmd, GallerySettings& settings) {
  if (!cmd.SettingsFile.empty()) LoadSettingsFile(cmd.SettingsFile, settings);
  ApplySettingOverrides(cmd.Settings, settings);
  if (cmd.Input) settings.SetInputPath(*cmd.Input);
  if (cmd.Output) settings.SetOutputPath(*cmd.Output);
  if (cmd.Elements) settings.SetElementsMode(*cmd.Elements);
  if (cmd.Update) settings.SetUpdateOnlyChanged(true);
  if (cmd.Albums) settings.SetIncludeSubfolders(true);
  if (cmd.SkipBadPhotos) settings.SetSkipBadPhotos(true);
  // Opening the browser is --open's job here, not the settings'.
  settings.SetAutoBrowserStart(false);
  // A page name that would lead out of the output folder is refused before
  // anything is written, wherever it came from.
  if (const std::optional<ValueFault> fault = CheckPageNames(settings)) throw UsageError(RunFaultMessage(*fault));
}

// As the wizard does not go on before both folders are filled in, a run
// without one is a usage error that says how to give it.
void RequireFolders(const GallerySettings& settings) {
  const bool noInput = settings.InputPath().empty();
  const bool noOutput = settings.OutputPath().empty();
  if (noInput && noOutput)
    throw UsageError(
        "no input and no output folder given: give --input DIR and --output DIR, or the settings file keys "
        "InputPath and OutputPath");
  if (noInput) throw UsageError("no input folder given: give --input DIR, or the settings file key InputPath");
  if (noOutput) throw UsageError("no output folder given: give --output DIR, or the settings file key OutputPath");
}

// The terminal's width in columns, 0 when it does not say.
int TerminalColumns(int fd) {
  struct winsize size {};
  return ::ioctl(fd, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

// Prints the plan on stdout; a photo the run would stop at fails the dry run.
int ReportPlan(const RunPlan& plan, const GallerySettings& settings) {
  std::fputs(DryRunReport(plan, settings).c_str(), stdout);
  std::fflush(stdout);
  for (const PlannedPhoto& photo : plan.Photos)
    if (!photo.Problem.empty()) {
      std::fprintf(stderr, "The run would stop at this photo:\n%s:\n%s\n", photo.Path.c_str(), photo.Problem.c_str());
      return kExitFailed;
    }
  return kExitDone;
}

}  // namespace

int RunCommand(const CliCommand& cmd) {
  GallerySettings settings;
  LoadSettings(cmd, settings);
  RequireFolders(settings);

  ConsoleDesktop desktop(stderr, cmd.Yes, cmd.Quiet);
  const bool terminal = ::isatty(STDERR_FILENO) == 1;
  ConsoleView view(stderr, terminal, cmd.Quiet);
  if (terminal) view.SetColumns(TerminalColumns(STDERR_FILENO));
  GenerationRun run(settings, desktop, view);
  if (cmd.Jobs) run.Jobs = *cmd.Jobs;
  desktop.OnInterrupt = [&run] { run.Cancel(); };
  CatchInterrupt();

  RunPlan plan;
  RunOutcome outcome = RunOutcome::NotStarted;
  try {
    outcome = cmd.DryRun ? run.Plan(plan) : run.Start();
  } catch (const std::exception& e) {
    view.Finish();
    if (!run.FailedImage().empty()) std::fprintf(stderr, "%s:\n", run.FailedImage().c_str());
    std::fprintf(stderr, "%s\n", e.what());
    return Interrupted() ? kExitInterrupted : kExitFailed;
  }
  view.Finish();
  if (Interrupted()) {
    if (!cmd.Quiet) std::fputs(cmd.DryRun ? "Interrupted.\n" : "Interrupted; what was written stays.\n", stderr);
    return kExitInterrupted;
  }
  if (outcome != RunOutcome::Finished) return kExitFailed;
  if (cmd.DryRun) return ReportPlan(plan, settings);
  if (!cmd.Quiet) {
    // The same line as the wizard's finish page, then where the gallery starts.
    std::fprintf(stderr, "%s\n", RunSummaryText(SummaryOf(run)).c_str());
    std::fprintf(stderr, "First page: %s\n", First_page_path(settings).c_str());
  }
  if (cmd.Open) Open_first_page(settings, desktop);
  return kExitDone;
}

}  // namespace fotoloom::cli
