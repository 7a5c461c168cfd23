// Binary PPM (P6) images, the plain format resample reads and writes.
#pragma once

#include <string>
#include <string_view>

#include "imaging/Image.h"

namespace fotoloom::cli {

// True when bytes begin like a binary PPM file ("P6").
bool LooksLikePpm(std::string_view bytes);

// Decodes a P6 file with a maximum value of 255 (comments allowed in the
// header). Raises "Not a binary PPM file with 8-bit samples: <what>" for
// anything else, a truncated pixel block included.
void DecodePpm(std::string_view bytes, Image& image);

// The P6 file of the image: "P6\n<w> <h>\n255\n" and the pixels.
std::string EncodePpm(const Image& image);

}  // namespace fotoloom::cli
