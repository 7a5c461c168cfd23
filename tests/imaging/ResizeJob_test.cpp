// The job's resize, done as rows are decoded, against the resize of the whole decoded photo.
#include "imaging/ResizeJob.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "HostileJpegs.h"
#include "JpegFixtures.h"
#include "PhotoFixtures.h"
#include "core/Error.h"
#include "imaging/PixelFormats.h"
#include "imaging/PlainStretch.h"
#include "imaging/resample_passes.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;

// The resize with the photo decoded whole first and stretched as one image:
// what the job must produce byte for byte. A cancel leaves the untouched
// part of the (zero-filled) target as it was.
std::string ResizeWhole(const std::string& path, const ResizeSettings& s, const StretchHooks& hooks = {}) {
  JpegCodec codec;
  codec.Grayscale = s.Grayscale;
  Image source;
  codec.Load(path, source);
  const TargetSize size = s.SizeRule(source.width(), source.height(), s.MaxWidth, s.MaxHeight);
  Image target(size.Width, size.Height);
  if (s.UseFilter) {
    const FilterEntry& filter = FilterFor(s.FilterIndex);
    ResampleStretch(hooks, source, target, filter.Function, filter.Support);
  } else {
    PlainStretch(source, target);
  }
  ReduceToPixelFormat(target, s.PixelFormat);
  codec.Quality = s.Quality;
  std::string jpeg;
  codec.Encode(target, jpeg);
  return jpeg;
}

TargetSize ExactSize(int, int, int maxWidth, int maxHeight) { return {maxWidth, maxHeight}; }

// A photo with detail in every channel, so that every filter tap matters.
Image Detailed(int width, int height) {
  return test::MakeImage(width, height, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 7 + y * 3), static_cast<std::uint8_t>((x * y) ^ (x << 2)),
                     static_cast<std::uint8_t>(y * 11 - x * 5)};
  });
}

using test::ErrorOf;

struct Kind {
  const char* name;
  bool progressive;
  bool greyFile;
  bool greySetting;
};

TEST(ResizeJob, gives_the_bytes_of_the_whole_image_resize_for_every_kind_orientation_filter_and_format) {
  TempDir dir;
  const Kind kinds[] = {{"baseline", false, false, false},
                        {"progressive", true, false, false},
                        {"grey file", false, true, false},
                        {"grey setting", true, false, true}};
  // Shrinking, enlarging, keeping the size, and a one-row target.
  const TargetSize bounds[] = {{61, 47}, {311, 233}, {203, 157}, {90, 1}};
  const int filters[] = {-1, 0, 3, 5, 6};  // off, Box, Bell, Lanczos3, Mitchell
  // One job for each path: their kept buffers and tap lists must not leak
  // from one photo into the next.
  ResizeJob job;
  ResizeJob alone;
  int format = 0;
  int runs = 0;
  for (const Kind& kind : kinds) {
    for (int orientation = 0; orientation <= 8; ++orientation) {
      // Odd sizes, a height no multiple of the strip, and a turned photo's
      // stored size differing from its upright one.
      const std::string path = dir / ("p" + std::to_string(orientation) + ".jpg");
      const Image photo = orientation >= 5 ? Detailed(157, 203) : Detailed(203, 157);
      test::WriteJpeg(path, photo,
                      {.progressive = kind.progressive, .grey = kind.greyFile, .orientation = orientation});
      for (std::size_t b = 0; b < std::size(bounds); ++b) {
        for (std::size_t f = 0; f < std::size(filters); ++f) {
          for (bool generic : {false, true}) {
            ResizeSettings s;
            s.MaxWidth = bounds[b].Width;
            s.MaxHeight = bounds[b].Height;
            s.UseFilter = filters[f] >= 0;
            s.FilterIndex = filters[f];
            s.Quality = 85;
            s.Grayscale = kind.greySetting;
            s.PixelFormat = format++ % 8;
            s.SizeRule = ExactSize;
            // The second copy made from the same decode: another size, filter
            // and format, as a thumbnail beside a scaled image.
            ResizeSettings t = s;
            t.MaxWidth = bounds[(b + 1) % std::size(bounds)].Width;
            t.MaxHeight = bounds[(b + 1) % std::size(bounds)].Height;
            t.UseFilter = filters[(f + 2) % std::size(filters)] >= 0;
            t.FilterIndex = filters[(f + 2) % std::size(filters)];
            t.Quality = 70;
            t.PixelFormat = (s.PixelFormat + 3) % 8;
            const bool before = UseGenericPasses(generic);
            const CopyRequest requests[] = {{&s, {}}, {&t, {}}};
            CopyResult fused[2];
            job.Run(path, requests, {}, fused);
            // Two passes: each copy from a decode of its own, streamed and whole.
            std::string streamed;
            std::string thumb;
            alone.Run(path, s, {}, streamed);
            alone.Run(path, t, {}, thumb);
            const std::string whole = ResizeWhole(path, s);
            const std::string thumbWhole = ResizeWhole(path, t);
            UseGenericPasses(before);
            const auto where = [&] {
              return std::string(kind.name) + ", orientation " + std::to_string(orientation) + ", " +
                     std::to_string(s.MaxWidth) + " x " + std::to_string(s.MaxHeight) + ", filter " +
                     std::to_string(s.FilterIndex) + " and " + std::to_string(t.FilterIndex) + ", format " +
                     std::to_string(s.PixelFormat) + (generic ? ", portable passes" : "");
            };
            ASSERT_FALSE(fused[0].Error || fused[1].Error) << where();
            ASSERT_TRUE(streamed == whole) << where();
            ASSERT_TRUE(thumb == thumbWhole) << where();
            ASSERT_TRUE(fused[0].Jpeg == streamed) << where();
            ASSERT_TRUE(fused[1].Jpeg == thumb) << where();
            ++runs;
          }
        }
      }
    }
  }
  EXPECT_EQ(runs, 4 * 9 * 4 * 5 * 2);
}

