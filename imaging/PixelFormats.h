// The pixel formats of a target image and the nearest colours each can hold.
#pragma once

#include <cstdint>

#include "imaging/Image.h"

namespace fotoloom {

// Indexed as the pixel format list of the export options.
enum class PixelFormatCode : std::uint8_t {
  Device = 0,  // the display's format: 8 bits per channel here
  Bits1 = 1,   // black and white
  Bits4 = 2,   // the 16 standard VGA colours
  Bits8 = 3,   // the fixed 256-colour halftone palette below
  Bits15 = 4,  // 5 bits per channel
  Bits16 = 5,  // 5 bits red, 6 green, 5 blue
  Bits24 = 6,
  Bits32 = 7,  // 8 bits per channel plus 8 unused bits
};

// Replaces every pixel of the image by the nearest colour that the format
// can store (nearest by squared distance in RGB; on a tie the colour listed
// first wins), as a bitmap of that format would hold it. 15 and 16 bits
// keep the high bits of each channel. Device, 24 and 32 bits and codes
// outside 0..7 leave the image unchanged.
//
// The 8-bit halftone palette is the 6 x 6 x 6 colour cube (channel levels
// 0, 51, 102, 153, 204, 255) followed by the 40 greys that split each step
// of the cube's grey diagonal into nine: round(k * 51 / 9) for k = 1..44,
// k not a multiple of 9.
void ReduceToPixelFormat(Image& image, int pixelFormat);

}  // namespace fotoloom
