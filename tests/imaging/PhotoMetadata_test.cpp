#include "imaging/PhotoMetadata.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "MetadataFixtures.h"
#include "PhotoFixtures.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::SidecarXmp;
using test::TaggedFile;
using test::TempDir;
using test::WriteFile;
using test::WriteTaggedPhotos;

// Every combination of the four embedded caption sources: the first present wins.
TEST(ReadPhotoMetadata, takes_the_caption_from_xmp_then_iptc_then_description_then_user_comment) {
  const TempDir dir;
  struct Source {
    std::string arg;
    std::string text;
    CaptionSource source;
  };
  const Source sources[] = {
      {"-XMP-dc:Description=From XMP", "From XMP", CaptionSource::Xmp},
      {"-IPTC:Caption-Abstract=From IPTC", "From IPTC", CaptionSource::Iptc},
      {"-EXIF:ImageDescription=From the description", "From the description", CaptionSource::ExifImageDescription},
      {"-EXIF:UserComment=From the comment", "From the comment", CaptionSource::ExifUserComment},
  };
  std::vector<TaggedFile> files;
  for (int mask = 0; mask < 16; ++mask) {
    TaggedFile file{dir / ("p" + std::to_string(mask) + ".jpg"), {"-Make=Maker"}};
    for (int s = 0; s < 4; ++s)
      if (mask & (1 << s)) file.args.push_back(sources[s].arg);
    files.push_back(file);
  }
  WriteTaggedPhotos(files);
  for (int mask = 0; mask < 16; ++mask) {
    SCOPED_TRACE(mask);
    const PhotoMetadata m = ReadPhotoMetadata(files[std::size_t(mask)].path);
    EXPECT_EQ(m.Problem, "");
    int first = 0;
    while (first < 4 && !(mask & (1 << first))) ++first;
    EXPECT_EQ(m.Caption, first < 4 ? sources[first].text : "");
    EXPECT_EQ(m.CaptionFrom, first < 4 ? sources[first].source : CaptionSource::None);
    EXPECT_EQ(m.Make, "Maker");
  }
}

TEST(ReadPhotoMetadata, takes_a_sidecar_over_the_photos_own_xmp_in_either_naming) {
  const TempDir dir;
  std::vector<TaggedFile> files;
  for (const char* name : {"a.jpg", "b.JPG", "c.jpeg", "d.jpg", "e.jpg"})
    files.push_back({dir / name, {"-XMP-dc:Description=Embedded", "-IPTC:Caption-Abstract=IPTC"}});
  WriteTaggedPhotos(files);
  WriteFile(dir / "a.jpg.xmp", SidecarXmp({{"x-default", "Sidecar with extension"}}));
  WriteFile(dir / "b.xmp", SidecarXmp({{"x-default", "Sidecar without extension"}}));
  // Both forms: the one that names the photo with its extension wins.
  WriteFile(dir / "c.jpeg.XMP", SidecarXmp({{"x-default", "Long form"}}));
  WriteFile(dir / "c.xmp", SidecarXmp({{"x-default", "Short form"}}));
  // A sidecar without a description gives the photo's own; a broken one too.
  WriteFile(dir / "d.jpg.xmp", SidecarXmp({}));
  WriteFile(dir / "e.xmp", "<x:xmpmeta this is not XML");

  struct Expected {
    std::string caption;
    CaptionSource source;
    std::string sidecar;
  };
  const Expected expected[] = {
      {"Sidecar with extension", CaptionSource::XmpSidecar, "a.jpg.xmp"},
      {"Sidecar without extension", CaptionSource::XmpSidecar, "b.xmp"},
      {"Long form", CaptionSource::XmpSidecar, "c.jpeg.XMP"},
      {"Embedded", CaptionSource::Xmp, "d.jpg.xmp"},
      {"Embedded", CaptionSource::Xmp, "e.xmp"},
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i].path);
    const PhotoMetadata m = ReadPhotoMetadata(files[i].path);
    EXPECT_EQ(m.Caption, expected[i].caption);
    EXPECT_EQ(m.CaptionFrom, expected[i].source);
    EXPECT_EQ(m.Sidecar, dir / expected[i].sidecar);
  }
}

