#include "core/TextFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/Error.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(TextFile, writes_every_line_with_crlf_and_no_byte_order_mark) {
  TempDir dir;
  WriteTextFile(dir / "a.htm", {"<html>", "", "</html>"});
  EXPECT_EQ(ReadFile(dir / "a.htm"), "<html>\r\n\r\n</html>\r\n");
}

TEST(TextFile, replaces_an_existing_file_whole_and_leaves_no_temporary) {
  TempDir dir;
  test::WriteFile(dir / "a.htm", "a much longer old content than the new one");
  WriteTextFile(dir / "a.htm", {"new"});
  EXPECT_EQ(ReadFile(dir / "a.htm"), "new\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(TextFile, a_name_near_the_length_limit_is_written_and_leaves_no_temporary) {
  TempDir dir;
  for (const std::size_t length : {230u, 245u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".jpg";
    WriteWholeFile(dir / name, "bytes");
    EXPECT_EQ(ReadFile(dir / name), "bytes") << length;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST(TextFile, an_empty_list_gives_an_empty_file) {
  TempDir dir;
  WriteTextFile(dir / "e.htm", {});
  EXPECT_TRUE(std::filesystem::exists(dir / "e.htm"));
  EXPECT_EQ(ReadFile(dir / "e.htm"), "");
}

TEST(TextFile, a_missing_folder_raises_cannot_create_file_with_the_reason) {
  TempDir dir;
  const std::string path = dir / "missing/a.htm";
  try {
    WriteTextFile(path, {"x"});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), ("Cannot create file \"" + path + "\". No such file or directory").c_str());
  }
}

TEST(TextFile, a_folder_under_the_target_name_is_left_alone) {
  TempDir dir;
  std::filesystem::create_directory(dir / "page1.htm");
  test::WriteFile(dir / "page1.htm/keep.txt", "keep");
  EXPECT_THROW(WriteTextFile(dir / "page1.htm", {"x"}), Error);
  EXPECT_EQ(ReadFile(dir / "page1.htm/keep.txt"), "keep");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace fotoloom
