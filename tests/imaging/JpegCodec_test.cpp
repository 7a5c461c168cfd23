#include "imaging/JpegCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "HostileJpegs.h"
#include "JpegFixtures.h"
#include "core/Error.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;

// A colour gradient: every row and column differs, so turned or shifted
// pixels cannot pass for the original.
Image Gradient(int width, int height) {
  return test::MakeImage(width, height, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 128};
  });
}

using test::ErrorOf;

TEST(JpegCodec, decodes_colour_files_at_full_size_to_rgb) {
  TempDir dir;
  const Image original = Gradient(48, 32);
  test::WriteJpeg(dir / "a.jpg", original, {.quality = 100});
  JpegCodec codec;
  Image image;
  codec.Load(dir / "a.jpg", image);
  EXPECT_EQ(image.width(), 48);
  EXPECT_EQ(image.height(), 32);
  EXPECT_EQ(codec.Components(), 3);
  EXPECT_TRUE(test::NearlyEqual(image, original, 6));
}

TEST(JpegCodec, records_progressive_input_and_encodes_the_next_output_the_same_way) {
  TempDir dir;
  test::WriteJpeg(dir / "prog.jpg", Gradient(40, 30), {.progressive = true});
  test::WriteJpeg(dir / "base.jpg", Gradient(40, 30), {.progressive = false});
  JpegCodec codec;
  Image image;
  std::string jpeg;

  codec.Load(dir / "prog.jpg", image);
  EXPECT_TRUE(codec.Progressive());
  codec.Encode(image, jpeg);
  test::WriteFile(dir / "out1.jpg", jpeg);
  EXPECT_TRUE(test::ReadFacts(dir / "out1.jpg").progressive);

  codec.Load(dir / "base.jpg", image);
  EXPECT_FALSE(codec.Progressive());
  codec.Encode(image, jpeg);
  test::WriteFile(dir / "out2.jpg", jpeg);
  EXPECT_FALSE(test::ReadFacts(dir / "out2.jpg").progressive);
}

TEST(JpegCodec, greyscale_setting_decodes_to_quantised_greys_and_encodes_one_component) {
  TempDir dir;
  // A full grey ramp, so the 236-level quantiser must merge some levels.
  const Image ramp = test::MakeImage(256, 8, [](int x, int) {
    const auto v = static_cast<std::uint8_t>(x);
    return test::Rgb{v, v, v};
  });
  test::WriteJpeg(dir / "ramp.jpg", ramp, {.quality = 100});
  JpegCodec codec;
  codec.Grayscale = true;
  Image image;
  codec.Load(dir / "ramp.jpg", image);
  std::set<int> levels;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const std::uint8_t* p = image.pixel(x, y);
      ASSERT_EQ(p[0], p[1]);
      ASSERT_EQ(p[1], p[2]);
      levels.insert(p[0]);
    }
  EXPECT_LE(levels.size(), 236u);
  EXPECT_GT(levels.size(), 200u);

  std::string jpeg;
  codec.Encode(image, jpeg);
  test::WriteFile(dir / "out.jpg", jpeg);
  EXPECT_EQ(test::ReadFacts(dir / "out.jpg").components, 1);
}

TEST(JpegCodec, greyscale_setting_turns_colour_into_grey) {
  TempDir dir;
  test::WriteJpeg(dir / "red.jpg", test::FlatImage(16, 16, {255, 0, 0}), {.quality = 100});
  JpegCodec codec;
  codec.Grayscale = true;
  Image image;
  codec.Load(dir / "red.jpg", image);
  const std::uint8_t* p = image.pixel(8, 8);
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[0], p[2]);
  EXPECT_NEAR(p[0], 76, 3);  // the luminance of pure red
}

TEST(JpegCodec, a_one_component_file_decodes_grey_and_encodes_three_components_without_the_setting) {
  TempDir dir;
  test::WriteJpeg(dir / "grey.jpg", test::FlatImage(16, 16, {90, 90, 90}), {.grey = true, .quality = 100});
  JpegCodec codec;
  Image image;
  codec.Load(dir / "grey.jpg", image);
  EXPECT_EQ(codec.Components(), 1);
  const std::uint8_t* p = image.pixel(3, 3);
  EXPECT_NEAR(p[0], 90, 2);
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[0], p[2]);
  std::string jpeg;
  codec.Encode(image, jpeg);
  test::WriteFile(dir / "out.jpg", jpeg);
  EXPECT_EQ(test::ReadFacts(dir / "out.jpg").components, 3);
}

