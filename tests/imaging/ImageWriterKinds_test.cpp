// The scaled-image writer (tscaling_file) and the thumbnail writer (tthumb_file): every case runs for both.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "WriterFixtures.h"
#include "imaging/Un_Scaling_File.h"
#include "imaging/Un_Thumb_File.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;

// What tells the two writers apart in these tests: their prefix, the bounds
// the run gives them at start-up, their operation, and the sizes their size
// rule gives.
template <typename Writer>
struct WriterKind;

template <>
struct WriterKind<tscaling_file> {
  static constexpr const char* Prefix = "n_";
  static constexpr int MaxWidth = 800;
  static constexpr int MaxHeight = 600;
  static void Run(tscaling_file& w) { w.Create_images(); }
  // The sizes of the sources of writes_every_size_of_the_table.
  static constexpr const char* TableSizes[] = {"800x600", "800x533", "400x600", "800x720", "800x742",
                                               "800x799", "640x480", "172x129", "100x80"};
  static constexpr const char* FlatSize = "800x600";  // of an 800 x 600 source
  // 120 x 60 in 100 x 100, lying and standing.
  static constexpr const char* Lying = "100x50";
  static constexpr const char* Standing = "50x100";
};

template <>
struct WriterKind<tthumb_file> {
  static constexpr const char* Prefix = "t_";
  static constexpr int MaxWidth = 160;
  static constexpr int MaxHeight = 160;
  static void Run(tthumb_file& w) { w.Create_thumbnails(); }
  static constexpr const char* TableSizes[] = {"160x120", "160x106", "106x160", "160x144", "160x148",
                                               "160x160", "160x120", "160x119", "100x80"};
  static constexpr const char* FlatSize = "160x120";
  // The thumbnail rule's floor of 60 / (120 / 100) is one less.
  static constexpr const char* Lying = "100x49";
  static constexpr const char* Standing = "49x100";
};

template <typename Writer>
class ImageWriterKinds : public ::testing::Test {
 protected:
  using Kind = WriterKind<Writer>;

  // The writer set up as the run sets it up at start-up, over files into out.
  void SetUp(const TempDir& out, const std::vector<std::string>& files, int jobs = 1) {
    w.ImageFiles = files;
    w.ImageCount = static_cast<int>(files.size());
    w.OutputPath = out.str();
    w.MaxWidth = Kind::MaxWidth;
    w.MaxHeight = Kind::MaxHeight;
    w.Quality = 90;
    w.FilterIndex = 5;
    w.Jobs = jobs;
  }
  void Run() { Kind::Run(w); }
  // The path of the output of name in folder.
  static std::string Output(const TempDir& folder, const std::string& name) { return folder / (Kind::Prefix + name); }
  static std::string SizeOf(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

  Writer w;
};

using Writers = ::testing::Types<tscaling_file, tthumb_file>;
TYPED_TEST_SUITE(ImageWriterKinds, Writers);

TYPED_TEST(ImageWriterKinds, writes_every_size_of_the_table) {
  const std::pair<int, int> sources[] = {{4000, 3000}, {3000, 2000}, {2000, 3000}, {1000, 900}, {700, 650},
                                         {1101, 1101}, {640, 480},   {172, 129},   {100, 80}};
  TempDir in;
  TempDir out;
  std::vector<std::string> files;
  for (const auto& [width, height] : sources) {
    files.push_back(in / (this->SizeOf(width, height) + ".jpg"));
    test::WriteJpeg(files.back(), test::FlatImage(width, height, {40, 90, 140}), {.quality = 50});
  }
  this->SetUp(out, files, 2);
  this->Run();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const test::JpegFacts f =
        test::ReadFacts(this->Output(out, this->SizeOf(sources[i].first, sources[i].second) + ".jpg"));
    EXPECT_EQ(this->SizeOf(f.width, f.height), TestFixture::Kind::TableSizes[i]);
  }
}

