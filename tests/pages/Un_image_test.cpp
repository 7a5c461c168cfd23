#include "pages/Un_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <utility>

#include "core/DefaultTemplates.h"
#include "core/Error.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;

// The expected pages below are written with "\n"; the files hold CR LF.
std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// A gallery of IMG_0001.JPG ... with the default templates and settings.
void Configure(timage_page& pages, const TempDir& dir, int images, int rows, int cols) {
  std::vector<std::string> files;
  for (int i = 1; i <= images; ++i) files.push_back("/photos/IMG_000" + std::to_string(i) + ".JPG");
  pages.SetImageFiles(files);
  pages.SetHTMLThumbnails(DefaultThumbnailTemplate());
  pages.SetHTMLImages(DefaultImageTemplate());
  pages.OutputPath = dir.str();
  pages.Title = "Trip & <Co>";
  pages.ThumbPagesName = "page";
  pages.ImagePagesName = "image";
  pages.WebSiteExtension = ".htm";
  pages.ImageCount = images;
  pages.RowsCount = rows;
  pages.ColsCount = cols;
  pages.SubtitleIndex = 2;
  pages.BackgroundColor = 0x00C5661A;
  pages.TextColor = 0x00000000;
  pages.LinkColor = 0x00FF0000;
  pages.VisitedLinkColor = 0x00800080;
}

const std::string kDoctype =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\n"
    "          \"http://www.w3.org/TR/html4/loose.dtd\">\n"
    "<html>\n"
    "  <head>\n"
    "    <meta name=\"generator\" content=\"Pagewright 1.0\">\n"
    "    <meta name=\"keywords\" content=\"Pagewright\">\n";

// Lines 9 to 24 of both templates, the colours filled in; the thumbnail page
// has no ";" after "left", the image page has one.
std::string Style(const char* afterLeft) {
  return std::string(
             "      body {  background-color:#1A66C5;\n"
             "              font-family:verdana,sans-serif;\n"
             "\t      color:#000000;\n"
             "\t      line-height:140%;\n"
             "\t      text-align:center;\n"
             "           }\n"
             "      a:link { color:#0000FF;}\n"
             "      a:visited { color:#800080;}\n"
             "      h1 {    font-size:200%;\n"
             "              font-style:italic;\n"
             "              text-align:left") +
         afterLeft +
         "}\n"
         "      table { width:100%;\n"
         "              table-layout:fixed;\n"
         "\t      margin:auto;}\n"
         "      td    {margin:auto;\n"
         "\t     text-align:center;}\n";
}

std::string ThumbTop(const std::string& titleLine) {
  return kDoctype + titleLine + "    <style type=\"text/css\" media=\"screen\">\n" + Style("") +
         "      *.thumbcells {padding:15px;}\n"
         "    </style>\n"
         "  </head>\n"
         "  <body>\n"
         "  <h1>Trip & <Co></h1>\n"
         "  <hr width=\"100%\">\n";
}

std::string ImageTop(const std::string& titleLine) {
  return kDoctype + titleLine + "    <style type=\"text/css\">\n" + Style(";") +
         "    </style>\n"
         "  </head>\n"
         "  <body>\n";
}

const char* const kThumbEnd = "  </body>\n</html>\n";

TEST(timage_page, thumbnail_pages_first_middle_and_last) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 5, 1, 2);
  pages.Create_pages();

  const std::string nav1 = R"(  <table>
    <tr>
      <td>
      </td>
      <td>
        page 1 of 3
      </td>
      <td>
        <a href="page2.htm">next page &gt;</a>
      </td>
    </tr>
    <tr>
      <td>
      </td>
      <td></td>
      <td>
        <a href="page3.htm">last page &gt;&gt;</a>
      </td>
    </tr>
  </table>
)";
  const std::string table1 = R"(  <table>
<tr>
<td class="thumbcells" >
<a href="image1.htm">
<img src="t_IMG_0001.JPG" border=0 alt="IMG_0001.JPG">
</a>
<br>IMG_0001
</td>
<td class="thumbcells" >
<a href="image2.htm">
<img src="t_IMG_0002.JPG" border=0 alt="IMG_0002.JPG">
</a>
<br>IMG_0002
</td>
</tr>

  </table>
  <hr width="100%">
)";
  EXPECT_EQ(ReadFile(dir / "page1.htm"),
            Crlf(ThumbTop("    <title>Trip & <Co> page 1 of 3</title>\n") + nav1 + table1 + nav1 + kThumbEnd));

  const std::string nav2 = R"(  <table>
    <tr>
      <td>
        <a href="page1.htm">&lt; prev. page</a>
      </td>
      <td>
        page 2 of 3
      </td>
      <td>
        <a href="page3.htm">next page &gt;</a>
      </td>
    </tr>
    <tr>
      <td>
         <a href="page1.htm">&lt;&lt; first page</a>
      </td>
      <td></td>
      <td>
        <a href="page3.htm">last page &gt;&gt;</a>
      </td>
    </tr>
  </table>
)";
  const std::string table2 = R"(  <table>
