// Macro replacement in one forward pass per macro over a reused buffer.
#include "pages/MacroReplace.h"

#include <cstring>

#include "pages/AsciiCase.h"

namespace fotoloom {
namespace {

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

void NormalizeLineBreaks(std::string& text, std::string& scratch) {
  scratch.clear();
  scratch.reserve(text.size() + 2);
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < n && text[i + 1] == '\n') ++i;
      scratch += "\r\n";
    } else if (c == '\n') {
      scratch += "\r\n";
    } else {
      scratch += c;
    }
  }
  if (!scratch.empty() && scratch.back() != '\n') scratch += "\r\n";
  text.swap(scratch);
}

void ReplaceMacro(std::string& text, std::string_view macro, std::string_view value, std::string& scratch) {
  if (macro.empty()) return;
  // Find the first occurrence before touching the buffers: most macros do not
  // occur on most lines, and a text without one is left as it is.
  const char first = AsciiLower(macro[0]);
  const bool letter = first >= 'a' && first <= 'z';
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  auto findNext = [&](const char* from) -> const char* {
    for (const char* p = from; p < end; ++p) {
      // Macros begin with "@", which memchr finds fastest; a macro that begins
      // with a letter is looked for byte by byte in both cases.
      if (!letter) {
        p = static_cast<const char*>(std::memchr(p, first, static_cast<std::size_t>(end - p)));
        if (p == nullptr) return nullptr;
      } else if (AsciiLower(*p) != first) {
        continue;
      }
      if (MatchesIgnoreCaseAt(text, static_cast<std::size_t>(p - begin), macro)) return p;
    }
    return nullptr;
  };
  const char* hit = findNext(begin);
  if (hit == nullptr) return;
  scratch.clear();
  scratch.reserve(text.size() + value.size());
  const char* copied = begin;
  while (hit != nullptr) {
    scratch.append(copied, hit);
    scratch.append(value);
    copied = hit + macro.size();
    hit = findNext(copied);
  }
  scratch.append(copied, end);
  text.swap(scratch);
  if (HasLineBreak(value)) NormalizeLineBreaks(text, scratch);
}

void ReplaceMacros(std::string& text, std::span<const Macro> macros, std::string& scratch) {
  for (const Macro& m : macros) ReplaceMacro(text, m.text, m.value, scratch);
}

}  // namespace fotoloom
