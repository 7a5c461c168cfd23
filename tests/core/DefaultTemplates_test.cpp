#include "core/DefaultTemplates.h"

#include <gtest/gtest.h>

namespace fotoloom {
namespace {

TEST(DefaultTemplates, have_85_and_62_lines_and_the_image_template_ends_empty) {
  ASSERT_EQ(DefaultThumbnailTemplate().size(), 85u);
  ASSERT_EQ(DefaultImageTemplate().size(), 62u);
  EXPECT_EQ(DefaultImageTemplate()[61], "");
  EXPECT_EQ(DefaultImageTemplate()[60], "</html>");
}

TEST(DefaultTemplates, second_line_carries_the_loose_dtd_behind_ten_spaces) {
  const std::string dtd = "          \"http://www.w3.org/TR/html4/loose.dtd\">";
  EXPECT_EQ(DefaultThumbnailTemplate()[1], dtd);
  EXPECT_EQ(DefaultImageTemplate()[1], dtd);
}

TEST(DefaultTemplates, keep_tabs_and_spaces_in_front_of_lines) {
  const auto& t = DefaultThumbnailTemplate();
  EXPECT_EQ(t[10], "\t      color:@text_color@;");
  EXPECT_EQ(t[23], "\t     text-align:center;}");
  EXPECT_EQ(t[13], "           }");
  EXPECT_EQ(t[44], "         @iof@<a href=\"@first@\">&lt;&lt; first page</a>");
  EXPECT_EQ(t[54], "@thumbtable@");
  const auto& i = DefaultImageTemplate();
  EXPECT_EQ(i[18], "              text-align:left;}");  // the thumbnail template lacks this ";"
  EXPECT_EQ(t[18], "              text-align:left}");
  EXPECT_EQ(i[55], "  <img src=\"@image_smaller@\" border=0 alt=\"@image_smaller@\">");
}

TEST(DefaultTemplates, credit_lines_show_only_on_the_last_page) {
  const auto& t = DefaultThumbnailTemplate();
  EXPECT_EQ(t[80], "@ool@ <p style=\"text-align:left; font-size:smaller;\"><br>This Gallery was");
  EXPECT_EQ(t[81], "@ool@ created using");
  EXPECT_EQ(t[82], "@ool@ <a href=\"http://www.fotoloom.org\">Pagewright</a></p>");
  EXPECT_EQ(t[84], "</html>");
}

}  // namespace
}  // namespace fotoloom
