#include "imaging/Un_Scaling_File.h"

#include <gtest/gtest.h>

#include "JpegFixtures.h"
#include "WriterFixtures.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;

tscaling_file MakeWriter(const TempDir& out, const std::vector<std::string>& files, int jobs = 1) {
  tscaling_file w;
  w.ImageFiles = files;
  w.ImageCount = static_cast<int>(files.size());
  w.OutputPath = out.str();
  w.MaxWidth = 800;
  w.MaxHeight = 600;
  w.Quality = 90;
  w.FilterIndex = 5;
  w.Jobs = jobs;
  return w;
}

TEST(tscaling_file, writes_every_size_of_the_table) {
  const std::pair<int, int> sources[] = {{4000, 3000}, {3000, 2000}, {2000, 3000}, {1000, 900}, {700, 650},
                                         {1101, 1101}, {640, 480},   {172, 129},   {100, 80}};
  const char* expected[] = {"800x600", "800x533", "400x600", "800x720", "800x742",
                            "800x799", "640x480", "172x129", "100x80"};
  TempDir in;
  TempDir out;
  std::vector<std::string> files;
  for (const auto& [w, h] : sources) {
    files.push_back(in / (std::to_string(w) + "x" + std::to_string(h) + ".jpg"));
    test::WriteJpeg(files.back(), test::FlatImage(w, h, {40, 90, 140}), {.quality = 50});
  }
  tscaling_file w = MakeWriter(out, files, 2);
  w.Create_images();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const test::JpegFacts f = test::ReadFacts(
        out / ("n_" + std::to_string(sources[i].first) + "x" + std::to_string(sources[i].second) + ".jpg"));
    EXPECT_EQ(std::to_string(f.width) + "x" + std::to_string(f.height), expected[i]);
  }
}

TEST(tscaling_file, an_image_that_fits_keeps_its_pixels_without_the_filter) {
  TempDir in;
  TempDir out;
  const Image original = test::MakeImage(64, 48, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5), 77};
  });
  test::WriteJpeg(in / "fit.jpg", original, {.quality = 100});
  const Image decoded = test::Decode(in / "fit.jpg");
  tscaling_file w = MakeWriter(out, {in / "fit.jpg"});
  w.Quality = 100;
  w.PixelFormat = 6;
  w.Create_images();
  // Only re-encoded: a second encoding at quality 100 moves no channel far.
  EXPECT_TRUE(test::NearlyEqual(test::Decode(out / "n_fit.jpg"), decoded, 3));
}