TEST(ResizeJob, a_cancel_ends_the_stretch_at_the_same_pause_as_on_the_whole_image) {
  TempDir dir;
  for (int orientation : {1, 3, 6}) {
    const std::string path = dir / "c.jpg";
    test::WriteJpeg(path, Detailed(203, 157), {.orientation = orientation});
    ResizeSettings s;
    s.MaxWidth = 70;
    s.MaxHeight = 300;  // narrower and higher: both shrinking and enlarging tap lists
    s.UseFilter = true;
    s.FilterIndex = 5;
    s.Quality = 90;
    s.SizeRule = ExactSize;
    // Cancel at the n-th question: in the horizontal lists, the horizontal
    // pass, the vertical lists and the vertical pass.
    for (int n : {1, 40, 75, 200, 300, 380, 420, 500}) {
      int asked = 0;
      StretchHooks hooks;
      hooks.IsCancelled = [&] { return ++asked >= n; };
      hooks.CancelPhases = ~0u;
      ResizeJob job;  // fresh, so the untouched target is zero as in the reference
      std::string streamed;
      job.Run(path, s, hooks, streamed);
      const int streamedAsked = asked;
      asked = 0;
      const std::string whole = ResizeWhole(path, s, hooks);
      EXPECT_EQ(streamedAsked, asked) << "orientation " << orientation << ", cancel at " << n;
      EXPECT_TRUE(streamed == whole) << "orientation " << orientation << ", cancel at " << n;
    }
  }
}

TEST(ResizeJob, a_file_damaged_after_its_rows_fails_even_when_the_stretch_was_cancelled) {
  TempDir dir;
  // A Huffman table segment declaring more codes than fit, placed after the
  // scan: the library meets it only once every row has been decoded.
  std::string jpeg = test::WellFormedJpeg(203, 157);
  std::string table("\xFF\xC4\x00\x13\x00", 5);
  table.append(16, '\xFF');
  jpeg.insert(jpeg.size() - 2, table);
  test::WriteFile(dir / "late.jpg", jpeg);
  JpegCodec codec;
  Image image;
  EXPECT_EQ(ErrorOf([&] { codec.Load(dir / "late.jpg", image); }), "JPEG error #8: Bogus Huffman table definition");

  ResizeSettings s;
  s.MaxWidth = 80;
  s.MaxHeight = 60;
  s.Quality = 90;
  s.SizeRule = ExactSize;
  StretchHooks hooks;
  hooks.IsCancelled = [] { return true; };
  hooks.CancelPhases = ~0u;
  ResizeJob job;
  std::string out;
  for (bool filter : {true, false}) {
    s.UseFilter = filter;
    EXPECT_EQ(ErrorOf([&] { job.Run(dir / "late.jpg", s, hooks, out); }),
              "JPEG error #8: Bogus Huffman table definition");
  }
  // The same job goes on with a sound file.
  test::WriteJpeg(dir / "fine.jpg", Detailed(40, 30));
  EXPECT_EQ(ErrorOf([&] { job.Run(dir / "fine.jpg", s, {}, out); }), "no error");
  EXPECT_EQ(out, ResizeWhole(dir / "fine.jpg", s));
}

