#include "core/Un_MyFindFile.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

// Pins the local time zone for one test and restores the previous one.
class PinnedTimeZone {
 public:
  explicit PinnedTimeZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old, hadOld_ = true;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~PinnedTimeZone() {
    if (hadOld_)
      ::setenv("TZ", old_.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::string old_;
  bool hadOld_ = false;
};

// Sets a file's last-write time to a local date and time.
void SetLocalMtime(const std::string& path, int y, int mo, int d, int h, int mi, int s = 0, long ns = 0) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  const timespec times[2] = {{t, ns}, {t, ns}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Runs a search and keeps what it reported.
struct SearchLog {
  std::vector<std::string> folders;
  std::vector<FoundFile> files;
  int done = 0;

  void Search(TMyFindFile& f) {
    f.OnFileFound = [this](TMyFindFile&, const std::string& folder, const FoundFile& file, bool&) {
      folders.push_back(folder);
      files.push_back(file);
    };
    f.OnSearchDone = [this](TMyFindFile&) { ++done; };
    f.Search();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> n;
    for (const FoundFile& f : files) n.push_back(f.Name);
    return n;
  }
};

TEST(TMyFindFile, construction_gives_the_default_mask_attributes_and_no_events) {
  const TMyFindFile f;
  EXPECT_EQ(f.Mask, "*.*");
  EXPECT_EQ(f.Attributes, 39u);
  EXPECT_FALSE(f.Cancelled);
  EXPECT_FALSE(f.OnFileFound);
  EXPECT_FALSE(f.OnSearchDone);
}

TEST(TMyFindFile, the_image_mask_finds_hidden_files_and_skips_folders_and_other_names) {
  TempDir dir;
  WriteFile(dir / "a.jpg", "x");
  WriteFile(dir / "b.JPEG", "x");
  WriteFile(dir / ".c.jpg", "x");
  std::filesystem::create_directory(dir / "d.jpg");
  WriteFile(dir / "e.jpg.bak", "x");
  WriteFile(dir / "f.png", "x");
  WriteFile(dir / "d.jpg/inner.jpg", "x");
  TMyFindFile f;
  f.SearchFolder = dir.str();
  f.Mask = "*.jp*g";
  SearchLog run;
  run.Search(f);
  EXPECT_EQ(f.FileCount, 3);
  EXPECT_THAT(run.Names(), ElementsAre(".c.jpg", "a.jpg", "b.JPEG"));
  EXPECT_EQ(run.done, 1);
}

TEST(TMyFindFile, attributes_are_mapped_from_the_linux_file) {
  TempDir dir;
  WriteFile(dir / "plain.jpg", "12345");
  WriteFile(dir / "locked.jpg", "x");
  ::chmod((dir / "locked.jpg").c_str(), 0444);
  WriteFile(dir / ".hidden.jpg", "x");
  TMyFindFile f;
  f.SearchFolder = dir.str();
  SearchLog run;
  run.Search(f);
  ASSERT_THAT(run.Names(), ElementsAre(".hidden.jpg", "locked.jpg", "plain.jpg"));
  EXPECT_EQ(run.files[0].Attr, unsigned(faHidden | faArchive));
  EXPECT_EQ(run.files[1].Attr, unsigned(faReadOnly | faArchive));
  EXPECT_EQ(run.files[2].Attr, unsigned(faArchive));
  EXPECT_EQ(run.files[2].Size, 5);
}

TEST(TMyFindFile, the_attribute_filter_admits_folders_and_hidden_entries_only_when_asked) {
  TempDir dir;
  WriteFile(dir / "a.jpg", "x");
  WriteFile(dir / ".b.jpg", "x");
  std::filesystem::create_directory(dir / "sub");
  TMyFindFile f;
  f.SearchFolder = dir.str();

  f.Attributes = faReadOnly | faArchive;
  SearchLog plain;
  plain.Search(f);
  EXPECT_THAT(plain.Names(), ElementsAre("a.jpg"));

  // With folders admitted the folder is reported but not counted.
  f.Attributes = TMyFindFile::kDefaultAttributes | faDirectory;
  SearchLog all;
  all.Search(f);
  EXPECT_THAT(all.Names(), ElementsAre(".b.jpg", "a.jpg", "sub"));
  EXPECT_EQ(all.files[2].Attr, unsigned(faDirectory));
  EXPECT_EQ(f.FileCount, 2);
}

TEST(TMyFindFile, symbolic_links_are_followed_and_dangling_ones_skipped) {
  TempDir dir;
  WriteFile(dir / "real.bin", "abc");
  std::filesystem::create_directory(dir / "in");
  std::filesystem::create_symlink(dir / "real.bin", dir / "in/link.jpg");
  std::filesystem::create_symlink(dir / "gone.bin", dir / "in/dangling.jpg");
  TMyFindFile f;
  f.SearchFolder = dir / "in";
  SearchLog run;
  run.Search(f);
  EXPECT_THAT(run.Names(), ElementsAre("link.jpg"));
  EXPECT_EQ(run.files[0].Size, 3);
  EXPECT_EQ(f.FileCount, 1);
}

TEST(TMyFindFile, fifos_and_devices_named_like_photos_are_skipped) {
  TempDir dir;
  std::filesystem::create_directory(dir / "in");
  ASSERT_EQ(::mkfifo((dir / "in/pipe.jpg").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", dir / "in/zero.jpg");
  WriteFile(dir / "in/real.jpg", "x");
  TMyFindFile f;
  f.SearchFolder = dir / "in";
  SearchLog run;
  run.Search(f);
  EXPECT_THAT(run.Names(), ElementsAre("real.jpg"));
  EXPECT_EQ(f.FileCount, 1);
}

TEST(TMyFindFile, cancelling_in_the_first_report_stops_the_search_and_still_ends_it) {
  TempDir dir;
  for (const char* n : {"1.jpg", "2.jpg", "3.jpg"}) WriteFile(dir / n, "x");
  TMyFindFile f;
  f.SearchFolder = dir.str();
  int found = 0, done = 0;
  f.OnFileFound = [&](TMyFindFile&, const std::string&, const FoundFile&, bool& cancel) {
    ++found;
    cancel = true;
  };
  f.OnSearchDone = [&](TMyFindFile& sender) {
    ++done;
    EXPECT_EQ(&sender, &f);
  };
  f.Search();
  EXPECT_EQ(found, 1);
  EXPECT_EQ(f.FileCount, 1);
  EXPECT_EQ(done, 1);
  EXPECT_TRUE(f.Cancelled);
}

TEST(TMyFindFile, empty_missing_or_unlistable_folders_give_an_empty_search_that_still_ends) {
  TempDir dir;
  WriteFile(dir / "file.txt", "x");
  for (const std::string& folder : {std::string(), dir / "missing", dir / "file.txt"}) {
    TMyFindFile f;
    f.SearchFolder = folder;
    f.FileCount = 42;
    SearchLog run;
    run.Search(f);
    EXPECT_EQ(f.FileCount, 0) << folder;
    EXPECT_TRUE(run.files.empty()) << folder;
    EXPECT_EQ(run.done, 1) << folder;
  }
}

TEST(TMyFindFile, an_unreadable_folder_gives_an_empty_search) {
  TempDir dir;
  std::filesystem::create_directory(dir / "closed");
  WriteFile(dir / "closed/a.jpg", "x");
  ::chmod((dir / "closed").c_str(), 0);
  if (::access((dir / "closed").c_str(), R_OK) == 0) GTEST_SKIP() << "permissions are not enforced for this user";
  TMyFindFile f;
  f.SearchFolder = dir / "closed";
  SearchLog run;
  run.Search(f);
  EXPECT_EQ(f.FileCount, 0);
  EXPECT_EQ(run.done, 1);
}

TEST(TMyFindFile, the_folder_argument_ends_in_a_separator_either_way) {
  TempDir dir;
  WriteFile(dir / "a.jpg", "x");
  for (const std::string& folder : {dir.str(), dir.str() + "/"}) {
    TMyFindFile f;
    f.SearchFolder = folder;
    SearchLog run;
    run.Search(f);
    EXPECT_THAT(run.folders, ElementsAre(dir.str() + "/"));
  }
}

TEST(TMyFindFile, file_dates_are_local_calendar_days) {
  PinnedTimeZone tz("XYZ-05:00");  // UTC+5: both late-night times below share one UTC day
  TempDir dir;
  for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) WriteFile(dir / n, "x");
  SetLocalMtime(dir / "a.jpg", 2006, 3, 4, 23, 59);
  SetLocalMtime(dir / "b.jpg", 2006, 3, 5, 0, 1);
  SetLocalMtime(dir / "c.jpg", 2006, 3, 5, 8, 0, 17);
  SetLocalMtime(dir / "d.jpg", 2006, 3, 5, 20, 0);
  TMyFindFile f;
  f.SearchFolder = dir.str();
  SearchLog run;
  run.Search(f);
  ASSERT_EQ(run.files.size(), 4u);
  const auto entry = [&](int i) { return MakeImageEntry(run.folders[i], run.files[i]); };
  EXPECT_EQ(entry(0).FileDate, (CalendarDate{2006, 3, 4}));
  EXPECT_EQ(entry(1).FileDate, (CalendarDate{2006, 3, 5}));
  EXPECT_NE(entry(0).FileDate, entry(1).FileDate);
  EXPECT_EQ(entry(2).FileDate, entry(3).FileDate);
  EXPECT_EQ(run.files[2].Time.Hour, 8);
  EXPECT_EQ(run.files[2].Time.Second, 16);  // two-second resolution
  EXPECT_EQ(entry(2).Folder, dir.str() + "/");
  EXPECT_EQ(entry(2).FileName, "c.jpg");
}

TEST(MatchesMask, follows_the_desktop_wildcard_rules) {
  EXPECT_TRUE(MatchesMask("a.jpg", "*.jp*g"));
  EXPECT_TRUE(MatchesMask("b.JPG", "*.jp*g"));
  EXPECT_TRUE(MatchesMask("c.jpeg", "*.jp*g"));
  EXPECT_TRUE(MatchesMask("d.Jpeg", "*.jp*g"));
  EXPECT_TRUE(MatchesMask("x.y.jpg", "*.jp*g"));
  EXPECT_TRUE(MatchesMask(".hidden.jpg", "*.jp*g"));
  EXPECT_FALSE(MatchesMask("e.jpg.txt", "*.jp*g"));
  EXPECT_FALSE(MatchesMask("f.png", "*.jp*g"));
  EXPECT_TRUE(MatchesMask("a1.jpg", "a?.jpg"));
  EXPECT_FALSE(MatchesMask("a12.jpg", "a?.jpg"));
  EXPECT_TRUE(MatchesMask("README", "*.*"));
  EXPECT_TRUE(MatchesMask("notes", "notes.*"));
  EXPECT_TRUE(MatchesMask("back\\slash.jpg", "back\\*.jpg"));
}

TEST(TMyFindFile, entries_carry_the_exact_local_time_of_the_last_write) {
  PinnedTimeZone tz("XYZ-05:00");
  TempDir dir;
  WriteFile(dir / "a.jpg", "x");
  SetLocalMtime(dir / "a.jpg", 2006, 3, 5, 23, 59, 17, 123456789);
  TMyFindFile f;
  f.SearchFolder = dir.str();
  SearchLog run;
  run.Search(f);
  ASSERT_EQ(run.files.size(), 1u);
  const ImageEntry entry = MakeImageEntry(run.folders[0], run.files[0]);
  EXPECT_EQ(entry.FileTime, (LocalTimestamp{{2006, 3, 5}, 23, 59, 17, 123456789}));
  EXPECT_FALSE(entry.DateTaken);
}

}  // namespace
}  // namespace fotoloom
