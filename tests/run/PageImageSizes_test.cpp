#include "run/PageImageSizes.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "core/RecordingDesktop.h"
#include "core/TemplateSets.h"
#include "run/GenerationRun.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;

// The width and height attributes of the first tag of page that holds src="file".
std::pair<int, int> SizeOnPage(const std::string& page, const std::string& file) {
  std::smatch m;
  const std::regex tag("<img src=\"" + file + "\"[^>]* width=\"(\\d+)\" height=\"(\\d+)\"");
  if (!std::regex_search(page, m, tag)) return {0, 0};
  return {std::stoi(m[1]), std::stoi(m[2])};
}

TEST(PageImageSizes, the_pages_give_every_image_the_size_the_image_writers_make_it) {
  TempDir in;
  TempDir out;
  struct Photo {
    const char* name;
    int width, height, orientation;
  };
  // Larger and smaller than the bounds, both ways round, one turned upright by its EXIF tag.
  const std::vector<Photo> photos = {{"a_wide.jpg", 1000, 900, 0},
                                     {"b_tall.jpg", 650, 700, 0},
                                     {"c_small.jpg", 50, 30, 0},
                                     {"d_turned.jpg", 172, 129, 6}};
  for (const Photo& p : photos)
    test::WriteJpeg(in / p.name, test::FlatImage(p.width, p.height, {90, 120, 200}), {.orientation = p.orientation});
  GallerySettings settings;
  UseTemplateSet(settings, *FindTemplateSet("responsive"));
  settings.SetInputPath(in.str());
  settings.SetOutputPath(out.str());
  settings.SetSortingMethodIndex(2);
  settings.SetAutoBrowserStart(false);
  settings.SetMaxWidthImage("800");
  settings.SetMaxHeightImage("600");
  settings.SetThumbSizeChoice(3);
  settings.SetMaxSizeThumbnails("160");
  test::RecordingDesktop desktop;
  test::RecordingView view;
  GenerationRun run(settings, desktop, view);
  run.Jobs = 1;
  ASSERT_EQ(run.Start(), RunOutcome::Finished);

  const std::string thumbs = ReadFile(out / "page1.htm");
  for (std::size_t i = 0; i < photos.size(); ++i) {
    const std::string name = photos[i].name;
    SCOPED_TRACE(name);
    const test::JpegFacts scaled = test::ReadFacts(out / ("n_" + name));
    const test::JpegFacts thumb = test::ReadFacts(out / ("t_" + name));
    EXPECT_EQ(SizeOnPage(ReadFile(out / ("image" + std::to_string(i + 1) + ".htm")), "n_" + name),
              std::make_pair(scaled.width, scaled.height));
    EXPECT_EQ(SizeOnPage(thumbs, "t_" + name), std::make_pair(thumb.width, thumb.height));
  }
}

TEST(PageImageSizes, a_photo_without_a_readable_header_and_bounds_that_are_no_size_give_no_size) {
  TempDir in;
  test::WriteJpeg(in / "good.jpg", test::FlatImage(40, 20, {1, 2, 3}));
  test::WriteFile(in / "bad.jpg", "not a photo");
  GallerySettings settings;
  settings.SetMaxWidthImage("20");
  settings.SetMaxHeightImage("20");
  settings.SetThumbSizeChoice(3);
  settings.SetMaxSizeThumbnails("10");
  const std::vector<std::string> photos = {in / "good.jpg", in / "bad.jpg"};
  const auto always = [] { return true; };
  std::vector<ImageSizes> sizes = PageImageSizes(photos, settings, always);
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[0].ScaledWidth, 20);
  EXPECT_EQ(sizes[0].ScaledHeight, 10);
  EXPECT_EQ(sizes[0].ThumbWidth, 10);
  EXPECT_EQ(sizes[0].ThumbHeight, 5);
  EXPECT_EQ(sizes[1].ScaledWidth, 0);
  EXPECT_EQ(sizes[1].ThumbWidth, 0);

  settings.SetMaxWidthImage("wide");
  sizes = PageImageSizes(photos, settings, always);
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[0].ScaledWidth, 0);
  EXPECT_EQ(sizes[0].ThumbWidth, 0);
}

TEST(PageImageSizes, only_templates_that_show_a_size_make_the_run_read_the_headers) {
  GallerySettings settings;
  EXPECT_FALSE(PagesUseImageSizes(settings));  // the classic set
  settings.SetHTMLImages({"<img width=\"@IMAGE_WIDTH@\">"});
  EXPECT_TRUE(PagesUseImageSizes(settings));
  GallerySettings grid;
  grid.SetHTMLThumbnails({"@thumbgrid@"});
  EXPECT_TRUE(PagesUseImageSizes(grid));
  GallerySettings title;
  title.SetTitle("Trip @ThumbGrid@");
  EXPECT_TRUE(PagesUseImageSizes(title));
}

}  // namespace
}  // namespace fotoloom
