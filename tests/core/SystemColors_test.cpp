#include "core/SystemColors.h"

#include <gtest/gtest.h>

namespace fotoloom {
namespace {

TEST(SystemColors, plain_colours_pass_through_unchanged) {
  EXPECT_EQ(ResolveColor(0x00C5661A), 0x00C5661Au);
  EXPECT_EQ(ResolveColor(kClBlack), kClBlack);
}

TEST(SystemColors, default_table_gives_the_classic_desktop_values) {
  EXPECT_EQ(ResolveColor(kClWindow), 0xFFFFFFu);
  EXPECT_EQ(ResolveColor(SystemColor(8)), 0x000000u);   // window text
  EXPECT_EQ(ResolveColor(SystemColor(15)), 0xF0F0F0u);  // button face
  EXPECT_EQ(ResolveColor(SystemColor(13)), Rgb(0x00, 0x78, 0xD7));
  EXPECT_EQ(ResolveColor(SystemColor(200)), 0x000000u);  // unknown index
}

TEST(SystemColors, an_installed_resolver_is_used_until_it_is_removed) {
  InstallSystemColorResolver([](int index) { return static_cast<Color>(0x010203 + index); });
  EXPECT_EQ(ResolveColor(kClWindow), 0x010208u);
  InstallSystemColorResolver({});
  EXPECT_EQ(ResolveColor(kClWindow), 0xFFFFFFu);
}

}  // namespace
}  // namespace fotoloom
