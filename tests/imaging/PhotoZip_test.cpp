#include "imaging/PhotoZip.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "MetadataFixtures.h"
#include "PhotoFixtures.h"
#include "core/Error.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

// One entry as the ZIP's central directory and local header give it.
struct Entry {
  std::string name;
  int method = -1;
  std::uint16_t dosTime = 0;
  std::uint16_t dosDate = 0;
  std::string data;
};

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b.at(at + std::size_t(i)));
  return v;
}

// Reads a ZIP without comment or 64-bit fields, as the program writes it for small photos.
std::vector<Entry> ReadZip(const std::string& zip) {
  const std::size_t end = zip.size() - 22;
  EXPECT_EQ(Le(zip, end, 4), 0x06054b50u);
  const std::size_t count = Le(zip, end + 10, 2);
  std::size_t at = Le(zip, end + 16, 4);
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_EQ(Le(zip, at, 4), 0x02014b50u);
    Entry e;
    e.method = static_cast<int>(Le(zip, at + 10, 2));
    e.dosTime = static_cast<std::uint16_t>(Le(zip, at + 12, 2));
    e.dosDate = static_cast<std::uint16_t>(Le(zip, at + 14, 2));
    const std::size_t size = Le(zip, at + 24, 4);
    const std::size_t nameLength = Le(zip, at + 28, 2);
    const std::size_t extra = Le(zip, at + 30, 2);
    const std::size_t comment = Le(zip, at + 32, 2);
    const std::size_t local = Le(zip, at + 42, 4);
    e.name = zip.substr(at + 46, nameLength);
    const std::size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
    e.data = zip.substr(data, size);
    entries.push_back(e);
    at += 46 + nameLength + extra + comment;
  }
  return entries;
}

void SetModified(const std::string& path, std::time_t when) {
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::uint16_t DosTimeOf(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

TEST(PhotoZip, holds_the_originals_stored_in_order_with_their_times_and_the_same_bytes_each_time) {
  TempDir in;
  TempDir out;
  const Image image = test::MakeImage(40, 30, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8), 90};
  });
  test::WriteJpeg(in / "b.jpg", image);
  test::WriteJpeg(in / "a b.JPG", image, {.progressive = true});
  test::WritePng(in / "c.png", 20, 10, test::FromImage(image));
  const std::time_t when = 1700000000;
  for (const char* name : {"b.jpg", "a b.JPG", "c.png"}) SetModified(in / name, when + 7);
  const std::vector<std::string> paths = {in / "b.jpg", in / "a b.JPG", in / "c.png"};
  std::vector<int> entered;
  PhotoZipHooks hooks;
  hooks.OnEntry = [&](int i) { entered.push_back(i); };
  ASSERT_TRUE(WritePhotoZip(out / "photos.zip", ZipPhotosOf(paths, false), {}, hooks));
  EXPECT_EQ(entered, (std::vector<int>{0, 1, 2}));
  const std::string zip = test::ReadFile(out / "photos.zip");
  const std::vector<Entry> entries = ReadZip(zip);
  ASSERT_EQ(entries.size(), 3u);
  const char* names[] = {"b.jpg", "a b.JPG", "c.png"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(entries[i].name, names[i]);
    EXPECT_EQ(entries[i].method, 0);  // stored
    EXPECT_TRUE(entries[i].data == test::ReadFile(paths[i])) << names[i];
    EXPECT_EQ(entries[i].dosTime, DosTimeOf(when + 7)) << names[i];
  }
  // The same photos give the same bytes, and nothing is left beside the file.
  ASSERT_TRUE(WritePhotoZip(out / "photos.zip", ZipPhotosOf(paths, false), {}, {}));
  EXPECT_TRUE(test::ReadFile(out / "photos.zip") == zip);
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
}

TEST(PhotoZip, without_location_jpegs_lose_their_gps_and_other_formats_become_full_size_jpegs) {
  TempDir in;
  TempDir out;
  test::WriteTaggedPhotos({{in / "gps.jpg", {"-GPSLatitude=48.1", "-GPSLatitudeRef=N", "-Make=Canon"}}});
  test::WriteWebp(in / "w.webp", 24, 16, [](int x, int y) {
    return test::Sample4{std::uint16_t(x * 9), std::uint16_t(y * 9), 60, 255};
  });
  const std::vector<ZipPhoto> photos = ZipPhotosOf({in / "gps.jpg", in / "w.webp"}, true);
  ASSERT_EQ(photos.size(), 2u);
  EXPECT_EQ(photos[0].Content, ZipContent::WithoutLocation);
  EXPECT_EQ(photos[1].Content, ZipContent::FullSizeJpeg);
  ASSERT_TRUE(WritePhotoZip(out / "photos.zip", photos, {}, {}));
  const std::vector<Entry> entries = ReadZip(test::ReadFile(out / "photos.zip"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "gps.jpg");
  EXPECT_EQ(entries[1].name, "w.webp.jpg");
  test::WriteFile(out / "entry.jpg", entries[0].data);
  for (const std::string& tag : test::ExiftoolTags(out / "entry.jpg"))
    EXPECT_EQ(tag.find("GPS"), std::string::npos) << tag;
  EXPECT_NE(test::ReadFile(in / "gps.jpg"), entries[0].data);
  EXPECT_EQ(entries[1].data.compare(0, 2, "\xFF\xD8"), 0);  // a JPEG
}

TEST(PhotoZip, a_cancel_or_a_missing_photo_leaves_the_old_file_and_no_temporary) {
  TempDir in;
  TempDir out;
  test::WriteJpeg(in / "a.jpg", test::MakeImage(8, 8, [](int, int) { return test::Rgb{1, 2, 3}; }));
  fs::copy_file(in / "a.jpg", in / "b.jpg");
  test::WriteFile(out / "photos.zip", "old");
  PhotoZipHooks hooks;
  int asked = 0;
  hooks.Cancelled = [&] { return ++asked > 1; };
  EXPECT_FALSE(WritePhotoZip(out / "photos.zip", ZipPhotosOf({in / "a.jpg", in / "b.jpg"}, false), {}, hooks));
  EXPECT_EQ(test::ReadFile(out / "photos.zip"), "old");
  try {
    WritePhotoZip(out / "photos.zip", ZipPhotosOf({in / "a.jpg", in / "missing.jpg"}, false), {}, {});
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot write " + (out / "photos.zip") + ": "), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("missing.jpg"), std::string::npos) << e.what();
  }
  EXPECT_EQ(test::ReadFile(out / "photos.zip"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace fotoloom
