#include "core/AlbumTree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::ErrorOf;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Makes the folder relative to top and writes the photos into it (files
// named like photos; the walk never decodes them).
void MakeFolder(const TempDir& top, const std::string& folder, std::vector<std::string> photos = {}) {
  fs::create_directories(top.path() / folder);
  for (const std::string& photo : photos) WriteFile(top / (folder + "/" + photo), "jpeg");
}

struct Walked {
  std::vector<Album> Albums;
  std::vector<std::string> Warnings;
  int Found = 0;  // photos reported below the top folder
};

Walked WalkTree(const std::string& input, const std::string& skip = "") {
  Walked w;
  AlbumSearch search;
  search.InputFolder = input;
  search.SkipFolder = skip;
  search.OnWarning = [&w](const std::string& text) { w.Warnings.push_back(text); };
  search.OnFileFound = [&w](TMyFindFile&, const std::string&, const FoundFile&, bool&) { ++w.Found; };
  w.Albums = search.Search({});
  return w;
}

// Each album as "<folder> <own photos>/<photos in tree>", in the order returned.
std::vector<std::string> Shape(const std::vector<Album>& albums) {
  std::vector<std::string> lines;
  for (const Album& a : albums)
    lines.push_back((a.Folder.empty() ? "." : a.Folder) + " " + std::to_string(a.Photos.size()) + "/" +
                    std::to_string(a.PhotosInTree));
  return lines;
}

TEST(AlbumSearch, keeps_the_folders_that_hold_photos_somewhere_below_in_name_order) {
  TempDir in;
  WriteFile(in / "top.jpg", "jpeg");
  MakeFolder(in, "2024/Rome", {"a.jpg", "b.JPEG", "notes.txt"});
  MakeFolder(in, "2024/empty");
  MakeFolder(in, "2024/deeper/still/empty");
  MakeFolder(in, "b-only-subs/x/y", {"y.jpg"});
  MakeFolder(in, "A", {"a.jpg"});
  MakeFolder(in, "img10", {"1.jpg"});
  MakeFolder(in, "img2", {"2.jpg"});
  MakeFolder(in, "text only", {"readme.txt"});
  MakeFolder(in, ".hidden", {"secret.jpg"});
  MakeFolder(in, "2024/.thumbs", {"t.jpg"});
  const Walked w = WalkTree(in.str());
  // The top's photos are the caller's: none given here.
  EXPECT_THAT(Shape(w.Albums), ElementsAre(". 0/6", "2024 0/2", "2024/Rome 2/2", "A 1/1", "b-only-subs 0/1",
                                           "b-only-subs/x 0/1", "b-only-subs/x/y 1/1", "img10 1/1", "img2 1/1"));
  EXPECT_EQ(w.Found, 6);
  EXPECT_THAT(w.Warnings, IsEmpty());

  const Album& rome = w.Albums[2];
  EXPECT_EQ(rome.Name, "Rome");
  EXPECT_EQ(rome.Depth, 2);
  EXPECT_EQ(rome.Parent, 1);
  ASSERT_EQ(rome.Photos.size(), 2u);
  EXPECT_EQ(rome.Photos[0].Folder, in / "2024/Rome/");
  EXPECT_EQ(rome.Photos[0].FileName, "a.jpg");
  EXPECT_THAT(w.Albums[0].Children, ElementsAre(1, 3, 4, 7, 8));
  EXPECT_THAT(w.Albums[1].Children, ElementsAre(2));
  EXPECT_EQ(w.Albums[6].Depth, 3);
}

TEST(AlbumSearch, a_flat_folder_is_the_top_album_alone_with_the_photos_given) {
  TempDir in;
  WriteFile(in / "a.jpg", "jpeg");
  MakeFolder(in, "nothing here", {"x.png"});
  AlbumSearch search;
  search.InputFolder = in.str();
  const std::vector<Album> albums = search.Search({ImageEntry{in.str() + "/", "a.jpg", {}}});
  ASSERT_EQ(albums.size(), 1u);
  EXPECT_EQ(albums[0].Folder, "");
  EXPECT_EQ(albums[0].Parent, -1);
  EXPECT_EQ(albums[0].PhotosInTree, 1);
  EXPECT_THAT(albums[0].Children, IsEmpty());
}

