// Tap lists of one axis: each step in extended precision, each carried value a float.
#include "imaging/resample_taps.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "core/Error.h"

namespace fotoloom {
namespace {

// The longest tap list we agree to build. A list covers twice the widened
// support, and the support grows with the shrink factor, so this bounds the
// source at tens of millions of pixels per axis, far beyond any photo.
constexpr long double kMaxCapacity = 1 << 28;

// Weights below this magnitude could, multiplied by a channel and summed,
// come near the subnormal float range, where the vectorised sum's exactness
// check does not hold (it assumes every sum is zero or a normal float).
// 2^-100 keeps all products and sums above 2^-123.
constexpr float kSmallestFastWeight = 0x1p-100f;

// Mirrors j back into 0..size-1: the left edge pixel is not repeated (-1 -> 1),
// the right one is (size -> size-1). Sources narrower than the kernel's reach
// can still give an index outside, which is clamped to the nearest edge.
std::int32_t MirrorIndex(long long j, int size) {
  if (j < 0)
    j = -j;
  else if (j >= size)
    j = 2LL * size - 1 - j;
  if (j < 0) return 0;
  if (j >= size) return size - 1;
  return static_cast<std::int32_t>(j);
}

// Marks the steps sum = float(sum + channel x weight) of a list that might
// not be exact in a double. Before step k the sum is a float below 2^h (h
// from 255 x the weights so far, with room for rounding), and a multiple of
// 2^(g - 23), g being the smallest weight exponent so far; the product is
// below 2^(e + 9) and a multiple of 2^(e - 23), e being the weight's exponent.
// Working through both orders of magnitude, the exact sum fits in 53 bits
// when e >= h - 29 and e - g <= 20. The first step adds to 0 and is exact.
// A step failing only the second test is still exact when the sum before it
// is 0 or at least 2^(e - 20), which a pass can test as it goes: such steps
// are marked kCheckedIfSumSmall, the others kCheckedAlways.
void MarkUncertainSteps(const Tap* taps, int count, std::uint8_t* checked) {
  long double bound = 0;
  int smallest = 0;
  for (int k = 0; k < count; ++k) {
    const int e = std::ilogb(taps[k].Weight);
    if (k > 0) {
      // Each rounding grows a sum by at most 2^-24 of itself; 1/8 covers any
      // list length this code builds.
      const int h = std::ilogb(bound * 1.125L) + 1;
      checked[k] = e < h - 29          ? AxisTaps::kCheckedAlways
                   : e - smallest > 20 ? AxisTaps::kCheckedIfSumSmall
                                       : std::uint8_t{0};
      smallest = std::min(smallest, e);
    } else {
      smallest = e;
    }
    bound += std::fabs(static_cast<long double>(taps[k].Weight)) * 255;
  }
}

}  // namespace

AxisScale MakeAxisScale(int sourceSize, int targetSize, float support) {
  AxisScale scale;
  scale.SourceSize = sourceSize;
  scale.TargetSize = targetSize;
  if (sourceSize == 1 || targetSize == 1)
    scale.Scale = static_cast<float>(static_cast<long double>(targetSize) / sourceSize);
  else
    scale.Scale = static_cast<float>(static_cast<long double>(targetSize - 1) / (sourceSize - 1));
  scale.Shrinking = scale.Scale < 1;
  if (scale.Shrinking) {
    scale.Support = static_cast<float>(static_cast<long double>(support) / scale.Scale);
    scale.Width = static_cast<float>(1.0L / scale.Scale);
  } else {
    scale.Support = support;
    scale.Width = 1;
  }
  // Trunc(2S + 1) taps cover the support. The index range Floor(c - S) ..
  // Ceil(c + S) holds up to two integers more, and only the kernel, through
  // its rounded argument, keeps their weights at 0. Room for them is kept so
  // that no list can ever be written past its end, whatever the rounding.
  const long double nominal = std::trunc(2.0L * scale.Support + 1.0L);
  if (!(nominal <= kMaxCapacity)) throw Error("Image too large to resample");
  scale.Capacity = static_cast<int>(nominal) + 2;
  return scale;
}

void FillTapList(const AxisScale& scale, Kernel kernel, int position, TapList& list) {
  list.Count = 0;
  const float centre = static_cast<float>(static_cast<long double>(position) / scale.Scale);
  const long long first = static_cast<long long>(std::floor(static_cast<long double>(centre) - scale.Support));
  const long long last = static_cast<long long>(std::ceil(static_cast<long double>(centre) + scale.Support));
  for (long long j = first; j <= last; ++j) {
    float weight;
    if (scale.Shrinking) {
      const float argument = static_cast<float>((centre - static_cast<long double>(j)) / scale.Width);
      weight = static_cast<float>(kernel(argument) / static_cast<long double>(scale.Width));
    } else {
      weight = kernel(static_cast<float>(centre - static_cast<long double>(j)));
    }
    if (weight == 0) continue;
    list.Taps[static_cast<std::size_t>(list.Count)] = Tap{MirrorIndex(j, scale.SourceSize), weight};
    ++list.Count;
  }
}

bool BuildAxisTaps(const AxisScale& scale, Kernel kernel, AxisTaps& taps, const std::function<bool()>& afterList) {
  const int group = AxisTaps::kListGroup;
  taps.Lists = (scale.TargetSize + group - 1) / group * group;
  taps.Stride = scale.Capacity;
  const std::size_t slots = static_cast<std::size_t>(taps.Lists) * static_cast<std::size_t>(taps.Stride);
  taps.Count.assign(static_cast<std::size_t>(taps.Lists), 0);
  taps.ExactOnly.assign(static_cast<std::size_t>(taps.Lists), 0);
  taps.Checked.assign(slots, 0);
  taps.Index.assign(slots, 0);
  taps.Weight.assign(slots, 0.0f);

  TapList list;
  list.Taps.resize(static_cast<std::size_t>(scale.Capacity));
  for (int n = 0; n < scale.TargetSize; ++n) {
    FillTapList(scale, kernel, n, list);
    const std::size_t base = static_cast<std::size_t>(n) * static_cast<std::size_t>(taps.Stride);
    taps.Count[static_cast<std::size_t>(n)] = list.Count;
    for (int k = 0; k < list.Count; ++k) {
      const Tap& tap = list.Taps[static_cast<std::size_t>(k)];
      taps.Index[base + static_cast<std::size_t>(k)] = tap.Index;
      taps.Weight[base + static_cast<std::size_t>(k)] = tap.Weight;
      if (std::fabs(tap.Weight) < kSmallestFastWeight) taps.ExactOnly[static_cast<std::size_t>(n)] = 1;
    }
    MarkUncertainSteps(list.Taps.data(), list.Count, taps.Checked.data() + base);
    if (afterList && afterList()) return false;
  }

  // Pixel range of each group, and padding slots moved into it, so a pass can
  // hold just that range of a row.
  taps.GroupFirst.assign(static_cast<std::size_t>(taps.Lists / group), 0);
  taps.GroupLast.assign(static_cast<std::size_t>(taps.Lists / group), 0);
  for (int g = 0; g < taps.Lists / group; ++g) {
    std::int32_t first = INT32_MAX, last = 0;
    for (int n = g * group; n < (g + 1) * group; ++n) {
      const std::size_t base = static_cast<std::size_t>(n) * static_cast<std::size_t>(taps.Stride);
      for (int k = 0; k < taps.Count[static_cast<std::size_t>(n)]; ++k) {
        first = std::min(first, taps.Index[base + static_cast<std::size_t>(k)]);
        last = std::max(last, taps.Index[base + static_cast<std::size_t>(k)]);
      }
    }
    if (first > last) first = last = 0;
    taps.GroupFirst[static_cast<std::size_t>(g)] = first;
    taps.GroupLast[static_cast<std::size_t>(g)] = last;
    for (int n = g * group; n < (g + 1) * group; ++n) {
      const std::size_t base = static_cast<std::size_t>(n) * static_cast<std::size_t>(taps.Stride);
      for (int k = taps.Count[static_cast<std::size_t>(n)]; k < taps.Stride; ++k)
        taps.Index[base + static_cast<std::size_t>(k)] = first;
    }
  }
  return true;
}

}  // namespace fotoloom