<tr>
<td class="thumbcells" >
<a href="image3.htm">
<img src="t_IMG_0003.JPG" border=0 alt="IMG_0003.JPG">
</a>
<br>IMG_0003
</td>
<td class="thumbcells" >
<a href="image4.htm">
<img src="t_IMG_0004.JPG" border=0 alt="IMG_0004.JPG">
</a>
<br>IMG_0004
</td>
</tr>

  </table>
  <hr width="100%">
)";
  EXPECT_EQ(ReadFile(dir / "page2.htm"),
            Crlf(ThumbTop("    <title>Trip & <Co> page 2 of 3</title>\n") + nav2 + table2 + nav2 + kThumbEnd));

  const std::string nav3 = R"(  <table>
    <tr>
      <td>
        <a href="page2.htm">&lt; prev. page</a>
      </td>
      <td>
        page 3 of 3
      </td>
      <td>
      </td>
    </tr>
    <tr>
      <td>
         <a href="page1.htm">&lt;&lt; first page</a>
      </td>
      <td></td>
      <td>
      </td>
    </tr>
  </table>
)";
  const std::string table3 = R"(  <table>
<tr>
<td class="thumbcells" >
<a href="image5.htm">
<img src="t_IMG_0005.JPG" border=0 alt="IMG_0005.JPG">
</a>
<br>IMG_0005
</td>
</tr>

  </table>
  <hr width="100%">
)";
  const std::string credit = R"( <p style="text-align:left; font-size:smaller;"><br>This Gallery was
 created using
 <a href="http://www.fotoloom.org">Pagewright</a></p>
)";
  EXPECT_EQ(ReadFile(dir / "page3.htm"),
            Crlf(ThumbTop("    <title>Trip & <Co> page 3 of 3</title>\n") + nav3 + table3 + nav3 + credit + kThumbEnd));
}

TEST(timage_page, a_single_thumbnail_page_links_onwards_and_has_no_credit) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 1, 3, 4);
  pages.Create_pages();
  const std::string nav = R"(  <table>
    <tr>
      <td>
      </td>
      <td>
        page 1 of 1
      </td>
      <td>
        <a href="page2.htm">next page &gt;</a>
      </td>
    </tr>
    <tr>
      <td>
      </td>
      <td></td>
      <td>
        <a href="page1.htm">last page &gt;&gt;</a>
      </td>
    </tr>
  </table>
)";
  const std::string table = R"(  <table>
<tr>
<td class="thumbcells" >
<a href="image1.htm">
<img src="t_IMG_0001.JPG" border=0 alt="IMG_0001.JPG">
</a>
<br>IMG_0001
</td>
</tr>

  </table>
  <hr width="100%">
)";
  EXPECT_EQ(ReadFile(dir / "page1.htm"),
            Crlf(ThumbTop("    <title>Trip & <Co> page 1 of 1</title>\n") + nav + table + nav + kThumbEnd));
}

TEST(timage_page, image_pages_first_middle_and_last) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 5, 1, 2);
  pages.Create_pages();

  EXPECT_EQ(ReadFile(dir / "image1.htm"),
            Crlf(ImageTop("    <title>Gallery image 1 of 5</title>\n") + R"(  <h1>IMG_0001</h1>
  <hr width="100%">
  <table>
    <tr>
      <td>
      </td>
      <td>
        image 1 of 5
      </td>
      <td>
        <a href="image2.htm">next image &gt;</a>
      </td>
    </tr>
    <tr>
      <td>
      </td>
      <td>
        <a href="page1.htm">back to thumbnailview</a>
      </td>
      <td>
        <a href="image5.htm">last image &gt;&gt;</a>
      </td>
    </tr>
  </table>
  <p></p>
  <a href="page1.htm">
  <img src="n_IMG_0001.JPG" border=0 alt="n_IMG_0001.JPG">
  </a>
  <p></p>
  View this image in <a href="b_IMG_0001.JPG">original size</a>
  </body>
</html>

)"));

  EXPECT_EQ(ReadFile(dir / "image3.htm"),
            Crlf(ImageTop("    <title>Gallery image 3 of 5</title>\n") + R"(  <h1>IMG_0003</h1>
  <hr width="100%">
  <table>
    <tr>
      <td>
        <a href="image2.htm">&lt; prev. image</a>
      </td>
      <td>
        image 3 of 5
      </td>
      <td>
        <a href="image4.htm">next image &gt;</a>
      </td>
    </tr>
    <tr>
      <td>
         <a href="image1.htm">&lt;&lt; first image</a>
      </td>
      <td>
        <a href="page2.htm">back to thumbnailview</a>
      </td>
      <td>
        <a href="image5.htm">last image &gt;&gt;</a>
      </td>
    </tr>
  </table>
  <p></p>
  <a href="page2.htm">
  <img src="n_IMG_0003.JPG" border=0 alt="n_IMG_0003.JPG">
  </a>
  <p></p>
  View this image in <a href="b_IMG_0003.JPG">original size</a>
  </body>
</html>

)"));

  EXPECT_EQ(ReadFile(dir / "image5.htm"),
            Crlf(ImageTop("    <title>Gallery image 5 of 5</title>\n") + R"(  <h1>IMG_0005</h1>
  <hr width="100%">
  <table>
    <tr>
      <td>
        <a href="image4.htm">&lt; prev. image</a>
      </td>
      <td>
        image 5 of 5
      </td>
      <td>
      </td>
    </tr>
    <tr>
      <td>
         <a href="image1.htm">&lt;&lt; first image</a>
      </td>
      <td>
        <a href="page3.htm">back to thumbnailview</a>
      </td>
      <td>
      </td>
    </tr>
  </table>
  <p></p>
  <a href="page3.htm">
  <img src="n_IMG_0005.JPG" border=0 alt="n_IMG_0005.JPG">
  </a>
  <p></p>
  View this image in <a href="b_IMG_0005.JPG">original size</a>
  </body>
</html>

)"));
}

TEST(timage_page, a_single_image_page_links_to_image_2_and_image_1) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 1, 3, 4);
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "image1.htm"),
            Crlf(ImageTop("    <title>Gallery image 1 of 1</title>\n") + R"(  <h1>IMG_0001</h1>
  <hr width="100%">
  <table>
    <tr>
      <td>
      </td>
      <td>
        image 1 of 1
      </td>
      <td>
        <a href="image2.htm">next image &gt;</a>
      </td>
    </tr>
    <tr>
      <td>
      </td>
      <td>
        <a href="page1.htm">back to thumbnailview</a>
      </td>
      <td>
        <a href="image1.htm">last image &gt;&gt;</a>
      </td>
    </tr>
  </table>
  <p></p>
  <a href="page1.htm">
  <img src="n_IMG_0001.JPG" border=0 alt="n_IMG_0001.JPG">
  </a>
  <p></p>
  View this image in <a href="b_IMG_0001.JPG">original size</a>
  </body>
</html>

)"));
}

