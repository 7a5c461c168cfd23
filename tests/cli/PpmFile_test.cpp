#include "cli/PpmFile.h"

#include <gtest/gtest.h>

#include <string>

#include "core/Error.h"

namespace fotoloom::cli {
namespace {

std::string DecodeError(const std::string& bytes) {
  Image image;
  try {
    DecodePpm(bytes, image);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(PpmFile, round_trips_pixels_and_reads_comments) {
  Image image;
  DecodePpm("P6 # made by hand\n2 1 # size\n255\nABCDEF", image);
  ASSERT_EQ(image.width(), 2);
  ASSERT_EQ(image.height(), 1);
  EXPECT_EQ(image.pixel(1, 0)[2], 'F');
  EXPECT_EQ(EncodePpm(image), "P6\n2 1\n255\nABCDEF");
}

TEST(PpmFile, rejects_what_it_cannot_read) {
  EXPECT_EQ(DecodeError("P3\n1 1\n255\n0 0 0"), "Not a binary PPM file with 8-bit samples: no P6 signature");
  EXPECT_EQ(DecodeError("P6\n1 1\n65535\n"), "Not a binary PPM file with 8-bit samples: maximum value 65535");
  EXPECT_EQ(DecodeError("P6\n2 2\n255\nABC"), "Not a binary PPM file with 8-bit samples: pixel data cut short");
  EXPECT_EQ(DecodeError("P6\n0 2\n255\n"), "Not a binary PPM file with 8-bit samples: empty image");
  EXPECT_EQ(DecodeError("P6\n99999999999 2\n255\n"), "Not a binary PPM file with 8-bit samples: width too large");
  EXPECT_EQ(DecodeError("P6\nx"), "Not a binary PPM file with 8-bit samples: no width");
}

}  // namespace
}  // namespace fotoloom::cli
