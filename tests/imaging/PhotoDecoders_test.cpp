#include "imaging/PhotoDecoders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "PhotoFixtures.h"
#include "core/Error.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::Pixels;
using test::Rgb;
using test::Sample4;
using test::TempDir;

// The colour a pixel of colour c and opacity a shows on background bg.
int Over(int c, int a, int bg) { return static_cast<int>(std::lround((c * a + bg * (255 - a)) / 255.0)); }

Image DecodeWith(const std::string& path, bool otherFormats = true,
                 std::array<std::uint8_t, 3> background = {255, 255, 255}, bool grey = false) {
  PhotoDecoders decoders;
  PhotoDecoder& d = decoders.For(path, otherFormats);
  d.Background = background;
  d.Grayscale = grey;
  Image image;
  d.Load(path, image);
  return image;
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

// Every pixel within tolerance of want(x, y).
::testing::AssertionResult Matches(const Image& image, int width, int height,
                                   const std::function<Rgb(int x, int y)>& want, int tolerance) {
  if (image.width() != width || image.height() != height)
    return ::testing::AssertionFailure() << "size " << image.width() << "x" << image.height();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = image.pixel(x, y);
      const Rgb w = want(x, y);
      if (std::abs(p[0] - w.r) > tolerance || std::abs(p[1] - w.g) > tolerance || std::abs(p[2] - w.b) > tolerance)
        return ::testing::AssertionFailure()
               << "(" << x << "," << y << "): " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]) << " instead of "
               << int(w.r) << "," << int(w.g) << "," << int(w.b);
    }
  return ::testing::AssertionSuccess();
}

constexpr int kW = 13;
constexpr int kH = 9;

Sample4 Colour8(int x, int y) {
  return {std::uint16_t(x * 19), std::uint16_t(y * 27), std::uint16_t(200 - x * 5),
          std::uint16_t((x * 37 + y * 11) % 256)};
}

TEST(FormatOfContent, tells_the_formats_apart_by_their_first_bytes) {
  TempDir dir;
  const Image image = test::FlatImage(8, 8, {10, 20, 30});
  test::WriteJpeg(dir / "a.jpg", image);
  test::WritePng(dir / "a.png", 8, 8, test::FromImage(image));
  test::WriteWebp(dir / "a.webp", 8, 8, test::FromImage(image));
  test::WriteHeif(dir / "a.heic", 8, 8, test::FromImage(image));
  test::WriteHeif(dir / "a.avif", 8, 8, test::FromImage(image), {.avif = true});
  test::WriteFile(dir / "mp4", std::string("\0\0\0\x18"
                                           "ftypisom",
                                           12));
  test::WriteFile(dir / "short", "\xFF\xD8");
  EXPECT_EQ(FormatOfContent(dir / "a.jpg"), PhotoFormat::Jpeg);
  EXPECT_EQ(FormatOfContent(dir / "a.png"), PhotoFormat::Png);
  EXPECT_EQ(FormatOfContent(dir / "a.webp"), PhotoFormat::Webp);
  EXPECT_EQ(FormatOfContent(dir / "a.heic"), PhotoFormat::Heif);
  EXPECT_EQ(FormatOfContent(dir / "a.avif"), PhotoFormat::Heif);
  EXPECT_EQ(FormatOfContent(dir / "mp4"), PhotoFormat::Unknown);
  EXPECT_EQ(FormatOfContent(dir / "short"), PhotoFormat::Unknown);
  EXPECT_EQ(FormatOfContent(dir / "missing"), PhotoFormat::Unknown);
  // A pipe with no writer is not waited for.
  ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
  EXPECT_EQ(FormatOfContent(dir / "pipe.png"), PhotoFormat::Unknown);
}

TEST(PhotoDecoders, the_content_chooses_the_decoder_and_must_agree_with_the_name) {
  TempDir dir;
  const Image image = test::FlatImage(8, 8, {10, 20, 30});
  test::WritePng(dir / "shot.png", 8, 8, test::FromImage(image));
  test::WritePng(dir / "shot.jpg", 8, 8, test::FromImage(image));
  test::WritePng(dir / "shot.heic", 8, 8, test::FromImage(image));
  test::WriteFile(dir / "noise.png", "this is no picture of any kind");
  // Without the option every photo is a JPEG, as it always was.
  const std::string notJpeg = "JPEG error #53: Not a JPEG file: starts with 0x89 0x50";
  EXPECT_EQ(ErrorOf([&] { DecodeWith(dir / "shot.jpg", false); }), notJpeg);
  EXPECT_EQ(ErrorOf([&] { DecodeWith(dir / "shot.png", false); }), notJpeg);
  EXPECT_EQ(ErrorOf([&] { DecodeWith(dir / "shot.png"); }), "");
  EXPECT_EQ(ErrorOf([&] { DecodeWith(dir / "shot.jpg"); }),
            "Cannot read \"" + dir / "shot.jpg" + "\": it holds a PNG image, not the JPEG image its name says");
  EXPECT_EQ(ErrorOf([&] { DecodeWith(dir / "shot.heic"); }),
            "Cannot read \"" + dir / "shot.heic" + "\": it holds a PNG image, not the HEIF image its name says");
  EXPECT_EQ(ErrorOf([&] { DecodeWith(dir / "noise.png"); }),
            "Cannot read \"" + dir / "noise.png" + "\" as PNG: Not a PNG file");
}