TEST(ReadPhotoMetadata, takes_the_default_language_else_the_first_in_alphabetical_order) {
  const TempDir dir;
  WriteTaggedPhotos({{dir / "a.jpg", {"-Make=M"}}, {dir / "b.jpg", {"-Make=M"}}, {dir / "c.jpg", {"-Make=M"}}});
  WriteFile(dir / "a.xmp", SidecarXmp({{"de", "Deutsch"}, {"x-default", "Any language"}, {"en", "English"}}));
  WriteFile(dir / "b.xmp", SidecarXmp({{"fr",
                                        "Fran\xC3\xA7"
                                        "ais"},
                                       {"de", "Deutsch"}}));
  WriteFile(dir / "c.xmp", SidecarXmp({{"x-default", " "}, {"it", "Italiano"}}));
  EXPECT_EQ(ReadPhotoMetadata(dir / "a.jpg").Caption, "Any language");
  EXPECT_EQ(ReadPhotoMetadata(dir / "b.jpg").Caption, "Deutsch");
  EXPECT_EQ(ReadPhotoMetadata(dir / "c.jpg").Caption, "Italiano");
}

TEST(ReadPhotoMetadata, reads_user_comments_in_ascii_and_unicode_and_skips_camera_boilerplate) {
  const TempDir dir;
  WriteFile(dir / "unicode.txt", "Caf\xC3\xA9 \xE2\x82\xAC 5");
  WriteFile(dir / "invalid.txt",
            "Gr\xFC\xDF"
            "e");
  WriteTaggedPhotos({
      {dir / "ascii.jpg", {"-EXIF:UserComment=Plain ASCII"}},
      {dir / "unicode.jpg", {"-EXIF:UserComment<=" + (dir / "unicode.txt")}},
      {dir / "olympus.jpg", {"-EXIF:ImageDescription=OLYMPUS DIGITAL CAMERA", "-EXIF:UserComment=At the lake"}},
      {dir / "sony.jpg", {"-EXIF:ImageDescription=SONY DSC        ", "-XMP-dc:Description=default"}},
      {dir / "invalid.jpg", {"-EXIF:ImageDescription<=" + (dir / "invalid.txt")}},
  });
  const PhotoMetadata ascii = ReadPhotoMetadata(dir / "ascii.jpg");
  EXPECT_EQ(ascii.Caption, "Plain ASCII");
  EXPECT_EQ(ascii.CaptionFrom, CaptionSource::ExifUserComment);
  EXPECT_EQ(ReadPhotoMetadata(dir / "unicode.jpg").Caption, "Caf\xC3\xA9 \xE2\x82\xAC 5");
  const PhotoMetadata olympus = ReadPhotoMetadata(dir / "olympus.jpg");
  EXPECT_EQ(olympus.Caption, "At the lake");
  EXPECT_EQ(olympus.CaptionFrom, CaptionSource::ExifUserComment);
  const PhotoMetadata sony = ReadPhotoMetadata(dir / "sony.jpg");
  EXPECT_EQ(sony.Caption, "");
  EXPECT_EQ(sony.CaptionFrom, CaptionSource::None);
  EXPECT_EQ(ReadPhotoMetadata(dir / "invalid.jpg").Caption,
            "Gr\xEF\xBF\xBD\xEF\xBF\xBD"
            "e");
}

TEST(ReadPhotoMetadata, keeps_markup_quotes_and_line_breaks_as_text) {
  const TempDir dir;
  const std::string caption = "<script>alert(\"x\")</script> & 'friends'\nsecond line";
  WriteFile(dir / "caption.txt", caption);
  WriteTaggedPhotos({{dir / "a.jpg", {"-XMP-dc:Description<=" + (dir / "caption.txt")}},
                     {dir / "b.jpg", {"-IPTC:Caption-Abstract<=" + (dir / "caption.txt")}}});
  EXPECT_EQ(ReadPhotoMetadata(dir / "a.jpg").Caption, caption);
  EXPECT_EQ(ReadPhotoMetadata(dir / "b.jpg").Caption, caption);
}

TEST(ReadPhotoMetadata, reads_a_sidecar_of_one_mebibyte_and_caps_its_caption) {
  const TempDir dir;
  WriteTaggedPhotos({{dir / "a.jpg", {"-Make=M"}}, {dir / "b.jpg", {"-Make=M"}}});
  std::string words;
  while (words.size() < (1u << 20)) words += "word ";
  WriteFile(dir / "a.xmp", SidecarXmp({{"x-default", words}}));
  ASSERT_GT(ReadFile(dir / "a.xmp").size(), 1u << 20);
  const PhotoMetadata a = ReadPhotoMetadata(dir / "a.jpg");
  EXPECT_EQ(a.Caption, words.substr(0, 1999));  // 2,000 characters, the last a blank, trimmed
  // Padding to 1 MiB around a short caption.
  std::string padded = SidecarXmp({{"x-default", "Short"}});
  padded.insert(padded.rfind("<?xpacket end"), std::string(1u << 20, ' ') + "\n");
  WriteFile(dir / "b.xmp", padded);
  EXPECT_EQ(ReadPhotoMetadata(dir / "b.jpg").Caption, "Short");
}

