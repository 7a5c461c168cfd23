#include "imaging/LocationFreeCopy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "MetadataFixtures.h"
#include "imaging/PhotoMetadata.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The tags exiftool reads, in name order, without those of GPS and the name
// of the program that wrote the XMP last (the XMP is written anew without them).
std::vector<std::string> TagsWithoutGps(const std::string& path) {
  std::vector<std::string> tags = test::ExiftoolTags(path);
  std::erase_if(tags, [](const std::string& line) {
    return line.find("GPS") != std::string::npos || line.find("XMPToolkit") != std::string::npos;
  });
  std::sort(tags.begin(), tags.end());
  return tags;
}

// The entropy-coded image data: from the start of scan marker to the end.
std::string ScanData(const std::string& jpeg) { return jpeg.substr(jpeg.find("\xFF\xDA")); }

timespec ModifiedOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mtim;
}

const std::vector<std::string> kTags = {"-Make=Canon",
                                        "-Model=Canon EOS 5D",
                                        "-DateTimeOriginal=2024:05:17 14:03:07",
                                        "-XMP-dc:Description=Lake",
                                        "-IPTC:Caption-Abstract=Lake",
                                        "-EXIF:UserComment=Comment",
                                        "-ExposureTime=1/250"};

TEST(CopyWithoutLocation, removes_every_gps_tag_and_keeps_pixels_other_tags_and_the_original) {
  const TempDir dir;
  std::vector<std::string> args = kTags;
  for (const char* gps : {"-GPSLatitude=48.1", "-GPSLatitudeRef=N", "-GPSLongitude=11.5", "-GPSLongitudeRef=E",
                          "-GPSAltitude=520", "-XMP-exif:GPSLatitude=48.1", "-XMP-exif:GPSLongitude=11.5"})
    args.push_back(gps);
  test::WriteTaggedPhotos({{dir / "gps.jpg", args}});
  ::utimensat(AT_FDCWD, (dir / "gps.jpg").c_str(), std::array<timespec, 2>{{{1000, 5}, {1000, 5}}}.data(), 0);
  const std::string original = ReadFile(dir / "gps.jpg");
  ASSERT_TRUE(ReadPhotoMetadata(dir / "gps.jpg").HasLocation);

  const LocationFreeCopyResult result = CopyWithoutLocation(dir / "gps.jpg", dir / "b_gps.jpg", false);
  EXPECT_TRUE(result.Made);
  EXPECT_TRUE(result.Removed);
  EXPECT_EQ(result.Problem, "");
  const std::string copy = ReadFile(dir / "b_gps.jpg");
  EXPECT_EQ(ReadFile(dir / "gps.jpg"), original);
  EXPECT_FALSE(ReadPhotoMetadata(dir / "b_gps.jpg").HasLocation);
  for (const std::string& tag : test::ExiftoolTags(dir / "b_gps.jpg"))
    EXPECT_EQ(tag.find("GPS"), std::string::npos) << tag;
  EXPECT_EQ(TagsWithoutGps(dir / "b_gps.jpg"), TagsWithoutGps(dir / "gps.jpg"));
  EXPECT_EQ(ScanData(copy), ScanData(original));
  const timespec modified = ModifiedOf(dir / "b_gps.jpg");
  EXPECT_EQ(modified.tv_sec, 1000);
  EXPECT_EQ(modified.tv_nsec, 5);
}

TEST(CopyWithoutLocation, copies_a_photo_without_location_byte_for_byte) {
  const TempDir dir;
  test::WriteTaggedPhotos({{dir / "plain.jpg", kTags}});
  const LocationFreeCopyResult result = CopyWithoutLocation(dir / "plain.jpg", dir / "b_plain.jpg", false);
  EXPECT_TRUE(result.Made);
  EXPECT_FALSE(result.Removed);
  EXPECT_EQ(ReadFile(dir / "b_plain.jpg"), ReadFile(dir / "plain.jpg"));
}

TEST(CopyWithoutLocation, replaces_an_existing_file_only_when_asked_and_leaves_no_temporary_file) {
  const TempDir dir;
  test::WriteTaggedPhotos({{dir / "gps.jpg", {"-GPSLatitude=1", "-GPSLatitudeRef=S"}}});
  WriteFile(dir / "b_gps.jpg", "the user's own file");
  LocationFreeCopyResult kept = CopyWithoutLocation(dir / "gps.jpg", dir / "b_gps.jpg", false);
  EXPECT_FALSE(kept.Made);
  EXPECT_EQ(kept.Problem, "");
  EXPECT_EQ(ReadFile(dir / "b_gps.jpg"), "the user's own file");

  const LocationFreeCopyResult replaced = CopyWithoutLocation(dir / "gps.jpg", dir / "b_gps.jpg", true);
  EXPECT_TRUE(replaced.Made);
  EXPECT_FALSE(ReadPhotoMetadata(dir / "b_gps.jpg").HasLocation);

  const auto files = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  };
  EXPECT_EQ(files(), (std::vector<std::string>{"b_gps.jpg", "gps.jpg"}));
}

// A reader that looks past the first EXIF segment would find the position
// of a second one, which the rewriting does not see: no copy is made.
TEST(CopyWithoutLocation, never_copies_a_position_that_hides_in_a_second_exif_segment) {
  const TempDir dir;
  test::WriteTaggedPhotos(
      {{dir / "plain.jpg", {"-Make=Plain"}}, {dir / "gps.jpg", {"-GPSLatitude=1", "-GPSLatitudeRef=N"}}});
  // Where the APP1 segment of the EXIF data starts, and its length with its marker.
  const auto exifSegment = [](const std::string& jpeg) {
    const std::size_t start = jpeg.find(std::string("Exif\0\0", 6)) - 4;
    const std::size_t length =
        (std::size_t(static_cast<unsigned char>(jpeg[start + 2])) << 8) | static_cast<unsigned char>(jpeg[start + 3]);
    return std::make_pair(start, 2 + length);
  };
  std::string plain = ReadFile(dir / "plain.jpg");
  const std::string gps = ReadFile(dir / "gps.jpg");
  const auto [gpsStart, gpsLength] = exifSegment(gps);
  const auto [plainStart, plainLength] = exifSegment(plain);
  plain.insert(plainStart + plainLength, gps.substr(gpsStart, gpsLength));
  WriteFile(dir / "two.jpg", plain);
  ASSERT_FALSE(ReadPhotoMetadata(dir / "two.jpg").HasLocation);  // the first segment is all a reader takes

  const LocationFreeCopyResult result = CopyWithoutLocation(dir / "two.jpg", dir / "b_two.jpg", false);
  EXPECT_FALSE(result.Made);
  EXPECT_NE(result.Problem, "");
  EXPECT_FALSE(std::filesystem::exists(dir / "b_two.jpg"));
}

TEST(CopyWithoutLocation, makes_no_copy_of_what_it_cannot_read_or_rewrite) {
  const TempDir dir;
  WriteFile(dir / "not-a-photo.jpg", "GPS? no, not even a JPEG");
  const LocationFreeCopyResult notPhoto = CopyWithoutLocation(dir / "not-a-photo.jpg", dir / "b_not-a-photo.jpg", true);
  EXPECT_FALSE(notPhoto.Made);
  EXPECT_NE(notPhoto.Problem, "");
  const LocationFreeCopyResult missing = CopyWithoutLocation(dir / "missing.jpg", dir / "b_missing.jpg", true);
  EXPECT_FALSE(missing.Made);
  EXPECT_NE(missing.Problem, "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace fotoloom
