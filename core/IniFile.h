// Reading values by section and key from text of INI layout.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fotoloom {

// The reading rules of our settings files:
// - a section runs from its "[name]" line to the next section line; section
//   names and keys match without regard to ASCII letter case; of two sections
//   with one name only the first is read, and of two equal keys the first;
// - a key line is the key, "=", and the value: everything after the first "="
//   with blanks and tabs removed at both ends, then one pair of enclosing
//   quotes (both '"' or both '\'') dropped;
// - lines before the first section, blank lines and lines without "=" carry
//   no key. Lines may end in CR LF, LF or CR. There is no length limit.
class IniFile {
 public:
  struct Entry {
    std::string Key;    // trimmed
    std::string Value;  // after the rules above
  };

  // Parses the text of a whole file.
  explicit IniFile(std::string_view text = {});

  // Reads the file at path; a missing or unreadable file, or anything that
  // is not a regular file (a folder, a FIFO, a device), gives an empty IniFile.
  static IniFile Load(const std::string& path);

  // The value of a key, or nothing when the key is absent.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // A present key yields its value, also an empty one; a missing key yields fallback.
  std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;

  // The value read by ParseIniInteger; fallback when the key is missing or the
  // value is not a whole number (also when it is empty).
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;

  // True exactly when the integer read is 1 ("2" and "-1" are false).
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Every key line of the section in file order; empty when the section is absent.
  std::vector<Entry> SectionEntries(std::string_view section) const;

 private:
  struct Section {
    std::string Name;
    std::vector<Entry> Entries;
  };
  const Section* Find(std::string_view section) const;

  std::vector<Section> sections_;
};

// Whether two section names or keys are the same one: equal but for ASCII letter case.
bool IniNamesMatch(std::string_view a, std::string_view b);

// The value of a key line whose text after the first "=" is raw: blanks and
// tabs removed at both ends, then one pair of enclosing quotes dropped.
std::string IniValueText(std::string_view raw);

// A whole number as the settings file holds it: an optional "+" or "-", then
// decimal digits, or hexadecimal digits after "0x", "0X" or "$" (up to eight,
// taken as the 32 bits of the number, so "$FFFFFFFF" is -1). Nothing when the
// text is not such a number or a decimal one does not fit in 32 bits.
std::optional<int> ParseIniInteger(std::string_view text);

// The words "yes" (true) and "no" (false) in any letter case, as a settings
// file's yes/no switches and --set may spell them. Nothing for any other
// text; numbers are ParseIniInteger's.
std::optional<bool> ParseIniYesNoWord(std::string_view text);

}  // namespace fotoloom
