// Tests of the check of a run's input and output folder.
#include "core/FolderCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;

TEST(FolderCheck, tells_folders_apart_by_identity_not_spelling) {
  test::TempDir dir;
  fs::create_directories(dir.path() / "photos/sub/deeper");
  fs::create_directories(dir.path() / "web");
  fs::create_directory_symlink(dir.path() / "photos", dir.path() / "link-to-photos");
  fs::create_directory_symlink(dir.path() / "photos/sub", dir.path() / "web/link-to-sub");
  const std::string photos = dir / "photos";
  using enum FolderFault;
  const struct {
    std::string input;
    std::string output;
    FolderFault fault;
  } cases[] = {
      {photos, dir / "web", None},
      {photos, dir / "missing", None},  // made by the run after asking
      {photos, photos + "/sub", None},  // the output inside the input is allowed
      {dir / "missing", dir / "web", InputMissing},
      {"", dir / "web", InputMissing},
      {dir / "web/../photos/sub/../../photos", photos, SameFolder},
      {photos, photos, SameFolder},
      {photos, photos + "/", SameFolder},
      {photos, dir / "web/../photos", SameFolder},
      {photos, dir / "link-to-photos", SameFolder},
      {dir / "link-to-photos", photos + "/./", SameFolder},
      {photos + "/sub/deeper", photos, InputInsideOutput},
      {photos + "/sub", dir.str(), InputInsideOutput},
      {dir / "web/link-to-sub", photos, InputInsideOutput},  // the link leads below the output
      {dir / "link-to-photos/sub", dir / "photos/", InputInsideOutput},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input + " -> " + c.output);
    EXPECT_EQ(CheckRunFolders(c.input, c.output), c.fault);
  }
}

TEST(FolderCheck, says_why_a_run_is_refused) {
  EXPECT_EQ(FolderFaultMessage(FolderFault::InputMissing, "in", "out"), "Incorrect path for input : in");
  EXPECT_EQ(FolderFaultMessage(FolderFault::SameFolder, "in", "out"),
            "The output folder \"out\" is the input folder \"in\": the gallery's images would overwrite the photos. "
            "Choose another output folder.");
  EXPECT_EQ(FolderFaultMessage(FolderFault::InputInsideOutput, "in", "out"),
            "The input folder \"in\" is inside the output folder \"out\": a run could overwrite or delete the "
            "photos. Choose another output folder.");
  EXPECT_EQ(FolderFaultMessage(FolderFault::None, "in", "out"), "");
}

}  // namespace
}  // namespace fotoloom
