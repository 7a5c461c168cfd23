// Remove_text and the ASCII case-insensitive search it shares with the macro replacement.
#include "pages/RemoveText.h"

#include "pages/AsciiCase.h"

namespace fotoloom {

std::size_t FindIgnoreCase(std::string_view text, std::string_view part, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  if (part.empty()) return from;
  const char first = AsciiLower(part[0]);
  const char firstUpper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 'a' + 'A') : first;
  for (std::size_t i = from; i + part.size() <= text.size(); ++i) {
    if ((text[i] == first || text[i] == firstUpper) && MatchesIgnoreCaseAt(text, i, part)) return i;
  }
  return std::string_view::npos;
}

std::string Remove_text(std::string text, std::string_view part, unsigned flags) {
  if (part.empty()) return text;
  const bool ignoreCase = (flags & kRemoveIgnoreCase) != 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t pos = ignoreCase ? FindIgnoreCase(text, part, from) : text.find(part, from);
    if (pos == std::string::npos) break;
    text.erase(pos, part.size());
    if ((flags & kRemoveAll) == 0) break;
    // Searching again from the very start would find the same thing: nothing
    // matched before pos, so a new occurrence can only begin at most
    // part.size() - 1 characters ahead of the deletion point.
    from = pos >= part.size() - 1 ? pos - (part.size() - 1) : 0;
  }
  return text;
}

}  // namespace fotoloom
