// The responsive templates as the page writers render them: document head, macros, local-only content, alt texts
// and the links the keyboard script follows.
#include "core/ResponsiveTemplates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "pages/MacroReference.h"
#include "pages/Un_image.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;

// Writes a gallery of images photos (1 row x 2 columns per thumbnail page)
// from the responsive set, or the templates given, into dir; configure may
// change the writer first.
void WriteGallery(const TempDir& dir, int images, const std::vector<std::string>& thumbnailTemplate,
                  const std::vector<std::string>& imageTemplate,
                  const std::function<void(timage_page&)>& configure = {}) {
  timage_page pages;
  std::vector<std::string> files;
  for (int i = 1; i <= images; ++i) files.push_back("/photos/P" + std::to_string(i) + ".jpg");
  pages.SetImageFiles(files);
  pages.SetHTMLThumbnails(thumbnailTemplate);
  pages.SetHTMLImages(imageTemplate);
  pages.OutputPath = dir.str();
  pages.Title = "Trip";
  pages.ThumbPagesName = "page";
  pages.ImagePagesName = "image";
  pages.WebSiteExtension = ".htm";
  pages.ImageCount = images;
  pages.RowsCount = 1;
  pages.ColsCount = 2;
  pages.SubtitleIndex = 1;
  pages.BackgroundColor = 0x00C5661A;
  pages.TextColor = 0x00102030;
  pages.LinkColor = 0x00FF0000;
  pages.VisitedLinkColor = 0x00800080;
  if (configure) configure(pages);
  pages.Create_pages();
}

void WriteGallery(const TempDir& dir, int images, const std::function<void(timage_page&)>& configure = {}) {
  WriteGallery(dir, images, ResponsiveThumbnailTemplate(), ResponsiveImageTemplate(), configure);
}

// Every "@name@" macro of the macro language that text holds.
std::set<std::string> MacrosIn(const std::string& text) {
  static const std::regex macro("@[A-Za-z_]+@");
  std::set<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), macro); it != std::sregex_iterator(); ++it)
    found.insert(it->str());
  return found;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The start tags named tag ("<img", "<a") of a page.
std::vector<std::string> Tags(const std::string& page, const std::string& tag) {
  std::vector<std::string> tags;
  for (std::size_t at = page.find(tag + " "); at != std::string::npos; at = page.find(tag + " ", at + 1))
    tags.push_back(page.substr(at, page.find('>', at) - at + 1));
  return tags;
}

// The start tag of the first link with rel, or "" when the page has none.
std::string LinkWithRel(const std::string& page, const std::string& rel) {
  for (const std::string& a : Tags(page, "<a"))
    if (a.find("rel=\"" + rel + "\"") != std::string::npos) return a;
  return "";
}

TEST(ResponsiveTemplates, use_only_macros_that_their_page_writer_replaces) {
  const auto known = [](std::span<const MacroReferenceRow> rows) {
    std::set<std::string> names;
    for (const MacroReferenceRow& row : rows) names.insert(std::string(row.macro));
    return names;
  };
  const std::set<std::string> thumbMacros = known(kThumbnailMacroReference);
  const std::set<std::string> imageMacros = known(kImageMacroReference);
  for (const std::string& m : MacrosIn(Joined(ResponsiveThumbnailTemplate())))
    EXPECT_TRUE(thumbMacros.contains(m)) << m;
  for (const std::string& m : MacrosIn(Joined(ResponsiveImageTemplate()))) EXPECT_TRUE(imageMacros.contains(m)) << m;

  // Rendered, no macro is left over on any page.
  TempDir dir;
  WriteGallery(dir, 3);
  for (const char* name : {"page1.htm", "page2.htm", "image1.htm", "image2.htm", "image3.htm"})
    EXPECT_EQ(MacrosIn(ReadFile(dir / name)), std::set<std::string>{}) << name;
}

