#include "imaging/resample_taps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/Error.h"
#include "imaging/resample_passes.h"

namespace fotoloom {
namespace {

std::vector<std::pair<int, float>> TapsOf(const AxisScale& scale, Kernel kernel, int position) {
  TapList list;
  list.Taps.resize(static_cast<std::size_t>(scale.Capacity));
  FillTapList(scale, kernel, position, list);
  std::vector<std::pair<int, float>> taps;
  for (int k = 0; k < list.Count; ++k) taps.emplace_back(list.Taps[k].Index, list.Taps[k].Weight);
  return taps;
}

using Taps = std::vector<std::pair<int, float>>;

TEST(ResampleTaps, scale_and_widened_support) {
  AxisScale half = MakeAxisScale(5, 3, 0.5f);
  EXPECT_EQ(half.Scale, 0.5f);
  EXPECT_TRUE(half.Shrinking);
  EXPECT_EQ(half.Support, 1.0f);
  EXPECT_EQ(half.Width, 2.0f);
  AxisScale same = MakeAxisScale(8, 8, 3.0f);
  EXPECT_EQ(same.Scale, 1.0f);
  EXPECT_FALSE(same.Shrinking);
  EXPECT_EQ(same.Support, 3.0f);
  EXPECT_EQ(MakeAxisScale(1, 4, 1.0f).Scale, 4.0f);   // one source pixel: target / source
  EXPECT_EQ(MakeAxisScale(4, 1, 1.0f).Scale, 0.25f);  // one target pixel: never 0
  EXPECT_EQ(MakeAxisScale(6000, 800, 3.0f).Scale, 0.133188865f);
}

TEST(ResampleTaps, capacity_holds_every_index_the_range_can_give) {
  // Trunc(2S + 1) plus the two integers Floor and Ceil can add at the ends.
  EXPECT_EQ(MakeAxisScale(5, 3, 0.5f).Capacity, 3 + 2);
  EXPECT_EQ(MakeAxisScale(10, 10, 3.0f).Capacity, 7 + 2);
  EXPECT_EQ(MakeAxisScale(10, 10, 0.5f).Capacity, 2 + 2);
  try {
    MakeAxisScale(1 << 30, 1, 3.0f);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Image too large to resample");
  }
}

TEST(ResampleTaps, edges_mirror_differently_and_zero_weights_are_dropped) {
  AxisScale half = MakeAxisScale(5, 3, 0.5f);
  EXPECT_EQ(TapsOf(half, BoxFilter, 0), (Taps{{1, 0.5f}, {0, 0.5f}}));  // -1 mirrors to 1
  EXPECT_EQ(TapsOf(half, BoxFilter, 2), (Taps{{3, 0.5f}, {4, 0.5f}}));
  AxisScale same = MakeAxisScale(5, 5, 2.0f);
  EXPECT_EQ(TapsOf(same, MitchellFilter, 0), (Taps{{1, 1.0f / 18}, {0, 0.888888895511627197265625f}, {1, 1.0f / 18}}));
  EXPECT_EQ(TapsOf(same, MitchellFilter, 4), (Taps{{3, 1.0f / 18}, {4, 0.888888895511627197265625f}, {4, 1.0f / 18}}));
}

TEST(ResampleTaps, indices_beyond_a_narrow_source_clamp_to_its_edges) {
  AxisScale one = MakeAxisScale(1, 3, 2.0f);
  for (int i = 0; i < 3; ++i)
    for (auto [index, weight] : TapsOf(one, SplineFilter, i)) EXPECT_EQ(index, 0) << i;
  AxisScale two = MakeAxisScale(2, 2, 3.0f);
  for (auto [index, weight] : TapsOf(two, Lanczos3Filter, 1)) {
    EXPECT_GE(index, 0);
    EXPECT_LE(index, 1);
  }
}

TEST(ResampleTaps, axis_arrays_pad_lists_with_weightless_taps) {
  AxisScale half = MakeAxisScale(5, 3, 0.5f);
  AxisTaps taps;
  int calls = 0;
  EXPECT_TRUE(BuildAxisTaps(half, BoxFilter, taps, [&] { return ++calls == 99; }));
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(taps.Lists, 4);
  EXPECT_EQ(taps.Stride, 5);
  EXPECT_EQ(taps.Count, (std::vector<std::int32_t>{2, 2, 2, 0}));
  EXPECT_EQ(std::vector<std::int32_t>(taps.Index.begin(), taps.Index.begin() + 10),
            (std::vector<std::int32_t>{1, 0, 0, 0, 0, 1, 2, 0, 0, 0}));
  EXPECT_EQ(std::vector<float>(taps.Weight.begin() + 5, taps.Weight.begin() + 10),
            (std::vector<float>{0.5f, 0.5f, 0, 0, 0}));
  EXPECT_EQ(taps.GroupFirst, (std::vector<std::int32_t>{0}));
  EXPECT_EQ(taps.GroupLast, (std::vector<std::int32_t>{4}));
  EXPECT_FALSE(BuildAxisTaps(half, BoxFilter, taps, [&] { return true; }));
}

TEST(ResampleTaps, padding_reads_inside_the_group_range) {
  // Columns 8..11 of a 40 -> 12 shrink read far from pixel 0; their padding
  // slots must point into the same range.
  AxisTaps taps;
  BuildAxisTaps(MakeAxisScale(40, 12, 3.0f), Lanczos3Filter, taps, {});
  ASSERT_EQ(taps.Lists, 12);
  EXPECT_GT(taps.GroupFirst[2], 0);
  for (int n = 8; n < 12; ++n)
    for (int k = 0; k < taps.Stride; ++k) {
      EXPECT_GE(taps.Index[n * taps.Stride + k], taps.GroupFirst[2]);
      EXPECT_LE(taps.Index[n * taps.Stride + k], taps.GroupLast[2]);
    }
}

// Steps that might be inexact in a double: after a weight of 1.7e-22 the sum
// can be tiny while the next weights are not.
TEST(ResampleTaps, steps_after_a_tiny_weight_are_checked) {
  AxisScale scale = MakeAxisScale(16, 10, 2.0f);
  TapList list;
  list.Taps.resize(static_cast<std::size_t>(scale.Capacity));
  FillTapList(scale, SplineFilter, 5, list);
  ASSERT_LT(std::fabs(list.Taps[0].Weight), 1e-20f);
  AxisTaps taps;
  BuildAxisTaps(scale, SplineFilter, taps, {});
  const std::uint8_t* checked = taps.Checked.data() + 5 * taps.Stride;
  EXPECT_EQ(checked[0], 0);  // adds to 0: exact
  EXPECT_EQ(checked[1], AxisTaps::kCheckedIfSumSmall);
  // Box weights are all alike: nothing to check.
  BuildAxisTaps(MakeAxisScale(6000, 800, 0.5f), BoxFilter, taps, {});
  EXPECT_EQ(std::count(taps.Checked.begin(), taps.Checked.end(), 1), 0);
}

// A kernel with weights of 1e-35 beside the centre, as no table filter has.
float TinyShoulders(float x) { return std::fabs(x) < 0.5f ? 1.0f : std::fabs(x) < 1.5f ? 1e-35f : 0.0f; }

TEST(ResampleTaps, only_weights_near_the_subnormal_range_force_the_extended_path) {
  AxisTaps taps;
  BuildAxisTaps(MakeAxisScale(16, 10, 2.0f), SplineFilter, taps, {});  // smallest weight 1.7e-22
  EXPECT_EQ(taps.ExactOnly, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  BuildAxisTaps(MakeAxisScale(3, 3, 1.5f), TinyShoulders, taps, {});
  EXPECT_EQ(taps.ExactOnly, (std::vector<std::uint8_t>{1, 1, 1, 0}));
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

// Weights of random sign, with exponents spread over 2^-45 .. 2^0, derived
// from the argument's bits so the kernel stays a pure function.
float ScatteredWeights(float x) {
  std::uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  std::uint32_t h = bits * 2654435761u;
  h ^= h >> 15;
  h *= 2246822519u;
  h ^= h >> 13;
  const float mantissa = 1.0f + static_cast<float>(h & 0xFFFFFF) / 16777216.0f;
  const float value = std::ldexp(mantissa, -static_cast<int>((h >> 24) % 46));
  return (h & 0x80000000u) ? -value : value;
}

// Every step not flagged must be exact in a double, for any channels: that
// is what lets the fast passes skip their check there. So must a step flagged
// kCheckedIfSumSmall when the sum before it is 0 or not that small.
TEST(ResampleTaps, unflagged_steps_are_exact_in_a_double_for_any_channels) {
  std::mt19937 random(7);
  AxisTaps taps;
  int unflagged = 0;
  for (auto [source, target] : {std::pair{300, 40}, std::pair{40, 300}, std::pair{1000, 7}}) {
    BuildAxisTaps(MakeAxisScale(source, target, 3.0f), ScatteredWeights, taps, {});
    for (int n = 0; n < target; ++n) {
      const std::size_t base = static_cast<std::size_t>(n) * static_cast<std::size_t>(taps.Stride);
      for (int trial = 0; trial < 100; ++trial) {
        float sum = 0;
        for (int k = 0; k < taps.Count[n]; ++k) {
          // Many zeros: a sum that stays tiny is the hard case.
          const unsigned pick = random() % 8;
          const unsigned channel = pick < 5 ? 0 : pick == 5 ? 255 : random() % 256;
          const double product = static_cast<double>(channel) * taps.Weight[base + k];
          const double s = static_cast<double>(sum) + product;
          const std::uint8_t flag = taps.Checked[base + k];
          if (flag == 0 || (flag == AxisTaps::kCheckedIfSumSmall &&
                            (sum == 0 || std::fabs(sum) >= std::fabs(taps.Weight[base + k]) * 0x1p-20f))) {
            ++unflagged;
            // Fast2Sum in both orders: zero error means the double sum is exact.
            ASSERT_EQ(s - sum, product) << "list " << n << " step " << k;
            ASSERT_EQ(s - product, static_cast<double>(sum)) << "list " << n << " step " << k;
            ASSERT_EQ(std::fma(static_cast<float>(channel), taps.Weight[base + k], sum),
                      AddProduct(sum, channel, taps.Weight[base + k]));
          }
          sum = AddProduct(sum, channel, taps.Weight[base + k]);
        }
      }
    }
  }
  EXPECT_GT(unflagged, 20000);
}

}  // namespace
}  // namespace fotoloom
