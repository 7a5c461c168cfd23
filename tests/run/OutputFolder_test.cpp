#include "run/OutputFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/RecordingDesktop.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RecordingDesktop;
using test::TempDir;
using test::WriteFile;

GallerySettings WithOutput(const std::string& output) {
  GallerySettings s;
  s.SetOutputPath(output);
  return s;
}

TEST(Open_first_page, forms_the_name_the_page_writer_writes) {
  GallerySettings s = WithOutput("/srv/web");
  EXPECT_EQ(First_page_path(s), "/srv/web/page1.htm");
  s.SetWebSiteExtension("html");
  EXPECT_EQ(First_page_path(s), "/srv/web/page1.html");
  s.SetWebSiteExtension("");
  EXPECT_EQ(First_page_path(s), "/srv/web/page1.");
  s.SetOutputPath("/srv/web/");
  s.SetThumbPagesName("index");
  s.SetWebSiteExtension(".htm");
  EXPECT_EQ(First_page_path(s), "/srv/web/index1.htm");
  s.SetOutputPath("");
  EXPECT_EQ(First_page_path(s), "index1.htm");
}

TEST(Open_first_page, hands_the_page_to_the_desktop_whether_or_not_it_exists) {
  RecordingDesktop desktop;
  Open_first_page(WithOutput("/nowhere"), desktop);
  ASSERT_EQ(desktop.Opened.size(), 1u);
  EXPECT_EQ(desktop.Opened[0], "/nowhere/page1.htm");
  EXPECT_TRUE(desktop.Shown.empty());
}

TEST(Clear_output_folder, asks_then_deletes_everything_but_dot_entries) {
  TempDir dir;
  WriteFile(dir / "page1.htm", "x");
  WriteFile(dir / ".keep", "");
  fs::create_directories(dir.path() / ".git" / "objects");
  WriteFile(dir / ".git/objects/a", "a");
  fs::create_directories(dir.path() / "nav" / "deep");
  WriteFile(dir / "nav/deep/b.gif", "b");
  // Read-only entries go too: a file, and a folder the owner may not write.
  WriteFile(dir / "readonly.jpg", "r");
  ::chmod((dir / "readonly.jpg").c_str(), 0444);
  ::chmod((dir / "nav/deep").c_str(), 0555);
  ::chmod((dir / "nav").c_str(), 0500);

  RecordingDesktop desktop;
  desktop.Answer = true;
  Clear_output_folder(WithOutput(dir.str()), desktop);

  ASSERT_EQ(desktop.Shown.size(), 1u);
  EXPECT_EQ(desktop.Shown[0], "W: Output folder \"" + dir.str() +
                                  "/\" is not empty. Do you want to go on and delete it ?\n\n"
                                  "3 files and 2 folders will be deleted for good.");
  EXPECT_EQ(desktop.DefaultNoQuestions, 1);
  EXPECT_FALSE(fs::exists(dir / "page1.htm"));
  EXPECT_FALSE(fs::exists(dir / "readonly.jpg"));
  EXPECT_FALSE(fs::exists(dir / "nav"));
  EXPECT_TRUE(fs::exists(dir / ".keep"));
  EXPECT_TRUE(fs::exists(dir / ".git/objects/a"));
  EXPECT_EQ(desktop.Pumps, 3);  // one per file deleted
}

TEST(Clear_output_folder, deletes_a_symbolic_link_but_nothing_it_points_to) {
  TempDir dir;
  TempDir elsewhere;
  WriteFile(elsewhere / "precious.jpg", "p");
  fs::create_directories(dir.path() / "out");
  fs::create_directory_symlink(elsewhere.path(), dir.path() / "out" / "linked");
  fs::create_symlink(elsewhere / "precious.jpg", dir.path() / "out" / "file-link.jpg");
  fs::create_directories(dir.path() / "out" / "sub");
  fs::create_directory_symlink(elsewhere.path(), dir.path() / "out" / "sub" / "inner-link");

  RecordingDesktop desktop;
  desktop.Answer = true;
  Clear_output_folder(WithOutput(dir / "out"), desktop);

  EXPECT_TRUE(fs::is_empty(dir.path() / "out"));
  EXPECT_EQ(ReadFile(elsewhere / "precious.jpg"), "p");
}

