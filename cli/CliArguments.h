// The command line of fotoloom-cli: what the user asked for, checked before anything is done.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fotoloom::cli {

// A command line that cannot be followed; the message says why.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One --set KEY=VALUE, checked: the key as the settings file writes it and
// the value as its reader takes it.
struct SettingOverride {
  std::string Key;
  std::string Value;
};

enum class CommandKind { Help, Version, Run, Defaults, Resave, Resample };

struct CliCommand {
  CommandKind Kind = CommandKind::Help;

  // run
  std::string SettingsFile;  // empty: the start-up values
  std::optional<std::string> Input;
  std::optional<std::string> Output;
  std::optional<int> Elements;  // 0, 1 or 2
  std::optional<int> Jobs;      // at least 1
  bool Yes = false;
  bool Open = false;
  bool Quiet = false;
  bool DryRun = false;
  bool Update = false;         // only what changed since the last update (the settings' OnlyChanged)
  bool SkipBadPhotos = false;  // leave out photos that cannot be read (the settings' SkipBadPhotos)
  bool Albums = false;         // subfolders as albums (the settings' [Albums] Enabled)

  // run, defaults and resave: every --set in the order given
  std::vector<SettingOverride> Settings;

  // defaults: the index of the template set of --templates (see TemplateSets)
  std::optional<std::size_t> TemplateSet;

  // defaults, resave and resample: the files named
  std::string InFile;
  std::string OutFile;

  // resample
  int Filter = -1;
  int Width = 0;
  int Height = 0;
};

// Reads the words after the program name. Options may be given as
// "--name value" or "--name=value", before or after the file names.
// Raises UsageError for an unknown command or option, a missing or extra
// file name, and a value out of its range.
CliCommand ParseArguments(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();

}  // namespace fotoloom::cli
