// Damaged and hostile files through the JPEG codec and the image writers.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "HostileJpegs.h"
#include "WriterFixtures.h"
#include "core/Error.h"
#include "imaging/JpegCodec.h"
#include "imaging/Un_Scaling_File.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::JpegCoding;
using test::TempDir;

using test::ErrorOf;

// Loads bytes as a file, in colour or in grey, and returns the error text.
std::string LoadError(const std::string& bytes, bool grey = false) {
  TempDir dir;
  test::WriteFile(dir / "x.jpg", bytes);
  JpegCodec codec;
  codec.Grayscale = grey;
  Image image;
  return ErrorOf([&] { codec.Load(dir / "x.jpg", image); });
}

TEST(JpegCodecHostile, files_that_are_no_jpeg_give_the_library_error) {
  EXPECT_EQ(LoadError(""), "JPEG error #42: Empty input file");
  EXPECT_EQ(LoadError(test::RandomBytes(4096, 7)), "JPEG error #53: Not a JPEG file: starts with 0x00 0x1c");
  EXPECT_EQ(LoadError(test::PngBytes()), "JPEG error #53: Not a JPEG file: starts with 0x89 0x50");
  EXPECT_EQ(LoadError(std::string("\xFF\xD8", 2)), "JPEG error #51: JPEG datastream contains no image");
}

TEST(JpegCodecHostile, kinds_the_library_cannot_give_as_rgb_are_refused_in_colour_and_grey) {
  // CMYK files are turned into RGB by the codec itself (CmykConversion), in
  // colour and in grey; they were refused with "JPEG error #27" before.
  const std::string cmyk = test::WellFormedJpeg(32, 24, JpegCoding::Cmyk);
  EXPECT_EQ(LoadError(cmyk), "no error");
  EXPECT_EQ(LoadError(cmyk, true), "no error");
  const std::string twelveBit = test::WithPrecision(test::WellFormedJpeg(32, 24), 12);
  EXPECT_EQ(LoadError(twelveBit), "JPEG error #15: Unsupported JPEG data precision 12");
}

TEST(JpegCodecHostile, arithmetic_coding_decodes_like_huffman_coding) {
  TempDir dir;
  test::WriteFile(dir / "arith.jpg", test::WellFormedJpeg(40, 30, JpegCoding::Arithmetic));
  test::WriteFile(dir / "huff.jpg", test::WellFormedJpeg(40, 30));
  JpegCodec codec;
  Image arith;
  Image huff;
  codec.Load(dir / "arith.jpg", arith);
  codec.Load(dir / "huff.jpg", huff);
  ASSERT_EQ(arith.width(), 40);
  ASSERT_EQ(arith.height(), 30);
  EXPECT_TRUE(test::NearlyEqual(arith, huff, 0));
}

TEST(JpegCodecHostile, a_file_cut_anywhere_in_its_scan_decodes_in_full_with_warnings) {
  const std::string whole = test::WellFormedJpeg(64, 48);
  const std::size_t dataStart = whole.find("\xFF\xDA") + 20;
  for (std::size_t keep = dataStart; keep < whole.size() - 2; keep += (whole.size() - dataStart) / 7) {
    SCOPED_TRACE(keep);
    TempDir dir;
    test::WriteFile(dir / "cut.jpg", test::Truncated(whole, keep));
    JpegCodec codec;
    Image image;
    ASSERT_EQ(ErrorOf([&] { codec.Load(dir / "cut.jpg", image); }), "no error");
    EXPECT_EQ(image.width(), 64);
    EXPECT_EQ(image.height(), 48);
    EXPECT_GT(codec.Warnings(), 0);
  }
}

TEST(JpegCodecHostile, says_what_a_damaged_file_lacks) {
  const std::string whole = test::WellFormedJpeg(64, 48);
  const std::string progressive = test::WellFormedJpeg(48, 32, JpegCoding::Progressive);
  const struct {
    const char* what;
    std::string bytes;
    std::string damage;
  } cases[] = {
      {"sound", whole, ""},
      {"cut at half", test::Truncated(whole, whole.size() / 2), "premature end of data; the missing part shows grey"},
      {"progressive cut", test::Truncated(progressive, progressive.size() * 2 / 3),
       "premature end of data; the missing part shows grey"},
      {"no end marker", test::Truncated(whole, whole.size() - 2), "premature end of data; the missing part shows grey"},
      {"bytes before the end marker", whole.substr(0, whole.size() - 2) + "junk" + whole.substr(whole.size() - 2),
       "Corrupt JPEG data: 2 extraneous bytes before marker 0xd9"},
  };
  JpegCodec codec;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    test::WriteFile(dir / "x.jpg", c.bytes);
    Image image;
    ASSERT_EQ(ErrorOf([&] { codec.Load(dir / "x.jpg", image); }), "no error");
    EXPECT_EQ(codec.Damage(), c.damage);
    // Row by row as well, and the next file starts afresh.
    codec.Start(dir / "x.jpg");
    codec.ReadAll(image);
    EXPECT_EQ(codec.Damage(), c.damage);
  }
}

