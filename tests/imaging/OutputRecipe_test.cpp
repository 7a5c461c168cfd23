#include "imaging/OutputRecipe.h"

#include <gtest/gtest.h>

#include "imaging/TargetSize.h"

namespace fotoloom {
namespace {

TEST(OutputRecipe, the_background_reaches_only_photos_of_other_formats) {
  ResizeSettings s;
  s.MaxWidth = 800;
  s.MaxHeight = 600;
  s.Quality = 90;
  ResizeSettings dark = s;
  dark.Background = {0, 0, 0x40};
  EXPECT_EQ(OutputRecipeOf(s, "n_", "IMG_1.JPG"), OutputRecipe(s, "n_"));
  EXPECT_EQ(OutputRecipeOf(dark, "n_", "IMG_1.JPG"), OutputRecipeOf(s, "n_", "IMG_1.JPG"));
  EXPECT_EQ(OutputRecipeOf(s, "n_", "IMG_1.HEIC"), OutputRecipe(s, "n_") + " bg FFFFFF");
  EXPECT_EQ(OutputRecipeOf(dark, "t_", "logo.png"), OutputRecipe(dark, "t_") + " bg 000040");
  EXPECT_EQ(OutputRecipe(s, "n_").rfind("v2/", 0), 0u);
}

TEST(OutputRecipe, the_full_size_jpeg_of_another_format_names_its_quality_and_background) {
  EXPECT_NE(FullSizeRecipe(90, {255, 255, 255}), FullSizeRecipe(80, {255, 255, 255}));
  EXPECT_NE(FullSizeRecipe(90, {255, 255, 255}), FullSizeRecipe(90, {0, 0, 0}));
  EXPECT_EQ(FullSizeRecipe(90, {255, 255, 255}), FullSizeRecipe(90, {255, 255, 255}));
  EXPECT_NE(FullSizeRecipe(90, {255, 255, 255}).find(" b_ full q90 bg FFFFFF"), std::string::npos);
}

}  // namespace
}  // namespace fotoloom