TEST(ResponsiveTemplates, render_html5_pages_with_language_charset_viewport_and_the_four_colours) {
  TempDir dir;
  WriteGallery(dir, 3);
  for (const char* name : {"page1.htm", "page2.htm", "image1.htm", "image2.htm"}) {
    SCOPED_TRACE(name);
    const std::string page = ReadFile(dir / name);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n", 0), 0u);
    const std::string head = page.substr(0, page.find("</head>"));
    EXPECT_NE(head.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(head.find("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"), std::string::npos);
    EXPECT_NE(head.find("background-color: #1A66C5; color: #302010;"), std::string::npos);
    EXPECT_NE(head.find("a:link { color: #0000FF; }"), std::string::npos);
    EXPECT_NE(head.find("a:visited { color: #800080; }"), std::string::npos);
    EXPECT_NE(head.find("a:focus-visible { outline: 3px solid"), std::string::npos);
  }
}

TEST(ResponsiveTemplates, load_nothing_from_outside_and_give_every_image_an_alt_text) {
  for (const std::vector<std::string>* lines : {&ResponsiveThumbnailTemplate(), &ResponsiveImageTemplate()}) {
    std::string text = Joined(*lines);
    // The one link element is the empty icon, which names no file.
    const std::string icon = "<link rel=\"icon\" href=\"data:,\">";
    ASSERT_NE(text.find(icon), std::string::npos);
    text.erase(text.find(icon), icon.size());
    for (const char* outside : {"://", "<link", "@import", "url(", "src=\"/", "href=\"/", "<iframe", "<object"})
      EXPECT_EQ(text.find(outside), std::string::npos) << outside;
    // One script, inline: a tag without attributes has no src.
    EXPECT_NE(text.find("<script>"), std::string::npos);
    EXPECT_EQ(text.find("<script>"), text.rfind("<script"));
  }
  TempDir dir;
  WriteGallery(dir, 3);
  for (const char* name : {"page1.htm", "page2.htm", "image1.htm", "image3.htm"}) {
    const std::vector<std::string> images = Tags(ReadFile(dir / name), "<img");
    EXPECT_FALSE(images.empty()) << name;
    for (const std::string& img : images) EXPECT_TRUE(std::regex_search(img, std::regex(" alt=\"[^\"]+\""))) << img;
  }
  EXPECT_NE(ReadFile(dir / "image3.htm").find("<img src=\"n_P3.jpg\" alt=\"P3\""), std::string::npos);
}

TEST(ResponsiveTemplates, give_the_keyboard_links_only_where_a_page_lies_beyond) {
  TempDir dir;
  WriteGallery(dir, 5);  // thumbnail pages 1 to 3, image pages 1 to 5
  const auto link = [&](const char* page, const char* rel) { return LinkWithRel(ReadFile(dir / page), rel); };
  EXPECT_EQ(link("image1.htm", "prev"), "");
  EXPECT_EQ(link("image1.htm", "next"), "<a rel=\"next\" class=\"pages-5\" href=\"image2.htm\">");
  EXPECT_EQ(link("image3.htm", "prev"), "<a rel=\"prev\" href=\"image2.htm\">");
  EXPECT_EQ(link("image3.htm", "up"), "<a rel=\"up\" href=\"page2.htm\">");
  EXPECT_EQ(link("image5.htm", "next"), "");
  EXPECT_EQ(link("image5.htm", "up"), "<a rel=\"up\" href=\"page3.htm\">");
  EXPECT_EQ(link("page1.htm", "prev"), "");
  EXPECT_EQ(link("page2.htm", "next"), "<a rel=\"next\" class=\"pages-3\" href=\"page3.htm\">");
  EXPECT_EQ(link("page3.htm", "next"), "");
  EXPECT_EQ(link("page2.htm", "up"), "");  // Escape does nothing on thumbnail pages

  // A single page is a first page that is also the last: its next and last
  // links name pages that do not exist, and "pages-1" hides them.
  TempDir one;
  WriteGallery(one, 1);
  for (const char* name : {"page1.htm", "image1.htm"}) {
    const std::string page = ReadFile(one / name);
    EXPECT_EQ(LinkWithRel(page, "prev"), "") << name;
    EXPECT_NE(LinkWithRel(page, "next").find("class=\"pages-1\""), std::string::npos) << name;
    EXPECT_NE(page.find(".pages-1 { display: none; }"), std::string::npos) << name;
  }
}

// A gallery without albums (its top album, without sub-albums) has the
// pages the set wrote before it used the album macros: the title where the
// album's name stands, nothing where its path and its table stand.
TEST(ResponsiveTemplates, pages_without_albums_are_those_of_the_set_without_album_macros) {
  const auto withoutAlbums = [](std::vector<std::string> lines) {
    for (std::string& line : lines)
      for (const auto& [macro, before] :
           {std::pair<std::string, std::string>{"@albumname@", "@title@"}, {"@albumpath@", ""}, {"@albumtable@", ""}})
        for (std::size_t at = line.find(macro); at != std::string::npos; at = line.find(macro, at))
          line.replace(at, macro.size(), before);
    return lines;
  };
  ASSERT_NE(withoutAlbums(ResponsiveThumbnailTemplate()), ResponsiveThumbnailTemplate());
  ASSERT_NE(withoutAlbums(ResponsiveImageTemplate()), ResponsiveImageTemplate());
  for (const int images : {1, 3, 7}) {
    SCOPED_TRACE(images);
    TempDir albums;
    TempDir before;
    WriteGallery(albums, images);
    WriteGallery(before, images, withoutAlbums(ResponsiveThumbnailTemplate()),
                 withoutAlbums(ResponsiveImageTemplate()));
    for (const auto& entry : std::filesystem::directory_iterator(before.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_EQ(ReadFile(albums / name), ReadFile(before / name)) << name;
    }
  }
}

TEST(ResponsiveTemplates, describe_the_gallery_and_lay_the_thumbnails_out_in_a_grid_of_figures) {
  TempDir dir;
  WriteGallery(dir, 3);
  const std::string page = ReadFile(dir / "page1.htm");
  const std::string head = page.substr(0, page.find("</head>"));
  EXPECT_NE(head.find("<meta name=\"description\" content=\"Trip: 3 photos, page 1 of 2\">"), std::string::npos);
  EXPECT_NE(head.find("<link rel=\"icon\" href=\"data:,\">"), std::string::npos);
  // No layout table: the album table, a presentation, has no cells without sub-albums.
  EXPECT_EQ(page.find("<td"), std::string::npos);
  EXPECT_NE(page.find("<div class=\"thumbgrid\" style=\"--columns: 2\">\r\n<figure>\r\n<a href=\"image1.htm\">"),
            std::string::npos);
  EXPECT_NE(page.find("<figcaption>P2.jpg</figcaption>"), std::string::npos);
  EXPECT_NE(ReadFile(dir / "image2.htm").find("<meta name=\"description\" content=\"Photo 2 of 3: P2\">"),
            std::string::npos);
}

TEST(ResponsiveTemplates, give_the_photo_its_size_webp_copy_and_original_only_as_the_run_writes_them) {
  const auto configure = [](bool extras) {
    return [extras](timage_page& pages) {
      pages.SetImageSizes({{800, 600, 160, 120}, {600, 800, 120, 160}});
      pages.Extra = {extras, extras};
      pages.OriginalsCopied = extras;
    };
  };
  TempDir plain;
  WriteGallery(plain, 3, configure(false));
  std::string image = ReadFile(plain / "image1.htm");
  EXPECT_NE(image.find("<picture><img src=\"n_P1.jpg\" alt=\"P1\" width=\"800\" height=\"600\" "
                       "style=\"--ratio: 800 / 600\"></picture>"),
            std::string::npos);
  EXPECT_EQ(image.find("b_P1.jpg"), std::string::npos) << "links to an original that is not copied";
  EXPECT_NE(image.find("<main data-swipe data-next-image=\"n_P2.jpg\">"), std::string::npos);
  EXPECT_NE(ReadFile(plain / "image3.htm").find("<main data-swipe data-next-image=\"\">"), std::string::npos);

  TempDir extra;
  WriteGallery(extra, 3, configure(true));
  image = ReadFile(extra / "image2.htm");
  EXPECT_NE(image.find("<picture><source type=\"image/webp\" srcset=\"n_P2.jpg.webp\"><img src=\"n_P2.jpg\" alt=\"P2\" "
                       "width=\"600\" height=\"800\" style=\"--ratio: 600 / 800\"></picture>"),
            std::string::npos);
  EXPECT_NE(image.find("<a href=\"b_P2.jpg\">original size</a>"), std::string::npos);
  EXPECT_NE(image.find("data-next-image=\"n_P3.jpg.webp\""), std::string::npos);
}

}  // namespace
}  // namespace fotoloom
