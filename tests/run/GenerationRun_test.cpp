#include "run/GenerationRun.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "HostileJpegs.h"
#include "JpegFixtures.h"
#include "MetadataFixtures.h"
#include "PhotoFixtures.h"
#include "WholeFiles.h"
#include "core/Error.h"
#include "core/FolderLock.h"
#include "core/RecordingDesktop.h"
#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "imaging/PhotoMetadata.h"
#include "pages/ZipMacros.h"
#include "support/Photos.h"
#include "support/RecordingView.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RecordingDesktop;
using test::RecordingView;
using test::TempDir;
using test::WriteFile;
using test::WritePhotos;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// The names in folder that begin with prefix, sorted.
std::vector<std::string> NamesStartingWith(const std::string& folder, const std::string& prefix) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string n = e.path().filename().string();
    if (n.rfind(prefix, 0) == 0) names.insert(n);
  }
  return {names.begin(), names.end()};
}

std::size_t CountStartingWith(const std::string& folder, const std::string& prefix) {
  return NamesStartingWith(folder, prefix).size();
}

// A run over an input and an output folder with names in order and one job.
struct Fixture {
  TempDir in;
  TempDir out;
  GallerySettings settings;
  RecordingDesktop desktop;
  RecordingView view;
  GenerationRun run{settings, desktop, view};

  explicit Fixture(int photos) {
    WritePhotos(in.str(), photos);
    settings.SetInputPath(in.str());
    settings.SetOutputPath(out.str());
    settings.SetSortingMethodIndex(2);  // name ascending
    settings.SetAutoBrowserStart(false);
    run.Jobs = 1;
  }
};

TEST(GenerationRun, creates_everything_for_every_image_in_mode_0) {
  Fixture f(5);
  f.settings.SetRowsCount("2");
  f.settings.SetColsCount("2");
  f.settings.SetCopyOrgSizedImages(true);
  f.settings.SetAutoBrowserStart(true);
  f.run.Jobs = 3;

  EXPECT_EQ(f.run.Start(), RunOutcome::Finished);

  const std::string out = f.out.str();
  EXPECT_THAT(NamesStartingWith(out, "page"), ElementsAre("page1.htm", "page2.htm"));
  EXPECT_EQ(CountStartingWith(out, "image"), 5u);
  EXPECT_THAT(NamesStartingWith(out, "n_"),
              ElementsAre("n_img01.jpg", "n_img02.jpg", "n_img03.jpg", "n_img04.jpg", "n_img05.jpg"));
  EXPECT_EQ(CountStartingWith(out, "t_"), 5u);
  EXPECT_EQ(CountStartingWith(out, "b_"), 5u);
  EXPECT_EQ(ReadFile(out + "/b_img03.jpg"), ReadFile(f.in / "img03.jpg"));

  EXPECT_EQ(f.view.InputLabel, "Input Path : " + f.in.str());
  EXPECT_EQ(f.view.FoundLabel, "Found : 5");
  EXPECT_THAT(f.view.Calls, ElementsAre("max 1 = 2", "max 2 = 5", "max 3 = 5", "max 4 = 5", "max 5 = 5", "close"));
  EXPECT_THAT(f.view.Position, ElementsAre(2, 5, 5, 5, 5));
  EXPECT_THAT(f.desktop.Opened, ElementsAre(out + "/page1.htm"));
  EXPECT_TRUE(f.desktop.Shown.empty());
  EXPECT_FALSE(f.run.Running());
}

TEST(GenerationRun, processes_only_the_first_thumbnail_page_in_mode_1) {
  Fixture f(30);
  f.settings.SetElementsMode(1);
  f.settings.SetCopyOrgSizedImages(true);
  f.settings.SetSortingMethodIndex(3);  // name descending: img30 .. img19 are the first 12

  EXPECT_EQ(f.run.Start(), RunOutcome::Finished);

  const std::string out = f.out.str();
  EXPECT_EQ(CountStartingWith(out, "image"), 30u);
  EXPECT_THAT(NamesStartingWith(out, "page"), ElementsAre("page1.htm", "page2.htm", "page3.htm"));
  const std::vector<std::string> scaled = NamesStartingWith(out, "n_");
  ASSERT_EQ(scaled.size(), 12u);
  EXPECT_EQ(scaled.front(), "n_img19.jpg");
  EXPECT_EQ(scaled.back(), "n_img30.jpg");
  EXPECT_EQ(CountStartingWith(out, "t_"), 12u);
  EXPECT_EQ(CountStartingWith(out, "b_"), 12u);
  EXPECT_EQ(f.run.ElementsCount(), 12);
  EXPECT_THAT(f.view.Calls,
              ElementsAre("max 1 = 3", "max 2 = 30", "max 3 = 12", "max 4 = 12", "max 5 = 12", "buttons"));
  EXPECT_TRUE(f.desktop.Opened.empty());
}

TEST(GenerationRun, counts_thumbnail_pages_and_elements_by_the_grid) {
  // 13 images on a 3 x 4 grid need 2 pages; 12 need 1; in mode 1 fewer images than cells are all processed.
  Fixture thirteen(13);
  thirteen.settings.SetElementsMode(2);
  thirteen.run.Start();
  EXPECT_EQ(thirteen.run.ThumbPageCount(), 2);

  Fixture ten(10);
  ten.settings.SetElementsMode(1);
  ten.run.Start();
  EXPECT_EQ(ten.run.ThumbPageCount(), 1);
  EXPECT_EQ(ten.run.ElementsCount(), 10);
  EXPECT_EQ(CountStartingWith(ten.out.str(), "t_"), 10u);
}

TEST(GenerationRun, writes_only_pages_in_mode_2) {
  Fixture f(4);
  TempDir extra;
  WriteFile(extra / "logo.gif", "logo");
  f.settings.SetElementsMode(2);
  f.settings.SetCopyOrgSizedImages(true);
  f.settings.SetAdditionalPath(extra.str());
  f.settings.SetAutoBrowserStart(true);

  EXPECT_EQ(f.run.Start(), RunOutcome::Finished);

  const std::string out = f.out.str();
  EXPECT_EQ(CountStartingWith(out, "image"), 4u);
  EXPECT_EQ(CountStartingWith(out, "page"), 1u);
  EXPECT_EQ(CountStartingWith(out, "n_") + CountStartingWith(out, "t_") + CountStartingWith(out, "b_"), 0u);
  EXPECT_FALSE(fs::exists(out + "/logo.gif"));
  EXPECT_THAT(f.view.Calls, ElementsAre("max 1 = 1", "max 2 = 4", "close"));
}

TEST(GenerationRun, copies_the_additional_elements_before_the_scaled_images) {
  Fixture f(2);
  TempDir extra;
  WriteFile(extra / "logo.gif", "logo");
  f.settings.SetAdditionalPath(extra.str());
  bool logoBeforeScaling = false;
  f.view.OnBar = [&](RunBar bar, int position) {
    if (bar == RunBar::ScaledImages && position == 1) logoBeforeScaling = fs::exists(f.out / "logo.gif");
  };
  EXPECT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_TRUE(logoBeforeScaling);
}

TEST(GenerationRun, a_missing_filter_choice_uses_the_start_up_filter) {
  Fixture chosen(2);
  chosen.settings.SetUseFilter(true);
  chosen.settings.SetFilterIndex(5);
  chosen.settings.SetPixelformat(6);
  chosen.run.Start();

  Fixture none(2);
  none.settings.SetUseFilter(true);
  none.settings.SetFilterIndex(-1);
  none.settings.SetPixelformat(-1);  // no format chosen: the display's own
  EXPECT_EQ(none.run.Start(), RunOutcome::Finished);

  const std::string scaled = ReadFile(none.out / "t_img02.jpg");
  EXPECT_FALSE(scaled.empty());
  EXPECT_EQ(scaled, ReadFile(chosen.out / "t_img02.jpg"));
}

