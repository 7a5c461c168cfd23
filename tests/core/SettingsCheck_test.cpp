// Tests of the check of a run's numbers and page names, and of the run's messages for them.
#include "core/SettingsCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace fotoloom {
namespace {

// The run's message for the first number fault of settings, "" when there is none.
std::string NumbersMessage(const GallerySettings& s) {
  const std::optional<ValueFault> fault = CheckRunNumbers(s);
  return fault ? RunFaultMessage(*fault) : "";
}

TEST(SettingsCheck, reads_numbers_as_a_run_reads_them) {
  EXPECT_EQ(RunNumberValue("800"), 800);
  EXPECT_EQ(RunNumberValue("  0800"), 800);
  EXPECT_EQ(RunNumberValue("$20"), 32);
  EXPECT_EQ(RunNumberValue("-5"), -5);
  EXPECT_EQ(RunNumberValue("800 "), std::nullopt);
  EXPECT_EQ(RunNumberValue(""), std::nullopt);
  EXPECT_EQ(RunNumberValue("12345678901234567890"), std::nullopt);
}

TEST(SettingsCheck, refuses_each_number_outside_its_range_with_the_key_and_the_old_text) {
  const struct {
    void (GallerySettings::*set)(std::string);
    std::string text;
    std::string message;
  } cases[] = {
      {&GallerySettings::SetMaxWidthImage, "abc", "MaxWidthImage: 'abc' is not a valid integer value"},
      {&GallerySettings::SetMaxWidthImage, "12345678901234567890",
       "MaxWidthImage: '12345678901234567890' is not a valid integer value"},
      {&GallerySettings::SetMaxWidthImage, "-1",
       "MaxWidthImage: '-1' is not a valid image size: it must be at least 1 pixel"},
      {&GallerySettings::SetMaxWidthImage, "100000",
       "MaxWidthImage: '100000' is not a valid image size: it must be at most 65500 pixels"},
      {&GallerySettings::SetMaxWidthImage, "65500", ""},
      {&GallerySettings::SetMaxHeightImage, "00",
       "MaxHeightImage: '00' is not a valid image size: it must be at least 1 pixel"},
      {&GallerySettings::SetMaxSizeThumbnails, "70000",
       "MaxSizeThumbnails: '70000' is not a valid image size: it must be at most 65500 pixels"},
      {&GallerySettings::SetRowsCount, "x", "RowsCount: 'x' is not a valid integer value"},
      {&GallerySettings::SetColsCount, " 4 ", "ColsCount: ' 4 ' is not a valid integer value"},
      {&GallerySettings::SetRowsCount, "0", "RowsCount x ColsCount is 0: Division by zero"},
      {&GallerySettings::SetColsCount, "0x0", "RowsCount x ColsCount is 0: Division by zero"},
      {&GallerySettings::SetRowsCount, "-3", "RowsCount: '-3' is not a valid number of rows: it must be at least 1"},
      {&GallerySettings::SetColsCount, "1001",
       "ColsCount: '1001' is not a valid number of columns: it must be at most 1000"},
      {&GallerySettings::SetColsCount, "1000", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    GallerySettings s;
    (s.*c.set)(c.text);
    EXPECT_EQ(NumbersMessage(s), c.message);
  }
}

TEST(SettingsCheck, finds_the_first_fault_in_file_order_and_names_the_zero_of_the_grid) {
  GallerySettings s;
  s.SetRowsCount("x");
  s.SetMaxHeightImage("tall");
  std::optional<ValueFault> fault = CheckRunNumbers(s);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->Field, SettingsField::MaxHeightImage);
  EXPECT_EQ(fault->Kind, ValueFaultKind::NotANumber);
  EXPECT_EQ(WholeNumberReason(*fault), "is not a whole number between 1 and 65500");

  // A run that makes no images reads no image bound.
  s.SetElementsMode(2);
  fault = CheckRunNumbers(s);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->Field, SettingsField::RowsCount);

  GallerySettings grid;
  grid.SetRowsCount("-2");
  grid.SetColsCount("0");
  fault = CheckRunNumbers(grid);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->Kind, ValueFaultKind::ZeroGrid);
  EXPECT_EQ(fault->Field, SettingsField::ColsCount);
  EXPECT_EQ(fault->Text, "0");
  EXPECT_EQ(WholeNumberReason(*fault), "is not a whole number between 1 and 1000");

  EXPECT_FALSE(CheckRunNumbers(GallerySettings()));
}

TEST(SettingsCheck, knows_the_range_of_every_number_a_run_takes) {
  ASSERT_NE(FindRunNumber("qualityimages"), nullptr);
  EXPECT_EQ(FindRunNumber("QualityImages")->Low, 0);
  EXPECT_EQ(FindRunNumber("QualityThumbnails")->High, 100);
  EXPECT_EQ(FindRunNumber("MaxSizeThumbnails")->High, 65500);
  EXPECT_EQ(FindRunNumber("RowsCount")->High, 1000);
  EXPECT_EQ(FindRunNumber("Title"), nullptr);
  const std::optional<ValueFault> high = CheckRunNumber(*FindRunNumber("QualityImages"), "101");
  ASSERT_TRUE(high);
  EXPECT_EQ(high->Kind, ValueFaultKind::OutOfRange);
  EXPECT_FALSE(CheckRunNumber(*FindRunNumber("QualityImages"), "0"));
}

TEST(SettingsCheck, refuses_page_names_that_lead_elsewhere) {
  const struct {
    void (GallerySettings::*set)(std::string);
    std::string text;
    std::string message;
  } cases[] = {
      {&GallerySettings::SetThumbPagesName, "../escaped",
       "ThumbPagesName: '../escaped' cannot be used in page names: it holds \"/\", which would lead into another "
       "folder"},
      {&GallerySettings::SetImagePagesName, "sub/img",
       "ImagePagesName: 'sub/img' cannot be used in page names: it holds \"/\", which would lead into another "
       "folder"},
      {&GallerySettings::SetWebSiteExtension, "/../../x",
       "WebSiteExtension: '/../../x' cannot be used in page names: it holds \"/\", which would lead into another "
       "folder"},
      {&GallerySettings::SetImagePagesName, "a..b",
       "ImagePagesName: 'a..b' cannot be used in page names: it holds \"..\", which names the folder above"},
      {&GallerySettings::SetWebSiteExtension, std::string(".h\0m", 4),
       std::string("WebSiteExtension: '.h\0m' cannot be used in page names: it holds a NUL character", 79)},
      {&GallerySettings::SetThumbPagesName, "Seite \\ 1", ""},
      {&GallerySettings::SetWebSiteExtension, "html", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    GallerySettings s;
    (s.*c.set)(c.text);
    const std::optional<ValueFault> fault = CheckPageNames(s);
    EXPECT_EQ(fault ? RunFaultMessage(*fault) : "", c.message);
  }
}

}  // namespace
}  // namespace fotoloom
