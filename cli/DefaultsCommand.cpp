// fotoloom-cli defaults: a settings file with the start-up values, optionally another built-in template set.
#include "cli/Commands.h"
#include "cli/SettingOverrides.h"
#include "core/SettingsFile.h"
#include "core/TemplateSets.h"

namespace fotoloom::cli {

int DefaultsCommand(const CliCommand& cmd) {
  GallerySettings startUp;
  if (cmd.TemplateSet) UseTemplateSet(startUp, *cmd.TemplateSet);
  ApplySettingOverrides(cmd.Settings, startUp);
  Write_settings_file(cmd.OutFile, startUp);
  return kExitDone;
}

}  // namespace fotoloom::cli