// The thumbnail table of a page in short: its unindented "<tr>" and "</tr>"
// lines and the image page each cell links to.
std::string Outline(const std::string& page) {
  std::istringstream in(page);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.rfind("<tr>", 0) == 0 || line.rfind("</tr>", 0) == 0) out += line.substr(0, line.find('>') + 1) + " ";
    if (line.rfind("<a href=\"image", 0) == 0) out += line.substr(9, line.find('.') - 9) + " ";
  }
  return out;
}

bool Exists(const TempDir& dir, const std::string& name) { return std::filesystem::exists(dir / name); }

std::size_t FileCount(const TempDir& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

TEST(timage_page, first_image_cell_and_the_empty_line_after_the_last_row) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 13, 3, 4);
  pages.SetHTMLThumbnails({"<table>", "@thumbtable@", "</table>"});
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "page2.htm"),
            "<table>\r\n<tr>\r\n<td class=\"thumbcells\" >\r\n<a href=\"image13.htm\">\r\n"
            "<img src=\"t_IMG_00013.JPG\" border=0 alt=\"IMG_00013.JPG\">\r\n</a>\r\n<br>IMG_00013\r\n</td>\r\n"
            "</tr>\r\n\r\n</table>\r\n");
  const std::string firstCell =
      "<table>\r\n<tr>\r\n<td class=\"thumbcells\" >\r\n<a href=\"image1.htm\">\r\n"
      "<img src=\"t_IMG_0001.JPG\" border=0 alt=\"IMG_0001.JPG\">\r\n</a>\r\n<br>IMG_0001\r\n</td>\r\n";
  EXPECT_EQ(ReadFile(dir / "page1.htm").substr(0, firstCell.size()), firstCell);
}

TEST(timage_page, images_fill_rows_left_to_right_without_filler_cells) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 13, 3, 4);
  pages.Create_pages();
  EXPECT_EQ(Outline(ReadFile(dir / "page1.htm")),
            "<tr> image1 image2 image3 image4 </tr> <tr> image5 image6 image7 image8 </tr> "
            "<tr> image9 image10 image11 image12 </tr> ");
  EXPECT_EQ(Outline(ReadFile(dir / "page2.htm")), "<tr> image13 </tr> ");
  EXPECT_FALSE(Exists(dir, "page3.htm"));
  EXPECT_EQ(FileCount(dir), 15u);

  TempDir five;
  Configure(pages, five, 5, 3, 4);
  pages.SetHTMLThumbnails({"@thumbtable@"});
  pages.Create_pages();
  EXPECT_EQ(Outline(ReadFile(five / "page1.htm")), "<tr> image1 image2 image3 image4 </tr> <tr> image5 </tr> ");
  EXPECT_EQ(FileCount(five), 6u);

  TempDir wide;  // 100000 x 100000 cells per page does not overflow the page count
  Configure(pages, wide, 3, 100000, 100000);
  pages.SetHTMLThumbnails({"@thumbtable@"});
  pages.Create_pages();
  EXPECT_EQ(Outline(ReadFile(wide / "page1.htm")), "<tr> image1 image2 image3 </tr> ");
}

TEST(timage_page, writes_image_pages_before_their_thumbnail_page_and_reports_each_step) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 5, 1, 2);
  std::string log;
  pages.OnProgress = [&](timage_page& sender, int image, int page, bool& cancel) {
    EXPECT_EQ(&sender, &pages);
    EXPECT_EQ(&cancel, &pages.Cancelled);
    // "i" when the page of image index `image` exists, "p" when thumbnail page
    // `page` does.
    log += std::to_string(image) + "/" + std::to_string(page);
    if (Exists(dir, "image" + std::to_string(image + 1) + ".htm")) log += "i";
    if (Exists(dir, "page" + std::to_string(page + 1) + ".htm")) log += "p";
    log += " ";
  };
  pages.Create_pages();
  EXPECT_EQ(log, "0/0i 1/0i 2/0 2/1i 3/1i 4/1 4/2i 5/2 ");
  EXPECT_EQ(pages.CurrentImage, 5);
  EXPECT_EQ(FileCount(dir), 8u);
}

