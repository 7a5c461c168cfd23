// Reading and writing binary PPM (P6) images.
#include "cli/PpmFile.h"

#include <cctype>
#include <cstring>
#include <limits>

#include "core/Error.h"

namespace fotoloom::cli {
namespace {

[[noreturn]] void Bad(const std::string& what) { throw Error("Not a binary PPM file with 8-bit samples: " + what); }

// Skips blanks and "#" comments, then reads one decimal header number.
int HeaderNumber(std::string_view bytes, std::size_t& pos, const char* name) {
  for (;;) {
    while (pos < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[pos]))) ++pos;
    if (pos < bytes.size() && bytes[pos] == '#') {
      while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
      continue;
    }
    break;
  }
  long long value = 0;
  const std::size_t start = pos;
  while (pos < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[pos]))) {
    value = value * 10 + (bytes[pos] - '0');
    if (value > std::numeric_limits<int>::max()) Bad(std::string(name) + " too large");
    ++pos;
  }
  if (pos == start) Bad(std::string("no ") + name);
  return static_cast<int>(value);
}

}  // namespace

bool LooksLikePpm(std::string_view bytes) { return bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '6'; }

void DecodePpm(std::string_view bytes, Image& image) {
  if (!LooksLikePpm(bytes)) Bad("no P6 signature");
  std::size_t pos = 2;
  const int width = HeaderNumber(bytes, pos, "width");
  const int height = HeaderNumber(bytes, pos, "height");
  const int maxValue = HeaderNumber(bytes, pos, "maximum value");
  if (width < 1 || height < 1) Bad("empty image");
  if (maxValue != 255) Bad("maximum value " + std::to_string(maxValue));
  if (pos >= bytes.size() || !std::isspace(static_cast<unsigned char>(bytes[pos]))) Bad("header not ended");
  ++pos;  // exactly one blank separates the header from the pixels
  const unsigned long long need =
      3ull * static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
  if (bytes.size() - pos < need) Bad("pixel data cut short");
  image.Resize(width, height);
  std::memcpy(image.data(), bytes.data() + pos, need);
}

std::string EncodePpm(const Image& image) {
  std::string out = "P6\n" + std::to_string(image.width()) + " " + std::to_string(image.height()) + "\n255\n";
  out.append(reinterpret_cast<const char*>(image.data()), image.stride() * std::size_t(image.height()));
  return out;
}

}  // namespace fotoloom::cli
