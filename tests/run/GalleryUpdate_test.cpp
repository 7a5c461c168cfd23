#include "run/GalleryUpdate.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "MetadataFixtures.h"
#include "PhotoFixtures.h"
#include "core/ContentHash.h"
#include "core/Error.h"
#include "core/RecordingDesktop.h"
#include "imaging/PhotoMetadata.h"
#include "run/GenerationRun.h"
#include "support/OutputListing.h"
#include "support/RecordingView.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::HiddenNames;
using test::Kept;
using test::ListFiles;
using test::Listing;
using test::Names;
using test::ReadFile;
using test::RecordingDesktop;
using test::RecordingView;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Photos are dated long ago, so that no run reads one within a tick of its
// time; the tests of that case set their own clock.
constexpr std::int64_t kPhotoTime = 1'600'000'000;

void SetModified(const std::string& path, std::int64_t sec, long nsec = 0) {
  const timespec times[2] = {{sec, nsec}, {sec, nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A small photo whose pixels and width follow seed (a resize of each size
// builds its own tap lists), dated kPhotoTime + seed.
void WritePhoto(const std::string& path, int seed) {
  const int width = 36 + seed % 9 * 4;
  const int height = 30;
  const Image image = test::MakeImage(width, height, [seed](int x, int y) {
    return test::Rgb{std::uint8_t(x * 7 + seed * 31), std::uint8_t(y * 5 + seed * 13), std::uint8_t(seed * 57 + x * y)};
  });
  test::JpegOptions options;
  options.quality = 85;
  test::WriteJpeg(path, image, options);
  SetModified(path, kPhotoTime + seed);
}

// An input folder, an output folder and a folder of additional elements,
// with settings that update and one job; the grid holds 4 photos a page.
struct Gallery {
  TempDir in;
  TempDir out;
  TempDir extra;
  GallerySettings settings;
  RecordingDesktop desktop;
  RecordingView view;
  GenerationRun run{settings, desktop, view};

  explicit Gallery(int photos = 0) {
    for (int i = 1; i <= photos; ++i) AddPhoto(i);
    settings.SetInputPath(in.str());
    settings.SetOutputPath(out.str());
    settings.SetSortingMethodIndex(2);  // by name
    settings.SetAutoBrowserStart(false);
    settings.SetRowsCount("2");
    settings.SetColsCount("2");
    settings.SetUpdateOnlyChanged(true);
    run.Jobs = 1;
  }

  static std::string PhotoName(int i) { return "p" + std::to_string(100 + i).substr(1) + ".jpg"; }
  void AddPhoto(int i, int seed = 0) { WritePhoto(in / PhotoName(i), seed ? seed : i); }

  RunOutcome Update() { return run.Start(); }
};

// The files a full run with the gallery's settings leaves in an empty folder.
Listing FullRun(const Gallery& g) {
  TempDir ref;
  GallerySettings s(g.settings);
  s.SetOutputPath(ref.str());
  s.SetUpdateOnlyChanged(false);
  RecordingDesktop desktop;
  RecordingView view;
  GenerationRun run(s, desktop, view);
  run.Jobs = 1;
  EXPECT_EQ(run.Start(), RunOutcome::Finished);
  return ListFiles(ref.str());
}

// The output holds the full run's files with their bytes, the files in
// userFiles with the content given (they are not Fotoloom's), and no other,
// hidden ones aside; of those one only: the state.
void ExpectFiles(const Gallery& g, Listing ref, const std::map<std::string, std::string>& userFiles = {}) {
  Listing out = ListFiles(g.out.str());
  for (const auto& [name, content] : userFiles) {
    EXPECT_EQ(out[name].Content, content) << name;
    out.erase(name);
    ref.erase(name);
  }
  EXPECT_EQ(Names(out), Names(ref));
  for (const auto& [name, seen] : ref)
    if (out.count(name) != 0) {
      EXPECT_TRUE(out[name].Content == seen.Content) << name << " differs from the full run";
    }
  EXPECT_THAT(HiddenNames(g.out.str()), ElementsAre(std::string(kUpdateStateFileName)));
}

void ExpectFullRunResult(const Gallery& g, const std::map<std::string, std::string>& userFiles = {}) {
  ExpectFiles(g, FullRun(g), userFiles);
}

std::set<std::string> Without(std::set<std::string> names, const std::set<std::string>& gone) {
  for (const std::string& n : gone) names.erase(n);
  return names;
}

bool IsImageName(const std::string& name) {
  return name.rfind("n_", 0) == 0 || name.rfind("t_", 0) == 0 || name.rfind("b_", 0) == 0;
}

// The "n_", "t_" and "b_" files a dry run says the update makes again.
std::set<std::string> PlannedImages(const RunPlan& plan) {
  std::set<std::string> names;
  for (const PlannedPhoto& photo : plan.Photos) {
    if (!photo.ImagesWritten) continue;
    const std::string name = fs::path(photo.Path).filename().string();
    if (photo.RedoScaled) names.insert("n_" + name);
    if (photo.RedoThumbnail) names.insert("t_" + name);
    if (photo.RedoCopy) names.insert("b_" + name);
  }
  return names;
}

// The "n_", "t_" and "b_" files written between two listings: new ones, and
// those with another inode or time.
std::set<std::string> ImagesWritten(const Listing& before, const Listing& after) {
  const std::set<std::string> kept = Kept(before, after);
  std::set<std::string> written;
  for (const auto& [name, seen] : after)
    if (IsImageName(name) && kept.count(name) == 0) written.insert(name);
  return written;
}

// The names of before that after no longer has.
std::set<std::string> Gone(const Listing& before, const Listing& after) {
  std::set<std::string> gone;
  for (const auto& [name, seen] : before)
    if (after.count(name) == 0) gone.insert(name);
  return gone;
}

// Makes a dry run of the update and then the update itself, and checks that
// the dry run listed exactly the images the update wrote and the files it
// deleted.
void UpdateAsPlanned(Gallery& g) {
  RunPlan plan;
  ASSERT_EQ(g.run.Plan(plan), RunOutcome::Finished);
  const Listing before = ListFiles(g.out.str());
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const Listing after = ListFiles(g.out.str());
  EXPECT_EQ(PlannedImages(plan), ImagesWritten(before, after));
  EXPECT_EQ(std::set<std::string>(plan.Update.Deleted.begin(), plan.Update.Deleted.end()), Gone(before, after));
}

TEST(GalleryUpdate, nothing_changed_writes_nothing) {
  Gallery g(5);
  g.settings.SetCopyOrgSizedImages(true);
  WriteFile(g.extra / "logo.gif", "logo");
  fs::create_directories(g.extra.path() / "nav");
  WriteFile(g.extra / "nav/next.gif", "next");
  g.settings.SetAdditionalPath(g.extra.str());
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_THAT(g.view.UpToDate, ElementsAre("0 of 5"));
  ExpectFullRunResult(g);
  const Listing before = ListFiles(g.out.str());

  g.run.Jobs = 2;
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_THAT(g.view.UpToDate, ElementsAre("0 of 5", "5 of 5"));
  EXPECT_EQ(Kept(before, ListFiles(g.out.str())), Names(before));
  ExpectFullRunResult(g);
}

TEST(GalleryUpdate, photo_edits_redo_the_files_of_those_photos_only) {
  Gallery g(5);
  g.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const auto step = [&g](const std::string& what, const std::function<void()>& edit,
                         const std::set<std::string>& redone) {
    SCOPED_TRACE(what);
    const Listing before = ListFiles(g.out.str());
    edit();
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    ExpectFullRunResult(g);
    // The images of the other photos stay as they were.
    std::set<std::string> images;
    for (const std::string& name : Names(before))
      if (name.rfind("image", 0) != 0 && name.rfind("page", 0) != 0) images.insert(name);
    const std::set<std::string> kept = Kept(before, ListFiles(g.out.str()));
    for (const std::string& name : Without(images, redone)) EXPECT_EQ(kept.count(name), 1u) << name << " rewritten";
    for (const std::string& name : redone) EXPECT_EQ(kept.count(name), 0u) << name << " kept";
  };
  step("added", [&] { g.AddPhoto(6); }, {});
  step("deleted", [&] { fs::remove(g.in / "p02.jpg"); }, {"n_p02.jpg", "t_p02.jpg", "b_p02.jpg"});
  step("replaced by another picture", [&] { g.AddPhoto(3, 42); }, {"n_p03.jpg", "t_p03.jpg", "b_p03.jpg"});
  step("touched", [&] { SetModified(g.in / "p04.jpg", kPhotoTime + 77); }, {"n_p04.jpg", "t_p04.jpg", "b_p04.jpg"});
  step("renamed", [&] { fs::rename(g.in / "p05.jpg", g.in / "p09.jpg"); }, {"n_p05.jpg", "t_p05.jpg", "b_p05.jpg"});
  // Another file moved in under an old name, with the old size and time: its inode tells.
  step("moved in with the same facts",
       [&] {
         const std::string other = g.in / "other.tmp";
         fs::copy_file(g.in / "p01.jpg", other);
         ::truncate(other.c_str(), static_cast<off_t>(fs::file_size(g.in / "p01.jpg")));
         SetModified(other, kPhotoTime + 1);
         fs::rename(other, g.in / "p01.jpg");
       },
       {"n_p01.jpg", "t_p01.jpg", "b_p01.jpg"});
}

TEST(GalleryUpdate, a_setting_redoes_only_the_files_it_reaches) {
  Gallery g(3);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const auto step = [&g](const std::string& what, const std::function<void()>& edit, const std::string& redone) {
    SCOPED_TRACE(what);
    const Listing before = ListFiles(g.out.str());
    edit();
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    ExpectFullRunResult(g);
    const std::set<std::string> kept = Kept(before, ListFiles(g.out.str()));
    for (const std::string& name : Names(before)) {
      const bool pageOrOther = name.rfind("n_", 0) != 0 && name.rfind("t_", 0) != 0;
      if (pageOrOther) {
        EXPECT_EQ(kept.count(name), 1u) << name << " rewritten";
      } else {
        EXPECT_EQ(kept.count(name), name.rfind(redone, 0) == 0 ? 0u : 1u) << name;
      }
    }
  };
  step(
      "quality of the scaled images", [&] { g.settings.SetQualityImages(60); }, "n_");
  step(
      "thumbnail size", [&] { g.settings.SetThumbSizeChoice(0); }, "t_");
  // The filter index reaches no byte while the filter is off.
  step(
      "filter index, filter off", [&] { g.settings.SetFilterIndex(1); }, "none");
  step(
      "filter on", [&] { g.settings.SetUseFilter(true); }, "");
}

TEST(GalleryUpdate, outputs_deleted_or_overwritten_by_the_user_are_made_again) {
  Gallery g(4);
  g.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  fs::remove(g.out / "n_p01.jpg");
  WriteFile(g.out / "t_p02.jpg", "not a thumbnail");
  WriteFile(g.out / "page1.htm", "edited");
  fs::remove(g.out / "image3.htm");
  fs::remove(g.out / "b_p03.jpg");
  // A copy overwritten by the user is the user's: never replaced, even when its photo changes.
  WriteFile(g.out / "b_p04.jpg", "mine");
  g.AddPhoto(4, 50);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  ExpectFullRunResult(g, {{"b_p04.jpg", "mine"}});
}

TEST(GalleryUpdate, files_fotoloom_did_not_write_are_kept) {
  Gallery g(6);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const std::map<std::string, std::string> mine = {
      {"notes.txt", "notes"}, {"n_mine.jpg", "mine"}, {"page9.htm", "my page"}, {"mine/x.txt", "x"}};
  fs::create_directories(g.out.path() / "mine");
  for (const auto& [name, content] : mine) WriteFile(g.out / name, content);
  // Files Fotoloom wrote and the user changed since are the user's now.
  WriteFile(g.out / "t_p06.jpg", "my thumbnail");
  WriteFile(g.out / "image6.htm", "my page");
  const Listing before = ListFiles(g.out.str());
  // Fewer photos: a thumbnail page and two image pages fewer.
  fs::remove(g.in / "p05.jpg");
  fs::remove(g.in / "p06.jpg");
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_FALSE(fs::exists(g.out / "page2.htm"));
  EXPECT_FALSE(fs::exists(g.out / "image5.htm"));
  std::map<std::string, std::string> expected = mine;
  expected["mine"] = "<folder>";
  expected["t_p06.jpg"] = "my thumbnail";
  expected["image6.htm"] = "my page";
  ExpectFullRunResult(g, expected);
  const std::set<std::string> kept = Kept(before, ListFiles(g.out.str()));
  for (const auto& [name, content] : expected) EXPECT_EQ(kept.count(name), 1u) << name;
}

TEST(GalleryUpdate, a_changed_original_replaces_its_copy) {
  Gallery g(3);
  g.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  g.AddPhoto(2, 9);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_EQ(ReadFile(g.out / "b_p02.jpg"), ReadFile(g.in / "p02.jpg"));
  ExpectFullRunResult(g);
  // Copies off: the copies Fotoloom made go, as a full run makes none.
  WriteFile(g.out / "b_user.jpg", "user");
  g.settings.SetCopyOrgSizedImages(false);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  ExpectFullRunResult(g, {{"b_user.jpg", "user"}});
}

TEST(GalleryUpdate, a_damaged_foreign_or_other_version_state_means_a_full_run) {
  Gallery g(3);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const std::string state = g.out / std::string(kUpdateStateFileName);
  const std::string good = ReadFile(state);

  // A line cut short at the end is an append a crash interrupted: the rest counts.
  WriteFile(state, good + "F n_p01.jpg 12");
  EXPECT_TRUE(GalleryUpdate(g.out.str(), false).HadState());

  Gallery other(1);
  ASSERT_EQ(other.Update(), RunOutcome::Finished);
  const std::string foreign = ReadFile(other.out / std::string(kUpdateStateFileName));
  std::string otherVersion = good;
  otherVersion.replace(otherVersion.find(" 1 folder"), 9, " 9 folder");
  for (const std::string& bad :
       {good.substr(0, good.size() / 2) + "\nX\n", std::string("garbage"), foreign, otherVersion, std::string()}) {
    WriteFile(state, bad);
    EXPECT_FALSE(GalleryUpdate(g.out.str(), false).HadState());
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    ExpectFullRunResult(g);
    EXPECT_TRUE(GalleryUpdate(g.out.str(), false).HadState());
  }
  // The new state knows the files again: a deleted photo's files go.
  fs::remove(g.in / "p03.jpg");
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  ExpectFullRunResult(g);
}

TEST(GalleryUpdate, element_modes_keep_exactly_what_their_full_run_leaves) {
  Gallery g(6);
  g.settings.SetCopyOrgSizedImages(true);
  WriteFile(g.extra / "logo.gif", "logo");
  g.settings.SetAdditionalPath(g.extra.str());
  for (const int mode : {0, 1, 2, 1, 0, 2, 0}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    g.settings.SetElementsMode(mode);
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    ExpectFullRunResult(g);
  }
  // Mode 1 after a photo joins the first page: the one it pushes off loses its images.
  g.settings.SetElementsMode(1);
  g.AddPhoto(0);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_FALSE(fs::exists(g.out / "n_p04.jpg"));
  ExpectFullRunResult(g);
}

TEST(GalleryUpdate, additional_elements_and_page_names_follow_the_settings) {
  Gallery g(2);
  WriteFile(g.extra / "logo.gif", "logo");
  fs::create_directories(g.extra.path() / "nav/deep");
  WriteFile(g.extra / "nav/deep/a.gif", "a");
  g.settings.SetAdditionalPath(g.extra.str());
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const Listing before = ListFiles(g.out.str());
  WriteFile(g.extra / "logo.gif", "new logo");
  fs::remove_all(g.extra.path() / "nav");
  g.settings.SetThumbPagesName("index");
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_FALSE(fs::exists(g.out / "nav"));
  EXPECT_FALSE(fs::exists(g.out / "page1.htm"));
  EXPECT_EQ(ReadFile(g.out / "logo.gif"), "new logo");
  ExpectFullRunResult(g);
  EXPECT_EQ(Kept(before, ListFiles(g.out.str())).count("n_p01.jpg"), 1u);
}

// A full run writes the images over an additional element of their name,
// so an update leaves such a name to the image stages: it keeps the image
// (nothing is written twice) and its dry run tells what it then writes. A
// "b_" copy comes before the additional elements, which overwrite it.
TEST(GalleryUpdate, an_additional_element_named_like_an_image_is_left_to_the_image_stages) {
  Gallery g(2);
  g.settings.SetCopyOrgSizedImages(true);
  WriteFile(g.extra / "n_p01.jpg", "not a scaled image");
  WriteFile(g.extra / "t_p02.jpg", "not a thumbnail");
  WriteFile(g.extra / "b_p01.jpg", "not a copy");
  g.settings.SetAdditionalPath(g.extra.str());
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE("update " + std::to_string(round));
    const Listing before = ListFiles(g.out.str());
    UpdateAsPlanned(g);
    ExpectFullRunResult(g);
    EXPECT_EQ(ReadFile(g.out / "b_p01.jpg"), "not a copy");
    if (round == 1) continue;
    const std::set<std::string> kept = Kept(before, ListFiles(g.out.str()));
    EXPECT_EQ(kept.count("n_p01.jpg"), 1u);
    EXPECT_EQ(kept.count("t_p02.jpg"), 1u);
  }
}

// A photo read within a tick of its time may change again in that tick
// without its facts showing it; an output overwritten in place, with its
// size, in the tick of its writing likewise. Both are found by content.
// Captions, dates and copies without location: a sidecar added, edited or
// removed rewrites pages only; a photo whose date changed has its images
// made again; the option reaches the copies and nothing else.
TEST(GalleryUpdate, metadata_edits_rewrite_pages_and_redo_images_only_of_changed_photos) {
  Gallery g(3);
  test::WriteTags({{g.in / "p01.jpg", {"-DateTimeOriginal=2020:01:01 10:00:00", "-GPSLatitude=1", "-GPSLatitudeRef=N"}},
                   {g.in / "p02.jpg", {"-DateTimeOriginal=2020:01:01 11:00:00"}},
                   {g.in / "p03.jpg", {"-DateTimeOriginal=2020:01:01 12:00:00", "-XMP-dc:Description=Three"}}});
  for (int i = 1; i <= 3; ++i) SetModified(g.in / Gallery::PhotoName(i), kPhotoTime + i);
  g.settings.SetSortingMethodIndex(0);
  g.settings.SetUseExif(true);
  g.settings.SetSubtitleIndex(3);
  g.settings.SetCopyOrgSizedImages(true);
  g.settings.SetHTMLImages({"@exifcomment@|@datetaken@"});
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const auto step = [&g](const std::string& what, const std::function<void()>& edit,
                         const std::set<std::string>& redone) {
    SCOPED_TRACE(what);
    const Listing before = ListFiles(g.out.str());
    edit();
    UpdateAsPlanned(g);
    ExpectFullRunResult(g);
    EXPECT_EQ(ImagesWritten(before, ListFiles(g.out.str())), redone);
  };
  const std::string sidecar = g.in / "p03.jpg.xmp";
  step("sidecar added", [&] { WriteFile(sidecar, test::SidecarXmp({{"x-default", "Sidecar"}})); }, {});
  EXPECT_EQ(ReadFile(g.out / "image3.htm"), "Sidecar|2020-01-01 12:00\r\n");
  step("sidecar edited", [&] { WriteFile(sidecar, test::SidecarXmp({{"x-default", "Edited"}})); }, {});
  EXPECT_EQ(ReadFile(g.out / "image3.htm"), "Edited|2020-01-01 12:00\r\n");
  step("sidecar removed", [&] { fs::remove(sidecar); }, {});
  EXPECT_EQ(ReadFile(g.out / "image3.htm"), "Three|2020-01-01 12:00\r\n");
  // p02 moves to the end: its page changes, and its images, being of a changed photo, are made again.
  step("date changed",
       [&] {
         test::WriteTags({{g.in / "p02.jpg", {"-DateTimeOriginal=2021:01:01 00:00:00"}}});
         SetModified(g.in / "p02.jpg", kPhotoTime + 2);
       },
       {"n_p02.jpg", "t_p02.jpg", "b_p02.jpg"});
  EXPECT_EQ(ReadFile(g.out / "image3.htm"), "|2021-01-01 00:00\r\n");
  step("location removed from the copies", [&] { g.settings.SetStripLocation(true); },
       {"b_p01.jpg", "b_p02.jpg", "b_p03.jpg"});
  EXPECT_FALSE(ReadPhotoMetadata(g.out / "b_p01.jpg").HasLocation);
  step("nothing changed", [] {}, {});
  step("location kept again", [&] { g.settings.SetStripLocation(false); }, {"b_p01.jpg", "b_p02.jpg", "b_p03.jpg"});
  EXPECT_EQ(ReadFile(g.out / "b_p01.jpg"), ReadFile(g.in / "p01.jpg"));
}

TEST(GalleryUpdate, changes_within_one_tick_of_the_clock_are_found_by_content) {
  Gallery g(3);
  // p02 ends in zero bytes the decoder ignores, room for another picture of the same size.
  const std::string path = g.in / "p02.jpg";
  const std::string a = ReadFile(path) + std::string(8192, '\0');
  WriteFile(path, a);
  SetModified(path, kPhotoTime + 2);
  g.run.UpdateNow = [] { return FileTime{kPhotoTime + 2, 0}; };  // p01, p02, p03 are racy
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  // p02 becomes another picture, keeping its size, time and inode.
  WritePhoto(g.in / "scratch.jpg", 77);
  std::string b = ReadFile(g.in / "scratch.jpg");
  fs::remove(g.in / "scratch.jpg");
  ASSERT_LT(b.size(), a.size());
  b.resize(a.size(), '\0');
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
  SetModified(path, kPhotoTime + 2);
  // n_p01 changes in place with its size and time, just after it was written.
  const std::string n1 = g.out / "n_p01.jpg";
  struct stat st {};
  ::stat(n1.c_str(), &st);
  std::string scaled = ReadFile(n1);
  scaled[scaled.size() / 2] ^= 0x55;
  f = std::fopen(n1.c_str(), "r+b");
  std::fwrite(scaled.data(), 1, scaled.size(), f);
  std::fclose(f);
  SetModified(n1, st.st_mtim.tv_sec, st.st_mtim.tv_nsec);

  g.run.UpdateNow = {};
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  ExpectFullRunResult(g);
  // p03's content was fingerprinted when racy and still matches: its images stay, now settled.
  const Listing before = ListFiles(g.out.str());
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_EQ(Kept(before, ListFiles(g.out.str())), Names(before));
}

// After a cancel at any pump the next update ends at the full run's result.
TEST(GalleryUpdate, an_update_cancelled_at_any_pump_is_finished_by_the_next) {
  const auto prepare = [](Gallery& g) {
    g.settings.SetCopyOrgSizedImages(true);
    // The filtered stretch pumps while it works: a cancel there cuts it short.
    g.settings.SetUseFilter(true);
    g.settings.SetMaxWidthImage("30");
    WriteFile(g.extra / "logo.gif", "logo");
    g.settings.SetAdditionalPath(g.extra.str());
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    fs::remove(g.in / "p01.jpg");
    g.AddPhoto(5);
    g.AddPhoto(3, 30);
    g.settings.SetQualityThumbnails(70);
    WriteFile(g.extra / "logo.gif", "logo 2");
  };
  int pumps = 0;
  Listing full;
  {
    Gallery g(3);
    prepare(g);
    const int before = g.desktop.Pumps;
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    pumps = g.desktop.Pumps - before;
    full = FullRun(g);
  }
  ASSERT_GT(pumps, 10);
  for (int k = 1; k <= pumps; ++k) {
    SCOPED_TRACE("cancelled at pump " + std::to_string(k));
    Gallery g(3);
    prepare(g);
    const int start = g.desktop.Pumps;
    g.desktop.OnPump = [&g, start, k](int pump) {
      if (pump - start == k) g.run.Cancel();
    };
    g.Update();
    g.desktop.OnPump = nullptr;
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    ExpectFiles(g, full);
    if (::testing::Test::HasFailure()) break;
  }
}

// A state that cannot be written whole leaves the last one as it was: a
// later update still knows the files of a photo deleted meanwhile. (Written
// in place instead, the state would be cut at the limit and be ignored.)
TEST(GalleryUpdate, a_state_write_that_fails_leaves_the_last_state_whole) {
  Gallery g(12);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const std::string state = g.out / std::string(kUpdateStateFileName);
  const std::string before = ReadFile(state);
  std::uintmax_t largest = 0;
  for (const auto& e : fs::directory_iterator(g.out.path()))
    if (e.path() != state) largest = std::max(largest, e.file_size());
  ASSERT_LT(largest + 512, before.size());
  fs::remove(g.in / "p12.jpg");
  {
    // No file of this process may grow past the limit: every page fits, the state does not.
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = largest + 256;
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    g.desktop.OnPump = [&g](int) { g.run.Cancel(); };
    const RunOutcome outcome = g.Update();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    g.desktop.OnPump = nullptr;
    EXPECT_EQ(outcome, RunOutcome::Cancelled);
  }
  EXPECT_EQ(ReadFile(state), before);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_FALSE(fs::exists(g.out / "n_p12.jpg"));
  ExpectFullRunResult(g);
}

// A disk that fills up while an update writes: the update fails, and the
// next one ends at the full run's result.
TEST(GalleryUpdate, a_full_disk_is_finished_by_the_next_update) {
  test::SmallDisk disk(1024);
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  Gallery g(4);
  g.settings.SetOutputPath(disk.str());
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  // Fill the disk to the last byte.
  {
    std::FILE* filler = std::fopen((disk / "filler").c_str(), "wb");
    const std::string block(4096, 'x');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
    }
    std::fclose(filler);
    std::FILE* small = std::fopen((disk / "filler2").c_str(), "wb");
    while (std::fputc('x', small) != EOF && std::fflush(small) == 0) {
    }
    std::fclose(small);
  }
  fs::remove(g.in / "p04.jpg");
  g.settings.SetTitle("A title that changes every page");
  EXPECT_THROW(g.Update(), Error);
  fs::remove(disk / "filler");
  fs::remove(disk / "filler2");
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_FALSE(fs::exists(disk / "n_p04.jpg"));
  Listing out = ListFiles(disk.str());
  EXPECT_EQ(Names(out), Names(FullRun(g)));
}

// Edits, settings and cancels at random, each update checked against a full
// run and against the dry run made just before it. FOTOLOOM_UPDATE_STEPS
// sets the number of steps (default 300).
TEST(GalleryUpdate, random_edits_always_end_at_the_full_run_result) {
  const char* env = std::getenv("FOTOLOOM_UPDATE_STEPS");
  const int steps = env ? std::atoi(env) : 300;
  std::mt19937 rng(20261208);
  const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  Gallery g(4);
  WriteFile(g.extra / "logo.gif", "logo");
  g.settings.SetAdditionalPath(g.extra.str());
  int seed = 100;
  for (int step = 0; step < steps; ++step) {
    const int photo = 1 + pick(6);
    const std::string path = g.in / Gallery::PhotoName(photo);
    const bool present = fs::exists(path);
    std::string what;
    switch (pick(16)) {
      case 0:
        what = "add or replace " + path;
        g.AddPhoto(photo, ++seed);
        break;
      case 1:
        what = "delete " + path;
        fs::remove(path);
        break;
      case 2:
        what = "touch " + path;
        if (present) SetModified(path, kPhotoTime + ++seed);
        break;
      case 3:
        what = "rename " + path;
        if (present) fs::rename(path, g.in / Gallery::PhotoName(1 + pick(6)));
        break;
      case 4:
        what = "quality";
        g.settings.SetQualityImages(50 + pick(3) * 10);
        break;
      case 5:
        what = "thumbnail size";
        g.settings.SetThumbSizeChoice(pick(3));
        break;
      case 6:
        what = "copies";
        g.settings.SetCopyOrgSizedImages(pick(2) == 1);
        break;
      case 7:
        what = "mode";
        g.settings.SetElementsMode(pick(3));
        break;
      case 8:
        what = "grid";
        g.settings.SetColsCount(std::to_string(1 + pick(3)));
        break;
      case 9:
        what = "user deletes an output";
        {
          const Listing files = ListFiles(g.out.str());
          if (!files.empty()) {
            auto it = files.begin();
            std::advance(it, pick(static_cast<int>(files.size())));
            if (it->second.Content != "<folder>") fs::remove(g.out / it->first);
          }
        }
        break;
      case 10:
        what = "title";
        g.settings.SetTitle("Title " + std::to_string(pick(3)));
        break;
      case 11:
        what = "jobs";
        g.run.Jobs = 1 + pick(2);
        break;
      case 12:
        what = "additional";
        WriteFile(g.extra / "logo.gif", "logo " + std::to_string(pick(2)));
        break;
      case 13:
        what = "filter";
        g.settings.SetUseFilter(pick(2) == 1);
        break;
      case 14:
        what = "grey";
        g.settings.Setisgrayscale(pick(2) == 1);
        break;
      default: {
        what = "cancel";
        const int start = g.desktop.Pumps;
        const int at = 1 + pick(30);
        g.desktop.OnPump = [&g, start, at](int pump) {
          if (pump - start == at) g.run.Cancel();
        };
        try {
          g.Update();
        } catch (const Error&) {  // no photo left: nothing to run over
        }
        g.desktop.OnPump = nullptr;
      }
    }
    SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
    if (fs::is_empty(g.in.path())) g.AddPhoto(1, ++seed);
    UpdateAsPlanned(g);
    ExpectFullRunResult(g);
    if (::testing::Test::HasFailure()) break;
  }
}

// The state's line that records the file at path as Fotoloom's, with its
// facts and content as they are now, under nameField as the line spells it:
// what a forger would write.
std::string ForgedLine(const std::string& nameField, const std::string& path, bool fromPhoto = false) {
  OwnedEntry entry;
  entry.Facts = *RegularFileFacts(path);
  entry.Hash = *FileContentHash(path);
  if (fromPhoto) {
    entry.Photo.Path = "/photos/x.jpg";
    entry.Recipe = "copy";
  }
  std::string line = UpdateEntryLine("@", entry);
  return line.replace(line.find('@'), 1, nameField);
}

// A state that names a file outside the output folder, the state itself, a
// file in a folder Fotoloom did not make, or a photo's copy under a name no
// run writes: the file stays, whatever facts and content the line gives.
TEST(GalleryUpdate, a_forged_state_deletes_nothing_outside_the_rules) {
  TempDir top;
  fs::create_directories(top.path() / "web/sub");
  const struct {
    const char* what;
    std::string victim;  // relative to top
    std::string name;    // as the forged line names it
    bool fromPhoto;
    bool untrusted;  // the whole state is refused, and the run says so
  } cases[] = {
      {"parent", "victim.txt", "../victim.txt", false, true},
      {"parent, escaped", "victim.jpg", "..%2Fvictim.jpg", false, true},
      {"absolute", "victim.txt", top / "victim.txt", false, true},
      {"the state", "web/.fotoloom-update-state", ".fotoloom-update-state", false, true},
      {"a user's subfolder", "web/sub/victim.jpg", "sub/victim.jpg", false, false},
      {"not a name of its kind", "web/victim.jpg", "victim.jpg", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Gallery g(2);
    g.settings.SetOutputPath(top / "web");
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    const std::string victim = top / c.victim;
    if (!fs::exists(victim)) WriteFile(victim, "the user's own");
    SetModified(victim, kPhotoTime);  // an hour ago and more: no content check today
    const std::string before = ReadFile(victim);
    const std::string line = ForgedLine(c.name, victim, c.fromPhoto);
    WriteFile(top / "web/.fotoloom-update-state", ReadFile(top / "web/.fotoloom-update-state") + line);
    g.view.Warnings.clear();
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    EXPECT_TRUE(fs::exists(victim));
    if (c.victim != "web/.fotoloom-update-state") {
      EXPECT_EQ(ReadFile(victim), before);
    }
    if (c.untrusted) {
      EXPECT_THAT(g.view.Warnings,
                  ElementsAre(::testing::HasSubstr("The update state names a file it cannot have written")));
    } else {
      EXPECT_THAT(g.view.Warnings, IsEmpty());
    }
    fs::remove(top / "victim.txt");
    fs::remove(top / "victim.jpg");
    fs::remove_all(top / "web");
    fs::create_directories(top.path() / "web/sub");
  }
}

// A file is deleted only while its content is the one written, however long
// ago: facts alone (size, time, inode) may be those of another content.
TEST(GalleryUpdate, deletes_a_file_only_while_its_content_is_the_one_written) {
  Gallery g(5);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  const std::string path = g.out / "n_p05.jpg";
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  // Same size, inode and time, other bytes.
  std::string bytes = ReadFile(path);
  bytes[bytes.size() / 2] ^= 0x55;
  {
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  SetModified(path, st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  fs::remove(g.in / "p05.jpg");
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_FALSE(fs::exists(g.out / "t_p05.jpg"));  // unchanged, deleted as before
}

TEST(GalleryUpdate, says_in_one_line_why_it_could_not_use_its_state) {
  Gallery g(2);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_THAT(g.view.Warnings, IsEmpty());  // a first update has no state to use
  const std::string state = g.out / std::string(kUpdateStateFileName);
  WriteFile(state, ReadFile(state) + "F page1.htm 1 2\n");
  WriteFile(g.out / "stray.htm", "mine");
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_THAT(g.view.Warnings, ElementsAre("The update state was damaged: a full run"));
  EXPECT_EQ(ReadFile(g.out / "stray.htm"), "mine");
  // The new state is whole again.
  g.view.Warnings.clear();
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_THAT(g.view.Warnings, IsEmpty());
  EXPECT_THAT(g.view.UpToDate.back(), "2 of 2");
}

// A "b_" copy nothing proves Fotoloom made is kept, and when it differs from
// its photo the user is told why it did not follow.
TEST(GalleryUpdate, names_a_copy_of_an_original_it_keeps) {
  Gallery g(2);
  g.settings.SetCopyOrgSizedImages(true);
  g.settings.SetUpdateOnlyChanged(false);
  ASSERT_EQ(g.Update(), RunOutcome::Finished);  // a full run: its copies are not recorded
  g.settings.SetUpdateOnlyChanged(true);
  g.AddPhoto(1, 40);  // p01 changes
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_THAT(g.view.Warnings,
              ElementsAre("b_p01.jpg is kept: it differs from p01.jpg and was not written by this update; delete it "
                          "to have it copied again"));
  EXPECT_NE(ReadFile(g.out / "b_p01.jpg"), ReadFile(g.in / "p01.jpg"));
  fs::remove(g.out / "b_p01.jpg");
  g.view.Warnings.clear();
  ASSERT_EQ(g.Update(), RunOutcome::Finished);
  EXPECT_THAT(g.view.Warnings, IsEmpty());
  EXPECT_EQ(ReadFile(g.out / "b_p01.jpg"), ReadFile(g.in / "p01.jpg"));
}

TEST(GalleryUpdate, other_formats_their_converted_originals_and_the_option_follow_the_full_run) {
  Gallery g(2);
  const Image photo = test::FlatImage(48, 32, {200, 100, 50});
  test::WritePng(g.in / "shot.png", 48, 32,
                 [](int x, int) {
                   return test::Sample4{200, 100, 50, std::uint16_t(x < 24 ? 255 : 0)};  // half of it transparent
                 },
                 {.kind = test::PngKind::Rgba});
  test::WriteHeif(g.in / "IMG_1.HEIC", 48, 32, test::FromImage(photo));
  g.settings.SetCopyOrgSizedImages(true);
  const auto step = [&g](const std::string& what, const std::function<void()>& edit) {
    SCOPED_TRACE(what);
    edit();
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    ExpectFullRunResult(g);
  };
  step("option off: JPEG photos only", [] {});
  EXPECT_FALSE(std::filesystem::exists(g.out / "n_shot.png.jpg"));
  step("option on", [&] { g.settings.SetOtherFormats(true); });
  for (const char* name : {"n_shot.png.jpg", "t_IMG_1.HEIC.jpg", "b_IMG_1.HEIC.jpg", "b_shot.png.jpg"})
    EXPECT_TRUE(std::filesystem::exists(g.out / name)) << name;
  step("quality of the scaled images (and of the full-size originals)", [&] { g.settings.SetQualityImages(70); });
  step("background (the transparent half)", [&] { g.settings.SetBackgroundColor(kClBlack); });
  step("a photo changed", [&] {
    test::WriteHeif(g.in / "IMG_1.HEIC", 40, 40, [](int, int) { return test::Sample4{90, 160, 30, 255}; });
  });
  step("copies off", [&] { g.settings.SetCopyOrgSizedImages(false); });
  step("option off again", [&] { g.settings.SetOtherFormats(false); });
  EXPECT_FALSE(std::filesystem::exists(g.out / "n_shot.png.jpg"));
}

// The sharp thumbnails, the WebP files and the ZIP of all originals: each
// step ends at the full run's files, what a step does not reach is kept,
// and the dry run says whether the ZIP is made again.
TEST(GalleryUpdate, sharp_thumbnails_webp_files_and_the_zip_follow_the_full_run) {
  Gallery g(4);
  g.settings.SetThumbnails2x(true);
  g.settings.SetWebP(true);
  g.settings.SetZip(true);
  const auto step = [&g](const std::string& what, const std::function<void()>& edit, bool zipAgain,
                         const std::set<std::string>& redone) {
    SCOPED_TRACE(what);
    edit();
    const Listing before = ListFiles(g.out.str());
    RunPlan plan;
    ASSERT_EQ(g.run.Plan(plan), RunOutcome::Finished);
    EXPECT_EQ(plan.WritesZip && plan.Update.ZipWritten, zipAgain);
    ASSERT_EQ(g.Update(), RunOutcome::Finished);
    ExpectFullRunResult(g);
    const Listing after = ListFiles(g.out.str());
    const std::set<std::string> kept = Kept(before, after);
    for (const auto& [name, seen] : before) {
      if (after.count(name) == 0 || name.rfind("page", 0) == 0 || name.rfind("image", 0) == 0) continue;
      const bool again = name == "photos.zip" ? zipAgain : redone.count(name) != 0;
      EXPECT_EQ(kept.count(name), again ? 0u : 1u) << name << (again ? " kept" : " rewritten");
    }
  };
  step("first run", [] {}, true, {});
  for (const char* name : {"t2_p01.jpg", "t2_p01.jpg.webp", "n_p01.jpg.webp", "t_p01.jpg.webp", "photos.zip"})
    EXPECT_TRUE(fs::exists(g.out / name)) << name;
  step("nothing changed", [] {}, false, {});
  step("a photo touched", [&] { SetModified(g.in / "p02.jpg", kPhotoTime + 99); }, true,
       {"n_p02.jpg", "n_p02.jpg.webp", "t_p02.jpg", "t_p02.jpg.webp", "t2_p02.jpg", "t2_p02.jpg.webp"});
  // One file of a thumbnail's group gone makes the group again; the ZIP stays.
  step("a WebP file deleted", [&] { fs::remove(g.out / "t2_p03.jpg.webp"); }, false,
       {"t_p03.jpg", "t_p03.jpg.webp", "t2_p03.jpg"});
  step("the ZIP overwritten", [&] { WriteFile(g.out / "photos.zip", "mine"); }, true, {});
  step("a photo added", [&] { g.AddPhoto(5); }, true, {});
  step("without location", [&] { g.settings.SetStripLocation(true); }, true, {});
  step("WebP off", [&] { g.settings.SetWebP(false); }, false,
       {"n_p01.jpg", "n_p02.jpg", "n_p03.jpg", "n_p04.jpg", "n_p05.jpg", "t_p01.jpg", "t_p02.jpg", "t_p03.jpg",
        "t_p04.jpg", "t_p05.jpg", "t2_p01.jpg", "t2_p02.jpg", "t2_p03.jpg", "t2_p04.jpg", "t2_p05.jpg"});
  EXPECT_FALSE(fs::exists(g.out / "n_p01.jpg.webp"));
  step("sharp thumbnails and the ZIP off",
       [&] {
         g.settings.SetThumbnails2x(false);
         g.settings.SetZip(false);
       },
       false, {"t_p01.jpg", "t_p02.jpg", "t_p03.jpg", "t_p04.jpg", "t_p05.jpg"});
  EXPECT_FALSE(fs::exists(g.out / "t2_p01.jpg"));
  EXPECT_FALSE(fs::exists(g.out / "photos.zip"));
}

TEST(GalleryUpdate, photos_whose_images_would_share_a_name_are_refused_before_anything_is_written) {
  Gallery g(1);
  g.settings.SetOtherFormats(true);
  test::WritePng(g.in / "a.png", 8, 8, test::FromImage(test::FlatImage(8, 8, {1, 2, 3})));
  WritePhoto(g.in / "a.png.jpg", 5);
  try {
    g.Update();
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "The photos \"a.png\" and \"a.png.jpg\" would both give the images named \"n_a.png.jpg\"; rename one "
              "of them");
  }
  EXPECT_TRUE(ListFiles(g.out.str()).empty());
}

}  // namespace
}  // namespace fotoloom
