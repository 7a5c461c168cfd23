#include "imaging/PixelFormats.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace fotoloom {
namespace {

// The colour a format stores for (r, g, b), as "r,g,b".
std::string Stored(int format, int r, int g, int b) {
  Image image(1, 1);
  image.data()[0] = static_cast<std::uint8_t>(r);
  image.data()[1] = static_cast<std::uint8_t>(g);
  image.data()[2] = static_cast<std::uint8_t>(b);
  ReduceToPixelFormat(image, format);
  return std::to_string(image.data()[0]) + "," + std::to_string(image.data()[1]) + "," +
         std::to_string(image.data()[2]);
}

TEST(PixelFormats, one_bit_keeps_the_nearer_of_black_and_white) {
  EXPECT_EQ(Stored(1, 200, 200, 200), "255,255,255");
  EXPECT_EQ(Stored(1, 255, 0, 0), "0,0,0");
  EXPECT_EQ(Stored(1, 255, 255, 0), "255,255,255");
  EXPECT_EQ(Stored(1, 127, 127, 128), "0,0,0");        // channel sum 382: nearer to black
  EXPECT_EQ(Stored(1, 128, 127, 128), "255,255,255");  // 383: nearer to white
}

TEST(PixelFormats, four_bit_keeps_the_nearest_vga_colour) {
  EXPECT_EQ(Stored(2, 200, 30, 30), "255,0,0");
  EXPECT_EQ(Stored(2, 100, 100, 100), "128,128,128");
  EXPECT_EQ(Stored(2, 170, 170, 170), "192,192,192");
  EXPECT_EQ(Stored(2, 0, 100, 110), "0,128,128");
  EXPECT_EQ(Stored(2, 140, 20, 120), "128,0,128");
  EXPECT_EQ(Stored(2, 250, 250, 10), "255,255,0");
}

TEST(PixelFormats, eight_bit_keeps_the_nearest_cube_colour_or_grey) {
  EXPECT_EQ(Stored(3, 30, 60, 90), "51,51,102");
  EXPECT_EQ(Stored(3, 200, 10, 10), "204,0,0");
  EXPECT_EQ(Stored(3, 60, 60, 60), "62,62,62");  // a ramp grey between cube levels 51 and 102
  EXPECT_EQ(Stored(3, 100, 100, 100), "102,102,102");
  EXPECT_EQ(Stored(3, 255, 255, 255), "255,255,255");
  EXPECT_EQ(Stored(3, 3, 3, 3), "0,0,0");
}

TEST(PixelFormats, eight_bit_never_stores_more_than_256_colours) {
  Image image(86 * 86, 86);
  std::uint8_t* p = image.data();
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 3)
      for (int b = 0; b < 256; b += 3, p += 3) {
        p[0] = static_cast<std::uint8_t>(r);
        p[1] = static_cast<std::uint8_t>(g);
        p[2] = static_cast<std::uint8_t>(b);
      }
  ReduceToPixelFormat(image, 3);
  std::set<int> colours;
  for (p = image.data(); p < image.data() + image.stride() * 86; p += 3) colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
  EXPECT_LE(colours.size(), 256u);
  EXPECT_GT(colours.size(), 216u);  // greys beyond the cube's six are in use
}

TEST(PixelFormats, fifteen_and_sixteen_bits_drop_the_low_bits) {
  EXPECT_EQ(Stored(4, 0x17, 0x37, 0x5F), "16,48,88");  // 0x10, 0x30, 0x58
  EXPECT_EQ(Stored(5, 0x17, 0x37, 0x5F), "16,52,88");  // green keeps six bits: 0x34
  EXPECT_EQ(Stored(5, 255, 255, 255), "248,252,248");
}

TEST(PixelFormats, full_colour_formats_and_unknown_codes_keep_every_colour) {
  for (int format : {0, 6, 7, 8, 255}) {
    SCOPED_TRACE(format);
    EXPECT_EQ(Stored(format, 1, 2, 3), "1,2,3");
    EXPECT_EQ(Stored(format, 250, 129, 7), "250,129,7");
  }
}

}  // namespace
}  // namespace fotoloom
