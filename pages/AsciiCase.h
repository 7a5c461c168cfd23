// ASCII-only letter case folding and search, as the template language compares texts.
#pragma once

#include <cstddef>
#include <string_view>

namespace fotoloom {

// Lowers A-Z only; every other byte (including 8-bit ones) is left as it is.
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when text holds part at pos, letters compared without regard to ASCII case.
constexpr bool MatchesIgnoreCaseAt(std::string_view text, std::size_t pos, std::string_view part) {
  if (pos > text.size() || text.size() - pos < part.size()) return false;
  for (std::size_t i = 0; i < part.size(); ++i)
    if (AsciiLower(text[pos + i]) != AsciiLower(part[i])) return false;
  return true;
}

// First position at or after from where part occurs ignoring ASCII case, or npos.
// An empty part is found at from (when from is inside the text).
std::size_t FindIgnoreCase(std::string_view text, std::string_view part, std::size_t from = 0);

}  // namespace fotoloom