TYPED_TEST(ImageWriterKinds, an_image_that_fits_keeps_its_pixels_without_the_filter) {
  TempDir in;
  TempDir out;
  const Image original = test::MakeImage(64, 48, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5), 77};
  });
  test::WriteJpeg(in / "fit.jpg", original, {.quality = 100});
  const Image decoded = test::Decode(in / "fit.jpg");
  this->SetUp(out, {in / "fit.jpg"});
  this->w.Quality = 100;
  this->w.PixelFormat = 6;
  this->Run();
  // Only re-encoded: a second encoding at quality 100 moves no channel far.
  EXPECT_TRUE(test::NearlyEqual(test::Decode(this->Output(out, "fit.jpg")), decoded, 3));
}

TYPED_TEST(ImageWriterKinds, keeps_progressive_or_baseline_and_the_colour_components) {
  TempDir in;
  TempDir out;
  const Image image = test::FlatImage(900, 700, {200, 100, 50});
  test::WriteJpeg(in / "prog.jpg", image, {.progressive = true});
  test::WriteJpeg(in / "base.jpg", image, {.progressive = false});
  test::WriteJpeg(in / "grey.jpg", image, {.grey = true});
  this->SetUp(out, {in / "prog.jpg", in / "base.jpg", in / "grey.jpg"});
  this->Run();
  EXPECT_TRUE(test::ReadFacts(this->Output(out, "prog.jpg")).progressive);
  EXPECT_FALSE(test::ReadFacts(this->Output(out, "base.jpg")).progressive);
  EXPECT_EQ(test::ReadFacts(this->Output(out, "base.jpg")).components, 3);
  EXPECT_EQ(test::ReadFacts(this->Output(out, "grey.jpg")).components, 3);  // grey input, setting off

  TempDir grey;
  this->w.OutputPath = grey.str();
  this->w.Grayscale = true;
  this->Run();
  for (const char* name : {"prog.jpg", "base.jpg", "grey.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(test::ReadFacts(this->Output(grey, name)).components, 1);
  }
  EXPECT_TRUE(test::ReadFacts(this->Output(grey, "prog.jpg")).progressive);
}

TYPED_TEST(ImageWriterKinds, names_progression_and_components_follow_the_input_and_the_setting) {
  TempDir in;
  TempDir out;
  const Image image = test::FlatImage(400, 300, {20, 140, 220});
  test::WriteJpeg(in / "P1.JPG", image, {.progressive = true});
  test::WriteJpeg(in / "b2.jpeg", image, {.grey = true});
  this->SetUp(out, {in / "P1.JPG", in / "b2.jpeg"});
  this->Run();
  EXPECT_TRUE(test::ReadFacts(this->Output(out, "P1.JPG")).progressive);
  EXPECT_EQ(test::ReadFacts(this->Output(out, "P1.JPG")).components, 3);
  EXPECT_FALSE(test::ReadFacts(this->Output(out, "b2.jpeg")).progressive);
  EXPECT_EQ(test::ReadFacts(this->Output(out, "b2.jpeg")).components, 3);

  TempDir grey;
  this->w.OutputPath = grey.str();
  this->w.Grayscale = true;
  this->Run();
  EXPECT_EQ(test::ReadFacts(this->Output(grey, "P1.JPG")).components, 1);
  EXPECT_TRUE(test::ReadFacts(this->Output(grey, "P1.JPG")).progressive);
  EXPECT_EQ(test::ReadFacts(this->Output(grey, "b2.jpeg")).components, 1);
}

TYPED_TEST(ImageWriterKinds, every_exif_orientation_comes_out_upright) {
  // Stored 120 x 60 in quadrants: red, green over blue, white. Each upright
  // output, fitted into 100 x 100, is listed by whether it stands (turned a
  // quarter) and its corner colours (top-left, top-right, bottom-left,
  // bottom-right).
  struct Case {
    int orientation;
    bool standing;
    const char* corners;
  };
  const Case cases[] = {{1, false, "RGBW"}, {2, false, "GRWB"}, {3, false, "WBGR"}, {4, false, "BWRG"},
                        {5, true, "RBGW"},  {6, true, "BRWG"},  {7, true, "WGBR"},  {8, true, "GWRB"}};
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
  this->SetUp(out, files);
  this->w.MaxWidth = 100;  // the sideways photos are sized after they are turned
  this->w.MaxHeight = 100;
  this->Run();
  auto name = [](const std::uint8_t* p) {
    if (p[0] > 128 && p[1] > 128) return 'W';
    return p[0] > 128 ? 'R' : p[1] > 128 ? 'G' : 'B';
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("orientation " + std::to_string(c.orientation));
    const Image u = test::Decode(this->Output(out, "o" + std::to_string(c.orientation) + ".jpg"));
    const int x = u.width() - 3;
    const int y = u.height() - 3;
    EXPECT_EQ(this->SizeOf(u.width(), u.height()), c.standing ? TestFixture::Kind::Standing : TestFixture::Kind::Lying);
    EXPECT_EQ(std::string({name(u.pixel(2, 2)), name(u.pixel(x, 2)), name(u.pixel(2, y)), name(u.pixel(x, y))}),
              c.corners);
  }
}

TYPED_TEST(ImageWriterKinds, names_keep_their_case_and_a_trailing_slash_is_not_doubled) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "IMG_0001.JPG", test::FlatImage(20, 10, {1, 2, 3}));
  test::WriteJpeg(in / "Holiday.Jpeg", test::FlatImage(20, 10, {1, 2, 3}));
  this->SetUp(out, {in / "IMG_0001.JPG", in / "Holiday.Jpeg"});
  this->w.OutputPath = out.str() + "/";
  this->Run();
  EXPECT_TRUE(test::Exists(this->Output(out, "IMG_0001.JPG")));
  EXPECT_TRUE(test::Exists(this->Output(out, "Holiday.Jpeg")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 2);
}

