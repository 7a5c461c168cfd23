#include "pages/PageRenderer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/Error.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;
using Lines = std::vector<std::string>;

TEST(PageRenderer, filters_joins_with_crlf_then_replaces) {
  const Lines tmpl = {"@iof@<a href=\"@prev@\">", "@ignore@ note", "page @cp@", "@iol@<a href=\"@next@\">"};
  const std::vector<Macro> macros = {{"@cp@", "1"}, {"@next@", "p2.htm"}, {"@prev@", "p0.htm"}};
  EXPECT_EQ(RenderPage(tmpl, PagePosition::First, macros), "page 1\r\n<a href=\"p2.htm\">\r\n");
  EXPECT_EQ(RenderPage(tmpl, PagePosition::Last, macros), "<a href=\"p0.htm\">\r\npage 1\r\n");
}

TEST(PageRenderer, empty_template_or_all_lines_dropped_gives_empty_text) {
  EXPECT_EQ(RenderPage({}, PagePosition::First, {}), "");
  EXPECT_EQ(RenderPage({"@ignore@"}, PagePosition::Middle, {}), "");
  EXPECT_EQ(RenderPage({""}, PagePosition::Middle, {}), "\r\n");
}

TEST(PageRenderer, a_template_line_with_a_stray_break_is_split) {
  EXPECT_EQ(RenderPage({"a\nb", "c\r"}, PagePosition::First, {}), "a\r\nb\r\nc\r\n\r\n");
}

TEST(PageRenderer, prepared_positions_give_the_same_text_as_rendering_from_scratch) {
  const Lines tmpl = {"@oof@first @bg_color@", "@iof@@iol@middle @cp@", "@ool@last @tp@ @bg_color@", "all @cp@"};
  const std::vector<Macro> fixed = {{"@bg_color@", "#000000"}, {"@tp@", "3"}};
  PageRenderer renderer;
  renderer.Reset(tmpl, fixed);
  for (int k = 1; k <= 3; ++k) {
    const std::string cp = std::to_string(k);
    const std::vector<Macro> own = {{"@cp@", cp}};
    const std::vector<Macro> all = {fixed[0], fixed[1], own[0]};
    const PagePosition pos = PositionInSequence(k, 3);
    EXPECT_EQ(renderer.Render(pos, own), RenderPage(tmpl, pos, all)) << k;
  }
  EXPECT_EQ(renderer.Render(PagePosition::Middle, std::vector<Macro>{{"@cp@", "2"}}), "middle 2\r\nall 2\r\n");
}

TEST(PageRenderer, writes_the_text_as_it_is_and_replaces_an_existing_file) {
  TempDir dir;
  test::WriteFile(dir / "page1.htm", "older and longer content");
  WritePage(dir.str(), "page1.htm", "a\r\n");
  WritePage(dir.str() + "/", "page2.htm", "");
  EXPECT_EQ(ReadFile(dir / "page1.htm"), "a\r\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "page2.htm"));
  EXPECT_EQ(ReadFile(dir / "page2.htm"), "");
}

TEST(PageRenderer, a_page_that_cannot_be_created_raises_the_file_error) {
  TempDir dir;
  try {
    WritePage(dir / "missing", "page1.htm", "a\r\n");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + dir.str() + "/missing/page1.htm\". No such file or directory");
  }
}

}  // namespace
}  // namespace fotoloom
