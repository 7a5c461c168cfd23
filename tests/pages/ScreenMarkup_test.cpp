#include "pages/ScreenMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fotoloom {
namespace {

using Lines = std::vector<std::string>;

TEST(ScreenMarkup, a_figure_offers_the_images_the_run_writes_and_only_those) {
  const GridFigure shown{"IMG_1.JPG", "image1.htm", "IMG_1", "IMG_1.JPG", {800, 600, 160, 120}, false};
  struct Case {
    const char* what;
    ExtraImages extra;
    Lines lines;
  };
  const Case cases[] = {
      {"JPEG thumbnails alone",
       {false, false},
       {"<figure>", "<a href=\"image1.htm\">",
        "<img src=\"t_IMG_1.JPG\" width=\"160\" height=\"120\" alt=\"IMG_1\" decoding=\"async\">", "</a>",
        "<figcaption>IMG_1.JPG</figcaption>", "</figure>"}},
      {"sharp thumbnails for dense screens",
       {true, false},
       {"<figure>", "<a href=\"image1.htm\">",
        "<img src=\"t_IMG_1.JPG\" srcset=\"t_IMG_1.JPG 1x, t2_IMG_1.JPG 2x\" width=\"160\" height=\"120\" "
        "alt=\"IMG_1\" decoding=\"async\">",
        "</a>", "<figcaption>IMG_1.JPG</figcaption>", "</figure>"}},
      {"WebP copies first, the JPEG for browsers without WebP",
       {false, true},
       {"<figure>", "<a href=\"image1.htm\">", "<picture>", "<source type=\"image/webp\" srcset=\"t_IMG_1.JPG.webp\">",
        "<img src=\"t_IMG_1.JPG\" width=\"160\" height=\"120\" alt=\"IMG_1\" decoding=\"async\">", "</picture>", "</a>",
        "<figcaption>IMG_1.JPG</figcaption>", "</figure>"}},
      {"both",
       {true, true},
       {"<figure>", "<a href=\"image1.htm\">", "<picture>",
        "<source type=\"image/webp\" srcset=\"t_IMG_1.JPG.webp 1x, t2_IMG_1.JPG.webp 2x\">",
        "<img src=\"t_IMG_1.JPG\" srcset=\"t_IMG_1.JPG 1x, t2_IMG_1.JPG 2x\" width=\"160\" height=\"120\" "
        "alt=\"IMG_1\" decoding=\"async\">",
        "</picture>", "</a>", "<figcaption>IMG_1.JPG</figcaption>", "</figure>"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ThumbGridFigure(shown, c.extra), c.lines) << c.what;
}

TEST(ScreenMarkup, a_figure_leaves_out_an_unknown_size_and_an_empty_caption_and_escapes_names) {
  GridFigure odd{"Tom & Jerry #1.png", "image2.htm", "Tom &amp; Jerry #1", "", {}, true};
  EXPECT_EQ(
      ThumbGridFigure(odd, {true, false}),
      (Lines{
          "<figure>", "<a href=\"image2.htm\">",
          "<img src=\"t_Tom%20&amp;%20Jerry%20%231.png.jpg\" srcset=\"t_Tom%20&amp;%20Jerry%20%231.png.jpg 1x, "
          "t2_Tom%20&amp;%20Jerry%20%231.png.jpg 2x\" alt=\"Tom &amp; Jerry #1\" decoding=\"async\" loading=\"lazy\">",
          "</a>", "</figure>"}));
  // A side of 0 is as unknown as both.
  EXPECT_EQ(SizeAttributes(160, 0), "");
  EXPECT_EQ(SizeAttributes(0, 120), "");
  EXPECT_EQ(SizeAttributes(7, 1), " width=\"7\" height=\"1\"");
}

TEST(ScreenMarkup, image_page_values_follow_the_images_and_copies_the_run_writes) {
  EXPECT_EQ(ThumbGridStart(4), "<div class=\"thumbgrid\" style=\"--columns: 4\">");
  EXPECT_EQ(ScaledWebpSource("IMG_1.JPG", {false, false}), "");
  EXPECT_EQ(ScaledWebpSource("a b.heic", {false, true}),
            "<source type=\"image/webp\" srcset=\"n_a%20b.heic.jpg.webp\">");
  EXPECT_EQ(OriginalSizeLink("IMG_1.JPG", false), "");
  EXPECT_EQ(OriginalSizeLink("x\"y?.jpg", true), "<a href=\"b_x&quot;y%3F.jpg\">original size</a>");
  EXPECT_EQ(ShownScaledImageLink("IMG_1.JPG", {true, false}), "n_IMG_1.JPG");
  EXPECT_EQ(ShownScaledImageLink("IMG_1.JPG", {false, true}), "n_IMG_1.JPG.webp");
}

}  // namespace
}  // namespace fotoloom
