// The size text of the ZIP of all originals and the link to it.
#include "pages/ZipMacros.h"

#include <array>

#include "pages/PageNames.h"

namespace fotoloom {

std::string ZipSizeText(std::uint64_t bytes) {
  if (bytes < 1000) return std::to_string(bytes) + " B";
  constexpr std::array<const char*, 4> kUnits = {"kB", "MB", "GB", "TB"};
  // Worked in 128 bits: ten times the largest size still fits.
  using Wide = unsigned __int128;
  Wide divisor = 1000;
  std::size_t unit = 0;
  while (unit + 1 < kUnits.size() && Wide(bytes) >= divisor * 1000) {
    divisor *= 1000;
    ++unit;
  }
  for (;;) {
    const Wide tenths = (Wide(bytes) * 10 + divisor / 2) / divisor;
    if (tenths < 1000) {
      const auto t = static_cast<unsigned long long>(tenths);
      return std::to_string(t / 10) + "." + std::to_string(t % 10) + " " + kUnits[unit];
    }
    const Wide whole = (Wide(bytes) + divisor / 2) / divisor;
    if (whole < 1000 || unit + 1 == kUnits.size())
      return std::to_string(static_cast<unsigned long long>(whole)) + " " + kUnits[unit];
    divisor *= 1000;
    ++unit;
  }
}

std::string ZipLink(std::string_view zipName, std::int64_t photoCount, std::string_view sizeText) {
  if (zipName.empty()) return {};
  const std::string what = photoCount == 1 ? "the photo" : "all " + std::to_string(photoCount) + " photos";
  return "<a class=\"download\" href=\"" + HtmlEscaped(LinkEscaped(zipName)) + "\" download>Download " + what + " (" +
         HtmlEscaped(sizeText) + ")</a>";
}

}  // namespace fotoloom
