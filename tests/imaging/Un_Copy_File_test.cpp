#include "imaging/Un_Copy_File.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>

#include "PhotoFixtures.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<int> CopyAll(tcopy_file& copy, int cancelAt = -1) {
  std::vector<int> progress;
  copy.OnProgress = [&](tcopy_file&, int index, bool& cancelled) {
    progress.push_back(index);
    if (index == cancelAt) cancelled = true;
  };
  copy.Copy_originals();
  return progress;
}

tcopy_file MakeCopy(const std::vector<std::string>& files, const std::string& out) {
  tcopy_file copy;
  copy.ImageFiles = files;
  copy.ImageCount = static_cast<int>(files.size());
  copy.OutputPath = out;
  return copy;
}

TEST(tcopy_file, copies_byte_for_byte_under_b_with_the_name_and_date_of_the_input) {
  TempDir in;
  TempDir out;
  const std::string bytes("\xFF\xD8 any bytes at all \0 even zeros \xFF\xD9", 33);
  WriteFile(in / "DSC_0042.jpg", bytes);
  WriteFile(in / "Other.JPEG", "second");
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  std::filesystem::last_write_time(in / "DSC_0042.jpg", old);
  tcopy_file copy = MakeCopy({in / "DSC_0042.jpg", in / "Other.JPEG"}, out.str() + "/");
  EXPECT_EQ(CopyAll(copy), (std::vector<int>{0, 1}));
  EXPECT_EQ(ReadFile(out / "b_DSC_0042.jpg"), bytes);
  EXPECT_EQ(ReadFile(out / "b_Other.JPEG"), "second");
  EXPECT_EQ(std::filesystem::last_write_time(out / "b_DSC_0042.jpg"), old);
}

TEST(tcopy_file, each_copy_goes_into_its_photo_s_subfolder) {
  TempDir in;
  TempDir out;
  std::filesystem::create_directories(in.path() / "x");
  WriteFile(in / "a.jpg", "top");
  WriteFile(in / "x/a.jpg", "in x");
  std::filesystem::create_directories(out.path() / "x y");
  tcopy_file copy = MakeCopy({in / "x/a.jpg", in / "a.jpg"}, out.str());
  copy.Subfolders = {"x y"};
  EXPECT_EQ(CopyAll(copy), (std::vector<int>{0, 1}));
  EXPECT_EQ(ReadFile(out / "x y/b_a.jpg"), "in x");
  EXPECT_EQ(ReadFile(out / "b_a.jpg"), "top");
}

TEST(tcopy_file, never_replaces_an_existing_copy_and_copies_what_is_new) {
  TempDir in;
  TempDir out;
  WriteFile(in / "a.jpg", "new content of a");
  WriteFile(in / "b.jpg", "b");
  WriteFile(out / "b_a.jpg", "from an earlier run");
  tcopy_file copy = MakeCopy({in / "a.jpg", in / "b.jpg"}, out.str());
  EXPECT_EQ(CopyAll(copy), (std::vector<int>{0, 1}));
  EXPECT_EQ(ReadFile(out / "b_a.jpg"), "from an earlier run");
  EXPECT_EQ(ReadFile(out / "b_b.jpg"), "b");
}

