// The two filtering passes of the stretch over precomputed tap arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/Image.h"
#include "imaging/resample_taps.h"

namespace fotoloom {

// One step of a channel sum: sum + channel x weight, computed in extended
// precision and rounded to float, exactly as the stretch defines it.
inline float AddProduct(float sum, unsigned channel, float weight) {
  return static_cast<float>(static_cast<long double>(sum) +
                            static_cast<long double>(channel) * static_cast<long double>(weight));
}

// A channel sum as a byte: clamped to 0..255, rounded to nearest, ties to even.
inline std::uint8_t SumToByte(float sum) {
  if (sum > 255.0f) return 255;
  if (sum < 0.0f) return 0;
  // Without FE_UPWARD & co. ever set, nearbyint rounds to nearest even.
  return static_cast<std::uint8_t>(__builtin_nearbyintf(sum));
}

// The intermediate image between the passes: target width x source height,
// 8-bit RGB, rows padded to kRowAlign bytes so the vertical pass can work on
// whole blocks (the padding is never read back into the target).
struct IntermediateImage {
  static constexpr std::size_t kRowAlign = 64;

  int Width = 0;
  int Height = 0;
  std::size_t Stride = 0;
  std::vector<std::uint8_t> Bytes;

  void Resize(int width, int height);
  std::uint8_t* Row(int y) { return Bytes.data() + static_cast<std::size_t>(y) * Stride; }
  const std::uint8_t* Row(int y) const { return Bytes.data() + static_cast<std::size_t>(y) * Stride; }
};

// Filters source rows firstRow .. lastRow-1 horizontally into rows outFirst ..
// of `out` (source row firstRow going to row outFirst), with one tap list per
// column of `out`. `buffer` is working memory kept across calls.
void HorizontalPass(const Image& source, const AxisTaps& taps, IntermediateImage& out, int firstRow, int lastRow,
                    int outFirst, std::vector<float>& buffer);

// Filters columns firstColumn .. lastColumn-1 of `in` vertically into the
// same columns of `target`, with one tap list per target row. firstColumn
// must be a multiple of kVerticalColumnBlock.
void VerticalPass(const IntermediateImage& in, const AxisTaps& taps, Image& target, int firstColumn, int lastColumn);

// Makes the passes use their portable version even where AVX2 is present
// (true) or the best one again (false); returns the previous setting. For
// tests, which compare both with the reference.
bool UseGenericPasses(bool generic);

// The row and column blocks the passes work on best; the stretch pauses after
// each block, once per row or column in it.
constexpr int kHorizontalRowBlock = 8;
constexpr int kVerticalColumnBlock = 64;

}  // namespace fotoloom