TEST(ReadPhotoMetadata, reads_date_taken_camera_lens_exposure_and_location) {
  const TempDir dir;
  WriteTaggedPhotos({
      {dir / "full.jpg",
       {"-Make=Canon", "-Model=Canon EOS 5D", "-LensModel=EF 35mm f/2", "-DateTimeOriginal=2024:05:17 14:03:07",
        "-SubSecTimeOriginal=25", "-CreateDate=2020:01:01 00:00:00", "-ExposureTime=1/250", "-FNumber=5.6", "-ISO=200",
        "-FocalLength=35", "-GPSLatitude=48.1", "-GPSLatitudeRef=N"}},
      {dir / "digitized.jpg",
       {"-DateTimeOriginal#=0000:00:00 00:00:00", "-CreateDate=2021:12:31 23:59:58", "-SubSecTimeDigitized=5"}},
      {dir / "xmp-gps.jpg", {"-XMP-exif:GPSLongitude=11.5"}},
      {dir / "plain.jpg", {"-Software=none"}},
  });
  const PhotoMetadata full = ReadPhotoMetadata(dir / "full.jpg");
  ASSERT_TRUE(full.DateTaken);
  EXPECT_EQ(*full.DateTaken, (LocalTimestamp{{2024, 5, 17}, 14, 3, 7, 250000000}));
  EXPECT_EQ(full.Make, "Canon");
  EXPECT_EQ(full.Model, "Canon EOS 5D");
  EXPECT_EQ(full.Lens, "EF 35mm f/2");
  ASSERT_TRUE(full.ExposureSeconds && full.FNumber && full.Iso && full.FocalLengthMm);
  EXPECT_DOUBLE_EQ(*full.ExposureSeconds, 1.0 / 250);
  EXPECT_DOUBLE_EQ(*full.FNumber, 5.6);
  EXPECT_EQ(*full.Iso, 200);
  EXPECT_DOUBLE_EQ(*full.FocalLengthMm, 35);
  EXPECT_TRUE(full.HasLocation);

  const PhotoMetadata digitized = ReadPhotoMetadata(dir / "digitized.jpg");
  ASSERT_TRUE(digitized.DateTaken);
  EXPECT_EQ(*digitized.DateTaken, (LocalTimestamp{{2021, 12, 31}, 23, 59, 58, 500000000}));
  EXPECT_FALSE(digitized.HasLocation);
  EXPECT_TRUE(ReadPhotoMetadata(dir / "xmp-gps.jpg").HasLocation);

  const PhotoMetadata plain = ReadPhotoMetadata(dir / "plain.jpg");
  EXPECT_FALSE(plain.DateTaken);
  EXPECT_EQ(plain.Make + plain.Model + plain.Lens, "");
  EXPECT_FALSE(plain.ExposureSeconds || plain.FNumber || plain.Iso || plain.FocalLengthMm);
  EXPECT_FALSE(plain.HasLocation);
  EXPECT_EQ(plain.Problem, "");
}

// PNG, WebP, HEIC and AVIF photos carry EXIF and XMP as JPEGs do, each in
// its own container; a sidecar works beside them the same way.
TEST(ReadPhotoMetadata, reads_photos_of_the_other_formats_by_their_content) {
  const TempDir dir;
  const test::Pixels grey = [](int, int) { return test::Sample4{128, 128, 128, 255}; };
  test::WritePng(dir / "a.png", 16, 16, grey);
  test::WriteWebp(dir / "b.webp", 16, 16, grey);
  test::WriteHeif(dir / "c.heic", 16, 16, grey);
  test::WriteHeif(dir / "d.avif", 16, 16, grey, {.avif = true});
  test::WritePng(dir / "e.png", 16, 16, grey);
  std::vector<TaggedFile> files;
  for (const char* name : {"a.png", "b.webp", "c.heic", "d.avif", "e.png"})
    files.push_back({dir / name,
                     {std::string("-XMP-dc:Description=Caption of ") + name, "-Make=Maker",
                      "-DateTimeOriginal=2024:05:17 14:03:07", "-GPSLatitude=48.1", "-GPSLatitudeRef=N"}});
  test::WriteTags(files);
  // A PNG named like a JPEG is read as what it holds.
  std::filesystem::rename(dir / "e.png", dir / "e.jpg");
  const std::pair<std::string, std::string> expected[] = {{"a.png", "Caption of a.png"},
                                                          {"b.webp", "Caption of b.webp"},
                                                          {"c.heic", "Caption of c.heic"},
                                                          {"d.avif", "Caption of d.avif"},
                                                          {"e.jpg", "Caption of e.png"}};
  for (const auto& [name, caption] : expected) {
    SCOPED_TRACE(name);
    const PhotoMetadata m = ReadPhotoMetadata(dir / name);
    EXPECT_EQ(m.Problem, "");
    EXPECT_EQ(m.Caption, caption);
    EXPECT_EQ(m.CaptionFrom, CaptionSource::Xmp);
    EXPECT_EQ(m.Make, "Maker");
    ASSERT_TRUE(m.DateTaken);
    EXPECT_EQ(*m.DateTaken, (LocalTimestamp{{2024, 5, 17}, 14, 3, 7, 0}));
    EXPECT_TRUE(m.HasLocation);
  }
  WriteFile(dir / "a.png.xmp", SidecarXmp({{"x-default", "From the sidecar"}}));
  EXPECT_EQ(ReadPhotoMetadata(dir / "a.png").Caption, "From the sidecar");
}

