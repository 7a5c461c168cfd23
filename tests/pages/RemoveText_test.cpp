#include "pages/RemoveText.h"

#include <gtest/gtest.h>

#include "pages/AsciiCase.h"

namespace fotoloom {
namespace {

constexpr unsigned kBoth = kRemoveAll | kRemoveIgnoreCase;

TEST(RemoveText, deletes_every_occurrence_ignoring_ascii_case) {
  EXPECT_EQ(Remove_text("photo.JPG", ".jpg", kBoth), "photo");
  EXPECT_EQ(Remove_text("a.jpg.jpg", ".jpg", kBoth), "a");
  EXPECT_EQ(Remove_text("x.Jpg.y.JPG", ".jpg", kBoth), "x.y");
  EXPECT_EQ(Remove_text("  @IOF@<a href=x>", "@iof@", kBoth), "  <a href=x>");
}

TEST(RemoveText, deletes_occurrences_that_a_deletion_forms) {
  EXPECT_EQ(Remove_text("@io@iof@f@", "@iof@", kBoth), "");
  EXPECT_EQ(Remove_text("aabb", "ab", kBoth), "");
  EXPECT_EQ(Remove_text("x@IO@iof@F@y", "@iof@", kBoth), "xy");
}

TEST(RemoveText, flags_limit_it_to_one_occurrence_or_to_exact_case) {
  EXPECT_EQ(Remove_text("a.jpg.jpg", ".jpg", kRemoveIgnoreCase), "a.jpg");
  EXPECT_EQ(Remove_text("photo.JPG.jpg", ".jpg", kRemoveAll), "photo.JPG");
  EXPECT_EQ(Remove_text("photo.JPG", ".jpg", 0), "photo.JPG");
}

TEST(RemoveText, leaves_the_text_alone_for_an_empty_or_missing_part) {
  EXPECT_EQ(Remove_text("photo", "", kBoth), "photo");
  EXPECT_EQ(Remove_text("photo", ".jpg", kBoth), "photo");
  EXPECT_EQ(Remove_text("", ".jpg", kBoth), "");
}

TEST(RemoveText, folds_only_ascii_letters) {
  EXPECT_EQ(Remove_text("\xC4x\xE4", "\xE4", kBoth), "\xC4x");  // Latin-1 A/a umlaut are different texts
  EXPECT_EQ(Remove_text("a[b{", "{", kBoth), "a[b");            // "[" is not the upper case of "{"
  EXPECT_EQ(FindIgnoreCase("xx@CP@", "@cp@"), 2u);
  EXPECT_EQ(FindIgnoreCase("@cp", "@cp@"), std::string_view::npos);
}

}  // namespace
}  // namespace fotoloom
