// The two filtering passes of the stretch over precomputed tap arrays.
//
// Every channel sum is a chain of steps sum = float(sum + channel x weight),
// each step computed in extended precision. The passes run these chains in
// double lanes instead, four at a time, and get the same floats:
//  - channel x weight has at most 8 + 24 significant bits, so it is exact in
//    a double, and the double sum s is the exact sum x rounded once;
//  - when s == x, the extended sum is x as well, and both round alike;
//  - when s != x, rounding to 53 or to 64 bits never carries a value across a
//    float midpoint (a midpoint has 25 bits), and the extended sum can only
//    end on a midpoint when s does; so unless s is a midpoint, s and the
//    extended sum lie strictly between the same two midpoints and round to
//    the same float.
// Lists whose weights make every step exact (AxisTaps::DoubleExact) run
// without a check. The others test each step for "inexact and on a midpoint",
// which is very rare; the block is then summed again on the extended path.
// The check assumes that sums stay zero or normal floats, which the tap lists
// ensure by sending lists with tiny weights (ExactOnly) to the extended path.
#include "imaging/resample_passes.h"

#include <algorithm>

#include "imaging/resample_blocks.h"

namespace fotoloom {
namespace {

using InterleaveRows = void (*)(const Image&, int, int, int, int, float*);
using HorizontalBlock = void (*)(const float*, int, const Image&, const AxisTaps&, IntermediateImage&, int, int, int,
                                 int);
using VerticalBlock = void (*)(const IntermediateImage&, const AxisTaps&, Image&, std::size_t, std::size_t);

bool gForceGeneric = false;

bool UseAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return has && !gForceGeneric;
}

// List groups of the horizontal pass done together: their source pixels,
// four rows of them as doubles, stay in the first-level caches.
constexpr int kStripGroups = 8;

}  // namespace

bool UseGenericPasses(bool generic) {
  const bool before = gForceGeneric;
  gForceGeneric = generic;
  return before;
}

void IntermediateImage::Resize(int width, int height) {
  Width = width;
  Height = height;
  Stride = (static_cast<std::size_t>(width) * 3 + kRowAlign - 1) / kRowAlign * kRowAlign;
  Bytes.resize(Stride * static_cast<std::size_t>(height));
}

void HorizontalPass(const Image& source, const AxisTaps& taps, IntermediateImage& out, int firstRow, int lastRow,
                    std::vector<float>& buffer) {
  const bool avx2 = UseAvx2();
  const InterleaveRows interleave = avx2 ? blocks::InterleaveAvx2 : blocks::InterleaveGeneric;
  const HorizontalBlock block = avx2 ? blocks::HorizontalAvx2 : blocks::HorizontalGeneric;
  const int blockRows = avx2 ? blocks::kAvx2Rows : blocks::kGenericRows;
  const int groups = taps.Lists / AxisTaps::kListGroup;
  for (int y = firstRow; y < lastRow; y += blockRows) {
    const int rows = lastRow - y < blockRows ? lastRow - y : blockRows;
    for (int g = 0; g < groups; g += kStripGroups) {
      const int end = g + kStripGroups < groups ? g + kStripGroups : groups;
      int fromX = taps.GroupFirst[static_cast<std::size_t>(g)], toX = taps.GroupLast[static_cast<std::size_t>(g)];
      for (int h = g + 1; h < end; ++h) {
        fromX = std::min(fromX, taps.GroupFirst[static_cast<std::size_t>(h)]);
        toX = std::max(toX, taps.GroupLast[static_cast<std::size_t>(h)]);
      }
      const std::size_t size = static_cast<std::size_t>(toX - fromX + 1) * 3 * static_cast<std::size_t>(blockRows);
      if (buffer.size() < size) buffer.resize(size);
      interleave(source, y, rows, fromX, toX, buffer.data());
      block(buffer.data(), fromX, source, taps, out, y, rows, g, end);
    }
  }
}

void VerticalPass(const IntermediateImage& in, const AxisTaps& taps, Image& target, int firstColumn, int lastColumn) {
  const VerticalBlock block = UseAvx2() ? blocks::VerticalAvx2 : blocks::VerticalGeneric;
  const std::size_t end = static_cast<std::size_t>(lastColumn) * 3;
  for (std::size_t first = static_cast<std::size_t>(firstColumn) * 3; first < end; first += blocks::kValuesAtOnce)
    block(in, taps, target, first, end);
}

}  // namespace fotoloom