TEST(timage_page, cancel_during_the_third_image_of_page_2_keeps_what_was_written) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 30, 3, 4);
  pages.OnProgress = [](timage_page&, int image, int page, bool& cancel) {
    if (page == 1 && image == 14) cancel = true;
  };
  pages.Create_pages();
  EXPECT_TRUE(Exists(dir, "page1.htm"));
  for (int i = 1; i <= 15; ++i) EXPECT_TRUE(Exists(dir, "image" + std::to_string(i) + ".htm")) << i;
  EXPECT_FALSE(Exists(dir, "image16.htm"));
  EXPECT_FALSE(Exists(dir, "page2.htm"));
  EXPECT_EQ(FileCount(dir), 16u);
}

TEST(timage_page, cancelled_is_tested_without_a_progress_handler) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 3, 3, 4);
  pages.Cancelled = true;
  pages.Create_pages();
  EXPECT_EQ(FileCount(dir), 1u);  // the first image page, then the flag is seen
  EXPECT_TRUE(Exists(dir, "image1.htm"));
}

TEST(timage_page, subtitle_choices) {
  const std::pair<int, std::string> cases[] = {
      {0, "</a>|</td>|"}, {1, "</a>|<br>a.jpg.jpg|</td>|"}, {2, "</a>|<br>a|</td>|"},
      {3, "</a>|</td>|"}, {4, "</a>|<br>2|</td>|"},         {7, "</a>|</td>|"},
  };
  for (const auto& [choice, expected] : cases) {
    TempDir dir;
    timage_page pages;
    Configure(pages, dir, 2, 3, 4);
    pages.SetImageFiles({"/p/IMG_0001.JPG", "/p/a.jpg.jpg"});
    pages.SetHTMLThumbnails({"@thumbtable@"});
    pages.SubtitleIndex = choice;
    pages.Create_pages();
    const std::string page = ReadFile(dir / "page1.htm");
    std::string tail = page.substr(page.find("alt=\"a.jpg.jpg\">\r\n") + 18);
    tail = tail.substr(0, tail.find("</tr>"));
    for (std::size_t at; (at = tail.find("\r\n")) != std::string::npos;) tail.replace(at, 2, "|");
    EXPECT_EQ(tail, expected) << choice;
  }
}

TEST(timage_page, the_exif_comment_subtitle_is_the_escaped_caption_or_no_line) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 3, 3, 4);
  pages.SetHTMLThumbnails({"@thumbtable@"});
  pages.SubtitleIndex = 3;
  // The third photo has no texts at all: a shorter list than the photos.
  pages.SetPhotoTexts({{"Tom & <Jerry> \"@cp@\"\nsecond line"}, {"", "2024-05-17 14:03", "Canon"}});
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "page1.htm"),
            "<tr>\r\n"
            "<td class=\"thumbcells\" >\r\n<a href=\"image1.htm\">\r\n"
            "<img src=\"t_IMG_0001.JPG\" border=0 alt=\"IMG_0001.JPG\">\r\n</a>\r\n"
            "<br>Tom &amp; &lt;Jerry&gt; &quot;&#64;cp&#64;&quot;\r\nsecond line\r\n</td>\r\n"
            "<td class=\"thumbcells\" >\r\n<a href=\"image2.htm\">\r\n"
            "<img src=\"t_IMG_0002.JPG\" border=0 alt=\"IMG_0002.JPG\">\r\n</a>\r\n</td>\r\n"
            "<td class=\"thumbcells\" >\r\n<a href=\"image3.htm\">\r\n"
            "<img src=\"t_IMG_0003.JPG\" border=0 alt=\"IMG_0003.JPG\">\r\n</a>\r\n</td>\r\n"
            "</tr>\r\n\r\n");
}

TEST(timage_page, image_pages_show_the_photo_texts_escaped_and_never_as_macros) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 3, 3, 4);
  pages.SetImageFiles({"/p/IMG_1.JPG", "/p/x@lens@.jpg", "/p/Tom & Jerry.jpg"});
  pages.SetHTMLImages(
      {"[@EXIFCOMMENT@] [@datetaken@] [@camera@] [@lens@] [@exposure@]", "alt=\"@image_alt@\" @image_org@"});
  pages.SetPhotoTexts({
      {"A <b>bold</b> caption with @cp@ & @lens@", "2024-05-17 14:03", "Canon EOS 5D", "EF 35mm f/2",
       "1/250 s, f/5.6, ISO 200, 35 mm"},
      {"", "", "", "EF 50mm"},
  });
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "image1.htm"),
            "[A &lt;b&gt;bold&lt;/b&gt; caption with &#64;cp&#64; &amp; &#64;lens&#64;] [2024-05-17 14:03] "
            "[Canon EOS 5D] [EF 35mm f/2] [1/250 s, f/5.6, ISO 200, 35 mm]\r\n"
            "alt=\"A &lt;b&gt;bold&lt;/b&gt; caption with &#64;cp&#64; &amp; &#64;lens&#64;\" IMG_1\r\n");
  // A file name that holds a macro keeps it as written; without a caption
  // the alternative text is the name.
  EXPECT_EQ(ReadFile(dir / "image2.htm"), "[] [] [] [EF 50mm] []\r\nalt=\"x&#64;lens&#64;\" x@lens@\r\n");
  EXPECT_EQ(ReadFile(dir / "image3.htm"), "[] [] [] [] []\r\nalt=\"Tom &amp; Jerry\" Tom &amp; Jerry\r\n");
}

