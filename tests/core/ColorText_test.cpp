#include "core/ColorText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/Error.h"

namespace fotoloom {
namespace {

TEST(ColorText, named_values_are_written_by_name_and_others_as_eight_hex_digits) {
  EXPECT_EQ(ColorToText(kClWindow), "clWindow");
  EXPECT_EQ(ColorToText(0x000000), "clBlack");
  EXPECT_EQ(ColorToText(0xFF0000), "clBlue");
  EXPECT_EQ(ColorToText(0x800080), "clPurple");
  EXPECT_EQ(ColorToText(0xA4A0A0), "clMedGray");
  EXPECT_EQ(ColorToText(SystemColor(30)), "clMenuBar");
  EXPECT_EQ(ColorToText(0x1FFFFFFF), "clNone");
  EXPECT_EQ(ColorToText(0x20000000), "clDefault");
  EXPECT_EQ(ColorToText(Rgb(0x40, 0x80, 0xC0)), "$00C08040");
  EXPECT_EQ(ColorToText(SystemColor(25)), "$FF000019");  // no name for index 25
  EXPECT_EQ(ColorToText(0x00000001), "$00000001");
}

TEST(ColorText, the_table_holds_every_name_once_and_every_name_reads_back) {
  std::set<std::string> names;
  std::set<Color> values;
  for (const ColorName& c : ColorNames()) {
    names.insert(std::string(c.Name));
    values.insert(c.Value);
    EXPECT_EQ(TextToColor(c.Name), c.Value) << c.Name;
    EXPECT_EQ(ColorToText(c.Value), c.Name);
  }
  EXPECT_EQ(ColorNames().size(), 52u);
  EXPECT_EQ(names.size(), 52u);
  EXPECT_EQ(values.size(), 52u);
  EXPECT_EQ(TextToColor("clSkyBlue"), 0xF0CAA6u);
  EXPECT_EQ(TextToColor("clInfoBk"), SystemColor(24));
  EXPECT_EQ(TextToColor("cl3DDkShadow"), SystemColor(21));
}

TEST(ColorText, names_read_in_any_case_and_numbers_in_decimal_or_hex) {
  EXPECT_EQ(TextToColor("clwindow"), kClWindow);
  EXPECT_EQ(TextToColor("CLBLUE"), kClBlue);
  EXPECT_EQ(TextToColor("$00C08040"), 0x00C08040u);
  EXPECT_EQ(TextToColor("0xFF"), 0xFFu);
  EXPECT_EQ(TextToColor("255"), 0xFFu);
  EXPECT_EQ(TextToColor("  -1"), 0xFFFFFFFFu);
  EXPECT_EQ(TextToColor("$FF000005"), kClWindow);
  EXPECT_EQ(TextToColor("blue"), std::nullopt);
  EXPECT_EQ(TextToColor(""), std::nullopt);
}

TEST(ColorText, an_unknown_colour_text_raises_the_integer_message) {
  try {
    ColorFromText("reddish");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'reddish' is not a valid integer value");
  }
}

}  // namespace
}  // namespace fotoloom