TEST(GenerationRun, stops_before_searching_on_a_bad_input_folder) {
  Fixture f(1);
  f.settings.SetInputPath(f.in / "missing");
  EXPECT_EQ(f.run.Start(), RunOutcome::NotStarted);
  EXPECT_THAT(f.desktop.Shown, ElementsAre("W: Incorrect path for input : " + f.in.str() + "/missing"));
  EXPECT_THAT(f.view.Calls, ElementsAre("first page"));
  EXPECT_TRUE(fs::is_empty(f.out.path()));

  // A file is not a folder either.
  f.settings.SetInputPath(f.in / "img01.jpg");
  EXPECT_EQ(f.run.Start(), RunOutcome::NotStarted);
  EXPECT_EQ(f.desktop.Shown.size(), 2u);
}

TEST(GenerationRun, creates_a_missing_output_folder_only_after_a_yes) {
  Fixture f(1);
  const std::string target = f.out / "gallery";
  f.settings.SetOutputPath(target);
  const std::string question = "W: Output folder \"" + target + "\" is not exist. Do you want to create it now ?";

  EXPECT_EQ(f.run.Start(), RunOutcome::NotStarted);
  EXPECT_THAT(f.desktop.Shown, ElementsAre(question));
  EXPECT_THAT(f.view.Calls, ElementsAre("first page"));
  EXPECT_FALSE(fs::exists(target));

  f.desktop.Answer = true;
  EXPECT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_TRUE(fs::exists(target + "/page1.htm"));
}

TEST(GenerationRun, reports_an_output_folder_it_cannot_create) {
  Fixture f(1);
  f.desktop.Answer = true;
  f.settings.SetOutputPath(f.out / "no/such/parent");
  try {
    f.run.Start();
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Invalid filename");
  }
  // The wizard stays on the progress page with its buttons hidden.
  EXPECT_TRUE(f.view.Calls.empty());
  EXPECT_FALSE(f.run.Running());
  EXPECT_FALSE(fs::exists(f.out / "no"));
}

TEST(FolderCreationMessage, maps_the_system_error_to_its_text) {
  TempDir dir;
  EXPECT_EQ(FolderCreationMessage(dir / "a/b", ENOENT), "Invalid filename");
  EXPECT_EQ(FolderCreationMessage(dir / "a/b/", ENOENT), "Invalid filename");
  EXPECT_EQ(FolderCreationMessage(dir / "a", ENOENT), "File not found");
  EXPECT_EQ(FolderCreationMessage("", ENOENT), "File not found");
  EXPECT_EQ(FolderCreationMessage(dir / "file/b", ENOTDIR), "Invalid filename");
  EXPECT_EQ(FolderCreationMessage(dir / "a", EACCES), "File access denied");
  EXPECT_EQ(FolderCreationMessage(dir / "a", EPERM), "File access denied");
  EXPECT_EQ(FolderCreationMessage(dir / "a", EROFS), "File access denied");
  EXPECT_EQ(FolderCreationMessage(dir / "a", EEXIST), "I/O error 17");
  EXPECT_EQ(FolderCreationMessage(dir / "a", ENOSPC), "I/O error 28");
}

TEST(GenerationRun, tells_when_no_image_is_found) {
  Fixture f(0);
  WriteFile(f.in / "notes.jpg.txt", "x");
  fs::create_directories(f.in.path() / "sub");
  WritePhotos(f.in / "sub", 1);
  EXPECT_EQ(f.run.Start(), RunOutcome::NoImages);
  EXPECT_THAT(f.desktop.Shown, ElementsAre("E: No Images Could be found"));
  EXPECT_THAT(f.view.Calls, ElementsAre("first page"));
  EXPECT_THAT(f.view.Position, ElementsAre(0, 0, 0, 0, 0));
  EXPECT_TRUE(fs::is_empty(f.out.path()));
}

// Cancels the run when the given bar first reaches position 1.
void CancelAt(Fixture& f, RunBar stage) {
  f.view.OnBar = [&f, stage](RunBar bar, int position) {
    if (bar == stage && position == 1) f.run.Cancel();
  };
}

TEST(GenerationRun, cancel_during_the_search_writes_nothing) {
  Fixture f(6);
  f.desktop.OnPump = [&f](int pump) {
    if (pump == 2) f.run.Cancel();
  };
  EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
  EXPECT_EQ(f.view.FoundLabel, "Found : 2");
  EXPECT_THAT(f.view.Position, ElementsAre(0, 0, 0, 0, 0));
  EXPECT_TRUE(f.view.Calls.empty());
  EXPECT_TRUE(fs::is_empty(f.out.path()));
}

TEST(GenerationRun, cancel_in_each_stage_skips_every_later_stage) {
  {
    Fixture f(6);
    f.settings.SetCopyOrgSizedImages(true);
    f.settings.SetRowsCount("1");
    f.settings.SetColsCount("2");
    CancelAt(f, RunBar::ImagePages);
    EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
    EXPECT_EQ(CountStartingWith(f.out.str(), "image"), 1u);
    EXPECT_EQ(CountStartingWith(f.out.str(), "b_") + CountStartingWith(f.out.str(), "n_"), 0u);
    EXPECT_THAT(f.view.Calls, ElementsAre("max 1 = 3", "max 2 = 6"));
  }
  {
    Fixture f(6);
    f.settings.SetCopyOrgSizedImages(true);
    CancelAt(f, RunBar::Originals);
    EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
    EXPECT_EQ(CountStartingWith(f.out.str(), "image"), 6u);
    EXPECT_EQ(CountStartingWith(f.out.str(), "b_"), 1u);
    EXPECT_EQ(CountStartingWith(f.out.str(), "n_"), 0u);
  }
  {
    Fixture f(6);
    CancelAt(f, RunBar::ScaledImages);
    EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
    EXPECT_EQ(CountStartingWith(f.out.str(), "n_"), 1u);
    EXPECT_EQ(CountStartingWith(f.out.str(), "t_"), 0u);
  }
  {
    Fixture f(6);
    CancelAt(f, RunBar::Thumbnails);
    EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
    EXPECT_EQ(CountStartingWith(f.out.str(), "n_"), 6u);
    EXPECT_EQ(CountStartingWith(f.out.str(), "t_"), 1u);
    EXPECT_TRUE(f.desktop.Opened.empty());
    // The next run starts afresh and finishes.
    f.view.OnBar = nullptr;
    EXPECT_EQ(f.run.Start(), RunOutcome::Finished);
    EXPECT_EQ(CountStartingWith(f.out.str(), "t_"), 6u);
  }
}

TEST(GenerationRun, cancel_while_copying_additional_elements_skips_the_images) {
  Fixture f(3);
  TempDir extra;
  WriteFile(extra / "a.gif", "a");
  WriteFile(extra / "b.gif", "b");
  f.settings.SetAdditionalPath(extra.str());
  bool pagesDone = false;
  f.view.OnBar = [&](RunBar bar, int position) {
    if (bar == RunBar::ThumbnailPages && position == 1) pagesDone = true;
  };
  f.desktop.OnPump = [&](int) {
    if (pagesDone && fs::exists(f.out / "a.gif")) f.run.Cancel();
  };
  EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
  EXPECT_EQ(CountStartingWith(f.out.str(), "n_") + CountStartingWith(f.out.str(), "t_"), 0u);
}