TEST(tscaling_file, keeps_progressive_or_baseline_and_the_colour_components) {
  TempDir in;
  TempDir out;
  const Image image = test::FlatImage(900, 700, {200, 100, 50});
  test::WriteJpeg(in / "prog.jpg", image, {.progressive = true});
  test::WriteJpeg(in / "base.jpg", image, {.progressive = false});
  test::WriteJpeg(in / "grey.jpg", image, {.grey = true});
  tscaling_file w = MakeWriter(out, {in / "prog.jpg", in / "base.jpg", in / "grey.jpg"});
  w.Create_images();
  EXPECT_TRUE(test::ReadFacts(out / "n_prog.jpg").progressive);
  EXPECT_FALSE(test::ReadFacts(out / "n_base.jpg").progressive);
  EXPECT_EQ(test::ReadFacts(out / "n_base.jpg").components, 3);
  EXPECT_EQ(test::ReadFacts(out / "n_grey.jpg").components, 3);  // grey input, setting off

  TempDir grey;
  w.OutputPath = grey.str();
  w.Grayscale = true;
  w.Create_images();
  for (const char* name : {"n_prog.jpg", "n_base.jpg", "n_grey.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(test::ReadFacts(grey / name).components, 1);
  }
  EXPECT_TRUE(test::ReadFacts(grey / "n_prog.jpg").progressive);
}

TEST(tscaling_file, every_exif_orientation_comes_out_upright) {
  // Stored 120 x 60 in quadrants: red, green over blue, white. Each upright
  // output, fitted into 100 x 100, is listed by its size and its corner
  // colours (top-left, top-right, bottom-left, bottom-right).
  struct Case {
    int orientation;
    const char* size;
    const char* corners;
  };
  const Case cases[] = {{1, "100x50", "RGBW"}, {2, "100x50", "GRWB"}, {3, "100x50", "WBGR"}, {4, "100x50", "BWRG"},
                        {5, "50x100", "RBGW"}, {6, "50x100", "BRWG"}, {7, "50x100", "WGBR"}, {8, "50x100", "GWRB"}};
  const Image stored = test::MakeImage(120, 60, [](int x, int y) {
    if (y < 30) return x < 60 ? test::Rgb{255, 0, 0} : test::Rgb{0, 255, 0};
    return x < 60 ? test::Rgb{0, 0, 255} : test::Rgb{255, 255, 255};
  });
  TempDir in;
  TempDir out;
  std::vector<std::string> files;
  for (const Case& c : cases) {
    files.push_back(in / ("o" + std::to_string(c.orientation) + ".jpg"));
    test::WriteJpeg(files.back(), stored, {.orientation = c.orientation});
  }
  tscaling_file w = MakeWriter(out, files);
  w.MaxWidth = 100;  // the sideways photos are sized after they are turned
  w.MaxHeight = 100;
  w.Create_images();
  auto name = [](const std::uint8_t* p) {
    if (p[0] > 128 && p[1] > 128) return 'W';
    return p[0] > 128 ? 'R' : p[1] > 128 ? 'G' : 'B';
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("orientation " + std::to_string(c.orientation));
    const Image u = test::Decode(out / ("n_o" + std::to_string(c.orientation) + ".jpg"));
    const int x = u.width() - 3;
    const int y = u.height() - 3;
    EXPECT_EQ(std::to_string(u.width()) + "x" + std::to_string(u.height()), c.size);
    EXPECT_EQ(std::string({name(u.pixel(2, 2)), name(u.pixel(x, 2)), name(u.pixel(2, y)), name(u.pixel(x, y))}),
              c.corners);
  }
}

TEST(tscaling_file, names_keep_their_case_and_a_trailing_slash_is_not_doubled) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "IMG_0001.JPG", test::FlatImage(20, 10, {1, 2, 3}));
  test::WriteJpeg(in / "Holiday.Jpeg", test::FlatImage(20, 10, {1, 2, 3}));
  tscaling_file w = MakeWriter(out, {in / "IMG_0001.JPG", in / "Holiday.Jpeg"});
  w.OutputPath = out.str() + "/";
  w.Create_images();
  EXPECT_TRUE(test::Exists(out / "n_IMG_0001.JPG"));
  EXPECT_TRUE(test::Exists(out / "n_Holiday.Jpeg"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 2);
}

TEST(tscaling_file, a_very_thin_image_gets_one_pixel_for_its_short_side) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "strip.jpg", test::FlatImage(4000, 3, {9, 9, 9}));
  tscaling_file w = MakeWriter(out, {in / "strip.jpg"});
  for (bool filter : {false, true}) {
    SCOPED_TRACE(filter ? "filtered" : "plain");
    w.UseFilter = filter;
    w.Create_images();
    const test::JpegFacts f = test::ReadFacts(out / "n_strip.jpg");
    EXPECT_EQ(f.width, 800);
    EXPECT_EQ(f.height, 1);
  }
}

TEST(tscaling_file, pixel_formats_reduce_the_colours_before_encoding) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "orange.jpg", test::FlatImage(32, 32, {230, 120, 20}), {.quality = 100});
  tscaling_file w = MakeWriter(out, {in / "orange.jpg"});
  w.Quality = 100;
  w.PixelFormat = 1;  // black and white: orange is nearer to black
  w.Create_images();
  const Image decoded = test::Decode(out / "n_orange.jpg");
  const std::uint8_t* p = decoded.pixel(16, 16);
  EXPECT_LE(p[0] + p[1] + p[2], 6);
}

}  // namespace
}  // namespace fotoloom
