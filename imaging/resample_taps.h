// Tap lists of one axis of the stretch: scale, widened support, mirrored indices.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/resample.h"

namespace fotoloom {

// The geometry of one axis: how target positions map onto source positions.
struct AxisScale {
  int SourceSize = 0;
  int TargetSize = 0;
  float Scale = 0;         // target pixels per source pixel
  bool Shrinking = false;  // Scale < 1: the kernel is widened by 1 / Scale
  float Support = 0;       // support in source pixels (widened when shrinking)
  float Width = 1;         // 1 / Scale when shrinking: divides the kernel argument and weight
  int Capacity = 0;        // taps a list of this axis can hold
};

// Scale factor, widened support and list capacity for an axis of sourceSize
// pixels filtered into targetSize (>= 1) pixels. Both sizes must be >= 1. A
// one-pixel target on a longer axis uses targetSize / sourceSize instead of 0.
// Raises an error when the lists would be too large to allocate.
AxisScale MakeAxisScale(int sourceSize, int targetSize, float support);

// Fills the taps of target position `position` into `list`, whose Taps must
// hold scale.Capacity entries. Zero weights are left out; indices beyond the
// edges are mirrored, and an index still outside is clamped to the edge.
void FillTapList(const AxisScale& scale, Kernel kernel, int position, TapList& list);

// All lists of one axis in flat arrays: list n uses the Stride slots from
// n * Stride, of which the first Count[n] are real taps and the rest weight-0
// taps (adding them changes no sum) on the group's first pixel. Lists is
// TargetSize rounded up to a multiple of kListGroup, the extra lists being
// all padding. Lists are grouped by kListGroup for the horizontal pass.
struct AxisTaps {
  static constexpr int kListGroup = 4;

  int Lists = 0;
  int Stride = 0;
  std::vector<std::int32_t> Count;
  // Per group of kListGroup lists: the lowest and highest pixel index read.
  std::vector<std::int32_t> GroupFirst;
  std::vector<std::int32_t> GroupLast;
  std::vector<std::int32_t> Index;
  std::vector<float> Weight;
  // Non-zero for a list with a weight so small that a vectorised sum could
  // leave the normal float range; such lists are summed on the exact path.
  std::vector<std::uint8_t> ExactOnly;
  // Per slot: non-zero where the sum step of that tap might be inexact in
  // double arithmetic for some image, so a fast sum must check it;
  // kCheckedIfSumSmall where it can only be inexact when the sum before it
  // is non-zero and below |weight| x 2^-20.
  static constexpr std::uint8_t kCheckedAlways = 1;
  static constexpr std::uint8_t kCheckedIfSumSmall = 2;
  std::vector<std::uint8_t> Checked;
};

// Builds the lists of every target position of the axis into `taps`, calling
// afterList() after each finished list; stops and returns false as soon as
// afterList() returns true.
bool BuildAxisTaps(const AxisScale& scale, Kernel kernel, AxisTaps& taps, const std::function<bool()>& afterList);

}  // namespace fotoloom