TEST(AlbumSearch, photos_are_found_by_the_mask_given) {
  TempDir in;
  MakeFolder(in, "phone", {"IMG_1.HEIC", "shot.png"});
  MakeFolder(in, "camera", {"a.jpg"});
  EXPECT_THAT(Shape(WalkTree(in.str()).Albums), ElementsAre(". 0/1", "camera 1/1"));
  AlbumSearch search;
  search.InputFolder = in.str();
  search.Mask = PhotoSearchMask(true);
  EXPECT_THAT(Shape(search.Search({})), ElementsAre(". 0/3", "camera 1/1", "phone 2/2"));
}

TEST(AlbumSearch, odd_folder_names_are_kept_as_they_are) {
  TempDir in;
  const std::vector<std::string> names = {"Tom & Jerry", "100% #1", "Ærø ŝ 東京", "line\nbreak", "a\"b<c>"};
  for (const std::string& name : names) MakeFolder(in, name, {"p.jpg"});
  const Walked w = WalkTree(in.str());
  ASSERT_EQ(w.Albums.size(), names.size() + 1);
  std::vector<std::string> found;
  for (std::size_t i = 1; i < w.Albums.size(); ++i) {
    EXPECT_EQ(w.Albums[i].Folder, w.Albums[i].Name);
    found.push_back(w.Albums[i].Name);
    EXPECT_EQ(w.Albums[i].Photos.at(0).Folder, in / w.Albums[i].Name + "/");
  }
  EXPECT_THAT(found, ::testing::UnorderedElementsAreArray(names));
}

TEST(AlbumSearch, links_are_followed_unless_they_lead_back_into_the_tree) {
  TempDir in;
  TempDir outside;
  MakeFolder(in, "real", {"r.jpg"});
  MakeFolder(outside, "trip", {"t.jpg"});
  MakeFolder(outside, "loop");
  fs::create_directory_symlink(outside.path() / "trip", in.path() / "linked trip");
  fs::create_directory_symlink(in.path() / "real", in.path() / "again real");  // a second way to an album
  fs::create_directory_symlink(in.path(), in.path() / "real/up");              // a loop through the top
  fs::create_directory_symlink(outside.path() / "loop", in.path() / "outer");
  fs::create_directory_symlink(outside.path() / "loop", outside.path() / "loop/self");  // a loop outside
  WriteFile(outside / "loop/o.jpg", "jpeg");
  fs::create_directory_symlink(in.path() / "missing", in.path() / "dangling");
  const Walked w = WalkTree(in.str());
  EXPECT_THAT(Shape(w.Albums), ElementsAre(". 0/3", "linked trip 1/1", "outer 1/1", "real 1/1"));
  ASSERT_EQ(w.Warnings.size(), 3u);
  EXPECT_THAT(w.Warnings[0], HasSubstr("\"" + in / "again real" + "\" leads back into the folders of the gallery"));
  EXPECT_THAT(w.Warnings[1], HasSubstr("\"" + in / "outer/self\""));
  EXPECT_THAT(w.Warnings[2], HasSubstr("\"" + in / "real/up\""));
}

TEST(AlbumSearch, the_output_folder_inside_the_input_folder_is_left_out) {
  TempDir in;
  MakeFolder(in, "album", {"a.jpg"});
  MakeFolder(in, "gallery/album", {"n_a.jpg"});
  WriteFile(in / "gallery/n_b.jpg", "jpeg");
  // The same folder spelt another way is still the output folder.
  const Walked w = WalkTree(in.str(), in / "album/../gallery/");
  EXPECT_THAT(Shape(w.Albums), ElementsAre(". 0/1", "album 1/1"));
  EXPECT_THAT(w.Warnings, IsEmpty());
}

