#include "imaging/WebpEncoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "JpegFixtures.h"
#include "core/Error.h"
#include "imaging/WebpDecoder.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;

Image Detailed(int width, int height) {
  return test::MakeImage(width, height, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 3 + y), static_cast<std::uint8_t>(128 + (x - y) / 2),
                     static_cast<std::uint8_t>(y * 2)};
  });
}

// The mean difference per channel between two images of one size.
double MeanDifference(const Image& a, const Image& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width() * 3; ++x) sum += std::abs(int(a.row(y)[x]) - int(b.row(y)[x]));
  return sum / (3.0 * a.width() * a.height());
}

Image DecodeWebp(const TempDir& dir, const std::string& bytes) {
  test::WriteFile(dir / "x.webp", bytes);
  WebpDecoder decoder;
  Image image;
  decoder.Load(dir / "x.webp", image);
  return image;
}

TEST(WebpEncoder, a_copy_decodes_to_its_size_close_to_its_pixels_and_repeats_its_bytes) {
  TempDir dir;
  for (const auto& [width, height] : {std::pair{160, 107}, {1, 1}, {333, 17}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const Image image = Detailed(width, height);
    std::string webp;
    EncodeWebp(image, 90, false, webp);
    ASSERT_EQ(webp.compare(0, 4, "RIFF"), 0);
    const Image decoded = DecodeWebp(dir, webp);
    ASSERT_EQ(decoded.width(), width);
    ASSERT_EQ(decoded.height(), height);
    EXPECT_LT(MeanDifference(decoded, image), 4.0);
    std::string again = "old content is replaced";
    EncodeWebp(image, 90, false, again);
    EXPECT_TRUE(again == webp);
  }
  // A lower quality gives fewer bytes.
  std::string high;
  std::string low;
  EncodeWebp(Detailed(300, 200), 95, false, high);
  EncodeWebp(Detailed(300, 200), 40, false, low);
  EXPECT_LT(low.size(), high.size());
}

TEST(WebpEncoder, a_grey_copy_holds_the_grey_the_jpeg_encoder_makes) {
  TempDir dir;
  const Image image = test::MakeImage(64, 48, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5), 200};
  });
  std::string webp;
  EncodeWebp(image, 100, true, webp);
  const Image decoded = DecodeWebp(dir, webp);
  for (const auto& [x, y] : {std::pair{0, 0}, {40, 20}, {63, 47}}) {
    const std::uint8_t* p = decoded.pixel(x, y);
    const std::uint8_t* q = image.pixel(x, y);
    const int grey = (299 * q[0] + 587 * q[1] + 114 * q[2] + 500) / 1000;
    EXPECT_NEAR(p[0], grey, 4) << x << "," << y;
    EXPECT_NEAR(p[1], p[0], 2);
    EXPECT_NEAR(p[2], p[0], 2);
  }
}

TEST(WebpEncoder, an_image_wider_than_webp_allows_is_refused_with_the_reason) {
  std::string webp = "kept";
  try {
    EncodeWebp(Image(16384, 1), 80, false, webp);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot encode image as WebP: at 16384 x 1 pixels it is larger than WebP allows (16383 pixels a "
                 "side). Choose a smaller image size, or leave out the WebP copies.");
  }
  EXPECT_EQ(webp, "kept");
}

}  // namespace
}  // namespace fotoloom
