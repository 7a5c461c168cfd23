#include "run/RunSummary.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>

#include "JpegFixtures.h"
#include "core/RecordingDesktop.h"
#include "run/GenerationRun.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(RunSummaryText, says_what_a_run_made_and_how_long_it_took) {
  struct Case {
    RunSummary summary;
    const char* text;
  };
  const Case cases[] = {
      {{24, 2, 24, 3.14, {}}, "24 photos, 2 thumbnail pages, 24 image pages in 3.1 s"},
      {{1, 1, 1, 0.04, {}}, "1 photo, 1 thumbnail page, 1 image page in 0.0 s"},
      {{24, 2, 12, 1.2, {}}, "24 photos (images for 12), 2 thumbnail pages, 24 image pages in 1.2 s"},
      {{24, 2, 0, 0.3, {}}, "24 photos (pages only), 2 thumbnail pages, 24 image pages in 0.3 s"},
      {{239, 20, 239, 0.4, UpdateCounts{239, 0, 0}}, "239 of 239 images up to date, nothing written in 0.4 s"},
      {{239, 20, 239, 1.8, UpdateCounts{236, 9, 2}},
       "236 of 239 images up to date, 9 files written, 2 deleted in 1.8 s"},
      {{239, 20, 239, 1.0, UpdateCounts{238, 1, 0}}, "238 of 239 images up to date, 1 file written in 1.0 s"},
      {{3, 1, 3, 0.2, UpdateCounts{3, 0, 1}}, "3 of 3 images up to date, nothing written, 1 file deleted in 0.2 s"},
      {{1, 1, 1, 0.2, UpdateCounts{0, 3, 0}}, "0 of 1 image up to date, 3 files written in 0.2 s"},
      {{24, 2, 0, 0.1, UpdateCounts{0, 0, 48}}, "24 photos (pages only), nothing written, 48 files deleted in 0.1 s"},
      // Photos that cannot be read, left out of the gallery.
      {{22, 2, 22, 3.0, {}, 2}, "22 photos, 2 left out, 2 thumbnail pages, 22 image pages in 3.0 s"},
      {{22, 2, 11, 3.0, {}, 1}, "22 photos (images for 11), 1 left out, 2 thumbnail pages, 22 image pages in 3.0 s"},
      {{22, 2, 22, 0.5, UpdateCounts{22, 0, 0}, 1},
       "22 of 22 images up to date, 1 photo left out, nothing written in 0.5 s"},
      {{22, 2, 0, 0.5, UpdateCounts{0, 0, 0}, 2}, "22 photos (pages only), 2 left out, nothing written in 0.5 s"},
  };
  for (const Case& c : cases) EXPECT_EQ(RunSummaryText(c.summary), c.text);
}