// Damage is never an error: what the photo does not give is missing.
TEST(ReadPhotoMetadata, gives_what_damaged_or_missing_metadata_allows_and_never_raises) {
  const TempDir dir;
  WriteTaggedPhotos({{dir / "tagged.jpg",
                      {"-Make=Canon", "-DateTimeOriginal=2024:05:17 14:03:07", "-EXIF:ImageDescription=Described",
                       "-XMP-dc:Description=From XMP"}}});
  const std::string good = ReadFile(dir / "tagged.jpg");
  const std::size_t exif = good.find(std::string("Exif\0\0", 6));
  ASSERT_NE(exif, std::string::npos);

  // The first directory claims 65535 entries: the EXIF is dropped, the XMP stays.
  std::string entries = good;
  const std::size_t ifd = exif + 6 + 8;  // exiftool puts IFD0 right after the header
  entries[ifd] = '\xFF';
  entries[ifd + 1] = '\xFF';
  WriteFile(dir / "entries.jpg", entries);
  const PhotoMetadata e = ReadPhotoMetadata(dir / "entries.jpg");
  EXPECT_EQ(e.Caption, "From XMP");
  EXPECT_EQ(e.Make, "");
  EXPECT_FALSE(e.DateTaken);

  // The TIFF header of the EXIF data is none, the file is cut inside the
  // EXIF, or it is no photo at all: nothing of the file is used.
  std::string header = good;
  header[exif + 6] = 'X';
  header[exif + 7] = 'X';
  WriteFile(dir / "header.jpg", header);
  WriteFile(dir / "cut.jpg", good.substr(0, exif + 40));
  WriteFile(dir / "not-a-photo.jpg", "\x89PNG\r\n\x1A\n and more");
  WriteFile(dir / "empty.jpg", "");
  for (const char* name : {"header.jpg", "cut.jpg", "not-a-photo.jpg", "empty.jpg", "missing.jpg"}) {
    SCOPED_TRACE(name);
    const PhotoMetadata m = ReadPhotoMetadata(dir / name);
    EXPECT_EQ(m.Caption, "");
    EXPECT_FALSE(m.DateTaken);
    EXPECT_EQ(m.Make, "");
    EXPECT_NE(m.Problem, "");
  }
  // A sidecar still gives its caption to a photo whose own metadata is unreadable.
  WriteFile(dir / "not-a-photo.jpg.xmp", SidecarXmp({{"x-default", "Still here"}}));
  EXPECT_EQ(ReadPhotoMetadata(dir / "not-a-photo.jpg").Caption, "Still here");
}

TEST(SidecarCandidates, lists_both_forms_in_both_letter_cases) {
  EXPECT_EQ(SidecarCandidates("/in/IMG_1.JPG"),
            (std::vector<std::string>{"/in/IMG_1.JPG.xmp", "/in/IMG_1.JPG.XMP", "/in/IMG_1.xmp", "/in/IMG_1.XMP"}));
  EXPECT_EQ(SidecarCandidates("/in.d/noext"), (std::vector<std::string>{"/in.d/noext.xmp", "/in.d/noext.XMP"}));
  EXPECT_EQ(SidecarCandidates("/in/.jpg"), (std::vector<std::string>{"/in/.jpg.xmp", "/in/.jpg.XMP"}));
}

}  // namespace
}  // namespace fotoloom
