// The recipe text of a resized copy.
#include "imaging/OutputRecipe.h"

#include "core/FilterChoice.h"

namespace fotoloom {

std::string OutputRecipe(const ResizeSettings& s, const std::string& prefix) {
  const int filter = (s.FilterIndex >= 0 && s.FilterIndex < kFilterCount) ? s.FilterIndex : kDefaultFilterIndex;
  const int pixelFormat = (s.PixelFormat >= 0 && s.PixelFormat <= 7) ? s.PixelFormat : 0;
  return "v" + std::to_string(kImageCodeVersion) + "/" + std::to_string(JpegLibraryVersion()) + " " + prefix + " " +
         std::to_string(s.MaxWidth) + "x" + std::to_string(s.MaxHeight) + " q" + std::to_string(s.Quality) + " " +
         (s.UseFilter ? "f" + std::to_string(filter) : std::string("plain")) + (s.Grayscale ? " grey" : " colour") +
         " p" + std::to_string(pixelFormat);
}

}  // namespace fotoloom
