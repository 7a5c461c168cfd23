// Nearest-colour storage of the pixel formats with fewer than 24 bits per pixel.
#include "imaging/PixelFormats.h"

#include <array>
#include <cstddef>

namespace fotoloom {

namespace {

struct Rgb {
  int r, g, b;
};

// The 16 colours, four a row.
// clang-format off
constexpr std::array<Rgb, 16> kVgaColors = {{
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128},   {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},     {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255},
}};
// clang-format on

constexpr int kCubeStep = 51;  // 255 / 5: six levels per channel

int Distance(const std::uint8_t* p, int r, int g, int b) {
  const int dr = p[0] - r;
  const int dg = p[1] - g;
  const int db = p[2] - b;
  return dr * dr + dg * dg + db * db;
}

void Store(std::uint8_t* p, int r, int g, int b) {
  p[0] = static_cast<std::uint8_t>(r);
  p[1] = static_cast<std::uint8_t>(g);
  p[2] = static_cast<std::uint8_t>(b);
}

// Grey k of the halftone palette's 46-step grey ramp (k = 0..45).
int HalftoneGrey(int k) { return (k * kCubeStep * 2 + 9) / 18; }

void NearestBlackWhite(std::uint8_t* p) {
  // White is nearer exactly when the channel sum exceeds half of 3 x 255.
  const int v = 2 * (p[0] + p[1] + p[2]) > 3 * 255 ? 255 : 0;
  Store(p, v, v, v);
}

void NearestVga(std::uint8_t* p) {
  std::size_t best = 0;
  int bestDistance = Distance(p, kVgaColors[0].r, kVgaColors[0].g, kVgaColors[0].b);
  for (std::size_t i = 1; i < kVgaColors.size(); ++i) {
    const int d = Distance(p, kVgaColors[i].r, kVgaColors[i].g, kVgaColors[i].b);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  Store(p, kVgaColors[best].r, kVgaColors[best].g, kVgaColors[best].b);
}

void NearestHalftone(std::uint8_t* p) {
  // The cube is a grid, so its nearest colour is the nearest level per channel.
  auto level = [](int v) { return (v + kCubeStep / 2) / kCubeStep * kCubeStep; };
  const int cr = level(p[0]);
  const int cg = level(p[1]);
  const int cb = level(p[2]);
  const int cubeDistance = Distance(p, cr, cg, cb);
  // The nearest grey is the ramp step nearest to the channel mean: one of
  // the two steps around it.
  const int sum = p[0] + p[1] + p[2];
  const int below = sum * 9 / (3 * kCubeStep);  // floor of mean / (51 / 9)
  int grey = HalftoneGrey(below);
  int greyDistance = Distance(p, grey, grey, grey);
  if (below + 1 <= 45) {
    const int above = HalftoneGrey(below + 1);
    const int d = Distance(p, above, above, above);
    if (d < greyDistance) {
      grey = above;
      greyDistance = d;
    }
  }
  // The cube comes first in the palette and wins a tie.
  if (greyDistance < cubeDistance)
    Store(p, grey, grey, grey);
  else
    Store(p, cr, cg, cb);
}

}  // namespace

void ReduceToPixelFormat(Image& image, int pixelFormat) {
  std::uint8_t* p = image.data();
  const std::size_t count = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
  switch (static_cast<PixelFormatCode>(pixelFormat)) {
    case PixelFormatCode::Bits1:
      for (std::size_t i = 0; i < count; ++i, p += 3) NearestBlackWhite(p);
      return;
    case PixelFormatCode::Bits4:
      for (std::size_t i = 0; i < count; ++i, p += 3) NearestVga(p);
      return;
    case PixelFormatCode::Bits8:
      for (std::size_t i = 0; i < count; ++i, p += 3) NearestHalftone(p);
      return;
    case PixelFormatCode::Bits15:
      for (std::size_t i = 0; i < count * 3; ++i) p[i] &= 0xF8;
      return;
    case PixelFormatCode::Bits16:
      for (std::size_t i = 0; i < count; ++i, p += 3) {
        p[0] &= 0xF8;
        p[1] &= 0xFC;
        p[2] &= 0xF8;
      }
      return;
    default: return;  // 8 bits per channel hold every colour
  }
}

}  // namespace fotoloom