// A probe refuses what decoding would refuse at its start, and lets through
// what decodes, damaged or not.
TEST(JpegCodecHostile, a_probe_refuses_what_cannot_be_decoded_and_reads_no_row) {
  const std::string whole = test::WellFormedJpeg(32, 24);
  const std::size_t scan = whole.find("\xFF\xDA");
  const struct {
    const char* what;
    std::string bytes;
    std::string error;
  } cases[] = {
      {"sound", whole, "no error"},
      {"cut in its scan", test::Truncated(whole, (scan + whole.size()) / 2), "no error"},
      {"cut before its scan", test::Truncated(whole, scan),
       "JPEG error #59: Invalid JPEG file structure: missing SOS marker"},
      {"empty", "", "JPEG error #42: Empty input file"},
      {"a PNG", test::PngBytes(), "JPEG error #53: Not a JPEG file: starts with 0x89 0x50"},
      {"12-bit", test::WithPrecision(whole, 12), "JPEG error #15: Unsupported JPEG data precision 12"},
      {"CMYK, which decodes", test::WellFormedJpeg(32, 24, JpegCoding::Cmyk), "no error"},
  };
  JpegCodec codec;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    test::WriteFile(dir / "x.jpg", c.bytes);
    EXPECT_EQ(ErrorOf([&] { codec.Probe(dir / "x.jpg"); }), c.error);
    EXPECT_EQ(codec.RowsRead(), 0);
    std::uint8_t row[32 * 3];
    std::uint8_t* rows[] = {row};
    EXPECT_EQ(codec.ReadRows(rows, 1), 0);  // nothing left open
  }
}

TEST(JpegCodecHostile, a_progressive_file_cut_at_any_byte_decodes_or_gives_the_library_error) {
  const std::string whole = test::WellFormedJpeg(48, 32, JpegCoding::Progressive);
  for (std::size_t keep = 0; keep < whole.size(); keep += 3) {
    SCOPED_TRACE(keep);
    const std::string error = LoadError(test::Truncated(whole, keep));
    EXPECT_TRUE(error == "no error" || error.starts_with("JPEG error #")) << error;
  }
}

TEST(JpegCodecHostile, a_header_declaring_too_many_pixels_is_refused_before_decoding) {
  const std::string small = test::WellFormedJpeg(16, 16);
  EXPECT_EQ(LoadError(test::WithDeclaredSize(small, 65000, 65000)),
            "Image too large: 65000 x 65000 pixels (at most 268435456)");
  EXPECT_EQ(LoadError(test::WithDeclaredSize(small, 65500, 4099), true),
            "Image too large: 65500 x 4099 pixels (at most 268435456)");
  // At the limit the header passes; the missing data is then made up.
  TempDir dir;
  test::WriteFile(dir / "edge.jpg", test::WithDeclaredSize(small, 16384, 16));
  JpegCodec codec;
  Image image;
  EXPECT_EQ(ErrorOf([&] { codec.Load(dir / "edge.jpg", image); }), "no error");
  EXPECT_EQ(image.width(), 16384);
  // A caller may set a lower limit of its own.
  codec.MaxPixels = 255;
  EXPECT_EQ(LoadError(small), "no error");
  test::WriteFile(dir / "small.jpg", small);
  EXPECT_EQ(ErrorOf([&] { codec.Load(dir / "small.jpg", image); }), "Image too large: 16 x 16 pixels (at most 255)");
}

TEST(JpegCodecHostile, a_hostile_file_stops_the_writer_and_the_earlier_images_keep_their_files) {
  TempDir in;
  const std::vector<std::string> files = {in / "a.jpg", in / "huge.jpg", in / "c.jpg"};
  test::WriteFile(files[0], test::WellFormedJpeg(64, 48));
  test::WriteFile(files[1], test::WithDeclaredSize(test::WellFormedJpeg(16, 16), 65000, 65000));
  test::WriteFile(files[2], test::WellFormedJpeg(64, 48));
  for (const int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir out;
    tscaling_file w;
    w.ImageFiles = files;
    w.ImageCount = 3;
    w.OutputPath = out.str();
    w.MaxWidth = 32;
    w.MaxHeight = 32;
    w.Quality = 80;
    w.FilterIndex = 5;
    w.Jobs = jobs;
    const test::RunRecord r = test::RunWriter(w, [&] { w.Create_images(); });
    EXPECT_EQ(r.error, "Image too large: 65000 x 65000 pixels (at most 268435456)");
    EXPECT_TRUE(test::Exists(out / "n_a.jpg"));
    EXPECT_FALSE(test::Exists(out / "n_huge.jpg"));
    EXPECT_FALSE(test::Exists(out / "n_c.jpg"));
  }
}

}  // namespace
}  // namespace fotoloom
