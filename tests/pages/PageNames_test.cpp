#include "pages/PageNames.h"

#include <gtest/gtest.h>

namespace fotoloom {
namespace {

TEST(PageNames, extension_gets_a_dot_in_front_only_when_it_lacks_one) {
  EXPECT_EQ(NormalizedExtension("html"), ".html");
  EXPECT_EQ(NormalizedExtension(".htm"), ".htm");
  EXPECT_EQ(NormalizedExtension(""), ".");
  EXPECT_EQ(NormalizedExtension("..x"), "..x");
}

TEST(PageNames, page_numbers_are_plain_decimal) {
  EXPECT_EQ(PageFileName("page", 1, ".htm"), "page1.htm");
  EXPECT_EQ(PageFileName("page", 12, ".htm"), "page12.htm");
  EXPECT_EQ(PageFileName("page", 0, ".htm"), "page0.htm");
  EXPECT_EQ(PageFileName("image", 10001, ".html"), "image10001.html");
}

TEST(PageNames, thumbnail_pages_round_up_and_are_never_fewer_than_one) {
  EXPECT_EQ(ThumbnailPageCount(0, 12), 1);
  EXPECT_EQ(ThumbnailPageCount(1, 12), 1);
  EXPECT_EQ(ThumbnailPageCount(12, 12), 1);
  EXPECT_EQ(ThumbnailPageCount(13, 12), 2);
  EXPECT_EQ(ThumbnailPageCount(24, 12), 2);
  EXPECT_EQ(ThumbnailPageCount(25, 12), 3);
  EXPECT_EQ(ThumbnailPageCount(5, 1), 5);
  EXPECT_EQ(ThumbnailPageCount(2147483647, 4294967296LL), 1);  // a grid larger than any int
}

TEST(PageNames, output_path_gets_one_separator) {
  EXPECT_EQ(OutputFilePath("/out", "page1.htm"), "/out/page1.htm");
  EXPECT_EQ(OutputFilePath("/out/", "page1.htm"), "/out/page1.htm");
  EXPECT_EQ(OutputFilePath("", "page1.htm"), "page1.htm");
}

TEST(PageNames, image_names_come_from_the_last_path_part_with_case_kept) {
  const ImageNames n = NamesOfImage("/photos/2024.trip/IMG_0001.JPG");
  EXPECT_EQ(n.fileName, "IMG_0001.JPG");
  EXPECT_EQ(n.withoutExtension, "IMG_0001");
  EXPECT_EQ(n.thumbnail, "t_IMG_0001.JPG");
  EXPECT_EQ(n.smaller, "n_IMG_0001.JPG");
  EXPECT_EQ(n.big, "b_IMG_0001.JPG");
  EXPECT_EQ(NamesOfImage("/p/Holiday.Jpeg").withoutExtension, "Holiday");
  EXPECT_EQ(NamesOfImage("/p/a.jpg.jpg").withoutExtension, "a");
  EXPECT_EQ(NamesOfImage("relative.jpg").fileName, "relative.jpg");
}

TEST(PageNames, a_name_without_a_dot_has_no_extension_even_in_a_dotted_folder) {
  EXPECT_EQ(ExtensionOf("README"), "");
  EXPECT_EQ(ExtensionOf("a.b.JPG"), ".JPG");
  const ImageNames n = NamesOfImage("/photos/v1.2/scan");
  EXPECT_EQ(n.fileName, "scan");
  EXPECT_EQ(n.withoutExtension, "scan");
}

TEST(PageNames, html_text_escapes_the_four_markup_characters_and_keeps_the_rest) {
  EXPECT_EQ(HtmlEscaped("Tom & Jerry.jpg"), "Tom &amp; Jerry.jpg");
  EXPECT_EQ(HtmlEscaped("a\"b.jpg"), "a&quot;b.jpg");
  EXPECT_EQ(HtmlEscaped("x<y>.jpg"), "x&lt;y&gt;.jpg");
  EXPECT_EQ(HtmlEscaped("&amp;"), "&amp;amp;");
  EXPECT_EQ(HtmlEscaped("it's 100% #1?.jpg"), "it's 100% #1?.jpg");
  EXPECT_EQ(HtmlEscaped("\xC3\xBCn\xC3\xAF.jpg"), "\xC3\xBCn\xC3\xAF.jpg");
}

TEST(PageNames, links_percent_encode_what_would_cut_or_split_a_relative_link) {
  EXPECT_EQ(LinkEscaped("100% #1.jpg"), "100%25%20%231.jpg");
  EXPECT_EQ(LinkEscaped("why?.jpg"), "why%3F.jpg");
  EXPECT_EQ(LinkEscaped("a\\b.jpg"), "a%5Cb.jpg");
  EXPECT_EQ(LinkEscaped("tab\there\n.jpg"), "tab%09here%0A.jpg");
  EXPECT_EQ(LinkEscaped("del\x7F.jpg"), "del%7F.jpg");
  // Markup characters are left to HtmlEscaped; non-ASCII bytes stay as they are.
  EXPECT_EQ(LinkEscaped("Tom & \"J\" <x>.jpg"), "Tom%20&%20\"J\"%20<x>.jpg");
  EXPECT_EQ(LinkEscaped("\xC3\xBC+=,;@!.jpg"), "\xC3\xBC+=,;@!.jpg");
}

TEST(PageNames, page_values_encode_links_before_escaping_markup) {
  const PageImageValues v = PageValuesOfImage("/in/100% <&> \"#1\".jpg");
  EXPECT_EQ(v.fileName, "100% &lt;&amp;&gt; &quot;#1&quot;.jpg");
  EXPECT_EQ(v.withoutExtension, "100% &lt;&amp;&gt; &quot;#1&quot;");
  EXPECT_EQ(v.thumbnailLink, "t_100%25%20&lt;&amp;&gt;%20&quot;%231&quot;.jpg");
  EXPECT_EQ(v.smallerLink, "n_100%25%20&lt;&amp;&gt;%20&quot;%231&quot;.jpg");
  EXPECT_EQ(v.bigLink, "b_100%25%20&lt;&amp;&gt;%20&quot;%231&quot;.jpg");
  // "&" taken literally into a link must not be read back as an entity.
  EXPECT_EQ(PageValuesOfImage("/in/%26amp;.jpg").smallerLink, "n_%2526amp;.jpg");
}

TEST(PageNames, page_values_of_a_plain_name_are_the_plain_names) {
  const PageImageValues v = PageValuesOfImage("/photos/IMG_0001.JPG");
  EXPECT_EQ(v.fileName, "IMG_0001.JPG");
  EXPECT_EQ(v.withoutExtension, "IMG_0001");
  EXPECT_EQ(v.thumbnailLink, "t_IMG_0001.JPG");
  EXPECT_EQ(v.smallerLink, "n_IMG_0001.JPG");
  EXPECT_EQ(v.bigLink, "b_IMG_0001.JPG");
}

}  // namespace
}  // namespace fotoloom