TEST(JpegCodec, quality_sets_the_size_of_the_encoding) {
  const Image image = Gradient(64, 64);
  JpegCodec codec;
  std::string low;
  std::string high;
  codec.Quality = 10;
  codec.Encode(image, low);
  codec.Quality = 100;
  codec.Encode(image, high);
  EXPECT_LT(low.size() * 2, high.size());
}

TEST(JpegCodec, failures_raise_the_library_code_or_the_file_error) {
  TempDir dir;
  test::WriteFile(dir / "text.jpg", "this is not a JPEG file");
  test::WriteFile(dir / "empty.jpg", "");
  JpegCodec codec;
  Image image;
  EXPECT_EQ(ErrorOf([&] { codec.Load(dir / "text.jpg", image); }),
            "JPEG error #53: Not a JPEG file: starts with 0x74 0x68");
  EXPECT_EQ(ErrorOf([&] { codec.Load(dir / "empty.jpg", image); }), "JPEG error #42: Empty input file");
  EXPECT_EQ(ErrorOf([&] { codec.Load(dir / "missing.jpg", image); }),
            "Cannot open file \"" + (dir / "missing.jpg") + "\". No such file or directory");
  EXPECT_EQ(ErrorOf([&] { JpegCodec::CheckEncodableSize(65501, 10); }),
            "JPEG error #41: Maximum supported image dimension is 65500 pixels");
  EXPECT_EQ(ErrorOf([&] { JpegCodec::CheckEncodableSize(65500, 1); }), "no error");
}

TEST(JpegCodec, a_truncated_file_decodes_with_warnings_and_can_be_loaded_after_a_failure) {
  TempDir dir;
  test::WriteJpeg(dir / "full.jpg", Gradient(64, 64));
  const std::string bytes = test::ReadFile(dir / "full.jpg");
  test::WriteFile(dir / "cut.jpg", bytes.substr(0, bytes.size() / 2));
  test::WriteFile(dir / "bad.jpg", "garbage");
  JpegCodec codec;
  Image image;
  EXPECT_THROW(codec.Load(dir / "bad.jpg", image), Error);
  codec.Load(dir / "cut.jpg", image);
  EXPECT_EQ(image.width(), 64);
  EXPECT_GT(codec.Warnings(), 0);
  codec.Load(dir / "full.jpg", image);
  EXPECT_EQ(codec.Warnings(), 0);
}

TEST(JpegCodec, reads_the_orientation_tag_and_loads_the_photo_upright) {
  TempDir dir;
  // Stored 4 x 2 wide; orientation 6 asks for a quarter turn clockwise.
  test::WriteJpeg(dir / "six.jpg", test::FlatImage(40, 20, {0, 200, 0}), {.orientation = 6});
  JpegCodec codec;
  Image image;
  codec.Load(dir / "six.jpg", image);
  EXPECT_EQ(codec.Orientation(), 6);
  EXPECT_EQ(image.width(), 20);
  EXPECT_EQ(image.height(), 40);
}

TEST(JpegCodec, inspect_reads_the_facts_of_start_from_the_header_alone) {
  TempDir dir;
  JpegCodec inspected;
  JpegCodec started;
  for (int orientation = 0; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    const std::string path = dir / ("o" + std::to_string(orientation) + ".jpg");
    test::WriteJpeg(path, Gradient(40, 20), {.grey = orientation == 3, .orientation = orientation});
    inspected.Inspect(path);
    started.Start(path);
    EXPECT_EQ(inspected.StoredWidth(), started.StoredWidth());
    EXPECT_EQ(inspected.StoredHeight(), started.StoredHeight());
    EXPECT_EQ(inspected.Orientation(), started.Orientation());
    EXPECT_EQ(inspected.Components(), started.Components());
    started.FinishReading();
  }
  EXPECT_EQ(inspected.StoredWidth(), 40);
  EXPECT_EQ(inspected.Orientation(), 8);
  // A header declaring 256 megapixels is read at once: no pixel is decoded.
  test::WriteFile(dir / "huge.jpg", test::WithDeclaredSize(test::WellFormedJpeg(16, 16), 16384, 16384));
  inspected.Inspect(dir / "huge.jpg");
  EXPECT_EQ(inspected.StoredWidth(), 16384);
  EXPECT_EQ(inspected.StoredHeight(), 16384);
  // Start's errors.
  test::WriteFile(dir / "text.jpg", "this is not a JPEG file");
  EXPECT_EQ(ErrorOf([&] { inspected.Inspect(dir / "text.jpg"); }),
            "JPEG error #53: Not a JPEG file: starts with 0x74 0x68");
  EXPECT_EQ(ErrorOf([&] { inspected.Inspect(dir / "missing.jpg"); }),
            "Cannot open file \"" + (dir / "missing.jpg") + "\". No such file or directory");
  inspected.MaxPixels = 255;
  EXPECT_EQ(ErrorOf([&] { inspected.Inspect(dir / "o1.jpg"); }), "Image too large: 40 x 20 pixels (at most 255)");
}

