// Saving the options record to a settings file (".fl", INI layout) and loading it back.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/GallerySettings.h"

namespace fotoloom {

// How the reader turns the value of a key into the record.
enum class SettingsValueKind {
  Text,           // stored as it is, through the record's rules
  Integer,        // a whole number (ParseIniInteger); the record clamps it
  YesNo,          // a whole number: 1 is yes, any other number no
  ColorValue,     // a name of the colour name table or a number (TextToColor)
  ThumbnailSize,  // a whole number: 120, 140, 160 pick a fixed choice, any other a size of its own
};

// One key line of the settings file; the template lines are not among them.
struct SettingsKey {
  std::string_view Section;  // "Step1", "Step2", "Step3" or "Step5"
  std::string_view Name;     // as the writer writes it ("Usefilter"); found in any letter case
  SettingsValueKind Kind;
  std::string_view Fallback;  // what a missing key reads as
  // The key's own reading and writing; use StoreSettingsValue and Write_settings_file.
  bool (*Read)(GallerySettings& settings, std::string_view value);
  std::string (*Write)(const GallerySettings& settings);
  // Whether --set takes the key (an optional key may have an option of its own instead).
  bool Settable = true;
};

// The key lines of the fixed sections, in the order written and read; --set
// takes each of them.
std::span<const SettingsKey> SettingsKeys();

// The keys of the optional sections after the templates ("[Update]"
// "OnlyChanged", "[Run]" "SkipBadPhotos", "[Privacy]" "StripLocation",
// "[Formats]" "OtherFormats", "[Albums]" "Enabled", "[Screens]"
// "Thumbnails2x", "WebP" and "Zip"), each written only when its option is on
// (keys of one section that are on under one header) and read as off when
// missing. They are not among SettingsKeys(); --set takes those that are
// Settable.
std::span<const SettingsKey> OptionalSettingsKeys();

// The key named name in any letter case, or nullptr: one of SettingsKeys(),
// or a Settable one of OptionalSettingsKeys() by its command name
// (SettingsKeyCommandName: "StripLocation", or for an "Enabled" switch its
// section's, "Albums").
const SettingsKey* FindSettingsKey(std::string_view name);

// The name FindSettingsKey finds key by: its own, or for an "Enabled" switch
// its section's ("Albums").
std::string_view SettingsKeyCommandName(const SettingsKey& key);

// Stores value, the value of key's line after the reading rules (trimmed,
// enclosing quotes dropped), into settings through the record's setters,
// exactly as loading a file with that line does. Returns false and stores
// nothing when the reader does not take the value: for an integer, yes/no
// or thumbnail-size key a value that is not a whole number (the loader then
// uses the key's fallback), for a colour one that is neither a name nor a
// number (the loader then stops). A text value is always taken.
bool StoreSettingsValue(const SettingsKey& key, std::string_view value, GallerySettings& settings);

// Writes every field but ElementsMode to path, replacing the file: fixed
// sections and keys in a fixed order, colours as colour text, template lines
// as "Line<i>=d<line>", then the sections of their own of the options that
// are on ("[Update]", "[Formats]"), CR LF line ends, no byte-order mark. Raises
// "Cannot create file ..." when the file cannot be written; the record is
// never changed.
void Write_settings_file(const std::string& path, const GallerySettings& settings);

// Loads path into settings through the record's setters, so every value rule
// of the record applies. A key missing from the file gives its fixed
// fallback; a missing or unreadable file is no error (every field takes its
// fallback and both templates become empty). afterColors, when set, runs once
// right after the four colours are stored (the wizard renews its preview).
// A colour that is neither a known name nor a number raises "'<text>' is not
// a valid integer value" and stops the load there: what was stored before it
// keeps its new value, the rest keeps its old one. ElementsMode is never touched.
// Returns whether the file held any key the reader knows (a key line of its
// sections, or a template line); false for a missing, empty or binary file,
// or one in another encoding (UTF-16), whose loading gave only fallbacks.
bool Read_settings_file(const std::string& path, GallerySettings& settings,
                        const std::function<void()>& afterColors = {});

// The warning for a settings file of which no known key could be read, naming it.
std::string NoSettingsReadWarning(const std::string& path);

}  // namespace fotoloom