TYPED_TEST(ImageWriterKinds, a_very_thin_image_gets_one_pixel_for_its_short_side) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "strip.jpg", test::FlatImage(4000, 3, {9, 9, 9}));
  this->SetUp(out, {in / "strip.jpg"});
  for (bool filter : {false, true}) {
    SCOPED_TRACE(filter ? "filtered" : "plain");
    this->w.UseFilter = filter;
    this->Run();
    const test::JpegFacts f = test::ReadFacts(this->Output(out, "strip.jpg"));
    EXPECT_EQ(f.width, TestFixture::Kind::MaxWidth);
    EXPECT_EQ(f.height, 1);
  }
}

TYPED_TEST(ImageWriterKinds, pixel_formats_reduce_the_colours_before_encoding) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "orange.jpg", test::FlatImage(32, 32, {230, 120, 20}), {.quality = 100});
  this->SetUp(out, {in / "orange.jpg"});
  this->w.Quality = 100;
  this->w.PixelFormat = 1;  // black and white: orange is nearer to black
  this->Run();
  const Image decoded = test::Decode(this->Output(out, "orange.jpg"));
  const std::uint8_t* p = decoded.pixel(16, 16);
  EXPECT_LE(p[0] + p[1] + p[2], 6);
}

TYPED_TEST(ImageWriterKinds, a_flat_colour_survives_the_filtered_stretch) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "flat.jpg", test::FlatImage(800, 600, {100, 150, 200}), {.quality = 100});
  this->SetUp(out, {in / "flat.jpg"});
  this->w.UseFilter = true;
  this->w.FilterIndex = 1;  // Triangle: its shrinking weights sum to about one
  this->w.Quality = 100;
  this->Run();
  const Image t = test::Decode(this->Output(out, "flat.jpg"));
  ASSERT_EQ(this->SizeOf(t.width(), t.height()), TestFixture::Kind::FlatSize);
  EXPECT_TRUE(test::NearlyEqual(t, test::FlatImage(t.width(), t.height(), {100, 150, 200}), 4));
}

}  // namespace
}  // namespace fotoloom
