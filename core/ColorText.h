// Colours as settings-file text: a name of the colour name table, or "$" and eight hex digits.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/Color.h"

namespace fotoloom {

struct ColorName {
  std::string_view Name;
  Color Value;
};

// The colour name table: the fixed colours, the system colours, clNone and clDefault.
std::span<const ColorName> ColorNames();

// The colour's name when the table has its value, otherwise "$" and the
// value as eight uppercase hex digits ("$00C08040" for red 40, green 80, blue C0).
std::string ColorToText(Color c);

// A name of the table in any letter case, or a number: decimal, or hex after
// "$" or "0x", with optional leading blanks and sign (the 32 bits of the
// number are the colour). Nothing when the text is neither.
std::optional<Color> TextToColor(std::string_view text);

// As TextToColor, but raises "'<text>' is not a valid integer value" when the
// text is neither a name nor a number.
Color ColorFromText(std::string_view text);

}  // namespace fotoloom
