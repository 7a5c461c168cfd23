#include "imaging/Orientation.h"

#include <gtest/gtest.h>

#include "JpegFixtures.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

int Orientation(const std::string& exif) {
  return ReadExifOrientation(reinterpret_cast<const std::uint8_t*>(exif.data()), exif.size());
}

TEST(Orientation, reads_the_tag_in_either_byte_order) {
  EXPECT_EQ(Orientation(test::ExifWithOrientation(6, true)), 6);
  EXPECT_EQ(Orientation(test::ExifWithOrientation(8, false)), 8);
  EXPECT_EQ(Orientation(test::ExifWithOrientation(3, false)), 3);
}

TEST(Orientation, anything_but_a_valid_tag_counts_as_upright) {
  EXPECT_EQ(Orientation(test::ExifWithOrientation(0)), 1);
  EXPECT_EQ(Orientation(test::ExifWithOrientation(9)), 1);
  EXPECT_EQ(Orientation(""), 1);
  EXPECT_EQ(Orientation("http://ns.adobe.com/xap/1.0/"), 1);
  EXPECT_EQ(Orientation(std::string("Exif\0\0MM\0*", 10)), 1);  // cut short after the header
  std::string noTag = test::ExifWithOrientation(6);
  noTag[17] = 0x01;  // tag 0x0112 becomes 0x0101, the image height
  EXPECT_EQ(Orientation(noTag), 1);
}

// Stored quadrants: top-left red, top-right green, bottom-left blue,
// bottom-right white. Each row lists the upright size and the colours of the
// upright top-left, top-right, bottom-left and bottom-right corners.
struct Case {
  int orientation;
  int width, height;
  char tl, tr, bl, br;
};

test::Rgb ColourOf(char c) {
  switch (c) {
    case 'R': return {255, 0, 0};
    case 'G': return {0, 255, 0};
    case 'B': return {0, 0, 255};
    default: return {255, 255, 255};
  }
}

TEST(Orientation, each_of_the_eight_values_is_placed_upright) {
  const Case cases[] = {
      {1, 64, 32, 'R', 'G', 'B', 'W'}, {2, 64, 32, 'G', 'R', 'W', 'B'}, {3, 64, 32, 'W', 'B', 'G', 'R'},
      {4, 64, 32, 'B', 'W', 'R', 'G'}, {5, 32, 64, 'R', 'B', 'G', 'W'}, {6, 32, 64, 'B', 'R', 'W', 'G'},
      {7, 32, 64, 'W', 'G', 'B', 'R'}, {8, 32, 64, 'G', 'W', 'R', 'B'},
  };
  const Image stored = test::MakeImage(
      64, 32, [](int x, int y) { return ColourOf(y < 16 ? (x < 32 ? 'R' : 'G') : (x < 32 ? 'B' : 'W')); });
  for (const Case& c : cases) {
    SCOPED_TRACE("orientation " + std::to_string(c.orientation));
    int w;
    int h;
    UprightSize(c.orientation, 64, 32, w, h);
    ASSERT_EQ(w, c.width);
    ASSERT_EQ(h, c.height);
    Image upright(w, h);
    for (int y = 0; y < 32; ++y) PlaceRow(c.orientation, stored.row(y), y, 64, 32, upright);
    auto at = [&](int x, int y) {
      const std::uint8_t* p = upright.pixel(x, y);
      return test::Rgb{p[0], p[1], p[2]};
    };
    auto same = [](test::Rgb a, test::Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
    EXPECT_TRUE(same(at(0, 0), ColourOf(c.tl)));
    EXPECT_TRUE(same(at(w - 1, 0), ColourOf(c.tr)));
    EXPECT_TRUE(same(at(0, h - 1), ColourOf(c.bl)));
    EXPECT_TRUE(same(at(w - 1, h - 1), ColourOf(c.br)));
  }
}

}  // namespace
}  // namespace fotoloom
