#include "pages/ZipMacros.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace fotoloom {
namespace {

TEST(ZipMacros, sizes_read_in_decimal_units_with_one_decimal_below_a_hundred) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 B"},
      {999, "999 B"},
      {1000, "1.0 kB"},
      {1049, "1.0 kB"},
      {1050, "1.1 kB"},  // half up
      {99'949, "99.9 kB"},
      {99'950, "100 kB"},  // one decimal would show 100.0
      {999'499, "999 kB"},
      {999'500, "1.0 MB"},  // 1000 kB goes to the next unit
      {12'500'000, "12.5 MB"},
      {532'000'000, "532 MB"},
      {1'234'567'890, "1.2 GB"},
      {999'999'999'999, "1.0 TB"},
      {4'300'000'000'000'000, "4300 TB"},  // no unit beyond TB
      {std::numeric_limits<std::uint64_t>::max(), "18446744 TB"},
  };
  for (const auto& c : cases) EXPECT_EQ(ZipSizeText(c.bytes), c.text) << c.bytes;
}

TEST(ZipMacros, the_link_says_how_many_photos_and_how_large_and_escapes_what_it_shows) {
  EXPECT_EQ(ZipLink("", 3, "1.0 MB"), "");
  EXPECT_EQ(ZipLink("photos.zip", 1, "1.0 MB"),
            "<a class=\"download\" href=\"photos.zip\" download>Download the photo (1.0 MB)</a>");
  EXPECT_EQ(ZipLink("a #1&.zip", 24, "<x>"),
            "<a class=\"download\" href=\"a%20%231&amp;.zip\" download>Download all 24 photos (&lt;x&gt;)</a>");
}

}  // namespace
}  // namespace fotoloom
