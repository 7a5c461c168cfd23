// The INI reading rules of the settings files, written out by hand.
#include "core/IniFile.h"

#include <cstdint>

#include "core/TextFile.h"

namespace fotoloom {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

IniFile::IniFile(std::string_view text) {
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;

    const std::string_view trimmed = Trim(line);
    if (!trimmed.empty() && trimmed.front() == '[') {
      std::string_view name = trimmed.substr(1);
      name = name.substr(0, name.find(']'));
      sections_.push_back(Section{std::string(Trim(name)), {}});
      current = &sections_.back();
      continue;
    }
    const std::size_t eq = line.find('=');
    if (current == nullptr || eq == std::string_view::npos) continue;
    current->Entries.push_back(Entry{std::string(Trim(line.substr(0, eq))), IniValueText(line.substr(eq + 1))});
  }
}

IniFile IniFile::Load(const std::string& path) {
  // Anything but a regular file (a FIFO, /dev/zero, a terminal, a folder)
  // reads as no file at all rather than blocking or filling the memory.
  const std::optional<std::string> text = ReadRegularFile(path, LinkAtPath::Follow);
  return text ? IniFile(*text) : IniFile();
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
  for (const Section& s : sections_)
    if (IniNamesMatch(s.Name, section)) return &s;
  return nullptr;
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
  if (const Section* s = Find(section))
    for (const Entry& e : s->Entries)
      if (IniNamesMatch(e.Key, key)) return e.Value;
  return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
  std::optional<std::string> v = Value(section, key);
  return v ? std::move(*v) : fallback;
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::optional<std::string> v = Value(section, key);
  if (!v) return fallback;
  return ParseIniInteger(*v).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) == 1;
}

std::vector<IniFile::Entry> IniFile::SectionEntries(std::string_view section) const {
  const Section* s = Find(section);
  return s ? s->Entries : std::vector<Entry>{};
}

bool IniNamesMatch(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::string IniValueText(std::string_view raw) {
  std::string_view v = Trim(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::optional<bool> ParseIniYesNoWord(std::string_view text) {
  if (IniNamesMatch(text, "yes")) return true;
  if (IniNamesMatch(text, "no")) return false;
  return std::nullopt;
}

std::optional<int> ParseIniInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::int64_t magnitude = 0;
  if (text.starts_with('$') || text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(text.front() == '$' ? 1 : 2);
    if (text.empty()) return std::nullopt;
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    if (text.size() > 8) return std::nullopt;
    std::uint32_t bits = 0;
    for (char c : text) {
      const int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      bits = (bits << 4) | std::uint32_t(d);
    }
    const auto value = static_cast<std::int32_t>(bits);
    return negative ? static_cast<int>(0u - static_cast<std::uint32_t>(value)) : value;
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > 2147483648LL) return std::nullopt;
  }
  if (negative) magnitude = -magnitude;
  if (magnitude > 2147483647LL) return std::nullopt;
  return static_cast<int>(magnitude);
}

}  // namespace fotoloom
