#include "pages/LineFilter.h"

#include <gtest/gtest.h>

namespace fotoloom {
namespace {

using Lines = std::vector<std::string>;

TEST(LineFilter, position_of_a_page_in_its_sequence) {
  EXPECT_EQ(PositionInSequence(1, 3), PagePosition::First);
  EXPECT_EQ(PositionInSequence(2, 3), PagePosition::Middle);
  EXPECT_EQ(PositionInSequence(3, 3), PagePosition::Last);
  EXPECT_EQ(PositionInSequence(1, 1), PagePosition::First);  // a single page is never a last page
  EXPECT_EQ(PositionInSequence(2, 2), PagePosition::Last);
}

TEST(LineFilter, each_directive_keeps_its_line_where_it_should) {
  const Lines lines = {"a", "@iof@b", "@iol@c", "@oof@d", "@ool@e"};
  EXPECT_EQ(FilterLines(lines, PagePosition::First), (Lines{"a", "c", "d"}));
  EXPECT_EQ(FilterLines(lines, PagePosition::Middle), (Lines{"a", "b", "c"}));
  EXPECT_EQ(FilterLines(lines, PagePosition::Last), (Lines{"a", "b", "e"}));
}

TEST(LineFilter, ignore_drops_a_line_in_any_case_on_every_page) {
  for (PagePosition p : {PagePosition::First, PagePosition::Middle, PagePosition::Last})
    EXPECT_EQ(FilterLines({"@IGNORE@ note", "x @Ignore@", "@ignore", "y"}, p), (Lines{"@ignore", "y"}));
}

TEST(LineFilter, upper_case_dropping_markers_do_not_drop_and_stay_in_the_line) {
  EXPECT_EQ(FilterLines({"@IOF@<a href=x>"}, PagePosition::First), (Lines{"@IOF@<a href=x>"}));
  EXPECT_EQ(FilterLines({"@IOF@<a href=x>"}, PagePosition::Middle), (Lines{"<a href=x>"}));
  EXPECT_EQ(FilterLines({"@iof@<a href=x>"}, PagePosition::First), (Lines{}));
  EXPECT_EQ(FilterLines({"@OOF@x"}, PagePosition::Middle), (Lines{"@OOF@x"}));
}

TEST(LineFilter, combined_markers) {
  const Lines both = {"@iof@@iol@middle only"};
  EXPECT_EQ(FilterLines(both, PagePosition::First), (Lines{}));
  EXPECT_EQ(FilterLines(both, PagePosition::Middle), (Lines{"middle only"}));
  EXPECT_EQ(FilterLines(both, PagePosition::Last), (Lines{}));
  const Lines never = {"@oof@@ool@nowhere"};
  for (PagePosition p : {PagePosition::First, PagePosition::Middle, PagePosition::Last})
    EXPECT_EQ(FilterLines(never, p), (Lines{}));
}

TEST(LineFilter, a_marker_formed_by_removal_is_removed_too) {
  EXPECT_EQ(FilterLines({"x@io@iof@f@y"}, PagePosition::Middle), (Lines{"xy"}));
  EXPECT_EQ(FilterLines({"x@io@iof@f@y"}, PagePosition::Last), (Lines{"xy"}));
}

TEST(LineFilter, markers_anywhere_and_leading_blanks_are_kept) {
  EXPECT_EQ(FilterLines({"\t  <b>@iol@x</b>@iol@"}, PagePosition::Middle), (Lines{"\t  <b>x</b>"}));
  EXPECT_EQ(FilterLines({"  <td>@oof@</td>"}, PagePosition::First), (Lines{"  <td></td>"}));
  EXPECT_EQ(FilterLines({"", "@cp@ @foo@"}, PagePosition::First), (Lines{"", "@cp@ @foo@"}));
}

}  // namespace
}  // namespace fotoloom
