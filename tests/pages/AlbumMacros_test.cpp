#include "pages/AlbumMacros.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fotoloom {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

SubAlbumCell Cell(std::string name, std::vector<std::string> coverFolders, std::string cover, std::int64_t count) {
  return SubAlbumCell{std::move(name), std::move(coverFolders), std::move(cover), count, {}};
}

TEST(AlbumMacros, the_table_lays_the_sub_albums_out_in_rows_of_the_columns) {
  const std::vector<SubAlbumCell> albums = {Cell("2023", {"2023"}, "a.jpg", 1),
                                            Cell("2024", {"2024", "Rome"}, "IMG_1.JPG", 120),
                                            Cell("Misc", {"Misc"}, "m.jpg", 2)};
  EXPECT_THAT(AlbumTableRows(albums, 2, "page1.htm"),
              ElementsAre("<tr>", "<td class=\"thumbcells albumcells\" >", "<a href=\"2023/page1.htm\">",
                          "<img src=\"2023/t_a.jpg\" border=0 alt=\"2023\">", "<br>2023", "<br>1 photo", "</a>",
                          "</td>",  //
                          "<td class=\"thumbcells albumcells\" >", "<a href=\"2024/page1.htm\">",
                          "<img src=\"2024/Rome/t_IMG_1.JPG\" border=0 alt=\"2024\">", "<br>2024", "<br>120 photos",
                          "</a>", "</td>", "</tr>",  //
                          "<tr>", "<td class=\"thumbcells albumcells\" >", "<a href=\"Misc/page1.htm\">",
                          "<img src=\"Misc/t_m.jpg\" border=0 alt=\"Misc\">", "<br>Misc", "<br>2 photos", "</a>",
                          "</td>", "</tr>"));
  // Rows of as many cells as there are columns; a column count below 1 counts as 1.
  const auto rowCount = [&albums](int cols) {
    int rows = 0;
    for (const std::string& line : AlbumTableRows(albums, cols, "p1.html")) rows += line == "<tr>";
    return rows;
  };
  EXPECT_EQ(rowCount(1), 3);
  EXPECT_EQ(rowCount(3), 1);
  EXPECT_EQ(rowCount(10), 1);
  EXPECT_EQ(rowCount(0), 3);
  EXPECT_THAT(AlbumTableRows({}, 4, "page1.htm"), IsEmpty());
}

// A photo of another format has a JPEG thumbnail named after its whole name.
TEST(AlbumMacros, a_cover_of_another_format_shows_its_jpeg_thumbnail) {
  EXPECT_THAT(AlbumTableRows({Cell("Phone", {"Phone", "2024"}, "IMG_1.HEIC", 3)}, 4, "page1.htm"),
              ::testing::Contains("<img src=\"Phone/2024/t_IMG_1.HEIC.jpg\" border=0 alt=\"Phone\">"));
}

// Beside the thumbnail grid, a cover is a thumbnail of the grid's kind: its
// size, and the sharp and WebP copies the run writes, down its folders.
TEST(AlbumMacros, covers_in_grid_form_carry_their_size_and_the_sharp_and_webp_copies) {
  SubAlbumCell cell = Cell("Ærø", {"Ærø", "a b"}, "x@y.png", 3);
  cell.CoverSizes = {640, 480, 160, 120};
  const ExtraImages both{true, true};
  EXPECT_THAT(AlbumTableRows({cell}, 4, "page1.htm", &both),
              ::testing::IsSupersetOf(
                  {"<source type=\"image/webp\" srcset=\"Ærø/a%20b/t_x%40y.png.jpg.webp 1x, "
                   "Ærø/a%20b/t2_x%40y.png.jpg.webp 2x\">",
                   "<img src=\"Ærø/a%20b/t_x%40y.png.jpg\" srcset=\"Ærø/a%20b/t_x%40y.png.jpg 1x, "
                   "Ærø/a%20b/t2_x%40y.png.jpg 2x\" width=\"160\" height=\"120\" alt=\"Ærø\" decoding=\"async\">"}));
  const ExtraImages none;
  cell.CoverSizes = {};
  EXPECT_THAT(AlbumTableRows({cell}, 4, "page1.htm", &none),
              ::testing::Contains("<img src=\"Ærø/a%20b/t_x%40y.png.jpg\" alt=\"Ærø\" decoding=\"async\">"));
}

