#include "imaging/TargetSize.h"

#include <gtest/gtest.h>

#include <string>

namespace fotoloom {
namespace {

std::string Scaled(int w, int h, int maxW = 800, int maxH = 600) {
  const TargetSize s = ScaledImageSize(w, h, maxW, maxH);
  return std::to_string(s.Width) + "x" + std::to_string(s.Height);
}

std::string Thumb(int w, int h, int size = 160) {
  const TargetSize s = ThumbnailSize(w, h, size, size);
  return std::to_string(s.Width) + "x" + std::to_string(s.Height);
}

TEST(TargetSize, scaled_images_within_800_by_600) {
  EXPECT_EQ(Scaled(4000, 3000), "800x600");
  EXPECT_EQ(Scaled(3000, 2000), "800x533");
  EXPECT_EQ(Scaled(2000, 3000), "400x600");
  EXPECT_EQ(Scaled(1000, 900), "800x720");   // only the longer side is fitted
  EXPECT_EQ(Scaled(700, 650), "800x742");    // enlarged: only the height exceeded its bound
  EXPECT_EQ(Scaled(1101, 1101), "800x799");  // 800/1101 rounded, times 1101, is just below 800
  EXPECT_EQ(Scaled(640, 480), "640x480");
  EXPECT_EQ(Scaled(172, 129), "172x129");
  EXPECT_EQ(Scaled(100, 80), "100x80");
  EXPECT_EQ(Scaled(1000, 1000), "800x800");  // a square takes the landscape branch
}

TEST(TargetSize, thumbnails_of_160) {
  EXPECT_EQ(Thumb(4000, 3000), "160x120");
  EXPECT_EQ(Thumb(3000, 2000), "160x106");
  EXPECT_EQ(Thumb(2000, 3000), "106x160");
  EXPECT_EQ(Thumb(1000, 900), "160x144");
  EXPECT_EQ(Thumb(700, 650), "160x148");
  EXPECT_EQ(Thumb(1101, 1101), "160x160");
  EXPECT_EQ(Thumb(640, 480), "160x120");
  EXPECT_EQ(Thumb(172, 129), "160x119");  // 129 / (172 / 160) is just below 120
  EXPECT_EQ(Thumb(100, 80), "100x80");    // not enlarged
}

TEST(TargetSize, a_side_that_would_vanish_keeps_one_pixel) {
  EXPECT_EQ(Thumb(10000, 15), "160x1");
  EXPECT_EQ(Thumb(15, 10000), "1x160");
  EXPECT_EQ(Scaled(100000, 20), "800x1");
  EXPECT_EQ(Scaled(1, 1), "1x1");
}

TEST(TargetSize, bounds_below_one_count_as_one) {
  EXPECT_EQ(Scaled(640, 480, 0, 0), "1x1");
  EXPECT_EQ(Scaled(640, 480, -5, 600), "1x1");
  EXPECT_EQ(Thumb(640, 480, 0), "1x1");
  EXPECT_EQ(Thumb(1, 1, -160), "1x1");
}

}  // namespace
}  // namespace fotoloom
