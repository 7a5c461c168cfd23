#include "core/GallerySettings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/DefaultTemplates.h"

namespace fotoloom {
namespace {

using ::testing::ElementsAre;

// Records every notification of a record.
struct Recorder {
  explicit Recorder(GallerySettings& s) {
    s.Subscribe([this](SettingsField f) { fields.push_back(f); });
  }
  std::vector<SettingsField> fields;
};

TEST(GallerySettings, a_new_record_holds_the_start_up_values) {
  const GallerySettings s;
  EXPECT_EQ(s.InputPath(), "");
  EXPECT_EQ(s.OutputPath(), "");
  EXPECT_EQ(s.AdditionalPath(), "");
  EXPECT_EQ(s.ThumbPagesName(), "page");
  EXPECT_EQ(s.ImagePagesName(), "image");
  EXPECT_EQ(s.WebSiteExtension(), ".htm");
  EXPECT_EQ(s.QualityImages(), 90);
  EXPECT_EQ(s.MaxWidthImage(), "800");
  EXPECT_EQ(s.MaxHeightImage(), "600");
  EXPECT_EQ(s.FilterIndex(), 5);
  EXPECT_FALSE(s.UseFilter());
  EXPECT_EQ(s.QualityThumbnails(), 90);
  EXPECT_EQ(s.ThumbSizeChoice(), 3);
  EXPECT_EQ(s.MaxSizeThumbnails(), "160");
  EXPECT_EQ(s.SortingMethodIndex(), 0);
  EXPECT_FALSE(s.UseExif());
  EXPECT_FALSE(s.CopyOrgSizedImages());
  EXPECT_FALSE(s.isgrayscale());
  EXPECT_EQ(s.Pixelformat(), 0);
  EXPECT_EQ(s.BackgroundColor(), 0xFF000005u);
  EXPECT_EQ(s.TextColor(), 0x000000u);
  EXPECT_EQ(s.LinkColor(), 0xFF0000u);
  EXPECT_EQ(s.VisitedLinkColor(), 0x800080u);
  EXPECT_EQ(s.RowsCount(), "3");
  EXPECT_EQ(s.ColsCount(), "4");
  EXPECT_EQ(s.Title(), "Place your gallery title here");
  EXPECT_EQ(s.SubtitleIndex(), 2);
  EXPECT_TRUE(s.AutoBrowserStart());
  EXPECT_EQ(s.HTMLThumbnails(), DefaultThumbnailTemplate());
  EXPECT_EQ(s.HTMLImages(), DefaultImageTemplate());
  EXPECT_EQ(s.HTMLThumbnails().size(), 85u);
  EXPECT_EQ(s.HTMLImages().size(), 62u);
  EXPECT_EQ(s.ElementsMode(), 0);
}

TEST(GallerySettings, qualities_are_clamped_into_1_to_100) {
  GallerySettings s;
  s.SetQualityImages(0);
  EXPECT_EQ(s.QualityImages(), 1);
  s.SetQualityImages(150);
  EXPECT_EQ(s.QualityImages(), 100);
  s.SetQualityImages(-7);
  EXPECT_EQ(s.QualityImages(), 1);
  s.SetQualityImages(55);
  EXPECT_EQ(s.QualityImages(), 55);
  s.SetQualityThumbnails(0);
  EXPECT_EQ(s.QualityThumbnails(), 1);
  s.SetQualityThumbnails(101);
  EXPECT_EQ(s.QualityThumbnails(), 100);
}

TEST(GallerySettings, list_indexes_clamp_to_the_last_entry_or_fall_to_none) {
  GallerySettings s;
  s.SetSubtitleIndex(9);
  EXPECT_EQ(s.SubtitleIndex(), 4);
  s.SetSubtitleIndex(-5);
  EXPECT_EQ(s.SubtitleIndex(), -1);
  s.SetSortingMethodIndex(7);
  EXPECT_EQ(s.SortingMethodIndex(), 3);
  s.SetSortingMethodIndex(-2);
  EXPECT_EQ(s.SortingMethodIndex(), -1);
  s.SetThumbSizeChoice(12);
  EXPECT_EQ(s.ThumbSizeChoice(), 3);
  s.SetThumbSizeChoice(-3);
  EXPECT_EQ(s.ThumbSizeChoice(), -1);

  s.SetFilterIndex(9);
  EXPECT_EQ(s.FilterIndex(), -1);
  s.SetFilterIndex(6);
  EXPECT_EQ(s.FilterIndex(), 6);
  s.SetFilterIndex(-4);
  EXPECT_EQ(s.FilterIndex(), -1);
  s.SetFilterIndex(0);
  EXPECT_EQ(s.FilterIndex(), 0);
  s.SetPixelformat(8);
  EXPECT_EQ(s.Pixelformat(), -1);
  s.SetPixelformat(7);
  EXPECT_EQ(s.Pixelformat(), 7);
  s.SetElementsMode(5);
  EXPECT_EQ(s.ElementsMode(), 2);
  s.SetElementsMode(-1);
  EXPECT_EQ(s.ElementsMode(), 0);
}

TEST(GallerySettings, page_names_are_never_empty) {
  GallerySettings s;
  s.SetThumbPagesName("");
  EXPECT_EQ(s.ThumbPagesName(), "page");
  s.SetImagePagesName("");
  EXPECT_EQ(s.ImagePagesName(), "image");
  s.SetThumbPagesName("index");
  EXPECT_EQ(s.ThumbPagesName(), "index");
}

TEST(GallerySettings, size_texts_replace_empty_and_zero_with_10_and_keep_any_other_text) {
  GallerySettings s;
  s.SetMaxWidthImage("0");
  EXPECT_EQ(s.MaxWidthImage(), "10");
  s.SetMaxWidthImage("");
  EXPECT_EQ(s.MaxWidthImage(), "10");
  s.SetMaxWidthImage("00");
  EXPECT_EQ(s.MaxWidthImage(), "00");
  s.SetMaxWidthImage("abc");
  EXPECT_EQ(s.MaxWidthImage(), "abc");
  s.SetMaxHeightImage("0");
  EXPECT_EQ(s.MaxHeightImage(), "10");
  s.SetMaxHeightImage("-5");
  EXPECT_EQ(s.MaxHeightImage(), "-5");
  s.SetMaxSizeThumbnails("");
  EXPECT_EQ(s.MaxSizeThumbnails(), "10");
  s.SetMaxSizeThumbnails("0");
  EXPECT_EQ(s.MaxSizeThumbnails(), "10");
}

TEST(GallerySettings, a_fixed_thumbnail_size_choice_writes_its_size_and_locks_the_text) {
  GallerySettings s;
  EXPECT_TRUE(s.ThumbSizeEditable());
  s.SetMaxSizeThumbnails("200");
  s.SetThumbSizeChoice(1);
  EXPECT_EQ(s.MaxSizeThumbnails(), "140");
  EXPECT_FALSE(s.ThumbSizeEditable());

  // While a fixed size is chosen the text keeps matching it.
  s.SetMaxSizeThumbnails("999");
  EXPECT_EQ(s.MaxSizeThumbnails(), "140");

  s.SetThumbSizeChoice(3);
  EXPECT_EQ(s.MaxSizeThumbnails(), "140");
  EXPECT_TRUE(s.ThumbSizeEditable());
  s.SetMaxSizeThumbnails("99");
  EXPECT_EQ(s.MaxSizeThumbnails(), "99");

  s.SetThumbSizeChoice(0);
  EXPECT_EQ(s.MaxSizeThumbnails(), "120");
  s.SetThumbSizeChoice(2);
  EXPECT_EQ(s.MaxSizeThumbnails(), "160");
}

TEST(GallerySettings, exif_and_filter_keep_their_values_while_not_editable) {
  GallerySettings s;
  s.SetUseExif(true);
  s.SetSortingMethodIndex(2);
  EXPECT_FALSE(s.UseExifEditable());
  EXPECT_TRUE(s.UseExif());
  s.SetSortingMethodIndex(1);
  EXPECT_TRUE(s.UseExifEditable());
  EXPECT_TRUE(s.UseExif());
  // A settings file restores what it saved, also under a name order.
  s.SetSortingMethodIndex(3);
  s.SetUseExif(false);
  EXPECT_FALSE(s.UseExif());

  EXPECT_FALSE(s.FilterEditable());
  s.SetFilterIndex(2);
  EXPECT_EQ(s.FilterIndex(), 2);
  s.SetUseFilter(true);
  EXPECT_TRUE(s.FilterEditable());
  EXPECT_EQ(s.FilterIndex(), 2);
}

TEST(GallerySettings, line_breaks_never_reach_a_stored_text) {
  GallerySettings s;
  s.SetTitle("My\r\nGallery\n");
  EXPECT_EQ(s.Title(), "MyGallery");
  s.SetThumbPagesName("\r\n");
  EXPECT_EQ(s.ThumbPagesName(), "page");
  s.SetHTMLImages({"<p>", "a\r\nb\nc\rd", ""});
  EXPECT_THAT(s.HTMLImages(), ElementsAre("<p>", "a", "b", "c", "d", ""));
}

TEST(GallerySettings, every_write_names_the_field_it_wrote) {
  GallerySettings s;
  Recorder r(s);
  s.SetQualityImages(150);
  s.SetTitle("x");
  s.SetThumbPagesName("");  // replaced text: the page must redraw
  s.SetTextColor(kClBlue);
  s.SetHTMLThumbnails({});
  s.SetElementsMode(1);
  EXPECT_THAT(r.fields,
              ElementsAre(SettingsField::QualityImages, SettingsField::Title, SettingsField::ThumbPagesName,
                          SettingsField::TextColor, SettingsField::HTMLThumbnails, SettingsField::ElementsMode));
}

TEST(GallerySettings, writes_that_change_a_dependent_field_notify_it_too) {
  GallerySettings s;
  Recorder r(s);
  s.SetThumbSizeChoice(0);
  s.SetSortingMethodIndex(2);
  s.SetUseFilter(true);
  EXPECT_THAT(r.fields, ElementsAre(SettingsField::ThumbSizeChoice, SettingsField::MaxSizeThumbnails,
                                    SettingsField::SortingMethodIndex, SettingsField::UseExif, SettingsField::UseFilter,
                                    SettingsField::FilterIndex));
  r.fields.clear();
  s.SetMaxSizeThumbnails("77");  // ignored under a fixed choice: nothing changed
  EXPECT_TRUE(r.fields.empty());
}

TEST(GallerySettings, observers_can_unsubscribe_also_from_inside_a_notification) {
  GallerySettings s;
  int calls = 0;
  GallerySettings::SubscriptionId id = 0;
  id = s.Subscribe([&](SettingsField) {
    ++calls;
    s.Unsubscribe(id);
  });
  Recorder r(s);
  s.SetTitle("a");
  s.SetTitle("b");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(r.fields.size(), 2u);
}

TEST(GallerySettings, a_copy_takes_the_values_but_not_the_observers) {
  GallerySettings s;
  s.SetTitle("Holiday");
  Recorder r(s);
  GallerySettings copy(s);
  EXPECT_EQ(copy.Title(), "Holiday");
  copy.SetTitle("Other");
  EXPECT_TRUE(r.fields.empty());
  EXPECT_EQ(s.Title(), "Holiday");
}

TEST(GallerySettings, the_location_switch_is_editable_only_with_copies_and_survives_them_being_off) {
  GallerySettings s;
  EXPECT_FALSE(s.StripLocation());
  EXPECT_FALSE(s.StripLocationEditable());
  Recorder r(s);
  s.SetCopyOrgSizedImages(true);
  s.SetStripLocation(true);
  s.SetCopyOrgSizedImages(false);
  EXPECT_THAT(r.fields,
              ElementsAre(SettingsField::CopyOrgSizedImages, SettingsField::StripLocation, SettingsField::StripLocation,
                          SettingsField::CopyOrgSizedImages, SettingsField::StripLocation));
  EXPECT_TRUE(s.StripLocation());
  EXPECT_FALSE(s.StripLocationEditable());
  EXPECT_TRUE(GallerySettings(s).StripLocation());
}

}  // namespace
}  // namespace fotoloom