TEST(timage_page, title_is_replaced_before_the_page_number_and_after_the_colours) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 3, 1, 1);
  pages.SetHTMLThumbnails({"@Title@|@TITLE@", "@exifcomment@ @thumbs@"});
  pages.Title = "Page @cp@ of @tp@ on @bg_color@, <b>&</b>";
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "page3.htm"),
            "Page 3 of 3 on @bg_color@, <b>&</b>|Page 3 of 3 on @bg_color@, <b>&</b>\r\n@exifcomment@ @thumbs@\r\n");
}

TEST(timage_page, the_zip_macros_are_the_same_on_every_page_and_empty_without_a_zip) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 1, 1);
  pages.SetHTMLThumbnails({"<a href=\"@zip@\">all (@ZIPSIZE@)</a> @title@"});
  pages.SetHTMLImages({"[@zip@|@zipsize@] @cp@"});
  pages.Title = "Trip @zip@";
  pages.Create_pages();
  // Without a ZIP both are empty; a title holding the macro keeps it as written.
  EXPECT_EQ(ReadFile(dir / "page1.htm"), "<a href=\"\">all ()</a> Trip @zip@\r\n");
  pages.ZipName = "photos.zip";
  pages.ZipSize = "1.2 GB";
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "page2.htm"), "<a href=\"photos.zip\">all (1.2 GB)</a> Trip @zip@\r\n");
  EXPECT_EQ(ReadFile(dir / "image1.htm"), "[photos.zip|1.2 GB] 1\r\n");
  EXPECT_EQ(ReadFile(dir / "image2.htm"), "[photos.zip|1.2 GB] 2\r\n");
}

TEST(timage_page, the_zip_link_counts_the_photos_of_the_pages_and_is_empty_without_a_zip) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 1, 1);
  pages.SetHTMLThumbnails({"[@ZIP_LINK@]"});
  pages.SetHTMLImages({"[@zip_link@]"});
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "page1.htm"), "[]\r\n");
  pages.ZipName = "photos.zip";
  pages.ZipSize = "1.2 GB";
  pages.Create_pages();
  const std::string link = "<a class=\"download\" href=\"photos.zip\" download>Download all 2 photos (1.2 GB)</a>";
  EXPECT_EQ(ReadFile(dir / "page2.htm"), "[" + link + "]\r\n");
  EXPECT_EQ(ReadFile(dir / "image2.htm"), "[" + link + "]\r\n");
}

TEST(timage_page, image_page_values_for_the_seventh_of_twenty_images) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 20, 3, 4);
  pages.SetImageFiles(std::vector<std::string>(20, "/photos/IMG_0007.JPG"));
  pages.SetHTMLImages({"@cp@ @tp@ @prev@ @next@ @first@ @last@ @thumbs@", "@image_smaller@ @image_big@",
                       "@Image_Org_Ext@ @image_org@", "@title@ @thumbtable@ @exifcomment@ @bg_color@"});
  pages.CurrentImage = 6;
  pages.Write_image_page(7, 20, 1, "image7.htm", "page1.htm");
  EXPECT_EQ(ReadFile(dir / "image7.htm"),
            "7 20 image6.htm image8.htm image1.htm image20.htm page1.htm\r\n"
            "n_IMG_0007.JPG b_IMG_0007.JPG\r\nIMG_0007.JPG IMG_0007\r\n"
            "@title@ @thumbtable@  #1A66C5\r\n");  // no caption set: "@exifcomment@" is empty
}

TEST(timage_page, image_names_and_the_thumbnail_page_of_image_13) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 13, 3, 4);
  std::vector<std::string> files(13, "/p/x.jpg");
  files[12] = "/p/Holiday.Jpeg";
  pages.SetImageFiles(files);
  pages.SetHTMLImages({"@thumbs@ @image_org@ @image_big@"});
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "image13.htm"), "page2.htm Holiday b_Holiday.Jpeg\r\n");
  EXPECT_EQ(ReadFile(dir / "image12.htm"), "page1.htm x b_x.jpg\r\n");
}

