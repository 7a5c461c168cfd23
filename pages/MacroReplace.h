// Replacing the macros of a page, one after the other, in the page's text.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace fotoloom {

// One pair of a page's macro list: the macro as written ("@cp@") and its value.
struct Macro {
  std::string_view text;
  std::string_view value;
};

// Rewrites every lone CR and lone LF as CR LF and ends a non-empty text with
// CR LF, which is what splitting a text into lines and joining them again
// with CR LF after every line gives. scratch is working space.
void NormalizeLineBreaks(std::string& text, std::string& scratch);

// Replaces every occurrence of macro in text by value. Matching ignores ASCII
// letter case and runs forward; the inserted value is not searched again for
// this macro. When a value with line breaks went in, the breaks are normalised
// as above so that the value becomes lines of its own. No escaping of any kind.
// text is expected to be normalised already; scratch is working space.
void ReplaceMacro(std::string& text, std::string_view macro, std::string_view value, std::string& scratch);

// ReplaceMacro for each pair in list order, so later macros also apply to the
// values that earlier ones brought in.
void ReplaceMacros(std::string& text, std::span<const Macro> macros, std::string& scratch);

}  // namespace fotoloom
