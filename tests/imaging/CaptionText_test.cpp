#include "imaging/CaptionText.h"

#include <gtest/gtest.h>

#include <string>

namespace fotoloom {
namespace {

TEST(ValidUtf8, keeps_well_formed_text_and_replaces_each_bad_byte) {
  struct Case {
    std::string in;
    std::string out;
  };
  const std::string r = "\xEF\xBF\xBD";
  const Case cases[] = {
      {"plain", "plain"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB7", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB7"},
      {"a\xFF"
       "b",
       "a" + r + "b"},                                   // never a UTF-8 byte
      {"\x80x", r + "x"},                                // stray continuation
      {"\xC0\xAF", r + r},                               // overlong "/"
      {"\xE0\x80\xAF", r + r + r},                       // overlong, three bytes
      {"\xED\xA0\x80", r + r + r},                       // a surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},               // past U+10FFFF
      {"end\xE2\x82", "end" + r + r},                    // cut at the end
      {"\xC3\xA9\xC3", "\xC3\xA9" + r},                  // cut after a good one
      {std::string("a\0b", 3), std::string("a\0b", 3)},  // NUL is valid UTF-8
  };
  for (const Case& c : cases) EXPECT_EQ(ValidUtf8(c.in), c.out) << c.in;
}

TEST(CleanCaption, trims_turns_controls_into_blanks_and_keeps_line_breaks_as_lf) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"  A day at the sea \n", "A day at the sea"},
      {"\xC2\xA0No-break spaces\xC2\xA0", "No-break spaces"},
      {"line one\r\nline two\rline three\nline four", "line one\nline two\nline three\nline four"},
      {"tab\there", "tab here"},
      {std::string("nul\0inside\0\0", 13), "nul inside"},
      {"bell\x07 and del\x7F", "bell  and del"},
      {"c1 \xC2\x85 control", "c1   control"},
      {"<b>Tom & \"Jerry\"</b>", "<b>Tom & \"Jerry\"</b>"},  // escaping is for the pages
      {"", ""},
      {" \t\r\n ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanCaption(c.in), c.out) << c.in;
}

TEST(CleanCaption, drops_camera_boilerplate_in_any_case_and_padding_but_not_text_around_it) {
  for (const std::string_view text : kCameraBoilerplateCaptions) {
    const std::string padded = "  " + std::string(text) + "        ";
    EXPECT_EQ(CleanCaption(padded), "") << text;
    std::string lower(text);
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    EXPECT_EQ(CleanCaption(lower), "") << lower;
    EXPECT_TRUE(IsCameraBoilerplate(text));
  }
  EXPECT_EQ(CleanCaption("OLYMPUS DIGITAL CAMERA at the lake"), "OLYMPUS DIGITAL CAMERA at the lake");
  EXPECT_EQ(CleanCaption("SONY DSC\nBirthday"), "SONY DSC\nBirthday");
  EXPECT_FALSE(IsCameraBoilerplate("defaults"));
}

TEST(CleanCaption, replaces_invalid_utf8_and_cuts_after_2000_characters_not_bytes) {
  EXPECT_EQ(CleanCaption("Gr\xFC\xDF"
                         "e"),
            "Gr\xEF\xBF\xBD\xEF\xBF\xBD"
            "e");
  // 2,001 two-byte characters keep 2,000 of them, 4,000 bytes.
  std::string accents;
  for (int i = 0; i < 2001; ++i) accents += "\xC3\xA9";
  const std::string cut = CleanCaption(accents);
  EXPECT_EQ(cut.size(), 4000u);
  EXPECT_EQ(cut, accents.substr(0, 4000));
  // Exactly 2,000 stays whole; a cut that ends in blanks is trimmed.
  EXPECT_EQ(CleanCaption(std::string(2000, 'x')), std::string(2000, 'x'));
  EXPECT_EQ(CleanCaption(std::string(1998, 'x') + "   tail"), std::string(1998, 'x'));
}

TEST(CleanLabel, is_one_line_ends_at_the_first_nul_and_is_capped) {
  EXPECT_EQ(CleanLabel(std::string("Canon\0\0garbage", 14)), "Canon");
  EXPECT_EQ(CleanLabel("  NIKON\nD750 \t"), "NIKON D750");
  EXPECT_EQ(CleanLabel("\xFF"), "\xEF\xBF\xBD");
  EXPECT_EQ(CleanLabel(std::string(300, 'm')), std::string(kMaxLabelCharacters, 'm'));
}

}  // namespace
}  // namespace fotoloom