TEST(AlbumSearch, a_folder_that_cannot_be_read_is_left_out_with_one_warning) {
  TempDir in;
  MakeFolder(in, "open", {"o.jpg"});
  MakeFolder(in, "closed/inner", {"c.jpg"});
  MakeFolder(in, "closed too", {"c.jpg"});
  AlbumSearch search;
  search.InputFolder = in.str();
  std::vector<std::string> warnings;
  search.OnWarning = [&warnings](const std::string& text) { warnings.push_back(text); };
  // Root reads every folder, whatever its mode says: the listing fails as for anyone else.
  search.ListFolder = [&in](const std::string& folder) -> std::optional<std::vector<std::string>> {
    if (folder == in / "closed/") {
      errno = EACCES;
      return std::nullopt;
    }
    return ListFolderNames(folder);
  };
  EXPECT_THAT(Shape(search.Search({})), ElementsAre(". 0/2", "closed too 1/1", "open 1/1"));
  EXPECT_THAT(warnings, ElementsAre("Cannot read the folder \"" + in / "closed/\": Permission denied; it is left out "
                                                                       "of the albums."));

  // For real where the user is not allowed in.
  ::chmod((in / "closed").c_str(), 0);
  if (ListFolderNames(in / "closed")) return;  // this user reads every folder
  const Walked w = WalkTree(in.str());
  EXPECT_THAT(Shape(w.Albums), ElementsAre(". 0/2", "closed too 1/1", "open 1/1"));
  ASSERT_EQ(w.Warnings.size(), 1u);
  EXPECT_THAT(w.Warnings[0], HasSubstr("Cannot read the folder \"" + in / "closed/\""));
}

TEST(AlbumSearch, a_tree_deeper_than_64_levels_is_refused) {
  TempDir in;
  std::string deepest;
  for (int level = 1; level <= kMaxAlbumDepth; ++level) deepest += (level > 1 ? "/" : "") + std::to_string(level);
  MakeFolder(in, deepest, {"deep.jpg"});
  const Walked w = WalkTree(in.str());
  ASSERT_EQ(w.Albums.size(), std::size_t(kMaxAlbumDepth) + 1);
  EXPECT_EQ(w.Albums.back().Depth, kMaxAlbumDepth);

  MakeFolder(in, deepest + "/65");
  AlbumSearch search;
  search.InputFolder = in.str();
  EXPECT_EQ(ErrorOf([&search] { search.Search({}); }),
            "The folder \"" + in / deepest +
                "/65\" lies more than 64 levels below the input folder; albums can be at "
                "most 64 levels deep.");
}

TEST(AlbumSearch, a_path_longer_than_the_system_allows_is_refused) {
  TempDir in;
  // Folders of 200 bytes each until a photo of 240 bytes no longer fits.
  std::string folder = in.str();
  const std::string level(200, 'd');
  while (folder.size() + 1 + level.size() <= PATH_MAX - 10) {
    folder += "/" + level;
    fs::create_directory(folder);
  }
  const std::string photo = std::string(240, 'p') + ".jpg";
  ASSERT_GE(folder.size() + 1 + photo.size(), std::size_t(PATH_MAX));
  // Written relative to its folder, as no call takes the whole path.
  const fs::path cwd = fs::current_path();
  fs::current_path(folder);
  WriteFile(photo, "jpeg");
  fs::current_path(cwd);
  AlbumSearch search;
  search.InputFolder = in.str();
  EXPECT_THAT(ErrorOf([&search] { search.Search({}); }),
              HasSubstr(".jpg\" is longer than the system allows (" + std::to_string(PATH_MAX - 1) + " bytes)."));
}

TEST(AlbumSearch, a_cancel_from_a_photo_found_stops_the_walk) {
  TempDir in;
  for (const char* folder : {"a", "b", "c"}) MakeFolder(in, folder, {"1.jpg", "2.jpg"});
  bool cancelled = false;
  AlbumSearch search(cancelled);
  search.InputFolder = in.str();
  int found = 0;
  search.OnFileFound = [&found](TMyFindFile&, const std::string&, const FoundFile&, bool& cancel) {
    if (++found == 3) cancel = true;
  };
  search.Search({});
  EXPECT_EQ(found, 3);
  EXPECT_TRUE(cancelled);
}

}  // namespace
}  // namespace fotoloom