// The message of the error Start raises, or "" when it raises none.
std::string StartError(Fixture& f) {
  try {
    f.run.Start();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(GenerationRun, rejects_a_bad_grid_before_any_page_is_written) {
  const struct {
    const char* rows;
    const char* cols;
    const char* message;
  } cases[] = {
      {"x", "4", "RowsCount: 'x' is not a valid integer value"},
      {"3", " 4 ", "ColsCount: ' 4 ' is not a valid integer value"},
      {"00", "4", "RowsCount x ColsCount is 0: Division by zero"},
      {"3", "0x0", "RowsCount x ColsCount is 0: Division by zero"},
      {"-3", "4", "RowsCount: '-3' is not a valid number of rows: it must be at least 1"},
      {"-3", "-4", "RowsCount: '-3' is not a valid number of rows: it must be at least 1"},
      {"3", "-1", "ColsCount: '-1' is not a valid number of columns: it must be at least 1"},
      {"1001", "4", "RowsCount: '1001' is not a valid number of rows: it must be at most 1000"},
  };
  for (const auto& c : cases) {
    Fixture f(2);
    f.settings.SetRowsCount(c.rows);
    f.settings.SetColsCount(c.cols);
    EXPECT_EQ(StartError(f), c.message) << c.rows << " x " << c.cols;
    EXPECT_TRUE(fs::is_empty(f.out.path()));
    EXPECT_FALSE(f.run.Running());
  }
  // Leading blanks and hex are numbers.
  Fixture f(2);
  f.settings.SetRowsCount(" 2");
  f.settings.SetColsCount("$2");
  EXPECT_EQ(StartError(f), "");
  EXPECT_EQ(f.run.ThumbPageCount(), 1);
}

// An image size the run cannot take was once found only when its stage
// began, after every page (and the scaled images) had been written; now the
// run refuses it before writing anything, naming the key.
TEST(GenerationRun, refuses_image_sizes_it_cannot_take_before_anything_is_written) {
  const struct {
    void (GallerySettings::*set)(std::string);
    const char* text;
    const char* message;
  } cases[] = {
      {&GallerySettings::SetMaxWidthImage, "wide", "MaxWidthImage: 'wide' is not a valid integer value"},
      {&GallerySettings::SetMaxWidthImage, "12345678901234567890",
       "MaxWidthImage: '12345678901234567890' is not a valid integer value"},
      {&GallerySettings::SetMaxWidthImage, "100000",
       "MaxWidthImage: '100000' is not a valid image size: it must be at most 65500 pixels"},
      {&GallerySettings::SetMaxHeightImage, "-5",
       "MaxHeightImage: '-5' is not a valid image size: it must be at least 1 pixel"},
      {&GallerySettings::SetMaxSizeThumbnails, "00",
       "MaxSizeThumbnails: '00' is not a valid image size: it must be at least 1 pixel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Fixture f(2);
    f.settings.SetThumbSizeChoice(3);
    (f.settings.*c.set)(c.text);
    EXPECT_EQ(StartError(f), c.message);
    EXPECT_TRUE(fs::is_empty(f.out.path()));
    EXPECT_THAT(f.view.Calls, IsEmpty());
    // A run of pages only reads no image size.
    f.settings.SetElementsMode(2);
    EXPECT_EQ(StartError(f), "");
    EXPECT_EQ(CountStartingWith(f.out.str(), "image"), 2u);
  }
  {
    // A fixed thumbnail size never reads the text.
    Fixture f(1);
    f.settings.SetThumbSizeChoice(3);
    f.settings.SetMaxSizeThumbnails("big");
    f.settings.SetThumbSizeChoice(0);
    EXPECT_EQ(StartError(f), "");
  }
}

TEST(GenerationRun, names_the_image_a_writer_failed_on) {
  Fixture f(3);
  WriteFile(f.in / "img02.jpg", "not a JPEG file");
  f.run.Jobs = 2;
  EXPECT_THAT(StartError(f), HasSubstr("JPEG error #"));
  EXPECT_EQ(f.run.FailedImage(), f.in.str() + "/img02.jpg");
  EXPECT_TRUE(fs::exists(f.out / "n_img01.jpg"));
  EXPECT_FALSE(fs::exists(f.out / "t_img01.jpg"));
  EXPECT_FALSE(f.run.Running());

  // A run that then succeeds forgets the failure.
  WritePhotos(f.in.str(), 3);
  EXPECT_EQ(StartError(f), "");
  EXPECT_EQ(f.run.FailedImage(), "");
}

TEST(GenerationRun, refuses_to_start_while_it_runs) {
  Fixture f(2);
  std::string nested;
  f.desktop.OnPump = [&](int pump) {
    if (pump == 1) nested = StartError(f);
  };
  EXPECT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_EQ(nested, "A gallery is being generated already");
}

using test::ExpectOnlyWholeFiles;

TEST(GenerationRun, failing_output_folders_stop_the_run_with_the_reason_and_keep_whole_files) {
  {  // a folder where a page should go
    Fixture f(3);
    fs::create_directory(f.out / "image2.htm");
    EXPECT_EQ(StartError(f), "Cannot create file \"" + (f.out / "image2.htm") + "\". Is a directory");
    EXPECT_TRUE(fs::exists(f.out / "image1.htm"));
    EXPECT_FALSE(fs::exists(f.out / "page1.htm"));
    ExpectOnlyWholeFiles(f.out.str());
  }
  {  // the output folder is removed while the scaled images are written
    Fixture f(3);
    const std::string out = f.out / "gallery";
    fs::create_directory(out);
    f.settings.SetOutputPath(out);
    f.view.OnBar = [&](RunBar bar, int position) {
      if (bar == RunBar::ScaledImages && position == 1) fs::remove_all(out);
    };
    EXPECT_EQ(StartError(f), "Cannot create file \"" + out + "/n_img02.jpg\". No such file or directory");
    EXPECT_FALSE(f.run.Running());
  }
  test::SmallDisk readOnly(64, true);
  test::SmallDisk full(64);
  if (!readOnly.mounted() || !full.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  {
    Fixture f(3);
    f.settings.SetOutputPath(readOnly.str());
    EXPECT_EQ(StartError(f), "Cannot create file \"" + (readOnly / "image1.htm") + "\". Read-only file system");
  }
  {  // the disk fills up part way
    Fixture f(40);
    f.settings.SetOutputPath(full.str());
    EXPECT_THAT(StartError(f), ::testing::EndsWith("\". No space left on device"));
    EXPECT_TRUE(fs::exists(full / "image1.htm"));
    ExpectOnlyWholeFiles(full.str());
  }
}

TEST(GenerationRun, an_input_file_deleted_after_the_search_stops_its_stage_and_is_named) {
  Fixture f(3);
  f.settings.SetCopyOrgSizedImages(true);
  f.view.OnBar = [&](RunBar bar, int position) {
    if (bar == RunBar::ImagePages && position == 3) fs::remove(f.in / "img02.jpg");
  };
  EXPECT_EQ(StartError(f), "Cannot open file \"" + (f.in / "img02.jpg") + "\". No such file or directory");
  EXPECT_EQ(f.run.FailedImage(), f.in / "img02.jpg");
  EXPECT_TRUE(fs::exists(f.out / "n_img01.jpg"));
  EXPECT_FALSE(fs::exists(f.out / "n_img02.jpg"));
  ExpectOnlyWholeFiles(f.out.str());
}

TEST(GenerationRun, a_cancel_at_any_pump_ends_the_run_with_whole_files_only) {
  int pumps = 0;
  {
    Fixture f(6);
    f.settings.SetCopyOrgSizedImages(true);
    f.run.Jobs = 2;
    ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
    pumps = f.desktop.Pumps;
  }
  ASSERT_GT(pumps, 20);
  for (int k = 1; k < pumps; ++k) {
    SCOPED_TRACE(k);
    Fixture f(6);
    f.settings.SetCopyOrgSizedImages(true);
    f.run.Jobs = 2;
    f.desktop.OnPump = [&](int pump) {
      if (pump == k) f.run.Cancel();
    };
    EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
    EXPECT_FALSE(f.run.Running());
    ExpectOnlyWholeFiles(f.out.str());
  }
}

TEST(GenerationRun, a_cancel_at_any_pump_of_the_scaled_image_stage_leaves_no_thumbnail) {
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    // The scaled images are being written after bar 4 got its maximum and
    // before bar 5 got its own; the filtered stretch pumps often.
    const auto inStage = [](const Fixture& f) {
      return f.view.Maximum[int(RunBar::ScaledImages)] == 6 && f.view.Maximum[int(RunBar::Thumbnails)] == -1;
    };
    int stagePumps = 0;
    {
      Fixture f(6);
      f.settings.SetUseFilter(true);
      f.run.Jobs = jobs;
      f.desktop.OnPump = [&](int) { stagePumps += inStage(f) ? 1 : 0; };
      ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
    }
    ASSERT_GE(stagePumps, 6);
    // Some forty of them, spread over the whole stage, the last included.
    // With two jobs the waiting caller pumps by the clock, so a later run
    // may pump less often: a run that never reaches the k-th pump of the
    // stage just finishes.
    std::vector<int> tried;
    const int step = std::max(1, stagePumps / 40);
    for (int k = 1; k <= stagePumps; k += step) tried.push_back(k);
    tried.push_back(stagePumps);
    for (int k : tried) {
      SCOPED_TRACE(k);
      Fixture f(6);
      f.settings.SetUseFilter(true);
      f.run.Jobs = jobs;
      int seen = 0;
      bool cancelled = false;
      f.desktop.OnPump = [&](int) {
        if (inStage(f) && ++seen == k) {
          f.run.Cancel();
          cancelled = true;
        }
      };
      const RunOutcome outcome = f.run.Start();
      EXPECT_EQ(outcome, cancelled ? RunOutcome::Cancelled : RunOutcome::Finished);
      if (!cancelled) continue;
      EXPECT_GE(CountStartingWith(f.out.str(), "n_"), 1u);
      EXPECT_EQ(CountStartingWith(f.out.str(), "t_"), 0u);
      EXPECT_EQ(CountStartingWith(f.out.str(), "."), 0u);
    }
  }
}

TEST(GenerationRun, removes_the_waiting_thumbnails_a_crashed_run_left_in_the_output_folder) {
  for (int mode : {0, 2}) {
    Fixture f(2);
    f.settings.SetElementsMode(mode);
    WriteFile(f.out / ".fotoloom-waiting-thumbnails-Xy12ab", "left by a crash");
    WriteFile(f.out / ".hidden", "the user's");
    EXPECT_EQ(f.run.Start(), RunOutcome::Finished);
    EXPECT_FALSE(fs::exists(f.out / ".fotoloom-waiting-thumbnails-Xy12ab"));
    EXPECT_EQ(ReadFile(f.out / ".hidden"), "the user's");
  }
}

// Starts f's run in a child process that the file size limit kills while
// it writes its first page, and returns the child's process id.
pid_t RunKilledWhileWriting(Fixture& f) {
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const rlimit tiny{64, 64};
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    std::signal(SIGXFSZ, SIG_DFL);
    try {
      f.run.Start();
    } catch (...) {
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
  return child;
}

// A run killed while it wrote leaves its temporary file. Every run that
// writes (full, pages only, update) first removes the temporary and spill
// files of processes no longer running, and nothing else; a dry run removes
// nothing.
TEST(GenerationRun, every_writing_run_first_removes_what_a_killed_run_left) {
  Fixture f(3);
  const std::string dead = std::to_string(RunKilledWhileWriting(f));
  const std::string page = "image1.htm.fotoloom-" + dead + ".tmp";
  const std::string spill = ".fotoloom-waiting-thumbnails-" + dead + "-Ab12Cd";
  ASSERT_TRUE(fs::exists(f.out / page)) << "the killed run left no temporary page";
  const std::string alive = std::to_string(::getpid());
  const std::map<std::string, std::string> stays = {
      {"notes.txt.fotoloom-" + alive + ".tmp", "a running process's"},
      {".fotoloom-waiting-thumbnails-" + alive + "-Ab12Cd", "a running process's"},
      {"notes.fotoloom-" + dead + "x.tmp", "the user's"},
      {".fotoloom-waiting-thumbnails-" + dead + "-Ab12C", "the user's"},
  };
  for (const auto& [name, content] : stays) WriteFile(f.out / name, content);
  WriteFile(f.out / spill, "left");

  RunPlan plan;
  EXPECT_EQ(f.run.Plan(plan), RunOutcome::Finished);
  EXPECT_TRUE(fs::exists(f.out / page));
  EXPECT_TRUE(fs::exists(f.out / spill));
  const struct {
    const char* what;
    int mode;
    bool update;
  } runs[] = {{"full", 0, false}, {"pages only", 2, false}, {"update", 1, true}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.what);
    f.settings.SetElementsMode(run.mode);
    f.settings.SetUpdateOnlyChanged(run.update);
    EXPECT_EQ(f.run.Start(), RunOutcome::Finished);
    EXPECT_FALSE(fs::exists(f.out / page));
    EXPECT_FALSE(fs::exists(f.out / spill));
    for (const auto& [name, content] : stays) EXPECT_EQ(ReadFile(f.out / name), content) << name;
    WriteFile(f.out / page, "left");
    WriteFile(f.out / spill, "left");
  }
}

// The folder and every entry in it with its size and modification time, to see that nothing was touched.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> Listing(const std::string& folder) {
  std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> entries;
  entries[folder] = {0, fs::last_write_time(folder)};
  for (const auto& e : fs::recursive_directory_iterator(folder))
    entries[e.path().string()] = {e.is_regular_file() ? e.file_size() : 0, e.last_write_time()};
  return entries;
}

std::string PlanError(Fixture& f, RunPlan& plan) {
  try {
    f.run.Plan(plan);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

// A dry run's numbers are those of the run that follows it, in every mode,
// for photos turned by their EXIF tag, of every shape, and with copies.
TEST(GenerationRun, plan_writes_nothing_and_tells_what_the_run_then_writes) {
  for (int mode = 0; mode <= 2; ++mode) {
    SCOPED_TRACE(mode);
    Fixture f(5);
    test::WriteJpeg(f.in / "img02.jpg", test::FlatImage(90, 40, {10, 20, 30}), {.orientation = 6});
    test::WriteJpeg(f.in / "img03.jpg", test::FlatImage(33, 61, {10, 20, 30}), {.orientation = 3});
    test::WriteJpeg(f.in / "img04.jpg", test::FlatImage(172, 129, {10, 20, 30}));
    f.settings.SetElementsMode(mode);
    f.settings.SetRowsCount("1");
    f.settings.SetColsCount("2");
    f.settings.SetMaxWidthImage("50");
    f.settings.SetMaxHeightImage("35");
    f.settings.SetThumbSizeChoice(3);
    f.settings.SetMaxSizeThumbnails("23");
    f.settings.SetCopyOrgSizedImages(true);
    f.settings.SetAutoBrowserStart(true);
    const auto before = Listing(f.out.str());

    RunPlan plan;
    EXPECT_EQ(f.run.Plan(plan), RunOutcome::Finished);
    EXPECT_EQ(Listing(f.out.str()), before);
    EXPECT_TRUE(f.desktop.Opened.empty());
    EXPECT_FALSE(f.run.Running());
    EXPECT_FALSE(plan.CreatesOutputFolder);
    EXPECT_EQ(plan.ProblemCount(), 0);

    EXPECT_EQ(f.run.Start(), RunOutcome::Finished);
    const std::string out = f.out.str();
    EXPECT_EQ(plan.ThumbPageCount, int(CountStartingWith(out, "page")));
    EXPECT_EQ(plan.ImagePageCount, int(CountStartingWith(out, "image")));
    EXPECT_EQ(plan.ElementsCount, int(CountStartingWith(out, "n_")));
    EXPECT_EQ(plan.ElementsCount, mode == 0 ? 5 : mode == 1 ? 2 : 0);
    EXPECT_EQ(plan.CopiesOriginals, CountStartingWith(out, "b_") > 0);
    ASSERT_EQ(plan.Photos.size(), 5u);
    JpegCodec codec;
    for (const PlannedPhoto& photo : plan.Photos) {
      const std::string name = fs::path(photo.Path).filename().string();
      SCOPED_TRACE(name);
      EXPECT_EQ(photo.ImagesWritten, fs::exists(out + "/n_" + name));
      if (!photo.ImagesWritten) continue;
      codec.Inspect(out + "/n_" + name);
      EXPECT_EQ(photo.Scaled.Width, codec.StoredWidth());
      EXPECT_EQ(photo.Scaled.Height, codec.StoredHeight());
      codec.Inspect(out + "/t_" + name);
      EXPECT_EQ(photo.Thumbnail.Width, codec.StoredWidth());
      EXPECT_EQ(photo.Thumbnail.Height, codec.StoredHeight());
    }
  }
}

// Sharp thumbnails, WebP files and the ZIP: written in mode 0, the ZIP only
// there, its name and size on the pages, and the dry run foretells the "t2_"
// sizes. A cancel while the ZIP is written leaves no ZIP and no page.
TEST(GenerationRun, sharp_thumbnails_webp_files_and_the_zip_by_mode_with_the_zip_on_the_pages) {
  for (int mode = 0; mode <= 2; ++mode) {
    SCOPED_TRACE(mode);
    Fixture f(3);
    test::WriteJpeg(f.in / "img02.jpg", test::FlatImage(90, 40, {10, 20, 30}), {.orientation = 6});
    f.settings.SetElementsMode(mode);
    f.settings.SetRowsCount("1");
    f.settings.SetColsCount("2");
    f.settings.SetThumbSizeChoice(3);
    f.settings.SetMaxSizeThumbnails("23");
    f.settings.SetThumbnails2x(true);
    f.settings.SetWebP(true);
    f.settings.SetZip(true);
    f.settings.SetHTMLThumbnails({"[@zip@|@zipsize@]"});
    RunPlan plan;
    ASSERT_EQ(f.run.Plan(plan), RunOutcome::Finished);
    EXPECT_EQ(plan.WritesZip, mode == 0);
    ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
    const std::string out = f.out.str();
    EXPECT_EQ(fs::exists(out + "/photos.zip"), mode == 0);
    EXPECT_EQ(CountStartingWith(out, "t2_"), CountStartingWith(out, "n_"));  // each with its WebP file
    for (const PlannedPhoto& photo : plan.Photos) {
      const std::string name = fs::path(photo.Path).filename().string();
      if (!photo.ImagesWritten) continue;
      JpegCodec codec;
      codec.Inspect(out + "/t2_" + name);
      EXPECT_EQ(photo.SharpThumbnail.Width, codec.StoredWidth()) << name;
      EXPECT_EQ(photo.SharpThumbnail.Height, codec.StoredHeight()) << name;
      for (const char* prefix : {"n_", "t_", "t2_"}) EXPECT_TRUE(fs::exists(out + "/" + prefix + name + ".webp"));
    }
    if (mode == 0)
      EXPECT_EQ(ReadFile(out + "/page1.htm"),
                "[photos.zip|" + ZipSizeText(fs::file_size(out + "/photos.zip")) + "]\r\n");
    else
      EXPECT_EQ(ReadFile(out + "/page1.htm"), "[|]\r\n");  // no ZIP there: none linked
  }
  Fixture f(3);
  f.settings.SetZip(true);
  CancelAt(f, RunBar::Originals);
  EXPECT_EQ(f.run.Start(), RunOutcome::Cancelled);
  EXPECT_FALSE(fs::exists(f.out / "photos.zip"));
  EXPECT_EQ(CountStartingWith(f.out.str(), "page"), 0u);
  EXPECT_EQ(CountStartingWith(f.out.str(), "photos.zip"), 0u);  // no temporary either
}

TEST(GenerationRun, plan_stops_where_the_run_stops_before_writing) {
  {
    Fixture f(1);
    f.settings.SetInputPath(f.in / "missing");
    RunPlan plan;
    EXPECT_EQ(f.run.Plan(plan), RunOutcome::NotStarted);
    EXPECT_THAT(f.desktop.Shown, ElementsAre("W: Incorrect path for input : " + f.in.str() + "/missing"));
  }
  {
    Fixture f(0);
    RunPlan plan;
    EXPECT_EQ(f.run.Plan(plan), RunOutcome::NoImages);
    EXPECT_THAT(f.desktop.Shown, ElementsAre("E: No Images Could be found"));
  }
  {
    // The question is asked; a No stops, a Yes plans the folder without making it.
    Fixture f(2);
    const std::string target = f.out / "gallery";
    f.settings.SetOutputPath(target);
    RunPlan plan;
    EXPECT_EQ(f.run.Plan(plan), RunOutcome::NotStarted);
    EXPECT_EQ(f.desktop.Shown.size(), 1u);
    f.desktop.Answer = true;
    EXPECT_EQ(f.run.Plan(plan), RunOutcome::Finished);
    EXPECT_TRUE(plan.CreatesOutputFolder);
    EXPECT_EQ(plan.Photos.size(), 2u);
    EXPECT_FALSE(fs::exists(target));
    // A folder that could not be made fails as the run would.
    f.settings.SetOutputPath(f.out / "no/such/parent");
    EXPECT_EQ(PlanError(f, plan), "Invalid filename");
  }
  {
    Fixture f(2);
    f.settings.SetRowsCount("0");
    RunPlan plan;
    EXPECT_EQ(PlanError(f, plan), "RowsCount x ColsCount is 0: Division by zero");
    f.settings.SetRowsCount("1");
    f.settings.SetMaxWidthImage("wide");
    EXPECT_EQ(PlanError(f, plan), "MaxWidthImage: 'wide' is not a valid integer value");
    // Writing pages only never reads the sizes.
    f.settings.SetElementsMode(2);
    EXPECT_EQ(PlanError(f, plan), "");
    EXPECT_TRUE(fs::is_empty(f.out.path()));
  }
}

TEST(GenerationRun, plan_notes_each_photo_whose_header_cannot_be_read) {
  Fixture f(3);
  WriteFile(f.in / "img02.jpg", "not a JPEG file");
  RunPlan plan;
  EXPECT_EQ(f.run.Plan(plan), RunOutcome::Finished);
  ASSERT_EQ(plan.Photos.size(), 3u);
  EXPECT_EQ(plan.ProblemCount(), 1);
  EXPECT_EQ(plan.Photos[1].Problem, "JPEG error #53: Not a JPEG file: starts with 0x6e 0x6f");
  EXPECT_EQ(plan.Photos[2].Scaled.Width, 48);
  EXPECT_EQ(plan.Photos[2].Problem, "");
}

TEST(GenerationRun, a_cancel_stops_the_plan) {
  Fixture f(4);
  // The search pumps once per photo found; the plan then once per header.
  f.desktop.OnPump = [&](int pump) {
    if (pump == 6) f.run.Cancel();
  };
  RunPlan plan;
  EXPECT_EQ(f.run.Plan(plan), RunOutcome::Cancelled);
  EXPECT_FALSE(f.run.Running());
}

TEST(FolderCreationError, foresees_what_creating_the_folder_meets) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  fs::create_directories(dir.path() / "folder");
  for (const std::string& path :
       {dir / "new", dir / "new/", dir / "a/b", dir / "file", dir / "file/b", dir / "folder", std::string()}) {
    SCOPED_TRACE(path);
    const int foreseen = FolderCreationError(path);
    const int met = ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
    EXPECT_EQ(foreseen, met);
    if (met == 0) ::rmdir(path.c_str());
  }
}

// Photos with metadata: the same pixels as untagged ones, with what exiftool writes.

void SetModified(const std::string& path, std::int64_t sec, long nsec = 0) {
  const timespec times[2] = {{sec, nsec}, {sec, nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// The names of the photos in gallery order, as image pages of the template "@image_org_ext@" show them.
std::vector<std::string> GalleryOrderOf(const Fixture& f, int photos) {
  std::vector<std::string> names;
  for (int j = 1; j <= photos; ++j) {
    std::string page = ReadFile(f.out / ("image" + std::to_string(j) + ".htm"));
    names.push_back(page.substr(0, page.find('\r')));
  }
  return names;
}

TEST(GenerationRun, with_use_exif_a_date_order_follows_the_moments_taken_else_the_days_of_the_files) {
  Fixture f(0);
  test::WriteTaggedPhotos({
      {f.in / "a.jpg", {"-DateTimeOriginal=2024:05:17 14:03:07", "-SubSecTimeOriginal=50"}},
      {f.in / "b.jpg", {"-DateTimeOriginal=2024:05:17 14:03:07", "-SubSecTimeOriginal=25"}},
      {f.in / "c.jpg", {"-Software=no date"}},
      {f.in / "d.jpg", {"-DateTimeOriginal=2020:01:01 00:00:00"}},
  });
  // The files say: c long ago, then d, b, a within one day.
  const std::int64_t day = 1'717'243'200;  // 2024-06-01 12:00 UTC
  SetModified(f.in / "a.jpg", day + 3);
  SetModified(f.in / "b.jpg", day + 2);
  SetModified(f.in / "c.jpg", 1'640'995'200, 5);  // 2022-01-01
  SetModified(f.in / "d.jpg", day + 1);
  f.settings.SetSortingMethodIndex(0);
  f.settings.SetElementsMode(2);
  f.settings.SetHTMLImages({"@image_org_ext@"});

  f.settings.SetUseExif(true);
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(GalleryOrderOf(f, 4), ElementsAre("d.jpg", "c.jpg", "b.jpg", "a.jpg"));
  ASSERT_EQ(f.run.ImageEntries().size(), 4u);
  f.settings.SetSortingMethodIndex(1);
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(GalleryOrderOf(f, 4), ElementsAre("a.jpg", "b.jpg", "c.jpg", "d.jpg"));

  // Clear, the days of the files decide and one day keeps the order found.
  f.settings.SetUseExif(false);
  f.settings.SetSortingMethodIndex(0);
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(GalleryOrderOf(f, 4), ElementsAre("c.jpg", "a.jpg", "b.jpg", "d.jpg"));
}

TEST(GenerationRun, pages_show_each_photos_caption_and_facts_byte_for_byte) {
  Fixture f(0);
  test::WriteFile(f.in / "caption.txt", "Tom & <Jerry> \"at\" @cp@\nline two");
  test::WriteTaggedPhotos({
      {f.in / "a.jpg",
       {"-XMP-dc:Description<=" + (f.in / "caption.txt"), "-Make=Canon", "-Model=Canon EOS 5D",
        "-LensModel=EF 35mm f/2", "-DateTimeOriginal=2024:05:17 14:03:07", "-ExposureTime=1/250", "-FNumber=5.6",
        "-ISO=200", "-FocalLength=35"}},
      {f.in / "b.jpg", {"-EXIF:ImageDescription=OLYMPUS DIGITAL CAMERA", "-ExposureTime=2"}},
      {f.in / "c.jpg", {"-IPTC:Caption-Abstract=From IPTC"}},
  });
  test::WriteFile(f.in / "c.xmp", test::SidecarXmp({{"x-default", "From the sidecar"}}));
  f.settings.SetSubtitleIndex(3);
  f.settings.SetElementsMode(2);
  f.settings.SetHTMLThumbnails({"@thumbtable@"});
  f.settings.SetHTMLImages({"@exifcomment@|@datetaken@|@camera@|@lens@|@exposure@|alt=\"@image_alt@\""});
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);

  EXPECT_EQ(ReadFile(f.out / "image1.htm"),
            "Tom &amp; &lt;Jerry&gt; &quot;at&quot; &#64;cp&#64;\r\nline two|2024-05-17 14:03|Canon EOS 5D|"
            "EF 35mm f/2|1/250 s, f/5.6, ISO 200, 35 mm|alt=\"Tom &amp; &lt;Jerry&gt; &quot;at&quot; &#64;cp&#64;\r\n"
            "line two\"\r\n");
  EXPECT_EQ(ReadFile(f.out / "image2.htm"), "||||2 s|alt=\"b\"\r\n");
  EXPECT_EQ(ReadFile(f.out / "image3.htm"), "From the sidecar|||||alt=\"From the sidecar\"\r\n");
  const std::string page = ReadFile(f.out / "page1.htm");
  EXPECT_THAT(page, HasSubstr("alt=\"a.jpg\">\r\n</a>\r\n<br>Tom &amp; &lt;Jerry&gt; &quot;at&quot; &#64;cp&#64;\r\n"
                              "line two\r\n</td>"));
  EXPECT_THAT(page, HasSubstr("alt=\"b.jpg\">\r\n</a>\r\n</td>"));
  EXPECT_THAT(page, HasSubstr("alt=\"c.jpg\">\r\n</a>\r\n<br>From the sidecar\r\n</td>"));
}

// Metadata never reaches what the start-up settings write, nor any image:
// tagged photos give the files that the same photos untagged give.
TEST(GenerationRun, metadata_changes_no_byte_of_the_classic_pages_or_of_any_image) {
  Fixture tagged(0);
  Fixture plain(0);
  const std::vector<std::string> tags = {
      "-XMP-dc:Description=Caption",           "-IPTC:Caption-Abstract=IPTC", "-Make=Canon",
      "-DateTimeOriginal=2001:02:03 04:05:06", "-GPSLatitude=48.1",           "-GPSLatitudeRef=N"};
  test::WriteTaggedPhotos({{tagged.in / "a.jpg", tags}, {tagged.in / "b.jpg", {"-UserComment=Comment"}}});
  test::WriteTaggedPhotos({{plain.in / "a.jpg", {"-Software=x"}}, {plain.in / "b.jpg", {"-Software=x"}}});
  for (Fixture* f : {&tagged, &plain}) {
    SetModified(f->in / "a.jpg", 1'600'000'000);
    SetModified(f->in / "b.jpg", 1'600'000'100);
    f->settings.SetSortingMethodIndex(0);
    ASSERT_EQ(f->run.Start(), RunOutcome::Finished);
  }
  const std::vector<std::string> names = NamesStartingWith(plain.out.str(), "");
  EXPECT_EQ(NamesStartingWith(tagged.out.str(), ""), names);
  for (const std::string& name : names) EXPECT_EQ(ReadFile(tagged.out / name), ReadFile(plain.out / name)) << name;

  // With every metadata option on, the images are still those of the plain photos.
  tagged.settings.SetUseExif(true);
  tagged.settings.SetSubtitleIndex(3);
  tagged.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(tagged.run.Start(), RunOutcome::Finished);
  for (const char* name : {"n_a.jpg", "t_a.jpg", "n_b.jpg", "t_b.jpg"}) {
    EXPECT_EQ(ReadFile(tagged.out / name), ReadFile(plain.out / name)) << name;
    const PhotoMetadata m = ReadPhotoMetadata(tagged.out / name);
    EXPECT_TRUE(m.Caption.empty() && !m.DateTaken && m.Make.empty() && !m.HasLocation) << name;
  }
}

TEST(GenerationRun, copies_tell_how_many_carry_a_position_or_leave_it_out_when_asked) {
  Fixture f(0);
  test::WriteTaggedPhotos({
      {f.in / "gps.jpg", {"-GPSLatitude=48.1", "-GPSLatitudeRef=N", "-XMP-dc:Description=Lake", "-Make=Canon"}},
      {f.in / "plain.jpg", {"-Make=Canon"}},
  });
  const std::string gps = ReadFile(f.in / "gps.jpg");
  f.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(f.view.Warnings, ElementsAre("1 of 2 copied originals carry a GPS position. To leave it out, tick "
                                           "\"Remove location from copied originals\" on step 2, or set "
                                           "StripLocation=yes."));
  EXPECT_EQ(ReadFile(f.out / "b_gps.jpg"), gps);

  // Into a new folder without location: nothing to tell.
  TempDir stripped;
  f.settings.SetOutputPath(stripped.str());
  f.settings.SetStripLocation(true);
  f.view.Warnings.clear();
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(f.view.Warnings, ElementsAre());
  const PhotoMetadata copy = ReadPhotoMetadata(stripped / "b_gps.jpg");
  EXPECT_FALSE(copy.HasLocation);
  EXPECT_EQ(copy.Caption, "Lake");
  EXPECT_EQ(copy.Make, "Canon");
  EXPECT_EQ(ReadFile(stripped / "b_plain.jpg"), ReadFile(f.in / "plain.jpg"));
  EXPECT_EQ(ReadFile(f.in / "gps.jpg"), gps);
}

TEST(GenerationRun, a_copy_whose_position_cannot_be_removed_is_not_made_and_is_named) {
  Fixture f(0);
  test::WriteTaggedPhotos(
      {{f.in / "plain.jpg", {"-Make=Plain"}}, {f.in / "gps.jpg", {"-GPSLatitude=1", "-GPSLatitudeRef=N"}}});
  // A second EXIF segment, behind the first, that carries the position.
  std::string twice = ReadFile(f.in / "plain.jpg");
  const std::string gps = ReadFile(f.in / "gps.jpg");
  const auto segment = [](const std::string& jpeg) {
    const std::size_t start = jpeg.find(std::string("Exif\0\0", 6)) - 4;
    return std::make_pair(start, 2 + ((std::size_t(static_cast<unsigned char>(jpeg[start + 2])) << 8) |
                                      static_cast<unsigned char>(jpeg[start + 3])));
  };
  const auto [at, length] = segment(twice);
  const auto [gpsAt, gpsLength] = segment(gps);
  twice.insert(at + length, gps.substr(gpsAt, gpsLength));
  WriteFile(f.in / "twice.jpg", twice);
  f.settings.SetCopyOrgSizedImages(true);
  f.settings.SetStripLocation(true);
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(NamesStartingWith(f.out.str(), "b_"), ElementsAre("b_gps.jpg", "b_plain.jpg"));
  ASSERT_EQ(f.view.Warnings.size(), 1u);
  EXPECT_THAT(f.view.Warnings[0],
              ::testing::StartsWith("1 original was not copied, as the location could not be "
                                    "removed: twice.jpg (twice.jpg: The location cannot be removed"));
}

TEST(GenerationRun, a_dry_run_tells_the_date_each_photo_is_ordered_by_and_its_caption_source) {
  Fixture f(0);
  test::WriteTaggedPhotos({{f.in / "a.jpg", {"-DateTimeOriginal=2024:05:17 14:03:07", "-IPTC:Caption-Abstract=x"}},
                           {f.in / "b.jpg", {"-Software=x"}}});
  SetModified(f.in / "b.jpg", 1'000'000'000);
  f.settings.SetSortingMethodIndex(0);
  RunPlan plan;
  ASSERT_EQ(f.run.Plan(plan), RunOutcome::Finished);
  ASSERT_EQ(plan.Photos.size(), 2u);
  EXPECT_EQ(plan.Photos[0].DateUsed + plan.Photos[0].CaptionFrom, "");  // neither is used

  f.settings.SetUseExif(true);
  f.settings.SetSubtitleIndex(3);
  ASSERT_EQ(f.run.Plan(plan), RunOutcome::Finished);
  ASSERT_EQ(plan.Photos.size(), 2u);
  EXPECT_EQ(plan.Photos[0].Path, f.in / "b.jpg");
  EXPECT_EQ(plan.Photos[0].DateUsed, "file date");
  EXPECT_EQ(plan.Photos[0].CaptionFrom, "none");
  EXPECT_EQ(plan.Photos[1].DateUsed, "taken 2024-05-17 14:03:07");
  EXPECT_EQ(plan.Photos[1].CaptionFrom, "IPTC");
}

TEST(GenerationRun, a_photo_left_out_takes_its_caption_with_it) {
  Fixture f(0);
  test::WriteTaggedPhotos({{f.in / "a.jpg", {"-XMP-dc:Description=A"}}, {f.in / "c.jpg", {"-XMP-dc:Description=C"}}});
  WriteFile(f.in / "b.jpg", "not a photo");
  f.settings.SetSkipBadPhotos(true);
  f.settings.SetElementsMode(2);
  f.settings.SetHTMLImages({"@image_org_ext@|@exifcomment@"});
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_EQ(ReadFile(f.out / "image1.htm"), "a.jpg|A\r\n");
  EXPECT_EQ(ReadFile(f.out / "image2.htm"), "c.jpg|C\r\n");
  EXPECT_FALSE(fs::exists(f.out / "image3.htm"));
}

// The same folder for photos and gallery, however written, or the photos
// below the gallery: refused before anything is written, the photos intact.
TEST(GenerationRun, refuses_folders_where_the_gallery_would_overwrite_the_photos) {
  Fixture f(2);
  const std::string photo = ReadFile(f.in / "img01.jpg");
  fs::create_directory_symlink(f.in.path(), f.out.path() / "link");
  fs::create_directories(f.out.path() / "photos/deeper");
  WritePhotos(f.out / "photos/deeper", 1);
  const std::string same = "The output folder \"";
  const struct {
    std::string input;
    std::string output;
    std::string message;
  } cases[] = {
      {f.in.str(), f.in.str(), same},
      {f.in.str(), f.in / "../" + f.in.path().filename().string(), same},
      {f.in.str(), f.out / "link", same},
      {f.out / "photos/deeper", f.out.str(), "The input folder \""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    f.settings.SetInputPath(c.input);
    f.settings.SetOutputPath(c.output);
    f.desktop.Shown.clear();
    EXPECT_EQ(f.run.Start(), RunOutcome::NotStarted);
    ASSERT_EQ(f.desktop.Shown.size(), 1u);
    EXPECT_THAT(f.desktop.Shown[0], ::testing::StartsWith("W: " + c.message));
  }
  EXPECT_THAT(NamesStartingWith(f.in.str(), ""), ElementsAre("img01.jpg", "img02.jpg"));
  EXPECT_EQ(ReadFile(f.in / "img01.jpg"), photo);
  EXPECT_FALSE(fs::exists(f.out / "page1.htm"));

  // The gallery inside the photos' folder is fine, and its images are not taken for photos next time.
  f.settings.SetInputPath(f.in.str());
  f.settings.SetOutputPath(f.in / "web");
  f.desktop.Answer = true;
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
    EXPECT_EQ(f.run.ImageCount(), 2);
  }
}

TEST(GenerationRun, refuses_page_names_that_leave_the_output_folder_before_writing) {
  for (const bool update : {false, true}) {
    Fixture f(2);
    f.settings.SetUpdateOnlyChanged(update);
    f.settings.SetThumbPagesName("../escaped");
    EXPECT_EQ(StartError(f),
              "ThumbPagesName: '../escaped' cannot be used in page names: it holds \"/\", which would lead into "
              "another folder");
    f.settings.SetThumbPagesName("page");
    f.settings.SetWebSiteExtension("/../../x");
    EXPECT_THAT(StartError(f), ::testing::StartsWith("WebSiteExtension: '/../../x' cannot be used in page names"));
    EXPECT_TRUE(fs::is_empty(f.out.path()));
    EXPECT_FALSE(fs::exists(f.out.path().parent_path() / "escaped1.htm"));
  }
}

// One writing run per output folder; the lock is on the folder itself and
// leaves nothing in it, and a dry run takes none.
TEST(GenerationRun, a_second_run_into_a_locked_output_folder_is_refused_and_writes_nothing) {
  Fixture f(2);
  FolderLock other;
  ASSERT_EQ(other.TryLock(f.out.str()), FolderLock::Result::Locked);
  for (const bool update : {false, true}) {
    f.settings.SetUpdateOnlyChanged(update);
    f.desktop.Shown.clear();
    EXPECT_EQ(f.run.Start(), RunOutcome::Busy);
    EXPECT_THAT(f.desktop.Shown, ElementsAre("W: Another Fotoloom run is writing to " + f.out.str()));
    EXPECT_TRUE(fs::is_empty(f.out.path()));
  }
  RunPlan plan;
  EXPECT_EQ(f.run.Plan(plan), RunOutcome::Finished);
  other.Release();
  ASSERT_EQ(f.run.Start(), RunOutcome::Finished);
  EXPECT_TRUE(fs::exists(f.out / "page1.htm"));
  // The run let go of the folder when it ended.
  EXPECT_EQ(other.TryLock(f.out.str()), FolderLock::Result::Locked);
}

// Photos that cannot be read: the run stops at the first one, or, with
// SkipBadPhotos, leaves each out with a warning and goes on; a damaged photo
// that still decodes is kept with a warning either way.
TEST(GenerationRun, skips_photos_that_cannot_be_read_when_asked_and_warns_of_damaged_ones) {
  const std::string whole = test::WellFormedJpeg(64, 48);
  const std::size_t scan = whole.find("\xFF\xDA");
  for (const int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    Fixture f(2);
    f.run.Jobs = jobs;
    WriteFile(f.in / "a-12bit.jpg", test::WithPrecision(test::WellFormedJpeg(32, 24), 12));
    WriteFile(f.in / "b-cut.jpg", test::Truncated(whole, (scan + whole.size()) / 2));
    WriteFile(f.in / "c-empty.jpg", "");
    WriteFile(f.in / "d-png.jpg", test::PngBytes());
    EXPECT_EQ(StartError(f), "JPEG error #15: Unsupported JPEG data precision 12");
    EXPECT_EQ(f.run.FailedImage(), f.in / "a-12bit.jpg");

    // The stopped run's pages stay; the next one starts in an empty folder.
    for (const fs::directory_entry& entry : fs::directory_iterator(f.out.path())) fs::remove_all(entry.path());
    f.settings.SetSkipBadPhotos(true);
    f.view.Warnings.clear();
    ASSERT_EQ(StartError(f), "");
    EXPECT_THAT(f.run.LeftOut(), ElementsAre(f.in / "a-12bit.jpg", f.in / "c-empty.jpg", f.in / "d-png.jpg"));
    EXPECT_THAT(
        f.view.Warnings,
        ElementsAre(f.in / "a-12bit.jpg" + " is left out: it cannot be read: JPEG error #15: Unsupported JPEG data "
                                           "precision 12",
                    f.in / "c-empty.jpg" + " is left out: it cannot be read: JPEG error #42: Empty input file",
                    f.in / "d-png.jpg" +
                        " is left out: it cannot be read: JPEG error #53: Not a JPEG file: starts with 0x89 0x50",
                    f.in / "b-cut.jpg" + " is damaged: premature end of data; the missing part shows grey",
                    "3 photos were left out: they cannot be read"));
    EXPECT_EQ(f.run.ImageCount(), 3);
    EXPECT_THAT(NamesStartingWith(f.out.str(), "n_"), ElementsAre("n_b-cut.jpg", "n_img01.jpg", "n_img02.jpg"));
    EXPECT_THAT(NamesStartingWith(f.out.str(), "t_"), ElementsAre("t_b-cut.jpg", "t_img01.jpg", "t_img02.jpg"));
    EXPECT_THAT(NamesStartingWith(f.out.str(), "image"), ElementsAre("image1.htm", "image2.htm", "image3.htm"));
    EXPECT_EQ(ReadFile(f.out / "page1.htm").find("a-12bit"), std::string::npos);

    // The dry run leaves out the same photos.
    RunPlan plan;
    f.view.Warnings.clear();
    ASSERT_EQ(f.run.Plan(plan), RunOutcome::Finished);
    EXPECT_EQ(plan.Photos.size(), 3u);
    ASSERT_EQ(plan.LeftOut.size(), 3u);
    EXPECT_EQ(plan.LeftOut[1].Path, f.in / "c-empty.jpg");
    EXPECT_EQ(plan.LeftOut[1].Problem, "JPEG error #42: Empty input file");
    EXPECT_EQ(plan.ProblemCount(), 0);
  }
}

// Photos of the other formats that cannot be read are left out the same
// way, each found by its own decoder before any page links to it.
TEST(GenerationRun, skips_photos_of_other_formats_that_cannot_be_read) {
  Fixture f(1);
  f.settings.SetOtherFormats(true);
  f.settings.SetSkipBadPhotos(true);
  const Image flat = test::FlatImage(16, 12, {90, 120, 150});
  test::WritePng(f.in / "good.png", 16, 12, test::FromImage(flat));
  const std::string png = ReadFile(f.in / "good.png");
  WriteFile(f.in / "cut.png", png.substr(0, png.size() / 2));
  WriteFile(f.in / "png.heic", png);
  test::WriteHeif(f.in / "good.heic", 16, 12, test::FromImage(flat));
  const std::string heic = ReadFile(f.in / "good.heic");
  WriteFile(f.in / "cut.heic", heic.substr(0, heic.size() / 2));
  ASSERT_EQ(StartError(f), "");
  EXPECT_EQ(f.view.FoundLabel, "Found : 6");  // the search counts every photo file
  EXPECT_THAT(f.run.LeftOut(), ElementsAre(f.in / "cut.heic", f.in / "cut.png", f.in / "png.heic"));
  EXPECT_EQ(f.view.Warnings.back(), "3 photos were left out: they cannot be read");
  EXPECT_THAT(NamesStartingWith(f.out.str(), "n_"), ElementsAre("n_good.heic.jpg", "n_good.png.jpg", "n_img01.jpg"));
  EXPECT_EQ(ReadFile(f.out / "page1.htm").find("cut."), std::string::npos);
}

// A photo whose colour profile cannot be used is still in the gallery, as
// if it had none, and the run says so once, though three stages read it.
TEST(GenerationRun, tells_of_an_unusable_colour_profile_once_and_goes_on) {
  Fixture f(1);
  f.settings.SetCopyOrgSizedImages(true);
  f.settings.SetOtherFormats(true);
  std::string damaged = test::DisplayP3Profile();
  damaged.resize(damaged.size() / 2);
  const Image flat = test::FlatImage(16, 12, {90, 120, 150});
  test::WriteWebp(f.in / "shot.webp", 16, 12, test::FromImage(flat), {.icc = damaged});
  ASSERT_EQ(StartError(f), "");
  EXPECT_THAT(
      f.view.Warnings,
      ElementsAre(f.in / "shot.webp" +
                  " has a colour profile that cannot be used: it is ignored and the colours are taken as sRGB"));
  for (const char* name : {"n_shot.webp.jpg", "t_shot.webp.jpg", "b_shot.webp.jpg"})
    EXPECT_TRUE(fs::exists(f.out / name));
}

TEST(GenerationRun, a_folder_of_photos_none_of_which_can_be_read_has_no_images) {
  Fixture f(0);
  WriteFile(f.in / "empty.jpg", "");
  f.settings.SetSkipBadPhotos(true);
  EXPECT_EQ(f.run.Start(), RunOutcome::NoImages);
  EXPECT_THAT(f.desktop.Shown, ElementsAre("E: No Images Could be found"));
  EXPECT_EQ(f.view.Warnings.back(), "1 photo was left out: it cannot be read");
  EXPECT_TRUE(fs::is_empty(f.out.path()));
}

// A damaged photo is told once per run, though both image stages read it,
// and again in the next run that decodes it.
TEST(GenerationRun, tells_of_a_damaged_photo_once_per_run) {
  const std::string whole = test::WellFormedJpeg(64, 48);
  Fixture f(1);
  WriteFile(f.in / "cut.jpg", test::Truncated(whole, (whole.find("\xFF\xDA") + whole.size()) / 2));
  const std::string warning = f.in / "cut.jpg" + " is damaged: premature end of data; the missing part shows grey";
  ASSERT_EQ(StartError(f), "");
  EXPECT_THAT(f.view.Warnings, ElementsAre(warning));
  ASSERT_EQ(StartError(f), "");
  EXPECT_THAT(f.view.Warnings, ElementsAre(warning, warning));
}

}  // namespace
}  // namespace fotoloom