TEST(timage_page, names_from_disk_cannot_break_the_markup_or_the_links) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 3, 4);
  pages.SetImageFiles({"/in/Tom & Jerry.jpg", "/in/100% #1 \"<b>\".JPG"});
  pages.SetHTMLThumbnails({"@thumbtable@"});
  pages.SetHTMLImages({"<img src=\"@image_smaller@\" alt=\"@image_smaller@\">", "<a href=\"@image_big@\">",
                       "<h1>@image_org@</h1> @image_org_ext@"});
  pages.Create_pages();
  EXPECT_EQ(
      ReadFile(dir / "page1.htm"),
      "<tr>\r\n"
      "<td class=\"thumbcells\" >\r\n<a href=\"image1.htm\">\r\n"
      "<img src=\"t_Tom%20&amp;%20Jerry.jpg\" border=0 alt=\"Tom &amp; Jerry.jpg\">\r\n"
      "</a>\r\n<br>Tom &amp; Jerry\r\n</td>\r\n"
      "<td class=\"thumbcells\" >\r\n<a href=\"image2.htm\">\r\n"
      "<img src=\"t_100%25%20%231%20&quot;&lt;b&gt;&quot;.JPG\" border=0 alt=\"100% #1 &quot;&lt;b&gt;&quot;.JPG\">\r\n"
      "</a>\r\n<br>100% #1 &quot;&lt;b&gt;&quot;\r\n</td>\r\n"
      "</tr>\r\n\r\n");
  EXPECT_EQ(ReadFile(dir / "image2.htm"),
            "<img src=\"n_100%25%20%231%20&quot;&lt;b&gt;&quot;.JPG\" "
            "alt=\"n_100%25%20%231%20&quot;&lt;b&gt;&quot;.JPG\">\r\n"
            "<a href=\"b_100%25%20%231%20&quot;&lt;b&gt;&quot;.JPG\">\r\n"
            "<h1>100% #1 &quot;&lt;b&gt;&quot;</h1> 100% #1 &quot;&lt;b&gt;&quot;.JPG\r\n");
}

TEST(timage_page, title_and_templates_stay_unescaped_beside_escaped_names) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 1, 1, 1);
  pages.SetImageFiles({"/in/a&b.jpg"});
  pages.SetHTMLThumbnails({"<h1 class=\"x&y\">@title@</h1>"});
  pages.SetHTMLImages({"<p>&nbsp;@image_org_ext@ & @thumbs@</p>"});
  pages.Title = "<i>Tom & Jerry</i>";
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "page1.htm"), "<h1 class=\"x&y\"><i>Tom & Jerry</i></h1>\r\n");
  EXPECT_EQ(ReadFile(dir / "image1.htm"), "<p>&nbsp;a&amp;b.jpg & page1.htm</p>\r\n");
}

TEST(timage_page, an_extension_without_a_dot_gets_one_everywhere) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 1, 1);
  pages.WebSiteExtension = "html";
  pages.SetHTMLImages({"@prev@ @next@ @first@ @last@ @thumbs@"});
  pages.Create_pages();
  EXPECT_EQ(pages.WebSiteExtension, ".html");
  EXPECT_TRUE(Exists(dir, "page1.html"));
  EXPECT_TRUE(Exists(dir, "page2.html"));
  EXPECT_NE(ReadFile(dir / "page1.html").find("<a href=\"image1.html\">\r\n"), std::string::npos);
  EXPECT_NE(ReadFile(dir / "page1.html").find("<a href=\"page2.html\">next page &gt;</a>"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "image2.html"), "image1.html image3.html image1.html image2.html page2.html\r\n");
}

TEST(timage_page, every_file_ends_every_line_with_crlf_and_has_no_byte_order_mark) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 13, 3, 4);
  pages.Create_pages();
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string bytes = ReadFile(entry.path().string());
    const std::string name = entry.path().filename().string();
    ASSERT_GE(bytes.size(), 2u) << name;
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << name;
    EXPECT_EQ(bytes.substr(0, 9), "<!DOCTYPE") << name;
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
      }
      if (bytes[i] == '\r') {
        ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << name << " at " << i;
      }
    }
  }
}

TEST(timage_page, a_page_that_cannot_be_written_ends_the_run_and_earlier_pages_stay) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 5, 3, 4);
  std::filesystem::create_directory(dir / "image3.htm");
  try {
    pages.Create_pages();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + (dir / "image3.htm") + "\". Is a directory");
  }
  EXPECT_TRUE(Exists(dir, "image1.htm"));
  EXPECT_TRUE(Exists(dir, "image2.htm"));
  EXPECT_FALSE(Exists(dir, "image4.htm"));
  EXPECT_FALSE(Exists(dir, "page1.htm"));
}

TEST(timage_page, a_full_disk_ends_the_run_with_the_reason_and_keeps_the_pages_before_whole) {
  test::SmallDisk disk(16);  // four 4 KiB blocks: room for four small pages
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  TempDir reference;
  timage_page pages;
  Configure(pages, reference, 20, 3, 4);
  pages.Create_pages();
  Configure(pages, reference, 20, 3, 4);
  pages.OutputPath = disk.str();
  std::string message;
  try {
    pages.Create_pages();
  } catch (const Error& e) {
    message = e.what();
  }
  EXPECT_TRUE(message.ends_with("\". No space left on device")) << message;
  int kept = 0;
  for (const auto& item : std::filesystem::directory_iterator(disk.str())) {
    const std::string name = item.path().filename().string();
    EXPECT_TRUE(name.starts_with("image")) << name << " left behind";
    EXPECT_EQ(ReadFile(item.path().string()), ReadFile(reference / name)) << name;
    ++kept;
  }
  EXPECT_GE(kept, 1);
  EXPECT_LT(kept, 20);
  EXPECT_NE(message.find("image" + std::to_string(kept + 1) + ".htm"), std::string::npos) << message;
}

