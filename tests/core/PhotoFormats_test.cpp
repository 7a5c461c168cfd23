#include "core/PhotoFormats.h"

#include <gtest/gtest.h>

#include <string>

#include "core/Un_MyFindFile.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

TEST(PhotoFormats, the_search_mask_adds_the_other_formats_only_when_asked) {
  EXPECT_EQ(PhotoSearchMask(false), "*.jp*g");
  const std::string mask = PhotoSearchMask(true);
  for (const char* name : {"a.jpg", "b.JPEG", "c.heic", "d.HEIC", "e.Heif", "f.hif", "g.AVIF", "h.png", "i.WebP"})
    EXPECT_TRUE(MatchesMask(name, mask)) << name;
  for (const char* name : {"a.png.txt", "b.gif", "c.tif", "heic", "d.heic2"})
    EXPECT_FALSE(MatchesMask(name, mask)) << name;
  EXPECT_FALSE(MatchesMask("h.png", PhotoSearchMask(false)));
}

TEST(PhotoFormats, a_name_says_its_format_in_any_letter_case) {
  const struct {
    const char* name;
    PhotoFormat format;
  } cases[] = {
      {"IMG_1.JPG", PhotoFormat::Jpeg}, {"x.jpeg", PhotoFormat::Jpeg},    {"IMG_1.HEIC", PhotoFormat::Heif},
      {"x.heif", PhotoFormat::Heif},    {"x.HIF", PhotoFormat::Heif},     {"x.avif", PhotoFormat::Heif},
      {"x.Png", PhotoFormat::Png},      {"x.webp", PhotoFormat::Webp},    {"x.gif", PhotoFormat::Unknown},
      {"png", PhotoFormat::Unknown},    {"x.png.jpg", PhotoFormat::Jpeg}, {"x.webp.PNG", PhotoFormat::Png},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatOfName(c.name), c.format) << c.name;
}

TEST(PhotoFormats, images_of_jpeg_photos_keep_their_names_and_others_end_in_jpg) {
  EXPECT_EQ(ImageFileName("n_", "IMG_0001.JPG"), "n_IMG_0001.JPG");
  EXPECT_EQ(ImageFileName("t_", "a b.jpeg"), "t_a b.jpeg");
  EXPECT_EQ(ImageFileName("n_", "IMG_0001.HEIC"), "n_IMG_0001.HEIC.jpg");
  EXPECT_EQ(ImageFileName("t_", "IMG_0001.HEIC"), "t_IMG_0001.HEIC.jpg");
  EXPECT_EQ(ImageFileName("b_", "shot.png"), "b_shot.png.jpg");
  // Whatever "*.jp*g" admits is a JPEG photo, as it always was ("x.jpg.png"
  // ends in "g"), and keeps its name.
  EXPECT_EQ(FormatOfName("x.jpg.png"), PhotoFormat::Jpeg);
  EXPECT_EQ(ImageFileName("n_", "x.jpg.png"), "n_x.jpg.png");
}

TEST(PhotoFormats, webp_copies_and_sharp_thumbnails_follow_the_image_names) {
  EXPECT_EQ(ImageFileName("t2_", "IMG_0001.JPG"), "t2_IMG_0001.JPG");
  EXPECT_EQ(WebpFileName(ImageFileName("t2_", "IMG_0001.HEIC")), "t2_IMG_0001.HEIC.jpg.webp");
  EXPECT_EQ(WebpFileName(ImageFileName("n_", "a b.jpeg")), "n_a b.jpeg.webp");
  // A WebP photo's JPEG image gets a WebP copy of its own name, never the photo's.
  EXPECT_EQ(WebpFileName(ImageFileName("n_", "x.webp")), "n_x.webp.jpg.webp");
}

TEST(PhotoFormats, photos_whose_images_would_share_a_name_are_found) {
  EXPECT_EQ(PhotosSharingImageNames({"a.jpg", "b.png", "c.HEIC"}), (std::pair<std::string, std::string>{}));
  EXPECT_EQ(PhotosSharingImageNames({"x.jpg", "a.png", "b.jpg", "a.png.jpg"}),
            (std::pair<std::string, std::string>{"a.png", "a.png.jpg"}));
  // Names differing in letter case are different files and different images.
  EXPECT_EQ(PhotosSharingImageNames({"a.PNG", "a.png.jpg"}), (std::pair<std::string, std::string>{}));
}

TEST(TMyFindFile, a_mask_of_several_patterns_finds_each_kind_and_keeps_the_hidden_file_rule) {
  test::TempDir dir;
  for (const char* name : {"a.jpg", "b.PNG", ".c.heic", "d.txt", "e.webp"}) test::WriteFile(dir / name, "x");
  TMyFindFile search;
  search.SearchFolder = dir.str();
  search.Mask = PhotoSearchMask(true);
  std::vector<std::string> found;
  search.OnFileFound = [&](TMyFindFile&, const std::string&, const FoundFile& f, bool&) { found.push_back(f.Name); };
  search.Search();
  EXPECT_EQ(found, (std::vector<std::string>{".c.heic", "a.jpg", "b.PNG", "e.webp"}));
  search.Attributes &= ~unsigned(faHidden);
  found.clear();
  search.Search();
  EXPECT_EQ(found, (std::vector<std::string>{"a.jpg", "b.PNG", "e.webp"}));
}

}  // namespace
}  // namespace fotoloom