TEST(ResizeJob, a_target_too_large_to_encode_is_refused_after_the_file_proves_sound) {
  TempDir dir;
  test::WriteJpeg(dir / "a.jpg", Detailed(30, 20));
  ResizeSettings s;
  s.MaxWidth = 70000;
  s.MaxHeight = 10;
  s.Quality = 90;
  s.SizeRule = ExactSize;
  ResizeJob job;
  std::string out;
  EXPECT_EQ(ErrorOf([&] { job.Run(dir / "a.jpg", s, {}, out); }),
            "JPEG error #41: Maximum supported image dimension is 65500 pixels");
  s.MaxWidth = 20;
  EXPECT_EQ(ErrorOf([&] { job.Run(dir / "a.jpg", s, {}, out); }), "no error");
  EXPECT_EQ(out, ResizeWhole(dir / "a.jpg", s));
}

std::string ErrorOf(const CopyResult& result) {
  return result.Error ? ErrorOf([&] { std::rethrow_exception(result.Error); }) : "no error";
}

TEST(ResizeJob, each_copy_of_one_decode_keeps_its_own_error_and_a_damaged_file_fails_them_all) {
  TempDir dir;
  test::WriteJpeg(dir / "a.jpg", Detailed(30, 20));
  ResizeSettings huge;
  huge.MaxWidth = 70000;  // more than a JPEG file can hold
  huge.MaxHeight = 10;
  huge.Quality = 90;
  huge.SizeRule = ExactSize;
  ResizeSettings fine = huge;
  fine.MaxWidth = 20;
  fine.UseFilter = true;
  fine.FilterIndex = 5;
  ResizeJob job;
  const CopyRequest requests[] = {{&huge, {}}, {&fine, {}}};
  CopyResult results[2];
  job.Run(dir / "a.jpg", requests, {}, results);
  EXPECT_EQ(ErrorOf(results[0]), "JPEG error #41: Maximum supported image dimension is 65500 pixels");
  EXPECT_EQ(ErrorOf(results[1]), "no error");
  EXPECT_EQ(results[1].Jpeg, ResizeWhole(dir / "a.jpg", fine));

  // The file fails after its rows: that is both copies' error, even the one
  // whose size was refused first.
  std::string jpeg = test::WellFormedJpeg(203, 157);
  std::string table("\xFF\xC4\x00\x13\x00", 5);
  table.append(16, '\xFF');
  jpeg.insert(jpeg.size() - 2, table);
  test::WriteFile(dir / "late.jpg", jpeg);
  job.Run(dir / "late.jpg", requests, {}, results);
  EXPECT_EQ(ErrorOf(results[0]), "JPEG error #8: Bogus Huffman table definition");
  EXPECT_EQ(ErrorOf(results[1]), "JPEG error #8: Bogus Huffman table definition");
  EXPECT_TRUE(results[1].Jpeg.empty());

  // With no copy wanted the file is not even opened.
  const CopyRequest none[] = {{nullptr, {}}, {nullptr, {}}};
  job.Run(dir / "missing.jpg", none, {}, results);
  EXPECT_EQ(ErrorOf(results[0]), "no error");
  EXPECT_EQ(ErrorOf(results[1]), "no error");
  // One wanted copy of a missing file fails alone.
  const CopyRequest second[] = {{nullptr, {}}, {&fine, {}}};
  job.Run(dir / "missing.jpg", second, {}, results);
  EXPECT_EQ(ErrorOf(results[0]), "no error");
  EXPECT_EQ(ErrorOf(results[1]), "Cannot open file \"" + (dir / "missing.jpg") + "\". No such file or directory");
}