TEST(DurationText, tenths_under_a_minute_then_minutes_and_hours) {
  const std::map<double, std::string> cases = {
      {0, "0.0 s"},          {0.049, "0.0 s"},      {3.14, "3.1 s"},         {59.94, "59.9 s"},
      {59.96, "1 min 00 s"}, {412.3, "6 min 52 s"}, {3599.4, "59 min 59 s"}, {3599.6, "1 h 00 min"},
      {7500, "2 h 05 min"},  {-1, "0.0 s"},         {std::nan(""), "0.0 s"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(DurationText(seconds), text) << seconds;
}

// A photo dated long ago, so that an update trusts its file times.
void WritePhoto(const std::string& path, int seed) {
  const Image image = test::MakeImage(40 + seed, 30, [seed](int x, int y) {
    return test::Rgb{std::uint8_t(x * 7 + seed * 31), std::uint8_t(y * 5), std::uint8_t(seed * 57)};
  });
  test::WriteJpeg(path, image);
  const timespec times[2] = {{1'600'000'000 + seed, 0}, {1'600'000'000 + seed, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Every visible file of folder with its inode and modification time.
std::map<std::string, std::string> Stamps(const std::string& folder) {
  std::map<std::string, std::string> stamps;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    struct stat st {};
    if (name[0] == '.' || ::lstat(e.path().c_str(), &st) != 0) continue;
    stamps[name] =
        std::to_string(st.st_ino) + "/" + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
  }
  return stamps;
}

struct Gallery {
  TempDir in;
  TempDir out;
  GallerySettings settings;
  test::RecordingDesktop desktop;
  test::RecordingView view;
  GenerationRun run{settings, desktop, view};

  explicit Gallery(int photos) {
    for (int i = 1; i <= photos; ++i) WritePhoto(in / ("p" + std::to_string(i) + ".jpg"), i);
    settings.SetInputPath(in.str());
    settings.SetOutputPath(out.str());
    settings.SetSortingMethodIndex(2);
    settings.SetAutoBrowserStart(false);
    settings.SetRowsCount("2");
    settings.SetColsCount("2");
    run.Jobs = 1;
  }
};

TEST(SummaryOf, reads_the_facts_of_the_finished_run) {
  Gallery g(5);
  g.settings.SetElementsMode(1);
  ASSERT_EQ(g.run.Start(), RunOutcome::Finished);
  const RunSummary s = SummaryOf(g.run);
  EXPECT_EQ(s.Photos, 5);
  EXPECT_EQ(s.ThumbnailPages, 2);
  EXPECT_EQ(s.ImagesFor, 4);
  EXPECT_FALSE(s.Update.has_value());
  EXPECT_GE(s.Seconds, 0.0);
  EXPECT_LT(s.Seconds, 600.0);
}

// A photo that cannot be read, left out, is not among the photos but said.
TEST(SummaryOf, counts_the_photos_left_out) {
  Gallery g(3);
  test::WriteFile(g.in / "p9.jpg", "not a photo");
  g.settings.SetSkipBadPhotos(true);
  ASSERT_EQ(g.run.Start(), RunOutcome::Finished);
  const RunSummary s = SummaryOf(g.run);
  EXPECT_EQ(s.Photos, 3);
  EXPECT_EQ(s.LeftOut, 1);
  EXPECT_THAT(RunSummaryText(s), ::testing::StartsWith("3 photos, 1 left out, 1 thumbnail page, 3 image pages in "));
}

// An update's counts are the files it really wrote and deleted: those whose
// inode or time changed, and those gone.
TEST(SummaryOf, counts_what_an_update_wrote_and_deleted) {
  Gallery g(5);
  g.settings.SetUpdateOnlyChanged(true);
  g.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(g.run.Start(), RunOutcome::Finished);
  const auto first = Stamps(g.out.str());
  ASSERT_TRUE(g.run.LastUpdate());
  EXPECT_EQ(g.run.LastUpdate()->UpToDate, 0);
  EXPECT_EQ(g.run.LastUpdate()->Written, int(first.size()));  // 2 + 5 pages, 3 x 5 images
  EXPECT_EQ(first.size(), 22u);
  EXPECT_EQ(g.run.LastUpdate()->Deleted, 0);

  ASSERT_EQ(g.run.Start(), RunOutcome::Finished);
  EXPECT_EQ(Stamps(g.out.str()), first);
  EXPECT_THAT(RunSummaryText(SummaryOf(g.run)), ::testing::StartsWith("5 of 5 images up to date, nothing written in "));

  // One photo changed, one gone: four photos fill one thumbnail page, so
  // page2.htm goes with the page and the three images of the photo gone.
  WritePhoto(g.in / "p2.jpg", 9);
  fs::remove(g.in.path() / "p5.jpg");
  ASSERT_EQ(g.run.Start(), RunOutcome::Finished);
  const auto after = Stamps(g.out.str());
  int changed = 0;
  int gone = 0;
  for (const auto& [name, stamp] : first) {
    const auto it = after.find(name);
    if (it == after.end())
      ++gone;
    else if (it->second != stamp)
      ++changed;
  }
  EXPECT_EQ(after.size() + gone, first.size());
  EXPECT_EQ(gone, 5);
  EXPECT_GE(changed, 3);
  EXPECT_EQ(g.run.LastUpdate()->UpToDate, 3);
  EXPECT_EQ(g.run.LastUpdate()->Written, changed);
  EXPECT_EQ(g.run.LastUpdate()->Deleted, gone);

  // Neither a dry run of an update nor a run that is not one has counts.
  RunPlan plan;
  ASSERT_EQ(g.run.Plan(plan), RunOutcome::Finished);
  EXPECT_FALSE(g.run.LastUpdate().has_value());
  ASSERT_EQ(g.run.Start(), RunOutcome::Finished);
  g.settings.SetUpdateOnlyChanged(false);
  ASSERT_EQ(g.run.Start(), RunOutcome::Finished);
  EXPECT_FALSE(g.run.LastUpdate().has_value());
}

}  // namespace
}  // namespace fotoloom
