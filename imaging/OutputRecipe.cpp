// The recipe text of a resized copy.
#include "imaging/OutputRecipe.h"

#include <cstdio>

#include "core/FilterChoice.h"
#include "core/PhotoFormats.h"
#include "imaging/WebpEncoder.h"

namespace fotoloom {

namespace {

std::string BackgroundText(const std::array<std::uint8_t, 3>& background) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X%02X%02X", background[0], background[1], background[2]);
  return hex;
}

std::string Versions() { return "v" + std::to_string(kImageCodeVersion) + "/" + std::to_string(JpegLibraryVersion()); }

}  // namespace

std::string OutputRecipe(const ResizeSettings& s, const std::string& prefix) {
  const int filter = (s.FilterIndex >= 0 && s.FilterIndex < kFilterCount) ? s.FilterIndex : kDefaultFilterIndex;
  const int pixelFormat = (s.PixelFormat >= 0 && s.PixelFormat <= 7) ? s.PixelFormat : 0;
  return Versions() + " " + prefix + " " + std::to_string(s.MaxWidth) + "x" + std::to_string(s.MaxHeight) + " q" +
         std::to_string(s.Quality) + " " + (s.UseFilter ? "f" + std::to_string(filter) : std::string("plain")) +
         (s.Grayscale ? " grey" : " colour") + " p" + std::to_string(pixelFormat) +
         (s.WebP ? " webp " + std::to_string(WebpLibraryVersion()) : std::string());
}

std::string OutputRecipeOf(const ResizeSettings& settings, const std::string& prefix, const std::string& fileName) {
  std::string recipe = OutputRecipe(settings, prefix);
  if (FormatOfName(fileName) != PhotoFormat::Jpeg) recipe += " bg " + BackgroundText(settings.Background);
  return recipe;
}

std::string FullSizeRecipe(int quality, const std::array<std::uint8_t, 3>& background) {
  return Versions() + " b_ full q" + std::to_string(quality) + " bg " + BackgroundText(background);
}

}  // namespace fotoloom
