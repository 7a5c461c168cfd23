#include "run/MetadataStage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MetadataFixtures.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

TEST(MetadataUseOf, reads_metadata_only_for_an_option_that_uses_it) {
  struct Case {
    const char* what;
    std::function<void(GallerySettings&)> set;
    bool dates, texts, locations;
  };
  const Case cases[] = {
      {"start-up values", [](GallerySettings&) {}, false, false, false},
      {"UseExif, date order", [](GallerySettings& s) { s.SetUseExif(true); }, true, false, false},
      {"UseExif, no order",
       [](GallerySettings& s) {
         s.SetUseExif(true);
         s.SetSortingMethodIndex(-1);
       },
       true, false, false},
      {"UseExif, name order",
       [](GallerySettings& s) {
         s.SetUseExif(true);
         s.SetSortingMethodIndex(3);
       },
       false, false, false},
      {"Exif comment subtitle", [](GallerySettings& s) { s.SetSubtitleIndex(3); }, false, true, false},
      {"number subtitle", [](GallerySettings& s) { s.SetSubtitleIndex(4); }, false, false, false},
      {"a photo macro in the image template", [](GallerySettings& s) { s.SetHTMLImages({"<p>@Camera@</p>"}); }, false,
       true, false},
      {"a photo macro in the thumbnail template only",
       [](GallerySettings& s) { s.SetHTMLThumbnails({"@exifcomment@"}); }, false, false, false},
      {"copies", [](GallerySettings& s) { s.SetCopyOrgSizedImages(true); }, false, false, true},
      {"copies without location",
       [](GallerySettings& s) {
         s.SetCopyOrgSizedImages(true);
         s.SetStripLocation(true);
       },
       false, false, false},
      {"copies, pages only",
       [](GallerySettings& s) {
         s.SetCopyOrgSizedImages(true);
         s.SetElementsMode(2);
       },
       false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GallerySettings s;
    c.set(s);
    const MetadataUse use = MetadataUseOf(s);
    EXPECT_EQ(use.Dates, c.dates);
    EXPECT_EQ(use.Texts, c.texts);
    EXPECT_EQ(use.Locations, c.locations);
    EXPECT_EQ(use.Any(), c.dates || c.texts || c.locations);
  }
}

TEST(ReadEntriesMetadata, reads_each_photo_once_sets_its_date_and_stops_when_told) {
  const test::TempDir dir;
  test::WriteTaggedPhotos({
      {dir / "a.jpg",
       {"-DateTimeOriginal=2024:05:17 14:03:07", "-SubSecTimeOriginal=5", "-Make=Canon", "-Model=Canon EOS 5D",
        "-ExposureTime=1/250", "-FNumber=8", "-XMP-dc:Description=Sea"}},
      {dir / "b.jpg", {"-Software=x"}},
  });
  std::vector<ImageEntry> entries = {{dir.str() + "/", "a.jpg", {}}, {dir.str(), "b.jpg", {}}};
  int calls = 0;
  const std::vector<PhotoMetadata> all = ReadEntriesMetadata(entries, [&] { return ++calls > 0; });
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(calls, 2);
  ASSERT_TRUE(entries[0].DateTaken);
  EXPECT_EQ(*entries[0].DateTaken, (LocalTimestamp{{2024, 5, 17}, 14, 3, 7, 500000000}));
  EXPECT_FALSE(entries[1].DateTaken);

  const PhotoTexts a = PageTextsOf(all[0]);
  EXPECT_EQ(a.Caption, "Sea");
  EXPECT_EQ(a.DateTaken, "2024-05-17 14:03");
  EXPECT_EQ(a.Camera, "Canon EOS 5D");
  EXPECT_EQ(a.Lens, "");
  EXPECT_EQ(a.Exposure, "1/250 s, f/8");
  EXPECT_EQ(DateUsedText(all[0]), "taken 2024-05-17 14:03:07");
  EXPECT_EQ(DateUsedText(all[1]), "file date");
  const PhotoTexts b = PageTextsOf(all[1]);
  EXPECT_EQ(b.Caption + b.DateTaken + b.Camera + b.Lens + b.Exposure, "");

  // A cancel before the second photo.
  std::vector<ImageEntry> again = {{dir.str(), "a.jpg", {}}, {dir.str(), "b.jpg", {}}};
  int asked = 0;
  EXPECT_EQ(ReadEntriesMetadata(again, [&] { return ++asked < 2; }).size(), 1u);
}

TEST(LocationNotice, counts_the_copies_with_a_position_and_says_how_to_leave_it_out) {
  EXPECT_EQ(LocationNotice(0, 6), "");
  EXPECT_EQ(LocationNotice(2, 6),
            "2 of 6 copied originals carry a GPS position. To leave it out, tick \"Remove location from copied "
            "originals\" on step 2, or set StripLocation=yes.");
}

}  // namespace
}  // namespace fotoloom
