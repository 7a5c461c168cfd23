// fotoloom-cli resave: a settings file read and written again as the program understands it.

#include "cli/Commands.h"
#include "cli/InputFile.h"
#include "cli/SettingOverrides.h"
#include "core/SettingsFile.h"

namespace fotoloom::cli {

int ResaveCommand(const CliCommand& cmd) {
  // Reading a missing file is no error for the loader; here it would write
  // a file of fallbacks that nobody asked for.
  GallerySettings settings;
  LoadSettingsFile(cmd.InFile, settings);
  ApplySettingOverrides(cmd.Settings, settings);
  Write_settings_file(cmd.OutFile, settings);
  return kExitDone;
}

}  // namespace fotoloom::cli
