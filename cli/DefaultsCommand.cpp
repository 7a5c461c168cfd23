// fotoloom-cli defaults: a settings file with the start-up values.
#include "cli/Commands.h"
#include "cli/SettingOverrides.h"
#include "core/SettingsFile.h"

namespace fotoloom::cli {

int DefaultsCommand(const CliCommand& cmd) {
  GallerySettings startUp;
  ApplySettingOverrides(cmd.Settings, startUp);
  Write_settings_file(cmd.OutFile, startUp);
  return kExitDone;
}

}  // namespace fotoloom::cli
