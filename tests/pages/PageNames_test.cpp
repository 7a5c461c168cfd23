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

}  // namespace
}  // namespace fotoloom
