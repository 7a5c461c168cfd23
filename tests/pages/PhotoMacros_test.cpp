#include "pages/PhotoMacros.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fotoloom {
namespace {

TEST(PhotoTextOnPage, escapes_markup_and_the_macro_sign) {
  EXPECT_EQ(PhotoTextOnPage("<script>alert(\"x\")</script> & 'me'"),
            "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; 'me'");
  EXPECT_EQ(PhotoTextOnPage("mail@example.org shows @cp@"), "mail&#64;example.org shows &#64;cp&#64;");
  EXPECT_EQ(PhotoTextOnPage("line one\nline two \xC3\xA9"), "line one\nline two \xC3\xA9");
}

TEST(PhotoMacroValues, gives_each_text_in_macro_order_and_the_caption_or_name_as_alternative) {
  const PhotoTexts texts{"A <b>caption</b>", "2024-05-17 14:03", "Canon EOS 5D", "EF 35mm f/2", "1/250 s, f/5.6"};
  const std::array<std::string, 6> values = PhotoMacroValues(texts, "IMG_0001");
  EXPECT_EQ(kPhotoMacros[0], "@exifcomment@");
  EXPECT_EQ(values[0], "A &lt;b&gt;caption&lt;/b&gt;");
  EXPECT_EQ(values[1], "2024-05-17 14:03");
  EXPECT_EQ(values[2], "Canon EOS 5D");
  EXPECT_EQ(values[3], "EF 35mm f/2");
  EXPECT_EQ(values[4], "1/250 s, f/5.6");
  EXPECT_EQ(values[5], "A &lt;b&gt;caption&lt;/b&gt;");
  const std::array<std::string, 6> none = PhotoMacroValues({}, "Tom & @cp@");
  EXPECT_EQ(none, (std::array<std::string, 6>{"", "", "", "", "", "Tom &amp; &#64;cp&#64;"}));
}

TEST(CaptionSubtitleLine, is_a_line_only_for_a_photo_with_a_caption) {
  EXPECT_EQ(CaptionSubtitleLine({"Tom & Jerry"}), "<br>Tom &amp; Jerry");
  EXPECT_EQ(CaptionSubtitleLine({}), std::nullopt);
  EXPECT_EQ(CaptionSubtitleLine({"", "2024-05-17 14:03"}), std::nullopt);
}

TEST(UsesPhotoMacros, finds_any_of_them_in_any_letter_case) {
  EXPECT_FALSE(UsesPhotoMacros({"<h1>@image_org@</h1>", "@exif@", "exifcomment"}));
  EXPECT_TRUE(UsesPhotoMacros({"a", "<p>@ExifComment@</p>"}));
  EXPECT_TRUE(UsesPhotoMacros({"@EXPOSURE@"}));
  EXPECT_TRUE(UsesPhotoMacros({"alt=\"@image_alt@\""}));
  EXPECT_FALSE(UsesPhotoMacros({}));
}

}  // namespace
}  // namespace fotoloom
