// What decides the bytes of a resized copy besides its photo: the settings and the image code itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "imaging/ResizeJob.h"

namespace fotoloom {

// The version of the image code. Raise it with every change to the decoding,
// resampling, colour reduction or encoding that alters a byte of any "n_" or
// "t_" file, so that updates encode every copy again.
inline constexpr int kImageCodeVersion = 2;

// The JPEG library the program was built against, as a number (2001005 for
// 2.1.5); a new one may encode differently.
int JpegLibraryVersion();

// A text that names everything that decides the bytes of one resized copy
// besides its photo: the code's and the library's versions, the writer's
// prefix ("n_" or "t_", which picks the size rule), the bounds, the quality,
// the filter in effect ("plain" without one, the default for an index
// outside the table), greyscale and the pixel format (Device for one outside
// 0..7), and for a copy with a WebP file beside it "webp" and the WebP
// library's version. Two copies of one photo with equal recipes are equal
// byte for byte; settings that do not reach the bytes (the filter index while the filter is
// off) do not change the recipe.
std::string OutputRecipe(const ResizeSettings& settings, const std::string& prefix);

// The recipe of the resized copy of the photo named fileName: OutputRecipe,
// and for a photo of another format than JPEG (whose transparent pixels
// take the background colour) also the background, " bg RRGGBB". JPEG
// photos have no transparency, so the background does not reach them.
std::string OutputRecipeOf(const ResizeSettings& settings, const std::string& prefix, const std::string& fileName);

// The recipe of the full-size JPEG that stands in for the original of a
// photo of another format ("b_" + name + ".jpg"): the code's and the
// library's versions, its quality and the background.
std::string FullSizeRecipe(int quality, const std::array<std::uint8_t, 3>& background);

}  // namespace fotoloom
