// Deleting every occurrence of a text from another, as the line filter and the subtitles need it.
#pragma once

#include <string>
#include <string_view>

namespace fotoloom {

// Flag bits of Remove_text. Every caller in the system passes both.
constexpr unsigned kRemoveAll = 1u;         // repeat until no occurrence is left
constexpr unsigned kRemoveIgnoreCase = 2u;  // compare without regard to ASCII letter case

// Deletes the first occurrence of part from text, and with kRemoveAll keeps
// deleting, each time searching again from the start, until none is left; so
// occurrences that a deletion forms go too ("@io@iof@f@" less "@iof@" is "").
// kRemoveIgnoreCase folds only the ASCII letters. An empty part changes nothing.
std::string Remove_text(std::string text, std::string_view part, unsigned flags);

}  // namespace fotoloom
