#include "imaging/FullSizeJpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "PhotoFixtures.h"
#include "core/Error.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::Rgb;
using test::Sample4;
using test::TempDir;

TEST(FullSizeJpeg, is_the_whole_photo_upright_in_srgb_on_the_background) {
  TempDir dir;
  // 40 x 20, left half a P3 red, right half transparent; turned a quarter
  // clockwise by the container.
  const std::string p3 = test::DisplayP3Profile();
  const auto pixels = [](int x, int) { return x < 20 ? Sample4{200, 40, 30, 255} : Sample4{0, 0, 0, 0}; };
  test::WriteHeif(dir / "a.heic", 40, 20, pixels, {.alpha = true, .icc = p3, .orientation = 6, .quality = 100});
  std::string jpeg;
  std::vector<std::string> warnings;
  MakeFullSizeJpeg(dir / "a.heic", {100, {0, 0, 255}}, {}, jpeg, warnings);
  EXPECT_TRUE(warnings.empty());
  test::WriteFile(dir / "b.jpg", jpeg);
  const test::JpegFacts facts = test::ReadFacts(dir / "b.jpg");
  EXPECT_EQ(facts.width, 20);
  EXPECT_EQ(facts.height, 40);
  EXPECT_EQ(facts.components, 3);
  EXPECT_FALSE(facts.progressive);
  const Image image = test::Decode(dir / "b.jpg");
  const Rgb red = test::ReferenceToSrgb(p3, {200, 40, 30});
  const std::uint8_t* top = image.pixel(10, 8);      // the red half, turned to the top
  const std::uint8_t* bottom = image.pixel(10, 32);  // the transparent half, on blue
  EXPECT_NEAR(top[0], red.r, 8);
  EXPECT_NEAR(top[1], red.g, 8);
  EXPECT_NEAR(top[2], red.b, 8);
  EXPECT_LT(bottom[0], 12);
  EXPECT_GT(bottom[2], 240);
}

TEST(FullSizeJpeg, a_photo_that_cannot_be_read_raises_its_decoder_error) {
  TempDir dir;
  test::WriteFile(dir / "a.png", "not a picture");
  std::string jpeg;
  std::vector<std::string> warnings;
  try {
    MakeFullSizeJpeg(dir / "a.png", {}, {}, jpeg, warnings);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read \"" + dir / "a.png" + "\" as PNG: Not a PNG file");
  }
}

}  // namespace
}  // namespace fotoloom