TEST(Clear_output_folder, does_nothing_without_a_yes_or_without_entries) {
  TempDir dir;
  WriteFile(dir / "page1.htm", "x");
  RecordingDesktop no;
  Clear_output_folder(WithOutput(dir.str()), no);
  EXPECT_EQ(no.Shown.size(), 1u);
  EXPECT_TRUE(fs::exists(dir / "page1.htm"));

  // An empty folder, one of kept entries only, a missing one, a file and an
  // empty path ask nothing.
  TempDir empty;
  RecordingDesktop yes;
  yes.Answer = true;
  Clear_output_folder(WithOutput(empty.str()), yes);
  WriteFile(empty / ".keep", "");
  Clear_output_folder(WithOutput(empty.str()), yes);
  Clear_output_folder(WithOutput(empty / "missing"), yes);
  Clear_output_folder(WithOutput(dir / "page1.htm"), yes);
  Clear_output_folder(WithOutput(""), yes);
  EXPECT_TRUE(yes.Shown.empty());
  EXPECT_TRUE(fs::exists(dir / "page1.htm"));
}

// Links count as one file each and are not followed; what sits below a
// kept (dot) entry is not counted.
TEST(Clear_output_folder, counts_what_it_would_delete_without_following_links) {
  TempDir dir;
  TempDir elsewhere;
  for (int i = 0; i < 5; ++i) WriteFile(elsewhere / ("f" + std::to_string(i)), "x");
  fs::create_directories(dir.path() / "a" / "b" / "c");
  WriteFile(dir / "a/b/c/one.jpg", "1");
  WriteFile(dir / "a/.hidden-inside", "h");
  fs::create_directory_symlink(elsewhere.path(), dir.path() / "a" / "linked");
  fs::create_symlink(elsewhere / "f0", dir.path() / "file-link");
  fs::create_directories(dir.path() / ".git");
  WriteFile(dir / ".git/config", "c");

  const EntryCount count = CountEntriesToClear(dir.str());
  EXPECT_EQ(count.Files, 4);  // one.jpg, .hidden-inside, and the two links
  EXPECT_EQ(count.Folders, 3);
  EXPECT_EQ(CountEntriesToClear(dir / "missing").Files, 0);
  EXPECT_EQ(ClearOutputFolderQuestion("/srv/web", EntryCount{1, 0}),
            "Output folder \"/srv/web/\" is not empty. Do you want to go on and delete it ?\n\n"
            "1 file will be deleted for good.");
  EXPECT_THAT(ClearOutputFolderQuestion("/srv/web/", EntryCount{737, 1}),
              ::testing::EndsWith("/srv/web/\" is not empty. Do you want to go on and delete it ?\n\n"
                                  "737 files and 1 folder will be deleted for good."));
}

TEST(Show_first_page, opens_a_gallery_that_is_there_and_says_when_there_is_none) {
  TempDir dir;
  RecordingDesktop desktop;
  Show_first_page(WithOutput(dir.str()), desktop);
  Show_first_page(WithOutput(""), desktop);
  fs::create_directories(dir.path() / "page1.htm");  // a folder is no page
  Show_first_page(WithOutput(dir.str()), desktop);
  EXPECT_TRUE(desktop.Opened.empty());
  EXPECT_THAT(desktop.Shown, ::testing::ElementsAre("W: " + NoGalleryYetMessage(dir / "page1.htm"),
                                                    "W: " + NoGalleryYetMessage("page1.htm"),
                                                    "W: " + NoGalleryYetMessage(dir / "page1.htm")));
  EXPECT_EQ(NoGalleryYetMessage("/srv/web/page1.htm"),
            "There is no gallery to show yet: its first page \"/srv/web/page1.htm\" does not exist. Next on step 5 "
            "creates the gallery.");

  fs::remove(dir.path() / "page1.htm");
  WriteFile(dir / "page1.htm", "<html>");
  Show_first_page(WithOutput(dir.str()), desktop);
  EXPECT_THAT(desktop.Opened, ::testing::ElementsAre(dir / "page1.htm"));
  EXPECT_EQ(desktop.Shown.size(), 3u);
}