TEST(timage_page, a_grid_below_one_row_or_column_is_refused_before_any_file) {
  for (const auto& [rows, cols] : {std::pair{0, 4}, std::pair{3, 0}, std::pair{-1, -4}}) {
    TempDir dir;
    timage_page pages;
    Configure(pages, dir, 5, rows, cols);
    bool reported = false;
    pages.OnProgress = [&](timage_page&, int, int, bool&) { reported = true; };
    try {
      pages.Create_pages();
      FAIL() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "The thumbnail pages need at least 1 row and 1 column (rows: " +
                                           std::to_string(rows) + ", columns: " + std::to_string(cols) + ")");
    }
    EXPECT_EQ(FileCount(dir), 0u);
    EXPECT_FALSE(reported);
  }
}

TEST(timage_page, an_image_count_beyond_the_list_is_refused_before_any_file) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 3, 3, 4);
  pages.ImageCount = 4;
  try {
    pages.Create_pages();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Cannot place 4 images: 3 image files are listed");
  }
  EXPECT_EQ(FileCount(dir), 0u);
  pages.ImageCount = 2;  // fewer than listed: only the first ones are placed
  pages.Create_pages();
  EXPECT_EQ(FileCount(dir), 3u);
}

TEST(timage_page, a_second_run_uses_the_changed_templates_and_colours) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 3, 4);
  pages.SetHTMLImages({"@bg_color@ @cp@"});
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "image2.htm"), "#1A66C5 2\r\n");
  pages.SetHTMLImages({"@oof@first", "@ool@@bg_color@ @tp@"});
  pages.BackgroundColor = 0x00800080;
  pages.ImageCount = 2;
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "image1.htm"), "first\r\n");
  EXPECT_EQ(ReadFile(dir / "image2.htm"), "#800080 2\r\n");
}

TEST(timage_page, an_image_page_for_an_index_past_the_list_raises_an_error) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 3, 4);
  pages.CurrentImage = 2;
  try {
    pages.Write_image_page(3, 3, 1, "image3.htm", "page1.htm");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "No image file at index 2");
  }
  EXPECT_EQ(FileCount(dir), 0u);
}

TEST(timage_page, the_thumbnail_grid_holds_each_pages_photos_and_loads_all_but_the_first_row_lazily) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 5, 2, 2);  // pages of 4 and 1 photos
  pages.SetHTMLThumbnails({"@photo_count@ photos", "@thumbgrid@"});
  pages.SetImageSizes({{}, {}, {}, {0, 0, 64, 48}});
  pages.Create_pages();
  const auto figure = [](int i, const char* size, bool lazy) {
    const std::string n = std::to_string(i);
    return "<figure>\n<a href=\"image" + n + ".htm\">\n<img src=\"t_IMG_000" + n + ".JPG\"" + size + " alt=\"IMG_000" +
           n + "\" decoding=\"async\"" + (lazy ? " loading=\"lazy\"" : "") + ">\n</a>\n<figcaption>IMG_000" + n +
           "</figcaption>\n</figure>\n";
  };
  EXPECT_EQ(ReadFile(dir / "page1.htm"), Crlf("5 photos\n<div class=\"thumbgrid\" style=\"--columns: 2\">\n" +
                                              figure(1, "", false) + figure(2, "", false) + figure(3, "", true) +
                                              figure(4, " width=\"64\" height=\"48\"", true) + "</div>\n\n"));
  EXPECT_EQ(ReadFile(dir / "page2.htm"),
            Crlf("5 photos\n<div class=\"thumbgrid\" style=\"--columns: 2\">\n" + figure(5, "", false) + "</div>\n\n"));
}

TEST(timage_page, the_grid_and_the_table_of_one_page_show_the_same_photos) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 3, 1, 2);
  pages.SubtitleIndex = 4;
  pages.SetHTMLThumbnails({"@thumbtable@@thumbgrid@"});
  pages.Create_pages();
  const std::string page2 = ReadFile(dir / "page2.htm");
  EXPECT_NE(page2.find("<td class=\"thumbcells\" >\r\n<a href=\"image3.htm\">"), std::string::npos);
  EXPECT_NE(page2.find("<figure>\r\n<a href=\"image3.htm\">"), std::string::npos);
  EXPECT_NE(page2.find("<figcaption>3</figcaption>"), std::string::npos);
  EXPECT_EQ(page2.find("image1.htm"), std::string::npos);
}

TEST(timage_page, image_pages_give_the_scaled_size_the_original_link_and_the_next_image_as_the_run_writes_them) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 3, 4);
  pages.SetHTMLImages({"@image_width@x@image_height@|@image_big_link@|@next_image@|@image_webp_source@"});
  pages.SetImageSizes({{640, 480, 160, 120}});
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "image1.htm"), "640x480||n_IMG_0002.JPG|\r\n");
  EXPECT_EQ(ReadFile(dir / "image2.htm"), "x|||\r\n");  // no size known, and no next image
  pages.OriginalsCopied = true;
  pages.Extra.Webp = true;
  pages.Create_pages();
  EXPECT_EQ(ReadFile(dir / "image1.htm"),
            "640x480|<a href=\"b_IMG_0001.JPG\">original size</a>|n_IMG_0002.JPG.webp|"
            "<source type=\"image/webp\" srcset=\"n_IMG_0001.JPG.webp\">\r\n");
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