TEST(tcopy_file, failures_are_silent_reported_and_leave_no_file) {
  TempDir in;
  TempDir out;
  WriteFile(in / "ok.jpg", "ok");
  std::filesystem::create_directory(in / "folder.jpg");
  tcopy_file copy = MakeCopy({in / "gone.jpg", in / "folder.jpg", in / "ok.jpg"}, out.str());
  EXPECT_EQ(CopyAll(copy), (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(std::filesystem::exists(out / "b_gone.jpg"));
  EXPECT_FALSE(std::filesystem::exists(out / "b_folder.jpg"));
  EXPECT_EQ(ReadFile(out / "b_ok.jpg"), "ok");

  tcopy_file nowhere = MakeCopy({in / "ok.jpg"}, out / "missing");
  EXPECT_EQ(CopyAll(nowhere), (std::vector<int>{0}));
}

TEST(tcopy_file, a_copy_that_fails_half_way_leaves_no_partial_file) {
  TempDir in;
  TempDir out;
  WriteFile(in / "big.jpg", std::string(256 * 1024, 'x'));
  // A file size limit makes the write fail after 64 KiB, as a full disk would.
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit limit = saved;
  limit.rlim_cur = 64 * 1024;
  auto* previous = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  tcopy_file copy = MakeCopy({in / "big.jpg"}, out.str());
  const std::vector<int> progress = CopyAll(copy);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);
  EXPECT_EQ(progress, (std::vector<int>{0}));
  EXPECT_FALSE(std::filesystem::exists(out / "b_big.jpg"));
}

TEST(tcopy_file, image_count_and_cancel_limit_the_copies) {
  TempDir in;
  TempDir out;
  for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg"}) WriteFile(in / name, name);
  tcopy_file copy = MakeCopy({in / "1.jpg", in / "2.jpg", in / "3.jpg", in / "4.jpg"}, out.str());
  copy.ImageCount = 3;
  EXPECT_EQ(CopyAll(copy, 1), (std::vector<int>{0, 1}));
  EXPECT_TRUE(copy.Cancelled);
  EXPECT_TRUE(std::filesystem::exists(out / "b_2.jpg"));
  EXPECT_FALSE(std::filesystem::exists(out / "b_3.jpg"));

  copy.Cancelled = false;
  copy.ImageCount = 0;
  EXPECT_TRUE(CopyAll(copy).empty());
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

TEST(tcopy_file, actions_make_replace_or_skip_each_copy_whole) {
  test::TempDir in;
  test::TempDir out;
  std::vector<std::string> files;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
    test::WriteFile(in / name, std::string("new ") + name);
    files.push_back(in / name);
  }
  for (const char* name : {"b_b.jpg", "b_c.jpg", "b_d.jpg"}) test::WriteFile(out / name, "old");
  tcopy_file copy;
  copy.ImageFiles = files;
  copy.ImageCount = 4;
  copy.OutputPath = out.str();
  copy.Actions = {OriginalCopy::UnlessPresentWhole, OriginalCopy::UnlessPresentWhole, OriginalCopy::ReplaceWhole,
                  OriginalCopy::Skip};
  std::vector<bool> madeAtProgress;
  copy.OnProgress = [&madeAtProgress](tcopy_file& sender, int index, bool&) {
    madeAtProgress.push_back(sender.Made[static_cast<std::size_t>(index)]);
  };
  copy.Copy_originals();
  EXPECT_EQ(test::ReadFile(out / "b_a.jpg"), "new a.jpg");
  EXPECT_EQ(test::ReadFile(out / "b_b.jpg"), "old");
  EXPECT_EQ(test::ReadFile(out / "b_c.jpg"), "new c.jpg");
  EXPECT_EQ(test::ReadFile(out / "b_d.jpg"), "old");
  EXPECT_EQ(madeAtProgress, (std::vector<bool>{true, false, true, false}));
  // A replaced copy keeps its photo's time, and no temporary stays.
  EXPECT_EQ(std::filesystem::last_write_time(out / "b_c.jpg"), std::filesystem::last_write_time(in / "c.jpg"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), std::filesystem::directory_iterator()), 4);
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

TEST(tcopy_file, a_photo_of_another_format_gets_a_full_size_jpeg_and_a_jpeg_its_byte_copy) {
  TempDir in;
  TempDir out;
  const Image photo = test::FlatImage(40, 30, {200, 100, 50});
  test::WriteJpeg(in / "a.jpg", photo);
  test::WritePng(in / "b.png", 40, 30, test::FromImage(photo));
  test::WriteFile(in / "c.webp", "not a picture");
  tcopy_file copy = MakeCopy({in / "a.jpg", in / "b.png", in / "c.webp"}, out.str());
  copy.Quality = 80;
  // The conversion runs on a thread of its own while this is fired.
  copy.OnWorking = [](tcopy_file&, bool&) {};
  EXPECT_EQ(CopyAll(copy), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ReadFile(out / "b_a.jpg"), ReadFile(in / "a.jpg"));
  EXPECT_FALSE(std::filesystem::exists(out / "b_b.png"));
  const test::JpegFacts facts = test::ReadFacts(out / "b_b.png.jpg");
  EXPECT_EQ(facts.width, 40);
  EXPECT_EQ(facts.height, 30);
  EXPECT_EQ(test::Centre(test::Decode(out / "b_b.png.jpg")).r / 4, 200 / 4);
  // One that cannot be decoded gets nothing, as a copy that failed.
  EXPECT_EQ(copy.Made, (std::vector<bool>{true, true, false}));
  EXPECT_FALSE(std::filesystem::exists(out / "b_c.webp.jpg"));
  // An existing one stays unless the action replaces it.
  WriteFile(out / "b_b.png.jpg", "kept");
  CopyAll(copy);
  EXPECT_EQ(ReadFile(out / "b_b.png.jpg"), "kept");
  copy.Actions = {OriginalCopy::Skip, OriginalCopy::ReplaceWhole, OriginalCopy::Skip};
  CopyAll(copy);
  EXPECT_EQ(test::ReadFacts(out / "b_b.png.jpg").width, 40);
}

}  // namespace
}  // namespace fotoloom