// Names come from disk: text is entity-escaped, links are percent-encoded
// and then entity-escaped, and "@" shows in neither as itself.
TEST(AlbumMacros, names_from_disk_are_escaped_and_never_carry_a_macro) {
  const struct {
    std::string name;
    std::string text;
    std::string link;
  } cases[] = {
      {"Tom & Jerry", "Tom &amp; Jerry", "Tom%20&amp;%20Jerry"},
      {"100% #1", "100% #1", "100%25%20%231"},
      {"a\"b<c>", "a&quot;b&lt;c&gt;", "a&quot;b&lt;c&gt;"},
      {"Ærø 東京", "Ærø 東京", "Ærø%20東京"},
      {"line\nbreak", "line\nbreak", "line%0Abreak"},
      {"@cp@ and @thumbtable@", "&#64;cp&#64; and &#64;thumbtable&#64;", "%40cp%40%20and%20%40thumbtable%40"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> rows = AlbumTableRows({Cell(c.name, {c.name}, c.name + ".jpg", 3)}, 4, "page1.htm");
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[2], "<a href=\"" + c.link + "/page1.htm\">");
    EXPECT_EQ(rows[3], "<img src=\"" + c.link + "/t_" + c.link + ".jpg\" border=0 alt=\"" + c.text + "\">");
    EXPECT_EQ(rows[4], "<br>" + c.text);
    EXPECT_EQ(AlbumNameValue({"x", c.name}, "Title"), c.text);
    EXPECT_EQ(AlbumPathValue({c.name}, "Title", "page1.htm"), "<a href=\"../page1.htm\">Title</a> &rsaquo; " + c.text);
  }
}

TEST(AlbumMacros, the_path_links_every_album_above_to_its_first_page) {
  EXPECT_EQ(AlbumPathValue({}, "Trips", "page1.htm"), "");
  EXPECT_EQ(AlbumPathValue({"2024"}, "Trips", "page1.htm"), "<a href=\"../page1.htm\">Trips</a> &rsaquo; 2024");
  EXPECT_EQ(AlbumPathValue({"2024", "Rome", "Day 1"}, "My <b>Trips</b>", "index1.html"),
            "<a href=\"../../../index1.html\">My <b>Trips</b></a> &rsaquo; <a href=\"../../index1.html\">2024</a> "
            "&rsaquo; <a href=\"../index1.html\">Rome</a> &rsaquo; Day 1");
  // A page name is a link too.
  EXPECT_EQ(AlbumPathValue({"a"}, "T", "my page#1.htm"), "<a href=\"../my%20page%231.htm\">T</a> &rsaquo; a");
}

TEST(AlbumMacros, the_name_is_the_folder_s_or_the_title_as_it_stands_on_the_top) {
  EXPECT_EQ(AlbumNameValue({}, "Trips & @cp@"), "Trips & @cp@");
  EXPECT_EQ(AlbumNameValue({"2024", "Rome"}, "Trips"), "Rome");
}

TEST(AlbumMacros, the_table_macro_is_found_in_any_letter_case) {
  EXPECT_TRUE(HoldsAlbumTableMacro({"<table>", "  @AlbumTable@", "</table>"}));
  EXPECT_TRUE(HoldsAlbumTableMacro({"@iof@ @albumtable@"}));
  EXPECT_FALSE(HoldsAlbumTableMacro({"@thumbtable@", "@album table@"}));
  EXPECT_FALSE(HoldsAlbumTableMacro({}));
}

}  // namespace
}  // namespace fotoloom
