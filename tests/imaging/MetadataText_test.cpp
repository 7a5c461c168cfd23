#include "imaging/MetadataText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace fotoloom {
namespace {

TEST(ParseExifDateTime, reads_the_recorded_moment_with_its_sub_seconds) {
  struct Case {
    std::string dateTime, subSeconds;
    std::optional<LocalTimestamp> expected;
  };
  const auto at = [](int y, int mo, int d, int h, int mi, int s, int ns = 0) {
    return std::optional<LocalTimestamp>(LocalTimestamp{{y, mo, d}, h, mi, s, ns});
  };
  const Case cases[] = {
      {"2024:05:17 14:03:07", "", at(2024, 5, 17, 14, 3, 7)},
      {"2024:05:17 14:03:07", "25", at(2024, 5, 17, 14, 3, 7, 250000000)},
      {"2024:05:17 14:03:07", "007", at(2024, 5, 17, 14, 3, 7, 7000000)},
      {"2024:05:17 14:03:07", "1234567891", at(2024, 5, 17, 14, 3, 7, 123456789)},  // past nanoseconds
      {"2024:05:17 14:03:07", " 5 ", at(2024, 5, 17, 14, 3, 7, 500000000)},
      {"2024:05:17 14:03:07", "x5", at(2024, 5, 17, 14, 3, 7)},      // not digits: none
      {"2024-05-17T14:03:07+02:00", "", at(2024, 5, 17, 14, 3, 7)},  // no time zone arithmetic
      {"  2024:02:29 00:00:00 ", "", at(2024, 2, 29, 0, 0, 0)},
      {"2023:02:29 00:00:00", "", std::nullopt},  // no such day
      {"0000:00:00 00:00:00", "", std::nullopt},  // a clock never set
      {"    :  :     :  :  ", "", std::nullopt},
      {"2024:13:01 10:00:00", "", std::nullopt},
      {"2024:05:17 24:00:00", "", std::nullopt},
      {"2024:05:17 14:03", "", std::nullopt},
      {"2024/05/17 14:03:07", "", std::nullopt},
      {"", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseExifDateTime(c.dateTime, c.subSeconds), c.expected) << c.dateTime;
}

TEST(DateTakenText, shows_the_minute_or_the_second_without_sub_seconds) {
  const LocalTimestamp t{{2024, 5, 7}, 4, 3, 9, 999999999};
  EXPECT_EQ(DateTakenText(t), "2024-05-07 04:03");
  EXPECT_EQ(DateTakenSecondsText(t), "2024-05-07 04:03:09");
}

TEST(CameraText, drops_the_make_that_the_model_repeats) {
  EXPECT_EQ(CameraText("Canon", "Canon EOS 5D"), "Canon EOS 5D");
  EXPECT_EQ(CameraText("CANON", "Canon EOS 5D"), "Canon EOS 5D");
  EXPECT_EQ(CameraText("NIKON CORPORATION", "NIKON D750"), "NIKON CORPORATION NIKON D750");
  EXPECT_EQ(CameraText("FUJIFILM", "X-T3"), "FUJIFILM X-T3");
  EXPECT_EQ(CameraText(" Apple ", ""), "Apple");
  EXPECT_EQ(CameraText("", "iPhone 12"), "iPhone 12");
  EXPECT_EQ(CameraText("", ""), "");
}

TEST(ExposureTimeText, writes_fractions_below_a_second_and_decimals_from_one_on) {
  struct Case {
    double seconds;
    std::string text;
  };
  const Case cases[] = {
      {1.0 / 250, "1/250 s"}, {10.0 / 2500, "1/250 s"}, {0.333, "1/3 s"}, {0.5, "1/2 s"}, {1.0 / 8000, "1/8000 s"},
      {0.4, "0.4 s"},         {0.75, "0.75 s"},         {1, "1 s"},       {2, "2 s"},     {2.5, "2.5 s"},
      {30, "30 s"},           {1.3, "1.3 s"},           {0, ""},          {-1, ""},       {NAN, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExposureTimeText(c.seconds), c.text) << c.seconds;
}

TEST(ExposureText, joins_the_parts_present_with_commas) {
  EXPECT_EQ(ExposureText(1.0 / 250, 5.6, 200, 35), "1/250 s, f/5.6, ISO 200, 35 mm");
  EXPECT_EQ(ExposureText(2, 8, std::nullopt, 4.2), "2 s, f/8, 4.2 mm");
  EXPECT_EQ(ExposureText(std::nullopt, 1.8, 6400, std::nullopt), "f/1.8, ISO 6400");
  EXPECT_EQ(ExposureText(std::nullopt, std::nullopt, 100, std::nullopt), "ISO 100");
  EXPECT_EQ(ExposureText(0, 0, 0, 0), "");
  EXPECT_EQ(ExposureText(std::nullopt, std::nullopt, std::nullopt, std::nullopt), "");
}

}  // namespace
}  // namespace fotoloom