GallerySettings CopySettings(const std::string& additional, const std::string& output) {
  GallerySettings s = WithOutput(output);
  s.SetAdditionalPath(additional);
  return s;
}

TEST(Copy_additional_elements, copies_files_and_folders_replacing_older_files) {
  TempDir extra;
  TempDir out;
  WriteFile(extra / "logo.gif", "new logo");
  fs::create_directories(extra.path() / "nav");
  WriteFile(extra / "nav/prev.gif", "prev");
  WriteFile(extra / "nav/next.gif", "next");
  WriteFile(extra / ".DS_Store", "junk");
  fs::create_directories(extra.path() / ".svn");
  WriteFile(extra / ".svn/entries", "junk");
  WriteFile(out / "logo.gif", "old logo, longer than the new one");

  RecordingDesktop desktop;
  Copy_additional_elements(CopySettings(extra.str(), out.str()), desktop);

  EXPECT_EQ(ReadFile(out / "logo.gif"), "new logo");
  EXPECT_EQ(ReadFile(out / "nav/prev.gif"), "prev");
  EXPECT_EQ(ReadFile(out / "nav/next.gif"), "next");
  EXPECT_FALSE(fs::exists(out / ".DS_Store"));
  EXPECT_FALSE(fs::exists(out / ".svn"));
  EXPECT_EQ(desktop.Pumps, 3);
  EXPECT_TRUE(desktop.Shown.empty());
}

TEST(Copy_additional_elements, goes_on_after_an_entry_that_fails) {
  TempDir extra;
  TempDir out;
  WriteFile(extra / "a.gif", "a");
  WriteFile(extra / "b.gif", "b");
  WriteFile(extra / "c.gif", "c");
  ::chmod((extra / "b.gif").c_str(), 0);         // unreadable (root can still read it)
  fs::create_directories(out.path() / "a.gif");  // a folder where the file should go

  RecordingDesktop desktop;
  Copy_additional_elements(CopySettings(extra.str(), out.str()), desktop);
  EXPECT_TRUE(fs::is_directory(out / "a.gif"));
  EXPECT_EQ(ReadFile(out / "c.gif"), "c");
}

TEST(Copy_additional_elements, never_copies_a_folder_onto_itself_or_into_itself) {
  // The extra folder is the output folder: nothing may be truncated.
  TempDir same;
  WriteFile(same / "logo.gif", "logo");
  RecordingDesktop desktop;
  Copy_additional_elements(CopySettings(same.str(), same.str()), desktop);
  EXPECT_EQ(ReadFile(same / "logo.gif"), "logo");

  // The output folder inside the extra folder, and a link back up the tree.
  TempDir extra;
  fs::create_directories(extra.path() / "site" / "out");
  WriteFile(extra / "site/style.css", "css");
  fs::create_directory_symlink(extra.path() / "site", extra.path() / "site" / "loop");
  Copy_additional_elements(CopySettings(extra.str(), extra / "site/out"), desktop);
  EXPECT_EQ(ReadFile(extra / "site/out/site/style.css"), "css");
  EXPECT_FALSE(fs::exists(extra / "site/out/site/out"));
  EXPECT_FALSE(fs::exists(extra / "site/out/site/loop/loop"));
}

TEST(Copy_additional_elements, does_nothing_for_an_empty_or_missing_folder) {
  TempDir out;
  RecordingDesktop desktop;
  Copy_additional_elements(CopySettings("", out.str()), desktop);
  Copy_additional_elements(CopySettings(out / "missing", out.str()), desktop);
  EXPECT_TRUE(fs::is_empty(out.path()));
  EXPECT_EQ(desktop.Pumps, 0);
}

}  // namespace
}  // namespace fotoloom
