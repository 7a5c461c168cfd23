// Percent escapes.
#include "core/PercentEscape.h"

namespace fotoloom {

std::string PercentEscaped(std::string_view text, bool (*mustEscape)(unsigned char byte)) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (mustEscape(byte)) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace fotoloom
