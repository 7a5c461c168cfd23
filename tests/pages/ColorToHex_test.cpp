#include "pages/ColorToHex.h"

#include <gtest/gtest.h>

#include "core/SystemColors.h"

namespace fotoloom {
namespace {

TEST(ColorToHex, gives_red_green_blue_in_uppercase) {
  EXPECT_EQ(Color_to_hex(0x00C5661A), "1A66C5");
  EXPECT_EQ(Color_to_hex(kClBlue), "0000FF");
  EXPECT_EQ(Color_to_hex(kClPurple), "800080");
  EXPECT_EQ(Color_to_hex(kClBlack), "000000");
  EXPECT_EQ(Color_to_hex(0x00ABCDEF), "EFCDAB");
}

TEST(ColorToHex, resolves_a_negative_value_as_the_system_colour_of_its_low_byte) {
  EXPECT_EQ(Color_to_hex(kClWindow), "FFFFFF");        // 0xFF000005, the window background
  EXPECT_EQ(Color_to_hex(0x80000005u), "FFFFFF");      // negative: only the low byte names the colour
  EXPECT_EQ(Color_to_hex(SystemColor(13)), "0078D7");  // highlight
  InstallSystemColorResolver([](int index) { return index == 5 ? Color{0x00332211} : Color{0}; });
  EXPECT_EQ(Color_to_hex(kClWindow), "112233");
  InstallSystemColorResolver({});
}

TEST(ColorToHex, ignores_the_high_byte_of_other_values_above_ffffff) {
  EXPECT_EQ(Color_to_hex(0x01FF0000u), "0000FF");
  EXPECT_EQ(Color_to_hex(0x7F123456u), "563412");
}

}  // namespace
}  // namespace fotoloom
