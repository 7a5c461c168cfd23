// --set KEY=VALUE, checked against the settings file reader's own rules.
#include "cli/SettingOverrides.h"

#include <cctype>
#include <vector>

#include "core/IniFile.h"
#include "core/SettingsCheck.h"
#include "core/SettingsFile.h"

namespace fotoloom::cli {
namespace {

// "Line0", "line12", ...: the key lines of a template section.
bool IsTemplateLine(std::string_view key) {
  if (key.size() <= 4 || !IniNamesMatch(key.substr(0, 4), "Line")) return false;
  for (char c : key.substr(4))
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// What a value of the kind must be, for the message of a value not taken.
std::string_view Expected(SettingsValueKind kind) {
  switch (kind) {
    case SettingsValueKind::YesNo: return "is not yes, no or a whole number (1 is yes)";
    case SettingsValueKind::ColorValue: return "is neither a colour name nor a number";
    default: return "is not a whole number";
  }
}

}  // namespace

SettingOverride ParseSettingOverride(const std::string& word) {
  const std::size_t eq = word.find('=');
  if (eq == std::string::npos) throw UsageError("--set needs KEY=VALUE, not '" + word + "'");
  // The reader trims keys as it trims values, but drops no quotes from them.
  std::string name = word.substr(0, eq);
  name.erase(0, name.find_first_not_of(" \t"));
  name.erase(name.find_last_not_of(" \t") + 1);
  const std::string raw = word.substr(eq + 1);
  const std::string where = "--set " + word + ": ";
  const SettingsKey* key = FindSettingsKey(name);
  if (key == nullptr) {
    if (IsTemplateLine(name) || IniNamesMatch(name, "HTMLThumbnails") || IniNamesMatch(name, "HTMLImages"))
      throw UsageError(where + "the template lines cannot be set on the command line; use a settings file");
    throw UsageError(where + "'" + name + "' is not a key of the settings file");
  }
  if (raw.find_first_of("\r\n") != std::string::npos)
    throw UsageError(where + "a settings file value cannot hold a line break");
  std::string value = IniValueText(raw);
  // The reader takes numbers for yes/no keys: the words become 1 and 0.
  if (key->Kind == SettingsValueKind::YesNo)
    if (const std::optional<bool> yes = ParseIniYesNoWord(value)) value = *yes ? "1" : "0";
  // Stored into a scratch record: whether the reader takes it does not
  // depend on what the record held.
  GallerySettings scratch;
  if (!StoreSettingsValue(*key, value, scratch))
    throw UsageError(where + "'" + IniValueText(raw) + "' " + std::string(Expected(key->Kind)));
  // The numbers a run converts must be whole numbers in their range here;
  // a settings file would give the run a value it refuses later.
  if (const RunNumber* number = FindRunNumber(key->Name)) {
    if (const std::optional<ValueFault> fault = CheckRunNumber(*number, value)) {
      const std::string reason = fault->Kind == ValueFaultKind::NotANumber
                                     ? std::string(Expected(SettingsValueKind::Integer))
                                     : WholeNumberReason(*fault);
      throw UsageError(where + "'" + value + "' " + reason);
    }
  }
  // A page name or extension that leads out of the output folder.
  if (const std::optional<ValueFault> fault = CheckPageNames(scratch); fault && fault->Key == key->Name)
    throw UsageError(where + "'" + value + "' cannot be used in page names: " + std::string(fault->Reason));
  return {std::string(SettingsKeyCommandName(*key)), value};
}

void ApplySettingOverrides(const std::vector<SettingOverride>& overrides, GallerySettings& settings) {
  for (const SettingOverride& o : overrides)
    if (const SettingsKey* key = FindSettingsKey(o.Key)) StoreSettingsValue(*key, o.Value, settings);
}

std::string SettingsKeysHelp() {
  struct Group {
    SettingsValueKind kind;
    const char* title;
  };
  const Group groups[] = {
      {SettingsValueKind::Text, "text"},
      {SettingsValueKind::Integer, "whole numbers (decimal, or hex after $ or 0x)"},
      {SettingsValueKind::ThumbnailSize, "thumbnail size (120, 140, 160 or any other)"},
      {SettingsValueKind::YesNo, "yes/no (yes or 1, no or 0)"},
      {SettingsValueKind::ColorValue, "colours (a name such as clBlack, or $00BBGGRR)"},
  };
  // The keys of the fixed sections, then the optional switches --set takes.
  std::vector<const SettingsKey*> keys;
  for (const SettingsKey& key : SettingsKeys()) keys.push_back(&key);
  for (const SettingsKey& key : OptionalSettingsKeys())
    if (key.Settable) keys.push_back(&key);
  std::string text;
  for (const Group& g : groups) {
    std::string line = "    " + std::string(g.title) + ":";
    for (const SettingsKey* key : keys) {
      if (key->Kind != g.kind) continue;
      const std::string name(SettingsKeyCommandName(*key));
      if (line.size() + 1 + name.size() > 78) {
        text += line + "\n";
        line = "     ";
      }
      line += " " + name;
    }
    text += line + "\n";
  }
  return text;
}

}  // namespace fotoloom::cli