TEST(ResizeJob, a_cancel_cuts_only_the_copy_that_honours_it) {
  TempDir dir;
  test::WriteJpeg(dir / "c.jpg", Detailed(203, 157), {.orientation = 3});
  ResizeSettings s;
  s.MaxWidth = 70;
  s.MaxHeight = 50;
  s.UseFilter = true;
  s.FilterIndex = 5;
  s.Quality = 90;
  s.SizeRule = ExactSize;
  ResizeSettings t = s;
  t.MaxWidth = 40;
  t.MaxHeight = 30;
  StretchHooks cancelAt100;
  int asked = 0;
  cancelAt100.IsCancelled = [&] { return ++asked >= 100; };
  cancelAt100.CancelPhases = ~0u;
  ResizeJob fresh;  // untouched target pixels are zero, as in the reference
  const CopyRequest requests[] = {{&s, cancelAt100}, {&t, {}}};
  CopyResult results[2];
  fresh.Run(dir / "c.jpg", requests, {}, results);
  asked = 0;
  EXPECT_EQ(results[0].Jpeg, ResizeWhole(dir / "c.jpg", s, cancelAt100));
  EXPECT_EQ(results[1].Jpeg, ResizeWhole(dir / "c.jpg", t));
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

using test::Rgb;
using test::TempDir;

ResizeSettings Small(bool otherFormats = true) {
  ResizeSettings s;
  s.MaxWidth = 32;
  s.MaxHeight = 24;
  s.Quality = 100;
  s.UseFilter = true;
  s.FilterIndex = 5;
  s.OtherFormats = otherFormats;
  s.SizeRule = ExactSize;
  return s;
}

// One copy of the photo at path: its JPEG, decoded, and its warnings.
struct Outcome {
  std::string jpeg;
  Image image;
  std::vector<std::string> warnings;
};
Outcome Resize(const TempDir& dir, const std::string& path, const ResizeSettings& s) {
  ResizeJob job;
  const CopyRequest request{&s, {}};
  CopyResult result;
  job.Run(path, {&request, 1}, {}, {&result, 1});
  if (result.Error) std::rethrow_exception(result.Error);
  test::WriteFile(dir / "out.jpg", result.Jpeg);
  return {result.Jpeg, test::Decode(dir / "out.jpg"), result.Warnings};
}

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Text(Rgb c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }

// A photo of four flat patches, saturated red, green and blue and a neutral
// grey, large enough that the middle of each patch keeps its colour through
// the resize and JPEG's 8 x 8 blocks.
const Rgb kPatches[4] = {{220, 30, 30}, {30, 200, 40}, {30, 40, 210}, {128, 128, 128}};
test::Sample4 Patch(int x, int y) {
  const Rgb c = kPatches[(x < 64 ? 0 : 1) + (y < 48 ? 0 : 2)];
  return {c.r, c.g, c.b, 255};
}
Rgb PatchCentre(const Image& image, int k) {
  const int x = (k % 2) * image.width() / 2 + image.width() / 4;
  const int y = (k / 2) * image.height() / 2 + image.height() / 4;
  const std::uint8_t* p = image.pixel(x, y);
  return {p[0], p[1], p[2]};
}

TEST(ResizeJob, wide_gamut_photos_of_each_format_come_out_in_srgb) {
  TempDir dir;
  const struct {
    const char* name;
    std::string icc;
  } profiles[] = {{"Display P3", test::DisplayP3Profile()}, {"Adobe RGB", test::AdobeRgbProfile()}};
  for (const auto& p : profiles) {
    test::WriteJpeg(dir / "a.jpg",
                    test::MakeImage(128, 96,
                                    [](int x, int y) {
                                      const test::Sample4 s = Patch(x, y);
                                      return Rgb{std::uint8_t(s.r), std::uint8_t(s.g), std::uint8_t(s.b)};
                                    }),
                    {.quality = 100, .icc = p.icc});
    test::WritePng(dir / "a.png", 128, 96, Patch, {.icc = p.icc});
    test::WriteHeif(dir / "a.heic", 128, 96, Patch, {.icc = p.icc, .quality = 100});
    for (const char* name : {"a.jpg", "a.png", "a.heic"}) {
      SCOPED_TRACE(std::string(p.name) + " " + name);
      const Outcome out = Resize(dir, dir / name, Small());
      EXPECT_TRUE(out.warnings.empty());
      for (int k = 0; k < 4; ++k) {
        const Rgb want = test::ReferenceToSrgb(p.icc, kPatches[k]);
        const Rgb got = PatchCentre(out.image, k);
        // JPEG at quality 100 with halved chroma moves a flat patch's centre
        // by a few levels (HEIC's coding by a few more): the conversion
        // itself moves these patches by 10 to 60 levels.
        EXPECT_TRUE(Near(got, want, 6)) << k << ": " << Text(got) << " instead of " << Text(want);
      }
    }
  }
}

TEST(ResizeJob, untagged_and_srgb_tagged_photos_give_the_same_bytes) {
  TempDir dir;
  const Image photo = Detailed(80, 60);
  test::WriteJpeg(dir / "plain.jpg", photo);
  test::WriteJpeg(dir / "srgb.jpg", photo, {.icc = test::SrgbProfile()});
  test::WritePng(dir / "plain.png", 80, 60, test::FromImage(photo));
  test::WritePng(dir / "srgb.png", 80, 60, test::FromImage(photo), {.icc = test::SrgbProfile()});
  for (const bool other : {false, true}) {
    const ResizeSettings s = Small(other);
    EXPECT_EQ(Resize(dir, dir / "srgb.jpg", s).jpeg, Resize(dir, dir / "plain.jpg", s).jpeg);
  }
  // A PNG goes the same way as a JPEG of its pixels from the decoder on.
  EXPECT_EQ(Resize(dir, dir / "srgb.png", Small()).jpeg, Resize(dir, dir / "plain.png", Small()).jpeg);
  // And the JPEG path is today's whole-image resize.
  EXPECT_EQ(Resize(dir, dir / "srgb.jpg", Small()).jpeg, ResizeWhole(dir / "plain.jpg", Small()));
}

TEST(ResizeJob, a_damaged_profile_is_ignored_with_one_warning_naming_the_file) {
  TempDir dir;
  const Image photo = Detailed(80, 60);
  std::string damaged = test::DisplayP3Profile();
  damaged.resize(damaged.size() / 2);
  test::WriteJpeg(dir / "plain.jpg", photo);
  test::WriteJpeg(dir / "bad.jpg", photo, {.icc = damaged});
  const Outcome bad = Resize(dir, dir / "bad.jpg", Small());
  EXPECT_EQ(bad.jpeg, Resize(dir, dir / "plain.jpg", Small()).jpeg);
  ASSERT_EQ(bad.warnings.size(), 1u);
  EXPECT_EQ(bad.warnings[0], DamagedProfileWarning(dir / "bad.jpg"));
}

TEST(ResizeJob, cmyk_photos_convert_through_their_profile_or_the_fixed_conversion) {
  TempDir dir;
  const std::string icc = test::RotatedCmykProfile();
  // Stored values: Adobe's files hold 255 minus the ink.
  const std::array<std::uint8_t, 4> adobe{40, 200, 230, 245};
  const std::array<std::uint8_t, 4> plain{40, 200, 230, 10};
  const struct {
    const char* name;
    std::array<std::uint8_t, 4> inks;
    bool adobe;
    bool ycck;
    std::string icc;
    Rgb want;
  } cases[] = {
      {"Adobe CMYK with a profile", adobe, true, false, icc, test::ReferenceCmykToSrgb(icc, adobe, true)},
      {"Adobe YCCK with a profile", adobe, true, true, icc, test::ReferenceCmykToSrgb(icc, adobe, true)},
      // Plain mixing: red = 40 x 245 / 255 and so on.
      {"Adobe CMYK without one", adobe, true, false, "", {38, 192, 221}},
      // Plain mixing: red = (255 - 40) x (255 - 10) / 255 and so on.
      {"plain CMYK without one", plain, false, false, "", {207, 53, 24}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteCmykJpeg(dir / "c.jpg", 64, 48, c.inks, c.adobe, c.ycck, c.icc);
    for (const bool other : {false, true}) {
      const Outcome out = Resize(dir, dir / "c.jpg", Small(other));
      EXPECT_TRUE(Near(test::Centre(out.image), c.want, 4)) << Text(test::Centre(out.image));
      EXPECT_TRUE(out.warnings.empty());
    }
  }
  // A profile of another colour space is ignored, with its warning.
  test::WriteCmykJpeg(dir / "c.jpg", 64, 48, adobe, true, false, test::DisplayP3Profile());
  const Outcome out = Resize(dir, dir / "c.jpg", Small());
  EXPECT_TRUE(Near(test::Centre(out.image), {38, 192, 221}, 4));
  EXPECT_EQ(out.warnings, std::vector<std::string>{DamagedProfileWarning(dir / "c.jpg")});
}

TEST(ResizeJob, hostile_files_of_each_format_fail_with_a_message_naming_them) {
  TempDir dir;
  const Image photo = Detailed(64, 48);
  test::WritePng(dir / "good.png", 64, 48, test::FromImage(photo));
  test::WriteWebp(dir / "good.webp", 64, 48, test::FromImage(photo));
  test::WriteHeif(dir / "good.heic", 64, 48, test::FromImage(photo));
  test::WriteHeif(dir / "good.avif", 64, 48, test::FromImage(photo), {.avif = true});
  const std::string png = test::ReadFile(dir / "good.png");
  const std::string webp = test::ReadFile(dir / "good.webp");
  const std::string heic = test::ReadFile(dir / "good.heic");
  const std::string avif = test::ReadFile(dir / "good.avif");
  // 65536 x 65536 pixels declared by a header libpng accepts.
  const std::string bomb = test::PngDeclaringSize(png, 65536, 65536);
  std::string hvc = heic;
  const std::size_t item = hvc.find("hvc1");
  ASSERT_NE(item, std::string::npos);
  hvc.replace(item, 4, "xyz1");  // an item of a codec no decoder knows
  const struct {
    const char* name;
    std::string bytes;
    const char* message;  // the start of the error after the file's name, or of the whole error
  } cases[] = {
      {"cut.png", png.substr(0, png.size() / 2), "\" as PNG: "},
      {"empty.png", "", "\" as PNG: "},
      {"bomb.png", bomb, "Image too large: 65536 x 65536 pixels"},
      {"cut.webp", webp.substr(0, webp.size() / 2), "\" as WebP: "},
      {"noise.webp", std::string("RIFF\x10\0\0\0WEBPVP8 garbage garbage", 30), "\" as WebP: "},
      {"cut.heic", heic.substr(0, heic.size() / 2), "\" as HEIF: "},
      {"codec.heic", hvc, "\" as HEIF: "},
      {"cut.avif", avif.substr(0, avif.size() / 3), "\" as HEIF: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteFile(dir / c.name, c.bytes);
    const std::string error = ErrorOf([&] { Resize(dir, dir / c.name, Small()); });
    // A damaged file is named with its format; a header past the limit is
    // refused with the size, as for a JPEG.
    const std::string start = c.message[0] == '"' ? "Cannot read \"" + dir / c.name + c.message : c.message;
    EXPECT_EQ(error.rfind(start, 0), 0u) << error;
  }
}

TEST(ResizeJob, a_header_past_the_pixel_limit_is_refused_before_decoding_in_every_format) {
  TempDir dir;
  const Image photo = Detailed(64, 48);
  test::WritePng(dir / "a.png", 64, 48, test::FromImage(photo));
  test::WriteWebp(dir / "a.webp", 64, 48, test::FromImage(photo));
  test::WriteHeif(dir / "a.heic", 64, 48, test::FromImage(photo));
  for (const char* name : {"a.png", "a.webp", "a.heic"}) {
    PhotoDecoders decoders;
    PhotoDecoder& d = decoders.For(dir / name, true);
    d.MaxPixels = 64 * 48 - 1;
    Image image;
    EXPECT_EQ(ErrorOf([&] { d.Load(dir / name, image); }), "Image too large: 64 x 48 pixels (at most 3071)") << name;
  }
}

}  // namespace
}  // namespace fotoloom
