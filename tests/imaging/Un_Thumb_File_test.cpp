#include "imaging/Un_Thumb_File.h"

#include <gtest/gtest.h>

#include "JpegFixtures.h"
#include "WriterFixtures.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;

tthumb_file MakeWriter(const TempDir& out, const std::vector<std::string>& files, int jobs = 1) {
  tthumb_file w;
  w.ImageFiles = files;
  w.ImageCount = static_cast<int>(files.size());
  w.OutputPath = out.str();
  w.MaxWidth = 160;
  w.MaxHeight = 160;
  w.Quality = 90;
  w.FilterIndex = 5;
  w.Jobs = jobs;
  return w;
}

TEST(tthumb_file, writes_every_size_of_the_table) {
  const std::pair<int, int> sources[] = {{4000, 3000}, {3000, 2000}, {2000, 3000}, {1000, 900}, {700, 650},
                                         {1101, 1101}, {640, 480},   {172, 129},   {100, 80}};
  const char* expected[] = {"160x120", "160x106", "106x160", "160x144", "160x148",
                            "160x160", "160x120", "160x119", "100x80"};
  TempDir in;
  TempDir out;
  std::vector<std::string> files;
  for (const auto& [w, h] : sources) {
    files.push_back(in / (std::to_string(w) + "x" + std::to_string(h) + ".jpg"));
    test::WriteJpeg(files.back(), test::FlatImage(w, h, {40, 90, 140}), {.quality = 50});
  }
  tthumb_file w = MakeWriter(out, files, 2);
  w.Create_thumbnails();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const test::JpegFacts f = test::ReadFacts(
        out / ("t_" + std::to_string(sources[i].first) + "x" + std::to_string(sources[i].second) + ".jpg"));
    EXPECT_EQ(std::to_string(f.width) + "x" + std::to_string(f.height), expected[i]);
  }
}

TEST(tthumb_file, names_progression_and_components_follow_the_input_and_the_setting) {
  TempDir in;
  TempDir out;
  const Image image = test::FlatImage(400, 300, {20, 140, 220});
  test::WriteJpeg(in / "P1.JPG", image, {.progressive = true});
  test::WriteJpeg(in / "b2.jpeg", image, {.grey = true});
  tthumb_file w = MakeWriter(out, {in / "P1.JPG", in / "b2.jpeg"});
  w.Create_thumbnails();
  EXPECT_TRUE(test::ReadFacts(out / "t_P1.JPG").progressive);
  EXPECT_EQ(test::ReadFacts(out / "t_P1.JPG").components, 3);
  EXPECT_FALSE(test::ReadFacts(out / "t_b2.jpeg").progressive);
  EXPECT_EQ(test::ReadFacts(out / "t_b2.jpeg").components, 3);

  TempDir grey;
  w.OutputPath = grey.str();
  w.Grayscale = true;
  w.Create_thumbnails();
  EXPECT_EQ(test::ReadFacts(grey / "t_P1.JPG").components, 1);
  EXPECT_TRUE(test::ReadFacts(grey / "t_P1.JPG").progressive);
  EXPECT_EQ(test::ReadFacts(grey / "t_b2.jpeg").components, 1);
}

TEST(tthumb_file, a_flat_colour_survives_the_filtered_shrink) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "flat.jpg", test::FlatImage(800, 600, {100, 150, 200}), {.quality = 100});
  tthumb_file w = MakeWriter(out, {in / "flat.jpg"});
  w.UseFilter = true;
  w.FilterIndex = 1;  // Triangle: its shrinking weights sum to about one
  w.Quality = 100;
  w.Create_thumbnails();
  const Image t = test::Decode(out / "t_flat.jpg");
  EXPECT_EQ(t.width(), 160);
  EXPECT_TRUE(test::NearlyEqual(t, test::FlatImage(160, 120, {100, 150, 200}), 4));
}

}  // namespace
}  // namespace fotoloom