TEST(PngDecoder, every_colour_type_and_depth_comes_out_as_8_bit_rgb_on_the_background) {
  TempDir dir;
  // 16-bit samples chosen so that rounding and dropping the low byte differ
  // (0xFF00 is 254, not 255).
  const auto deep = [](int x, int y) {
    return Sample4{std::uint16_t(0xFF00 - x * 2570), std::uint16_t(0x01C0 + y * 4000), std::uint16_t(x * y * 601),
                   std::uint16_t(x * 5000 + 1000)};
  };
  const auto round16 = [](int v) { return static_cast<int>(std::lround(v / 257.0)); };
  const struct {
    const char* name;
    test::PngOptions options;
    Pixels pixels;
    bool alpha;
  } cases[] = {
      {"rgb 8", {test::PngKind::Rgb, 8}, Colour8, false},
      {"rgba 8", {test::PngKind::Rgba, 8}, Colour8, true},
      {"rgb 16", {test::PngKind::Rgb, 16}, deep, false},
      {"rgba 16", {test::PngKind::Rgba, 16}, deep, true},
      {"grey 8", {test::PngKind::Grey, 8}, Colour8, false},
      {"grey 16", {test::PngKind::Grey, 16}, deep, false},
      {"grey alpha 8", {test::PngKind::GreyAlpha, 8}, Colour8, true},
      {"palette with transparency", {test::PngKind::Palette, 8}, Colour8, true},
      {"interlaced rgba 8", {test::PngKind::Rgba, 8, true}, Colour8, true},
      {"interlaced grey 16", {test::PngKind::Grey, 16, true}, deep, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / "p.png";
    test::WritePng(path, kW, kH, c.pixels, c.options);
    const bool wide = c.options.depth == 16;
    const bool grey = c.options.kind == test::PngKind::Grey || c.options.kind == test::PngKind::GreyAlpha;
    for (const std::array<std::uint8_t, 3> bg : {std::array<std::uint8_t, 3>{255, 255, 255}, {20, 30, 60}}) {
      const Image got = DecodeWith(path, true, bg);
      const auto want = [&](int x, int y) {
        const Sample4 s = c.pixels(x, y);
        int v[3] = {s.r, grey ? s.r : s.g, grey ? s.r : s.b};
        int a = c.alpha ? s.a : (wide ? 65535 : 255);
        if (wide) {
          for (int& k : v) k = round16(k);
          a = round16(a);
        }
        if (!c.alpha) a = 255;
        return Rgb{std::uint8_t(Over(v[0], a, bg[0])), std::uint8_t(Over(v[1], a, bg[1])),
                   std::uint8_t(Over(v[2], a, bg[2]))};
      };
      // One level for mixing with the background in whole numbers.
      EXPECT_TRUE(Matches(got, kW, kH, want, c.alpha ? 1 : 0));
    }
  }
}

TEST(PngDecoder, an_animation_gives_its_first_frame) {
  TempDir dir;
  const Image first = test::FlatImage(kW, kH, {200, 10, 10});
  const Image second = test::FlatImage(kW, kH, {10, 10, 200});
  test::WritePng(dir / "anim.png", kW, kH, test::FromImage(first), {.secondFrame = &second});
  EXPECT_TRUE(Matches(
      DecodeWith(dir / "anim.png"), kW, kH,
      [](int, int) {
        return Rgb{200, 10, 10};
      },
      0));
}

TEST(WebpDecoder, lossless_lossy_transparent_and_animated_files) {
  TempDir dir;
  const Image second = test::FlatImage(kW, kH, {10, 10, 200});
  const struct {
    const char* name;
    test::WebpOptions options;
    int tolerance;
  } cases[] = {
      {"lossless", {.lossless = true}, 0},
      {"lossy", {.lossless = false}, 40},
      {"lossless with alpha", {.lossless = true, .alpha = true}, 1},
      {"animated", {.secondFrame = &second}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteWebp(dir / "p.webp", kW, kH, Colour8, c.options);
    const std::array<std::uint8_t, 3> bg{20, 30, 60};
    const Image got = DecodeWith(dir / "p.webp", true, bg);
    EXPECT_TRUE(Matches(
        got, kW, kH,
        [&](int x, int y) {
          const Sample4 s = Colour8(x, y);
          const int a = c.options.alpha ? s.a : 255;
          return Rgb{std::uint8_t(Over(s.r, a, bg[0])), std::uint8_t(Over(s.g, a, bg[1])),
                     std::uint8_t(Over(s.b, a, bg[2]))};
        },
        c.tolerance));
  }
}

// A flat photo of HEIF makes its colours checkable despite lossy coding.
// Deep AVIF files come out of the library as deep HEIC ones do; the AV1
// encoder at hand cannot write them (it stops on an assertion).
TEST(HeifDecoder, heic_and_avif_of_8_10_and_12_bits_and_with_alpha) {
  TempDir dir;
  const struct {
    const char* name;
    test::HeifOptions options;
    Sample4 sample;
    Rgb want;
  } cases[] = {
      {"heic 8", {}, {200, 100, 50, 255}, {200, 100, 50}},
      {"avif 8", {.avif = true}, {200, 100, 50, 255}, {200, 100, 50}},
      {"heic 10", {.depth = 10}, {800, 400, 200, 1023}, {199, 100, 50}},
      {"heic 12", {.depth = 12}, {3200, 1600, 800, 4095}, {199, 100, 50}},
      {"heic 8 with alpha", {.alpha = true}, {200, 100, 50, 0}, {20, 30, 60}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / (c.options.avif ? "p.avif" : "p.heic");
    test::WriteHeif(
        path, 32, 24, [&](int, int) { return c.sample; }, c.options);
    const Image got = DecodeWith(path, true, {20, 30, 60});
    // Lossy coding of a flat colour, through YCbCr and back.
    EXPECT_TRUE(Matches(
        got, 32, 24, [&](int, int) { return c.want; }, 4));
  }
}

TEST(HeifDecoder, turns_the_codec_planes_into_the_rgb_the_library_would_give) {
  TempDir dir;
  const struct {
    const char* name;
    test::HeifOptions options;
    int tolerance;
  } cases[] = {
      // The library rounds its own way in floating point.
      {"4:2:0", {.chroma = "420"}, 2},
      {"BT.709 video range", {.chroma = "420", .matrix = 1, .limitedRange = true}, 2},
      // Finer chroma taken as 4:2:0, and the chroma samples of planes turned
      // before they become RGB, sit a little otherwise: several levels where
      // the chroma changes. A wrong matrix or range is off by tens.
      {"4:2:2", {.chroma = "422"}, 8},
      {"4:4:4", {.chroma = "444"}, 8},
      {"turned by the container", {.orientation = 8, .chroma = "420"}, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Chroma that changes slowly, as in photos.
    const Pixels smooth = [](int x, int y) {
      return Sample4{std::uint16_t(40 + x * 4), std::uint16_t(30 + y * 6), std::uint16_t(200 - x * 3), 255};
    };
    test::WriteHeif(dir / "p.heic", 37, 23, smooth, c.options);
    const Image library = test::DecodeHeifWithLibrary(dir / "p.heic");
    EXPECT_TRUE(Matches(
        DecodeWith(dir / "p.heic"), library.width(), library.height(),
        [&](int x, int y) {
          return Rgb{library.pixel(x, y)[0], library.pixel(x, y)[1], library.pixel(x, y)[2]};
        },
        c.tolerance));
  }
}

TEST(HeifDecoder, deep_samples_are_rounded_not_cut) {
  TempDir dir;
  // Lossless 10-bit RGB: 1020 is 254.25 in 8 bits (dropping two bits gives
  // 255), 7 is 1.75 (dropping gives 1), 514 is 128.1 (both give 128).
  test::WriteHeif(dir / "g.heic", 16, 16,
                  [](int, int) {
                    return Sample4{1020, 7, 514, 1023};
                  },
                  {.depth = 10, .lossless = true});
  EXPECT_TRUE(Matches(
      DecodeWith(dir / "g.heic"), 16, 16,
      [](int, int) {
        return Rgb{254, 2, 128};
      },
      0));
}

TEST(HeifDecoder, the_container_turns_the_picture_and_an_exif_orientation_inside_is_ignored) {
  TempDir dir;
  // Left half red, right half blue, 32 x 16.
  const Pixels halves = [](int x, int) { return x < 16 ? Sample4{220, 20, 20, 255} : Sample4{20, 20, 220, 255}; };
  // Turned a quarter clockwise by the container; the EXIF block says "turn
  // the other way", which would undo it if it were applied as well.
  test::WriteHeif(dir / "r.heic", 32, 16, halves, {.orientation = 6, .exifOrientation = 8});
  const Image got = DecodeWith(dir / "r.heic");
  ASSERT_EQ(got.width(), 16);
  ASSERT_EQ(got.height(), 32);
  // Turned clockwise, the left (red) half is on top.
  EXPECT_GT(got.pixel(8, 4)[0], 150);
  EXPECT_GT(got.pixel(8, 28)[2], 150);
  PhotoDecoders decoders;
  PhotoDecoder& d = decoders.For(dir / "r.heic", true);
  d.Inspect(dir / "r.heic");
  EXPECT_EQ(d.Orientation(), 1);
  EXPECT_EQ(d.StoredWidth(), 16);
}

TEST(HeifDecoder, a_file_of_several_images_gives_its_primary_image) {
  TempDir dir;
  const Image other = test::FlatImage(40, 30, {10, 200, 10});
  test::WriteHeif(dir / "m.heic", 32, 24, [](int, int) { return Sample4{200, 10, 10, 255}; }, {.secondImage = &other});
  const Image got = DecodeWith(dir / "m.heic");
  EXPECT_TRUE(Matches(
      got, 32, 24,
      [](int, int) {
        return Rgb{200, 10, 10};
      },
      4));
}

TEST(PhotoDecoders, png_and_webp_are_turned_upright_by_their_exif_orientation) {
  TempDir dir;
  const Pixels halves = [](int x, int) { return x < 8 ? Sample4{220, 20, 20, 255} : Sample4{20, 20, 220, 255}; };
  test::WritePng(dir / "r.png", 16, 6, halves, {.orientation = 6});
  test::WriteWebp(dir / "r.webp", 16, 6, halves, {.orientation = 6});
  for (const char* name : {"r.png", "r.webp"}) {
    SCOPED_TRACE(name);
    const Image got = DecodeWith(dir / name);
    ASSERT_EQ(got.width(), 6);
    ASSERT_EQ(got.height(), 16);
    EXPECT_EQ(got.pixel(3, 2)[0], 220);
    EXPECT_EQ(got.pixel(3, 13)[2], 220);
  }
}

TEST(PhotoDecoders, profiles_of_every_format_are_handed_on) {
  TempDir dir;
  const std::string p3 = test::DisplayP3Profile();
  const Pixels flat = [](int, int) { return Sample4{200, 40, 30, 255}; };
  test::WritePng(dir / "a.png", 8, 8, flat, {.icc = p3});
  test::WriteWebp(dir / "a.webp", 8, 8, flat, {.icc = p3});
  test::WriteHeif(dir / "a.heic", 8, 8, flat, {.icc = p3});
  test::WriteHeif(dir / "b.heic", 8, 8, flat, {.primaries = 12});
  test::WriteJpeg(dir / "a.jpg", test::FlatImage(8, 8, {200, 40, 30}), {.icc = p3});
  for (const char* name : {"a.png", "a.webp", "a.heic", "a.jpg"}) {
    PhotoDecoders decoders;
    PhotoDecoder& d = decoders.For(dir / name, true);
    d.Inspect(dir / name);
    EXPECT_EQ(d.Colour().Icc, p3) << name;
  }
  PhotoDecoders decoders;
  PhotoDecoder& d = decoders.For(dir / "b.heic", true);
  d.Inspect(dir / "b.heic");
  EXPECT_EQ(d.Colour().Primaries, 12);
  EXPECT_EQ(d.Colour().Transfer, 13);
}

TEST(PhotoDecoders, grayscale_makes_every_format_grey) {
  TempDir dir;
  test::WritePng(dir / "a.png", kW, kH, Colour8, {test::PngKind::Rgb});
  test::WriteWebp(dir / "a.webp", kW, kH, Colour8);
  test::WriteHeif(dir / "a.heic", kW, kH, Colour8);
  for (const char* name : {"a.png", "a.webp", "a.heic"}) {
    const Image got = DecodeWith(dir / name, true, {255, 255, 255}, true);
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x) {
        const std::uint8_t* p = got.pixel(x, y);
        ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << name;
      }
  }
}

}  // namespace
}  // namespace fotoloom
