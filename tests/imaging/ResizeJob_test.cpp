// The job's resize, done as rows are decoded, against the resize of the whole decoded photo.
#include "imaging/ResizeJob.h"

#include <gtest/gtest.h>

#include <functional>

#include "HostileJpegs.h"
#include "JpegFixtures.h"
#include "core/Error.h"
#include "imaging/PixelFormats.h"
#include "imaging/PlainStretch.h"
#include "imaging/resample_passes.h"
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

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

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
  ResizeJob job;  // one job for all: its kept buffers must not leak from one photo into the next
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
      for (const TargetSize& bound : bounds) {
        for (int filter : filters) {
          for (bool generic : {false, true}) {
            ResizeSettings s;
            s.MaxWidth = bound.Width;
            s.MaxHeight = bound.Height;
            s.UseFilter = filter >= 0;
            s.FilterIndex = filter;
            s.Quality = 85;
            s.Grayscale = kind.greySetting;
            s.PixelFormat = format++ % 8;
            s.SizeRule = ExactSize;
            const bool before = UseGenericPasses(generic);
            std::string streamed;
            job.Run(path, s, {}, streamed);
            const std::string whole = ResizeWhole(path, s);
            UseGenericPasses(before);
            ASSERT_TRUE(streamed == whole)
                << kind.name << ", orientation " << orientation << ", " << bound.Width << " x " << bound.Height
                << ", filter " << filter << ", format " << s.PixelFormat << (generic ? ", portable passes" : "");
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
  EXPECT_EQ(ErrorOf([&] { codec.Load(dir / "late.jpg", image); }), "JPEG error #8");

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
    EXPECT_EQ(ErrorOf([&] { job.Run(dir / "late.jpg", s, hooks, out); }), "JPEG error #8");
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
  EXPECT_EQ(ErrorOf([&] { job.Run(dir / "a.jpg", s, {}, out); }), "JPEG error #41");
  s.MaxWidth = 20;
  EXPECT_EQ(ErrorOf([&] { job.Run(dir / "a.jpg", s, {}, out); }), "no error");
  EXPECT_EQ(out, ResizeWhole(dir / "a.jpg", s));
}

}  // namespace
}  // namespace fotoloom
