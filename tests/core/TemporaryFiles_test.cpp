#include "core/TemporaryFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A process id no process has (above the kernel's largest).
const std::string kDead = "999999999";

std::set<std::string> NamesIn(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename().string());
  return names;
}

TEST(TemporaryFiles, leftover_temporaries_of_ended_processes_are_removed) {
  test::TempDir dir;
  const std::string dead = kDead;
  const std::string alive = std::to_string(::getpid());
  for (const std::string& name :
       {"page1.htm.fotoloom-" + dead + ".tmp", ".fotoloom-" + dead + "-3.tmp", "n_a.jpg.fotoloom-" + alive + ".tmp",
        std::string("notes.fotoloom-12x.tmp"), std::string("page1.htm"), ".fotoloom-" + dead + ".tmp"})
    test::WriteFile(dir / name, "x");
  EXPECT_EQ(TemporaryPathFor(dir / "page1.htm"), dir / ("page1.htm.fotoloom-" + alive + ".tmp"));
  EXPECT_EQ(RemoveLeftoverFiles(dir.str()), 2);
  std::set<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) left.insert(e.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"n_a.jpg.fotoloom-" + alive + ".tmp", "notes.fotoloom-12x.tmp", "page1.htm",
                                         ".fotoloom-" + dead + ".tmp"}));
}

// The ZIP library writes its own temporary file beside ours and renames it.
TEST(TemporaryFiles, a_library_temporary_beside_a_leftover_temporary_is_removed_too) {
  TempDir out;
  const std::string dead = "photos.zip.fotoloom-" + kDead + ".tmp";
  const std::string alive = "photos.zip.fotoloom-" + std::to_string(::getpid()) + ".tmp";
  for (const std::string& name :
       {dead + ".a1B2c3", alive + ".a1B2c3", dead + ".a1-2c3", dead + ".a1B2c", std::string("x.a1B2c3")})
    test::WriteFile(out / name, "x");
  EXPECT_EQ(RemoveLeftoverFiles(out.str()), 1);
  EXPECT_EQ(NamesIn(out),
            (std::set<std::string>{alive + ".a1B2c3", dead + ".a1-2c3", dead + ".a1B2c", std::string("x.a1B2c3")}));
}

TEST(TemporaryFiles, the_next_run_removes_only_files_named_as_its_file_is) {
  TempDir out;
  for (const char* name :
       {".fotoloom-waiting-thumbnails-a1B2c3", ".fotoloom-waiting-thumbnails-zzzzzz",
        ".fotoloom-waiting-thumbnails-toolong", ".fotoloom-waiting-thumbnails-short", "n_a.jpg", ".fotoloom-12.tmp"})
    test::WriteFile(out / name, "x");
  fs::create_directory(out / ".fotoloom-waiting-thumbnails-folder");
  fs::create_symlink(out / "n_a.jpg", out / ".fotoloom-waiting-thumbnails-linked");
  RemoveLeftoverFiles(out.str());
  EXPECT_EQ(NamesIn(out),
            (std::set<std::string>{".fotoloom-waiting-thumbnails-toolong", ".fotoloom-waiting-thumbnails-short",
                                   "n_a.jpg", ".fotoloom-12.tmp", ".fotoloom-waiting-thumbnails-folder",
                                   ".fotoloom-waiting-thumbnails-linked"}));
  EXPECT_EQ(test::ReadFile(out / "n_a.jpg"), "x");
  RemoveLeftoverFiles(out / "missing");  // nothing to do, nothing raised
}

// A spill file names its process; only one whose process has ended goes,
// and nothing that merely looks like one.
TEST(TemporaryFiles, spill_files_go_only_when_their_process_has_ended) {
  const std::string alive = std::to_string(::getpid());
  const struct {
    std::string name;
    bool removed;
  } cases[] = {
      {".fotoloom-waiting-thumbnails-" + kDead + "-a1B2c3", true},
      {".fotoloom-waiting-thumbnails-" + alive + "-a1B2c3", false},
      {".fotoloom-waiting-thumbnails-1-a1B2c3", false},  // init runs as long as the machine
      {".fotoloom-waiting-thumbnails-" + kDead + "-a1B2c", false},
      {".fotoloom-waiting-thumbnails-" + kDead + "-a1B2c3d", false},
      {".fotoloom-waiting-thumbnails-" + kDead + "-a1B.c3", false},
      {".fotoloom-waiting-thumbnails-x" + kDead + "-a1B2c3", false},
      {".fotoloom-waiting-thumbnails-0-a1B2c3", false},
      {".fotoloom-waiting-thumbnails-1234567890-a1B2c3", false},  // longer than any process id
      {".fotoloom-waiting-thumbnails--a1B2c3", false},
      {"x.fotoloom-waiting-thumbnails-" + kDead + "-a1B2c3", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir out;
    test::WriteFile(out / c.name, "x");
    EXPECT_EQ(RemoveLeftoverFiles(out.str()), c.removed ? 1 : 0);
    EXPECT_EQ(fs::exists(out / c.name), !c.removed);
  }
  // A folder or a link under a dead process's name is never taken for a file.
  TempDir out;
  fs::create_directory(out / ("page1.htm.fotoloom-" + kDead + ".tmp"));
  test::WriteFile(out / "mine.txt", "mine");
  fs::create_symlink(out / "mine.txt", out / (".fotoloom-waiting-thumbnails-" + kDead + "-a1B2c3"));
  EXPECT_EQ(RemoveLeftoverFiles(out.str()), 0);
  EXPECT_EQ(NamesIn(out).size(), 3u);
}

TEST(TemporaryFiles, a_spill_file_is_named_for_this_process) {
  const std::string name = SpillFileNameTemplate();
  EXPECT_EQ(name, ".fotoloom-waiting-thumbnails-" + std::to_string(::getpid()) + "-XXXXXX");
  // mkostemp makes such a name a file of this process, which stays while it runs.
  TempDir out;
  std::string path = out / name;
  const int fd = ::mkostemp(path.data(), 0);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(RemoveLeftoverFiles(out.str()), 0);
  EXPECT_TRUE(fs::exists(path));
}

}  // namespace
}  // namespace fotoloom
