// The two filtering passes of the stretch over precomputed tap arrays.
//
// Every channel sum is a chain of steps sum = float(sum + channel x weight),
// each step computed in extended precision. The passes run many chains side
// by side in vector lanes and get the same floats:
//  - channel x weight has at most 8 + 24 significant bits, so it is exact in
//    a double; the double sum s is the exact sum x rounded once.
//  - The tap lists flag (AxisTaps::Checked) every step whose exact sum might
//    need more than 53 bits. At an unflagged step x is a double, so the
//    extended sum is x too, and rounding x once to float is all there is:
//    a double sum rounded to float, or a float fused multiply-add, gives it.
//  - At a flagged step, s != x is possible. Rounding to 53 or to 64 bits
//    never carries a value across a float midpoint (a midpoint has 25 bits),
//    and the extended sum can only end on a midpoint when s does; so unless
//    s is inexact and on a midpoint, s and the extended sum round to the same
//    float. That case (a few in a billion steps) is detected, and the block
//    is summed again on the extended path.
// The midpoint test assumes sums stay zero or normal floats, which the tap
// lists ensure by sending lists with tiny weights (ExactOnly) to the extended
// path. The portable blocks use double lanes throughout; the AVX2 blocks use
// float fused multiply-adds for unflagged steps.
#include "imaging/resample_passes.h"

#include <algorithm>
#include <atomic>

#include "imaging/resample_blocks.h"

namespace fotoloom {
namespace {

using InterleaveRows = void (*)(const Image&, int, int, int, int, float*);
using HorizontalBlock = void (*)(const float*, int, const Image&, const AxisTaps&, IntermediateImage&, int, int, int,
                                 int, int);
using VerticalBlock = void (*)(const IntermediateImage&, const AxisTaps&, Image&, std::size_t, std::size_t);

// Set by tests on their own thread while writer threads read it.
std::atomic<bool> gForceGeneric{false};

bool UseAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return has && !gForceGeneric.load(std::memory_order_relaxed);
}

// List groups of the horizontal pass done together: the source pixels they
// read, a block of rows of them as floats, stay in the caches.
constexpr int kStripGroups = 8;

}  // namespace

bool UseGenericPasses(bool generic) { return gForceGeneric.exchange(generic, std::memory_order_relaxed); }

void IntermediateImage::Resize(int width, int height) {
  Width = width;
  Height = height;
  Stride = (static_cast<std::size_t>(width) * 3 + kRowAlign - 1) / kRowAlign * kRowAlign;
  Bytes.resize(Stride * static_cast<std::size_t>(height));
}

void HorizontalPass(const Image& source, const AxisTaps& taps, IntermediateImage& out, int firstRow, int lastRow,
                    int outFirst, std::vector<float>& buffer) {
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
      block(buffer.data(), fromX, source, taps, out, y, rows, outFirst + (y - firstRow), g, end);
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
