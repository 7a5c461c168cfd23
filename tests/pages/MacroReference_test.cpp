#include "pages/MacroReference.h"

#include <gtest/gtest.h>

#include "pages/PhotoMacros.h"

namespace fotoloom {
namespace {

TEST(MacroReference, thumbnail_table_keeps_the_title_as_row_17_before_the_album_and_grid_rows) {
  EXPECT_EQ(kThumbnailMacroReference.size(), 25u);
  EXPECT_EQ(kThumbnailMacroReference[0].macro, "@cp@");
  EXPECT_EQ(kThumbnailMacroReference[11].description, "The selected background color as hex value (e.g. #1A66C5#)");
  EXPECT_EQ(kThumbnailMacroReference[16].macro, "@title@");
  EXPECT_EQ(kThumbnailMacroReference[16].description, "a title for thumbnail pages");
}

TEST(MacroReference, image_table_shares_the_first_15_rows_and_has_the_exif_comment_at_21) {
  EXPECT_EQ(kImageMacroReference.size(), 36u);
  for (std::size_t i = 0; i < 15; ++i) {
    EXPECT_EQ(kImageMacroReference[i].macro, kThumbnailMacroReference[i].macro) << i;
    EXPECT_EQ(kImageMacroReference[i].description, kThumbnailMacroReference[i].description) << i;
  }
  EXPECT_EQ(kImageMacroReference[15].macro, "@thumbs@");
  EXPECT_EQ(kImageMacroReference[18].description, "original imagefilename WITHOUT fileextension");
  EXPECT_EQ(kImageMacroReference[20].macro, "@exifcomment@");
  EXPECT_EQ(kImageMacroReference[20].description, "the contents of comment section of the images exifinformation");
}

TEST(MacroReference, image_table_lists_the_photo_macros_after_the_exif_comment_in_their_order) {
  for (std::size_t i = 0; i < kPhotoMacros.size(); ++i)
    EXPECT_EQ(kImageMacroReference[20 + i].macro, kPhotoMacros[i]) << i;
}

TEST(MacroReference, the_album_macros_follow_the_rows_of_each_table) {
  EXPECT_EQ(kThumbnailMacroReference[17].macro, "@albumtable@");
  EXPECT_EQ(kThumbnailMacroReference[18].macro, "@albumpath@");
  EXPECT_EQ(kThumbnailMacroReference[19].macro, "@albumname@");
  EXPECT_EQ(kImageMacroReference[26].macro, "@albumpath@");
  EXPECT_EQ(kImageMacroReference[27].macro, "@albumname@");
}

TEST(MacroReference, both_tables_end_with_the_three_macros_of_the_zip) {
  for (const auto* table : {&kThumbnailMacroReference[kThumbnailMacroReference.size() - 3],
                            &kImageMacroReference[kImageMacroReference.size() - 3]}) {
    EXPECT_EQ(table[0].macro, "@zip@");
    EXPECT_EQ(table[1].macro, "@zipsize@");
    EXPECT_EQ(table[2].macro, "@zip_link@");
  }
}

}  // namespace
}  // namespace fotoloom
