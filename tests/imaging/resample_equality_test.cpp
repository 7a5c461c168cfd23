#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "ReferenceStretch.h"
#include "imaging/resample.h"
#include "imaging/resample_passes.h"

namespace fotoloom {
namespace {

// Random images of random sizes, every filter, against the plain reference:
// the pixels must be the same to the bit, for the best passes of this
// processor and for the portable ones. Most sizes are small so the run stays
// short; a share reaches 300 on one axis.
TEST(ResampleEquality, production_matches_reference_on_random_cases) {
  std::mt19937 random(20261208);
  auto size = [&](bool large) {
    if (large) return std::uniform_int_distribution<int>(1, 300)(random);
    return std::uniform_int_distribution<int>(1, 24)(random);
  };
  StretchScratch scratch;
  int shrinkX = 0, growX = 0, shrinkY = 0, growY = 0;
  for (int n = 0; n < 10500; ++n) {
    const int filter = n % 7;
    const int largeAxis = std::uniform_int_distribution<int>(0, 9)(random);  // 0: width, 1: height
    const int sw = size(largeAxis == 0), sh = size(largeAxis == 1);
    const int dw = size(largeAxis == 0), dh = size(largeAxis == 1);
    (dw < sw ? shrinkX : growX)++;
    (dh < sh ? shrinkY : growY)++;
    Image source(sw, sh);
    // Mix noise, flat areas and hard edges: flat areas test sums of many equal
    // products, edges the clamping.
    const int style = std::uniform_int_distribution<int>(0, 2)(random);
    for (std::size_t i = 0; i < source.stride() * static_cast<std::size_t>(sh); ++i) {
      unsigned v = random();
      source.data()[i] = style == 0   ? static_cast<std::uint8_t>(v)
                         : style == 1 ? static_cast<std::uint8_t>((v & 1) ? 255 : 0)
                                      : std::uint8_t{173};
    }
    Image fast(dw, dh), portable(dw, dh), reference(dw, dh);
    ResampleStretch({}, source, fast, FilterTable[filter].Function, FilterTable[filter].Support, scratch);
    UseGenericPasses(true);
    ResampleStretch({}, source, portable, FilterTable[filter].Function, FilterTable[filter].Support, scratch);
    UseGenericPasses(false);
    test::ReferenceStretch(source, reference, FilterTable[filter].Function, FilterTable[filter].Support);
    const std::size_t bytes = fast.stride() * static_cast<std::size_t>(dh);
    const std::vector<std::uint8_t> expected(reference.data(), reference.data() + bytes);
    ASSERT_EQ(std::vector<std::uint8_t>(fast.data(), fast.data() + bytes), expected)
        << "case " << n << ": " << FilterTable[filter].Caption << " " << sw << "x" << sh << " -> " << dw << "x" << dh;
    ASSERT_EQ(std::vector<std::uint8_t>(portable.data(), portable.data() + bytes), expected)
        << "portable, case " << n << ": " << FilterTable[filter].Caption << " " << sw << "x" << sh << " -> " << dw
        << "x" << dh;
  }
  // Every direction on every axis was covered many times.
  EXPECT_GT(shrinkX, 3000);
  EXPECT_GT(growX, 3000);
  EXPECT_GT(shrinkY, 3000);
  EXPECT_GT(growY, 3000);
}

}  // namespace
}  // namespace fotoloom
