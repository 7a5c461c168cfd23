#include "imaging/WaitingThumbnails.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdexcept>

#include "core/Error.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

std::set<std::string> NamesIn(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename().string());
  return names;
}

std::string Taken(WaitingThumbnails& w, int index) {
  std::string jpeg;
  w.Take(index, jpeg);
  return jpeg;
}

TEST(WaitingThumbnails, holds_the_first_bytes_in_memory_and_the_rest_in_a_file_without_a_name) {
  TempDir out;
  WaitingThumbnails w;
  w.MemoryLimit = 10;
  w.Begin(out.str(), 5);
  w.Keep(0, "aaaa");
  w.Keep(1, "bbbbbb");       // exactly at the bound
  w.Keep(2, "ccccccccccc");  // goes to the file
  w.KeepError(3, std::make_exception_ptr(Error("JPEG error #53")));
  w.Keep(4, "d");  // the memory is full: the file too
  EXPECT_EQ(w.BytesInMemory(), 10u);
  EXPECT_EQ(w.BytesInFile(), 12u);
  ASSERT_FALSE(w.FilePath().empty());
  EXPECT_EQ(fs::path(w.FilePath()).parent_path(), out.path());
  EXPECT_TRUE(fs::path(w.FilePath()).filename().string().starts_with(".fotoloom-waiting-thumbnails-"));
  EXPECT_TRUE(NamesIn(out).empty());  // unlinked as soon as it was open
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(w.Holds(i)) << i;

  // In any order, each once.
  EXPECT_EQ(Taken(w, 4), "d");
  EXPECT_EQ(Taken(w, 0), "aaaa");
  EXPECT_EQ(Taken(w, 2), "ccccccccccc");
  EXPECT_EQ(Taken(w, 1), "bbbbbb");
  EXPECT_EQ(w.BytesInMemory(), 0u);
  try {
    Taken(w, 3);
    ADD_FAILURE() << "the kept error was not raised";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "JPEG error #53");
  }
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(w.Holds(i)) << i;
  EXPECT_FALSE(w.Holds(-1));
  EXPECT_FALSE(w.Holds(5));

  w.Clear();
  EXPECT_TRUE(w.FilePath().empty());
  EXPECT_EQ(w.BytesInFile(), 0u);
}

TEST(WaitingThumbnails, a_thumbnail_that_fits_nowhere_is_not_kept) {
  TempDir parent;
  WaitingThumbnails w;
  w.MemoryLimit = 4;
  w.Begin(parent / "gone", 3);  // no folder to make the file in
  w.Keep(0, "abc");
  w.Keep(1, "defgh");
  w.Keep(2, "i");
  EXPECT_TRUE(w.Holds(0));
  EXPECT_FALSE(w.Holds(1));
  EXPECT_TRUE(w.Holds(2));
  EXPECT_EQ(w.BytesInFile(), 0u);
  // A new run starts with an empty store.
  w.Begin(parent.str(), 1);
  EXPECT_FALSE(w.Holds(0));
}

}  // namespace
}  // namespace fotoloom
