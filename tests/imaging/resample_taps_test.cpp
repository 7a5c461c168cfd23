#include "imaging/resample_taps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Error.h"

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
  EXPECT_EQ(MakeAxisScale(1, 4, 1.0f).Scale, 4.0f);  // one source pixel: target / source
  EXPECT_EQ(MakeAxisScale(4, 1, 1.0f).Scale, 0.25f); // one target pixel: never 0
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
  EXPECT_FALSE(BuildAxisTaps(half, BoxFilter, taps, [&] { return true; }));
}

TEST(ResampleTaps, tiny_weights_send_a_list_to_the_exact_path) {
  // B-Spline at 2 - 2^-22 from a tap gives about 1e-20: fine. Shrinking a long
  // axis into one pixel puts weights of 1e-27 and below at the list's ends.
  AxisTaps taps;
  BuildAxisTaps(MakeAxisScale(16, 10, 2.0f), SplineFilter, taps, {});
  EXPECT_EQ(taps.ExactOnly, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace fotoloom
