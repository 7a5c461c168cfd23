// Colour values of the options record: 0x00BBGGRR, or a symbolic system colour.
#pragma once

#include <cstdint>

namespace fotoloom {

// A colour as the options record holds it: red in the low byte, then green,
// then blue, high byte 0 (blue is 0x00FF0000). A value whose high byte is 0xFF
// names a desktop system colour by the index in its low byte and is resolved to
// RGB only when it is turned into hex text (see ResolveColor).
using Color = std::uint32_t;

constexpr Color kSystemColorFlag = 0xFF000000u;

constexpr bool IsSystemColor(Color c) { return (c & 0xFF000000u) == kSystemColorFlag; }
constexpr Color SystemColor(int index) { return kSystemColorFlag | (static_cast<Color>(index) & 0xFFu); }
constexpr int SystemColorIndex(Color c) { return static_cast<int>(c & 0xFFu); }

constexpr Color Rgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

// Well-known values of the colour name table.
constexpr Color kClBlack = 0x000000;
constexpr Color kClBlue = 0xFF0000;
constexpr Color kClPurple = 0x800080;
constexpr Color kClWindow = SystemColor(5);

}  // namespace fotoloom
