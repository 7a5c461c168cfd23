// Colour values to RRGGBB text.
#include "pages/ColorToHex.h"

#include <cstdint>

#include "core/SystemColors.h"

namespace fotoloom {

std::string Color_to_hex(Color color) {
  Color rgb = color & 0x00FFFFFFu;
  if (static_cast<std::int32_t>(color) < 0) rgb = ResolveColor(SystemColor(SystemColorIndex(color))) & 0x00FFFFFFu;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex(6, '0');
  for (int i = 0; i < 3; ++i) {  // red, green, blue: the low byte first
    const unsigned byte = (rgb >> (8 * i)) & 0xFFu;
    hex[static_cast<std::size_t>(2 * i)] = kDigits[byte >> 4];
    hex[static_cast<std::size_t>(2 * i + 1)] = kDigits[byte & 0xFu];
  }
  return hex;
}

}  // namespace fotoloom
