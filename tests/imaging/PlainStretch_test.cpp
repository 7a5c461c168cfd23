#include "imaging/PlainStretch.h"

#include <gtest/gtest.h>

#include <string>

namespace fotoloom {
namespace {

// An image whose pixel (x, y) reads (x, y, 7).
Image Numbered(int width, int height) {
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.pixel(x, y);
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = 7;
    }
  return image;
}

// The source columns (red) of a target row, as "a b c".
std::string Columns(const Image& image, int y) {
  std::string s;
  for (int x = 0; x < image.width(); ++x) s += (x ? " " : "") + std::to_string(image.pixel(x, y)[0]);
  return s;
}

std::string Rows(const Image& image, int x) {
  std::string s;
  for (int y = 0; y < image.height(); ++y) s += (y ? " " : "") + std::to_string(image.pixel(x, y)[1]);
  return s;
}

TEST(PlainStretch, a_target_of_the_source_size_is_an_exact_copy) {
  const Image source = Numbered(13, 9);
  Image target(13, 9);
  PlainStretch(source, target);
  EXPECT_EQ(std::string(source.data(), source.data() + source.stride() * 9),
            std::string(target.data(), target.data() + target.stride() * 9));
}

TEST(PlainStretch, shrinking_keeps_the_pixels_under_the_target_centres) {
  const Image source = Numbered(8, 6);
  Image target(4, 3);
  PlainStretch(source, target);
  EXPECT_EQ(Columns(target, 0), "1 3 5 7");
  EXPECT_EQ(Rows(target, 0), "1 3 5");
  EXPECT_EQ(target.pixel(2, 2)[2], 7);
}

TEST(PlainStretch, enlarging_repeats_pixels_without_averaging) {
  const Image source = Numbered(2, 3);
  Image target(5, 7);
  PlainStretch(source, target);
  EXPECT_EQ(Columns(target, 0), "0 0 1 1 1");
  EXPECT_EQ(Columns(target, 6), "0 0 1 1 1");
  EXPECT_EQ(Rows(target, 4), "0 0 1 1 1 2 2");
}

TEST(PlainStretch, one_pixel_targets_and_sources) {
  const Image source = Numbered(9, 9);
  Image dot(1, 1);
  PlainStretch(source, dot);
  EXPECT_EQ(Columns(dot, 0), "4");
  EXPECT_EQ(Rows(dot, 0), "4");

  const Image line = Numbered(1, 1);
  Image wide(3, 2);
  PlainStretch(line, wide);
  EXPECT_EQ(Columns(wide, 1), "0 0 0");
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

TEST(PlainRowStretch, takes_only_the_sampled_rows_in_any_order_and_matches_the_whole_stretch) {
  const Image source = Numbered(13, 9);
  Image whole(5, 4);
  PlainStretch(source, whole);

  PlainRowStretch rows;
  Image target(5, 4);
  rows.Begin(13, 9, target);
  std::string needed;
  for (int y = 0; y < 9; ++y) needed += rows.Needs(y) ? '1' : '0';
  EXPECT_EQ(needed, "010101010");                              // rows 1, 3, 5 and 7 lie under the target rows' centres
  for (int y = 8; y >= 0; --y) rows.AddRow(source.row(y), y);  // bottom-up, as an upside-down photo comes
  EXPECT_EQ(Rows(target, 0), "1 3 5 7");
  EXPECT_EQ(Columns(target, 0), Columns(whole, 0));
  EXPECT_EQ(std::string(target.data(), target.data() + target.stride() * 4),
            std::string(whole.data(), whole.data() + whole.stride() * 4));

  // Enlarging: every source row is needed, and a row fills all the target rows taking it.
  Image tall(13, 20);
  rows.Begin(13, 9, tall);
  for (int y = 0; y < 9; ++y) {
    EXPECT_TRUE(rows.Needs(y)) << y;
    rows.AddRow(source.row(y), y);
  }
  EXPECT_EQ(Rows(tall, 12), "0 0 1 1 2 2 2 3 3 4 4 5 5 6 6 6 7 7 8 8");
  EXPECT_FALSE(rows.Needs(-1));
  EXPECT_FALSE(rows.Needs(9));
}

}  // namespace
}  // namespace fotoloom
