#include "imaging/OutputName.h"

#include <gtest/gtest.h>

namespace fotoloom {
namespace {

TEST(OutputName, prefix_and_the_input_name_with_its_case_in_the_output_folder) {
  EXPECT_EQ(OutputFilePath("/out", "n_", "/in/IMG_0001.JPG"), "/out/n_IMG_0001.JPG");
  EXPECT_EQ(OutputFilePath("/out/", "t_", "/in/sub/Photo.Jpeg"), "/out/t_Photo.Jpeg");
  EXPECT_EQ(OutputFilePath("/out", "b_", "DSC_0042.jpg"), "/out/b_DSC_0042.jpg");
  EXPECT_EQ(OutputFilePath("", "n_", "/in/a.jpg"), "n_a.jpg");
  EXPECT_EQ(FileNameOf("/in/with space/x y.jpg"), "x y.jpg");
}

TEST(OutputName, images_of_photos_of_other_formats_end_in_jpg) {
  EXPECT_EQ(ImageOutputPath("/out", "n_", "/in/IMG_0001.HEIC"), "/out/n_IMG_0001.HEIC.jpg");
  EXPECT_EQ(ImageOutputPath("/out/", "b_", "/in/shot.png"), "/out/b_shot.png.jpg");
  EXPECT_EQ(ImageOutputPath("/out", "t_", "/in/IMG_0001.JPG"), "/out/t_IMG_0001.JPG");
  EXPECT_EQ(ImageOutputPath("", "n_", "/in/a.webp"), "n_a.webp.jpg");
}

TEST(OutputName, a_subfolder_goes_between_the_output_folder_and_the_name) {
  EXPECT_EQ(ImageOutputPath("/out", "2024/Rome", "t_", "/in/2024/Rome/a.jpg"), "/out/2024/Rome/t_a.jpg");
  EXPECT_EQ(ImageOutputPath("/out/", "x y", "n_", "/in/x y/b.JPG"), "/out/x y/n_b.JPG");
  EXPECT_EQ(ImageOutputPath("", "sub", "b_", "/in/sub/c.jpg"), "sub/b_c.jpg");
  EXPECT_EQ(ImageOutputPath("/out", "", "n_", "/in/d.jpg"), "/out/n_d.jpg");
  EXPECT_EQ(ImageOutputPath("/out", "2024", "b_", "/in/2024/IMG_2.HEIC"), "/out/2024/b_IMG_2.HEIC.jpg");
}

}  // namespace
}  // namespace fotoloom
