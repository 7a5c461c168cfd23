#include "pages/MacroReplace.h"

#include <gtest/gtest.h>

#include <vector>

namespace fotoloom {
namespace {

std::string Replaced(std::string text, const std::vector<Macro>& macros) {
  std::string scratch;
  ReplaceMacros(text, macros, scratch);
  return text;
}

TEST(MacroReplace, replaces_every_occurrence_in_any_letter_case) {
  EXPECT_EQ(Replaced("@cp@ @CP@ @Cp@\r\n@cp@\r\n", {{"@cp@", "3"}}), "3 3 3\r\n3\r\n");
  EXPECT_EQ(Replaced("@Title@ @TITLE@\r\n", {{"@title@", "Trip"}}), "Trip Trip\r\n");
}

TEST(MacroReplace, unknown_texts_and_stray_at_signs_stay) {
  EXPECT_EQ(Replaced("@ @@cp@@ @exifcomment@ @cp\r\n", {{"@cp@", "1"}}), "@ @1@ @exifcomment@ @cp\r\n");
}

TEST(MacroReplace, a_value_holding_its_own_macro_is_not_replaced_again) {
  EXPECT_EQ(Replaced("<@title@>\r\n", {{"@title@", "a @title@ b"}}), "<a @title@ b>\r\n");
  EXPECT_EQ(Replaced("@cp@@cp@\r\n", {{"@cp@", "@c"}}), "@c@c\r\n");
}

TEST(MacroReplace, later_macros_apply_to_earlier_values_but_not_the_other_way) {
  const std::vector<Macro> list = {{"@bg_color@", "#FFFFFF"}, {"@title@", "Page @cp@ @bg_color@"}, {"@cp@", "3"}};
  EXPECT_EQ(Replaced("@title@\r\n", list), "Page 3 @bg_color@\r\n");
}

TEST(MacroReplace, a_value_with_line_breaks_becomes_several_lines) {
  EXPECT_EQ(Replaced("  <x>@v@</x>\r\n", {{"@v@", "a\nb\rc\r\nd"}}), "  <x>a\r\nb\r\nc\r\nd</x>\r\n");
  EXPECT_EQ(Replaced("@t@\r\nend\r\n", {{"@t@", "<tr>\r\n</tr>\r\n"}}), "<tr>\r\n</tr>\r\n\r\nend\r\n");
  EXPECT_EQ(Replaced("@t@\r\n", {{"@t@", "x\r"}}), "x\r\n\r\n");
}

TEST(MacroReplace, an_empty_value_deletes_the_macro_but_not_its_line) {
  EXPECT_EQ(Replaced("a\r\n@v@\r\nb\r\n", {{"@v@", ""}}), "a\r\n\r\nb\r\n");
}

TEST(MacroReplace, normalising_matches_splitting_and_joining_lines) {
  std::string scratch;
  std::string text = "a\rb\nc\r\nd";
  NormalizeLineBreaks(text, scratch);
  EXPECT_EQ(text, "a\r\nb\r\nc\r\nd\r\n");
  text = "\n\r\r\n";
  NormalizeLineBreaks(text, scratch);
  EXPECT_EQ(text, "\r\n\r\n\r\n");
  text = "";
  NormalizeLineBreaks(text, scratch);
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace fotoloom