TEST(JpegCodec, reads_rows_as_stored_in_strips_and_matches_the_whole_decode) {
  TempDir dir;
  test::WriteJpeg(dir / "three.jpg", Gradient(40, 21), {.progressive = true, .orientation = 3});
  JpegCodec codec;
  Image whole;
  codec.Load(dir / "three.jpg", whole);  // turned 180 degrees

  codec.Start(dir / "three.jpg");
  EXPECT_EQ(codec.Orientation(), 3);
  EXPECT_TRUE(codec.Progressive());
  EXPECT_EQ(codec.StoredWidth(), 40);
  EXPECT_EQ(codec.StoredHeight(), 21);
  Image rows(40, 21);
  std::vector<std::uint8_t*> strip;
  for (int y = 0; y < 21; ++y) strip.push_back(rows.row(y));
  EXPECT_EQ(codec.ReadRows(strip.data(), 8), 8);
  EXPECT_EQ(codec.ReadRows(strip.data() + 8, 8), 8);
  EXPECT_EQ(codec.ReadRows(strip.data() + 16, 8), 5);  // only five left
  EXPECT_EQ(codec.RowsRead(), 21);
  codec.FinishReading();
  // Stored row 0, read as it is, is the upright image's last row mirrored.
  for (int x = 0; x < 40; ++x) ASSERT_EQ(std::memcmp(rows.pixel(x, 0), whole.pixel(39 - x, 20), 3), 0) << x;

  // Grey output comes as RGB greys; a reading left early ends cleanly.
  codec.Grayscale = true;
  codec.Start(dir / "three.jpg");
  EXPECT_EQ(codec.ReadRows(strip.data(), 1), 1);
  EXPECT_EQ(rows.pixel(7, 0)[0], rows.pixel(7, 0)[1]);
  EXPECT_EQ(rows.pixel(7, 0)[1], rows.pixel(7, 0)[2]);
  codec.FinishReading();
  EXPECT_EQ(codec.ReadRows(strip.data(), 1), 0);  // nothing being read
  EXPECT_EQ(ErrorOf([&] { codec.Start(dir / "none.jpg"); }).rfind("Cannot open file \"", 0), 0u);
}

TEST(JpegCodec, calls_on_busy_inside_decoding_and_encoding_and_raises_what_it_throws) {
  TempDir dir;
  test::WriteJpeg(dir / "prog.jpg", Gradient(64, 48), {.progressive = true});
  JpegCodec plain;
  Image expected;
  plain.Load(dir / "prog.jpg", expected);
  std::string expectedJpeg;
  plain.Encode(expected, expectedJpeg);

  JpegCodec codec;
  int calls = 0;
  codec.OnBusy = [&] { ++calls; };
  codec.BusyInterval = std::chrono::hours(1);  // never due
  Image image;
  codec.Load(dir / "prog.jpg", image);
  EXPECT_EQ(calls, 0);

  codec.BusyInterval = {};  // due at every chance the library gives
  codec.Start(dir / "prog.jpg");
  const int afterStart = calls;
  EXPECT_GT(afterStart, 0);  // the scans are read before the first row
  codec.ReadAll(image);
  EXPECT_GT(calls, afterStart);
  std::string jpeg;
  const int beforeEncode = calls;
  codec.Encode(image, jpeg);
  EXPECT_GT(calls, beforeEncode);
  // Watching changes nothing in what is decoded or encoded.
  EXPECT_EQ(std::memcmp(image.row(0), expected.row(0), 64 * 48 * 3), 0);
  EXPECT_EQ(jpeg, expectedJpeg);

  // A throwing OnBusy ends the reading or encoding with its own error, once,
  // and the codec works on afterwards.
  codec.OnBusy = [&] {
    ++calls;
    throw Error("stopped by the caller");
  };
  calls = 0;
  EXPECT_EQ(ErrorOf([&] { codec.Start(dir / "prog.jpg"); }), "stopped by the caller");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ErrorOf([&] { codec.Encode(image, jpeg); }), "stopped by the caller");
  codec.OnBusy = nullptr;
  codec.Load(dir / "prog.jpg", image);
  EXPECT_EQ(std::memcmp(image.row(0), expected.row(0), 64 * 48 * 3), 0);
}

}  // namespace
}  // namespace fotoloom