// Two sub-albums, the second's cover two levels down.
AlbumPageValues TwoSubAlbums() {
  AlbumPageValues album;
  album.Path = {"2024", "Rome"};
  album.SubAlbums = {{"Day 1", {"Day 1"}, "d.jpg", 3, {}}, {"Day 2", {"Day 2", "noon"}, "n.jpg", 1, {}}};
  return album;
}

std::string AlbumCells(const std::string& page) {
  std::string cells;
  for (std::size_t at = page.find("<a href=\"Day"); at != std::string::npos; at = page.find("<a href=\"Day", at + 1))
    cells += page.substr(at + 9, page.find('"', at + 9) - at - 9) + " ";
  return cells;
}

TEST(timage_page, the_album_table_stands_where_the_template_puts_it_on_the_first_page_only) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 13, 3, 4);
  pages.Album = TwoSubAlbums();
  pages.SetHTMLThumbnails({"<table class=albums>", "@AlbumTable@", "</table>", "<table>", "@thumbtable@", "</table>"});
  pages.Create_pages();
  const std::string first = ReadFile(dir / "page1.htm");
  EXPECT_EQ(first.rfind("<table class=albums>\r\n<tr>\r\n<td class=\"thumbcells albumcells\" >\r\n"
                        "<a href=\"Day%201/page1.htm\">\r\n<img src=\"Day%201/t_d.jpg\" border=0 alt=\"Day 1\">\r\n"
                        "<br>Day 1\r\n<br>3 photos\r\n</a>\r\n</td>\r\n",
                        0),
            0u);
  EXPECT_EQ(AlbumCells(first), "Day%201/page1.htm Day%202/page1.htm ");
  EXPECT_NE(first.find("<img src=\"Day%202/noon/t_n.jpg\""), std::string::npos);
  EXPECT_NE(first.find("</tr>\r\n\r\n</table>\r\n<table>\r\n<tr>\r\n<td class=\"thumbcells\" >"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "page2.htm").rfind("<table class=albums>\r\n\r\n</table>\r\n<table>\r\n<tr>\r\n", 0), 0u);
}

TEST(timage_page, a_template_without_the_album_table_gets_it_before_the_first_page_s_thumbnails) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 13, 3, 4);
  pages.Album = TwoSubAlbums();
  pages.Create_pages();
  const std::string first = ReadFile(dir / "page1.htm");
  const std::size_t table = first.find("  <table>\r\n<tr>\r\n<td class=\"thumbcells albumcells\" >");
  ASSERT_NE(table, std::string::npos);
  EXPECT_EQ(AlbumCells(first), "Day%201/page1.htm Day%202/page1.htm ");
  // The albums' row ends before the photos' first row begins.
  EXPECT_LT(first.find("<br>1 photo\r\n</a>\r\n</td>\r\n</tr>\r\n<tr>\r\n<td class=\"thumbcells\" >"),
            first.find("image1.htm"));
  EXPECT_EQ(AlbumCells(ReadFile(dir / "page2.htm")), "");
}

TEST(timage_page, path_and_name_show_on_both_page_kinds_and_the_top_album_shows_the_title) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 2, 3, 4);
  pages.Album = TwoSubAlbums();
  pages.SetHTMLThumbnails({"@albumpath@|@ALBUMNAME@|@albumtable@|@cp@"});
  pages.SetHTMLImages({"@albumpath@|@albumname@|@cp@"});
  pages.Create_pages();
  const std::string path =
      "<a href=\"../../page1.htm\">Trip & <Co></a> &rsaquo; <a href=\"../page1.htm\">2024</a> &rsaquo; Rome";
  EXPECT_EQ(ReadFile(dir / "image2.htm"), path + "|Rome|2\r\n");
  EXPECT_EQ(ReadFile(dir / "page1.htm").substr(0, path.size() + 7), path + "|Rome|<");

  TempDir top;
  Configure(pages, top, 2, 3, 4);
  pages.Album = AlbumPageValues();
  pages.SetHTMLThumbnails({"@albumpath@|@albumname@|@albumtable@|@cp@"});
  pages.SetHTMLImages({"@albumpath@|@albumname@|@cp@"});
  pages.Create_pages();
  EXPECT_EQ(ReadFile(top / "page1.htm"), "|Trip & <Co>||1\r\n");
  EXPECT_EQ(ReadFile(top / "image1.htm"), "|Trip & <Co>|1\r\n");
}

// An album of sub-albums only still gets its first page, with their table.
TEST(timage_page, an_album_without_photos_gets_one_page_of_its_sub_albums) {
  TempDir dir;
  timage_page pages;
  Configure(pages, dir, 0, 3, 4);
  pages.Album = TwoSubAlbums();
  pages.Create_pages();
  EXPECT_EQ(FileCount(dir), 1u);
  const std::string page = ReadFile(dir / "page1.htm");
  EXPECT_EQ(AlbumCells(page), "Day%201/page1.htm Day%202/page1.htm ");
  EXPECT_NE(page.find("page 1 of 1"), std::string::npos);
}

}  // namespace
}  // namespace fotoloom
