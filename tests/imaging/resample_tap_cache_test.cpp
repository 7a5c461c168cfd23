#include "imaging/resample_tap_cache.h"

#include <gtest/gtest.h>

#include <cstring>

#include "JpegFixtures.h"
#include "imaging/resample.h"

namespace fotoloom {
namespace {

// The slot arrays of two sets of lists are equal, weight bits included.
bool SameLists(const AxisTaps& a, const AxisTaps& b) {
  return a.Lists == b.Lists && a.Stride == b.Stride && a.Count == b.Count && a.GroupFirst == b.GroupFirst &&
         a.GroupLast == b.GroupLast && a.Index == b.Index && a.ExactOnly == b.ExactOnly && a.Checked == b.Checked &&
         a.Weight.size() == b.Weight.size() &&
         std::memcmp(a.Weight.data(), b.Weight.data(), a.Weight.size() * sizeof(float)) == 0;
}

TEST(TapCache, gives_the_lists_once_built_again_with_the_same_pauses) {
  TapCache cache;
  const AxisScale scale = MakeAxisScale(6000, 160, 3.0f);
  int pauses = 0;
  const auto count = [&pauses] {
    ++pauses;
    return false;
  };
  const auto first = cache.Lists(scale, Lanczos3Filter, count);
  EXPECT_EQ(pauses, 160);
  const auto again = cache.Lists(scale, Lanczos3Filter, count);
  EXPECT_EQ(pauses, 320);  // one pause per list, kept or not
  EXPECT_EQ(first, again);
  EXPECT_EQ(cache.Built(), 1u);
  EXPECT_EQ(cache.Found(), 1u);
  AxisTaps fresh;
  BuildAxisTaps(scale, Lanczos3Filter, fresh, {});
  EXPECT_TRUE(SameLists(*again, fresh));

  // Another kernel, source or target is another axis.
  EXPECT_NE(cache.Lists(scale, MitchellFilter, {}), first);
  EXPECT_NE(cache.Lists(MakeAxisScale(6001, 160, 3.0f), Lanczos3Filter, {}), first);
  EXPECT_NE(cache.Lists(MakeAxisScale(6000, 161, 3.0f), Lanczos3Filter, {}), first);
  EXPECT_EQ(cache.Built(), 4u);
}

TEST(TapCache, a_cancel_gives_no_lists_and_keeps_none_built_in_part) {
  TapCache cache;
  const AxisScale scale = MakeAxisScale(300, 80, 2.0f);
  int pauses = 0;
  const auto cancelAt10 = [&pauses] { return ++pauses >= 10; };
  EXPECT_EQ(cache.Lists(scale, SplineFilter, cancelAt10), nullptr);
  EXPECT_EQ(pauses, 10);
  ASSERT_NE(cache.Lists(scale, SplineFilter, {}), nullptr);
  EXPECT_EQ(cache.Built(), 1u);  // built whole only now
  // Kept lists replay their pauses, and a cancel among them still stops.
  pauses = 0;
  EXPECT_EQ(cache.Lists(scale, SplineFilter, cancelAt10), nullptr);
  EXPECT_EQ(pauses, 10);
}

TEST(TapCache, keeps_the_axes_used_last_within_its_bounds) {
  TapCache cache;
  for (int source = 100; source < 100 + static_cast<int>(TapCache::kMaxAxes) + 1; ++source)
    cache.Lists(MakeAxisScale(source, 50, 3.0f), Lanczos3Filter, {});
  // The first axis was the least recently used when the last came.
  cache.Lists(MakeAxisScale(100 + static_cast<int>(TapCache::kMaxAxes), 50, 3.0f), Lanczos3Filter, {});
  EXPECT_EQ(cache.Found(), 1u);
  cache.Lists(MakeAxisScale(100, 50, 3.0f), Lanczos3Filter, {});
  EXPECT_EQ(cache.Found(), 1u);
  // Lists larger than the whole bound are never kept.
  const AxisScale huge = MakeAxisScale(100000, 1000, 3.0f);
  const auto a = cache.Lists(huge, Lanczos3Filter, {});
  const auto b = cache.Lists(huge, Lanczos3Filter, {});
  EXPECT_NE(a, b);
  EXPECT_TRUE(SameLists(*a, *b));
}

TEST(TapCache, a_scratch_used_for_many_photos_gives_the_bytes_of_a_fresh_one) {
  StretchScratch kept;
  const std::pair<int, int> sizes[] = {{301, 203}, {301, 203}, {203, 301}, {301, 203}, {97, 61}};
  for (int round = 0; round < 2; ++round) {
    for (const auto& [w, h] : sizes) {
      const Image source = test::MakeImage(w, h, [w](int x, int y) {
        return test::Rgb{static_cast<std::uint8_t>(x * 5 + y + w), static_cast<std::uint8_t>(x ^ y),
                         static_cast<std::uint8_t>(y * 3)};
      });
      for (const FilterEntry& filter : {FilterTable[5], FilterTable[6]}) {
        Image a(80, 53);
        Image b(80, 53);
        ResampleStretch({}, source, a, filter.Function, filter.Support, kept);
        ResampleStretch({}, source, b, filter.Function, filter.Support);
        ASSERT_EQ(std::memcmp(a.data(), b.data(), a.stride() * 53), 0) << w << " x " << h << " " << filter.Caption;
      }
    }
  }
  // Twelve axes (three sizes, two filters, two axes each) in a cache of
  // eight: some were used again, some built again after they were dropped.
  EXPECT_GT(kept.AxesReused(), 0u);
  EXPECT_GT(kept.AxesBuilt(), 12u);
  EXPECT_EQ(kept.AxesBuilt() + kept.AxesReused(), 2u * 5 * 2 * 2);
}

}  // namespace
}  // namespace fotoloom
