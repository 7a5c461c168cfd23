// Tests of galleries made of albums: the tree written into the output folder, the album table on the pages, the
// refusals, and updates over a tree.
#include "run/GalleryAlbums.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "MetadataFixtures.h"
#include "PhotoFixtures.h"
#include "WholeFiles.h"
#include "core/Error.h"
#include "core/RecordingDesktop.h"
#include "core/ResponsiveTemplates.h"
#include "imaging/PhotoMetadata.h"
#include "pages/ZipMacros.h"
#include "run/GenerationRun.h"
#include "run/UpdateState.h"
#include "support/OutputListing.h"
#include "support/Photos.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::Differences;
using test::ListFiles;
using test::Listing;
using test::Names;
using test::ReadFile;
using test::RecordingDesktop;
using test::TempDir;
using test::WriteFile;
using test::WritePhotos;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Records the album list and the warnings besides what RecordingView records.
class AlbumView : public test::RecordingView {
 public:
  std::vector<std::string> Albums;  // "<folder> <own>/<in tree>"
  std::vector<std::string> Warnings;
  void ShowAlbums(const std::vector<AlbumSummary>& albums) override {
    for (const AlbumSummary& a : albums)
      Albums.push_back((a.Folder.empty() ? "." : a.Folder) + " " + std::to_string(a.Photos) + "/" +
                       std::to_string(a.PhotosInTree));
  }
  void ShowWarning(const std::string& text) override { Warnings.push_back(text); }
};

// Writes count photos named prefix01.jpg ... into folder below top, each
// unlike every other photo of the tree (seeded by the folder's name).
void AddPhotos(const TempDir& top, const std::string& folder, int count, const char* format = "img%02d.jpg") {
  const std::string path = folder.empty() ? top.str() : top / folder;
  fs::create_directories(path);
  test::PhotoSeries series;
  series.NameFormat = format;
  series.Width = 40 + static_cast<int>(std::hash<std::string>()(folder) % 16);
  WritePhotos(path, count, series);
}

// A gallery of albums with a grid of 2 x 2, names in order and one job.
struct Tree {
  TempDir in;
  TempDir out;
  GallerySettings settings;
  RecordingDesktop desktop;
  AlbumView view;
  GenerationRun run{settings, desktop, view};

  Tree() {
    settings.SetInputPath(in.str());
    settings.SetOutputPath(out.str());
    settings.SetSortingMethodIndex(2);  // name ascending
    settings.SetAutoBrowserStart(false);
    settings.SetRowsCount("2");
    settings.SetColsCount("2");
    settings.SetIncludeSubfolders(true);
    run.Jobs = 1;
  }
};

// The files a full run with settings leaves in an empty folder.
Listing FullRun(const GallerySettings& settings) {
  TempDir ref;
  GallerySettings s(settings);
  s.SetOutputPath(ref.str());
  s.SetUpdateOnlyChanged(false);
  RecordingDesktop desktop;
  AlbumView view;
  GenerationRun run(s, desktop, view);
  run.Jobs = 2;
  EXPECT_EQ(run.Start(), RunOutcome::Finished);
  return ListFiles(ref.str());
}

TEST(GalleryAlbums, with_no_subfolder_of_photos_the_gallery_is_the_one_made_without_albums) {
  Tree t;
  AddPhotos(t.in, "", 5);
  fs::create_directories(t.in.path() / "empty/deeper");
  AddPhotos(t.in, ".hidden", 2);
  fs::create_directories(t.in.path() / "notes");
  WriteFile(t.in / "notes/readme.txt", "not a photo");
  t.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  GallerySettings without(t.settings);
  without.SetIncludeSubfolders(false);
  const Listing albums = ListFiles(t.out.str());
  EXPECT_THAT(Differences(albums, FullRun(without)), IsEmpty());
  EXPECT_THAT(t.view.Albums, ElementsAre(". 5/5"));
}

TEST(GalleryAlbums, every_album_is_a_gallery_in_the_same_folder_below_the_output_folder) {
  Tree t;
  AddPhotos(t.in, "", 1);
  AddPhotos(t.in, "2024/Rome", 5);
  AddPhotos(t.in, "2024/Paris", 1, "p%02d.jpg");
  AddPhotos(t.in, "Tom & Jerry", 2);
  fs::create_directories(t.in.path() / "2024/empty");
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(t.view.Albums, ElementsAre(". 1/9", "2024 0/6", "2024/Paris 1/1", "2024/Rome 5/5", "Tom & Jerry 2/2"));
  EXPECT_THAT(t.view.Warnings, IsEmpty());

  const std::set<std::string> names = Names(ListFiles(t.out.str()));
  for (const char* name :
       {"page1.htm", "image1.htm", "n_img01.jpg", "t_img01.jpg", "2024", "2024/page1.htm", "2024/Paris/page1.htm",
        "2024/Paris/image1.htm", "2024/Paris/n_p01.jpg", "2024/Paris/t_p01.jpg", "2024/Rome/page2.htm",
        "2024/Rome/image5.htm", "2024/Rome/n_img05.jpg", "2024/Rome/t_img05.jpg", "Tom & Jerry/image2.htm"})
    EXPECT_EQ(names.count(name), 1u) << name;
  EXPECT_EQ(names.count("2024/empty"), 0u);
  EXPECT_EQ(names.count("2024/image1.htm"), 0u);  // an album of sub-albums only has no image page
  EXPECT_EQ(names.count("2024/page2.htm"), 0u);

  // The table stands before the thumbnails; links into the album, the cover
  // one level further down for an album without photos of its own.
  const std::string top = ReadFile(t.out / "page1.htm");
  const std::size_t table = top.find("<a href=\"2024/page1.htm\">");
  ASSERT_NE(table, std::string::npos);
  EXPECT_LT(table, top.find("<a href=\"image1.htm\">"));
  EXPECT_THAT(top, HasSubstr("<img src=\"2024/Paris/t_p01.jpg\""));
  EXPECT_THAT(top, HasSubstr("<br>2024\r\n<br>6 photos\r\n"));
  EXPECT_THAT(top, HasSubstr("<a href=\"Tom%20&amp;%20Jerry/page1.htm\">"));
  EXPECT_THAT(top, HasSubstr("<br>Tom &amp; Jerry\r\n<br>2 photos\r\n"));
  EXPECT_THAT(ReadFile(t.out / "2024/page1.htm"), HasSubstr("<img src=\"Rome/t_img01.jpg\""));
  EXPECT_THAT(ReadFile(t.out / "2024/Rome/page2.htm"), ::testing::Not(HasSubstr("albumcells")));

  // One progress over the whole tree.
  EXPECT_EQ(t.view.Maximum[int(RunBar::ThumbnailPages)], 6);
  EXPECT_EQ(t.view.Position[int(RunBar::ThumbnailPages)], 6);
  EXPECT_EQ(t.view.Maximum[int(RunBar::ImagePages)], 9);
  EXPECT_EQ(t.view.Position[int(RunBar::ImagePages)], 9);
  EXPECT_EQ(t.view.Position[int(RunBar::Thumbnails)], 9);
}

TEST(GalleryAlbums, two_jobs_write_the_bytes_of_one) {
  Tree t;
  AddPhotos(t.in, "a", 3);
  AddPhotos(t.in, "a/b", 2);
  AddPhotos(t.in, "c", 3);
  t.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(Differences(ListFiles(t.out.str()), FullRun(t.settings)), IsEmpty());
}

TEST(GalleryAlbums, the_output_folder_inside_the_input_folder_is_no_album) {
  Tree t;
  AddPhotos(t.in, "", 2);
  AddPhotos(t.in, "trip", 2);
  const std::string out = t.in / "gallery";
  fs::create_directories(out);
  t.settings.SetOutputPath(out);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  // A second run finds the images of the first and makes no album of them.
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(t.view.Albums, ElementsAre(". 2/4", "trip 2/2", ". 2/4", "trip 2/2"));
  EXPECT_FALSE(fs::exists(out + "/gallery"));
}

// Folder names that would put an album where its parent writes a file.
TEST(GalleryAlbums, a_folder_named_like_a_file_of_its_parent_is_refused_before_anything_is_written) {
  struct Case {
    const char* folder;
    const char* says;
    bool additional = false;
  };
  for (const Case& c :
       {Case{"page1.htm", "a thumbnail page"}, Case{"sub/image2.htm", "an image page"},
        Case{"n_img01.jpg", "an image made from a photo"}, Case{"sub/t_img02.jpg", "an image made from a photo"},
        Case{"logo", "an additional element", true}}) {
    SCOPED_TRACE(c.folder);
    Tree t;
    AddPhotos(t.in, "", 2);
    AddPhotos(t.in, "sub", 2);
    AddPhotos(t.in, c.folder, 1);
    TempDir extra;
    if (c.additional) {
      WriteFile(extra / "logo", "a picture");
      t.settings.SetAdditionalPath(extra.str());
    }
    try {
      t.run.Start();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr("\"" + t.in / c.folder + "\""));
      EXPECT_THAT(e.what(), HasSubstr(c.says));
    }
    EXPECT_THAT(Names(ListFiles(t.out.str())), IsEmpty());
  }
  // The same names are fine where the parent writes no such file.
  Tree t;
  AddPhotos(t.in, "", 2);
  AddPhotos(t.in, "page3.htm", 1);
  AddPhotos(t.in, "image3.htm", 1);
  AddPhotos(t.in, "n_other.jpg", 1);
  EXPECT_EQ(t.run.Start(), RunOutcome::Finished);
}

// The files of the screens' options count as the parent's files too.
TEST(GalleryAlbums, a_folder_named_like_the_zip_a_sharp_thumbnail_or_a_webp_file_is_refused_when_those_are_written) {
  const auto tree = [](bool options) {
    auto t = std::make_unique<Tree>();
    t->settings.SetZip(options);
    t->settings.SetThumbnails2x(options);
    t->settings.SetWebP(options);
    AddPhotos(t->in, "", 1);
    for (const char* folder : {"photos.zip", "t2_img01.jpg", "n_img01.jpg.webp"}) AddPhotos(t->in, folder, 1);
    return t;
  };
  // The sub-albums are checked in name order; each refused one is then taken away.
  const std::unique_ptr<Tree> t = tree(true);
  for (const auto& [folder, says] :
       {std::pair{"n_img01.jpg.webp", "an image made from a photo"}, std::pair{"photos.zip", "the ZIP of the photos"},
        std::pair{"t2_img01.jpg", "an image made from a photo"}}) {
    try {
      t->run.Start();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr("\"" + t->in / folder + "\" cannot become an album: " + says));
    }
    EXPECT_THAT(Names(ListFiles(t->out.str())), IsEmpty());
    fs::remove_all(t->in / folder);
  }
  // With the options off the same names are fine.
  EXPECT_EQ(tree(false)->run.Start(), RunOutcome::Finished);
}

// Photos of other formats give images named "<prefix><name>.jpg": a folder
// of such a name clashes, and so do two photos of one album whose images
// would share a name.
TEST(GalleryAlbums, the_names_of_images_of_other_formats_are_refused_as_folders_and_twice_in_one_album) {
  const Image flat = test::FlatImage(16, 12, {90, 120, 150});
  struct Case {
    const char* photo;   // a PNG photo
    const char* folder;  // an album holding a JPEG
    const char* says;
  };
  for (const Case& c : {Case{"x.png", "n_x.png.jpg", "an image made from a photo"},
                        Case{"sub/a.png", "sub/a.png.jpg", "would both give the images named"}}) {
    SCOPED_TRACE(c.folder);
    Tree t;
    t.settings.SetOtherFormats(true);
    AddPhotos(t.in, "", 1);
    AddPhotos(t.in, "sub", 1);
    test::WritePng(t.in / c.photo, 16, 12, test::FromImage(flat));
    if (std::string(c.folder).starts_with("sub/"))
      WriteFile(t.in / c.folder, ReadFile(t.in / "sub/img01.jpg"));  // a photo, not a folder
    else
      AddPhotos(t.in, c.folder, 1);
    try {
      t.run.Start();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.folder));
      EXPECT_THAT(e.what(), HasSubstr(c.says));
    }
    EXPECT_THAT(Names(ListFiles(t.out.str())), IsEmpty());
  }
}

// With the other formats on, a folder holding only such photos is an album,
// and its cover is its photo's JPEG thumbnail.
TEST(GalleryAlbums, albums_take_photos_of_other_formats_when_they_are_on) {
  const Image flat = test::FlatImage(16, 12, {90, 120, 150});
  Tree t;
  AddPhotos(t.in, "", 1);
  fs::create_directories(t.in.path() / "phone/2024");
  fs::create_directories(t.in.path() / "shots");
  test::WriteHeif(t.in / "phone/2024/IMG_1.HEIC", 16, 12, test::FromImage(flat));
  test::WritePng(t.in / "shots/x.png", 16, 12, test::FromImage(flat));
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(t.view.Albums, ElementsAre(". 1/1"));

  t.settings.SetOtherFormats(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(t.view.Albums, ElementsAre(". 1/1", ". 1/3", "phone 0/1", "phone/2024 1/1", "shots 1/1"));
  const std::set<std::string> names = Names(ListFiles(t.out.str()));
  for (const char* name : {"shots/n_x.png.jpg", "shots/t_x.png.jpg", "phone/2024/t_IMG_1.HEIC.jpg"})
    EXPECT_EQ(names.count(name), 1u) << name;
  const std::string top = ReadFile(t.out / "page1.htm");
  EXPECT_THAT(top, HasSubstr("<img src=\"shots/t_x.png.jpg\""));
  EXPECT_THAT(top, HasSubstr("<img src=\"phone/2024/t_IMG_1.HEIC.jpg\""));
}

TEST(GalleryAlbums, the_dry_run_lists_the_albums_and_writes_nothing) {
  Tree t;
  AddPhotos(t.in, "", 1);
  AddPhotos(t.in, "x/y", 5);
  RunPlan plan;
  ASSERT_EQ(t.run.Plan(plan), RunOutcome::Finished);
  ASSERT_EQ(plan.Albums.size(), 3u);
  EXPECT_EQ(plan.Albums[2].Folder, "x/y");
  EXPECT_EQ(plan.Albums[2].Photos, 5);
  EXPECT_EQ(plan.Albums[2].ThumbPages, 2);
  EXPECT_EQ(plan.Albums[1].PhotosInTree, 5);
  EXPECT_EQ(plan.ThumbPageCount, 4);
  ASSERT_EQ(plan.Photos.size(), 6u);
  EXPECT_EQ(plan.Photos[5].Subfolder, "x/y");
  EXPECT_TRUE(plan.Photos[5].ImagesWritten);
  EXPECT_THAT(Names(ListFiles(t.out.str())), IsEmpty());
}

TEST(GalleryAlbums, mode_1_writes_the_images_of_each_album_s_first_page) {
  Tree t;
  AddPhotos(t.in, "", 5);
  AddPhotos(t.in, "a", 6);
  t.settings.SetElementsMode(1);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  const std::set<std::string> names = Names(ListFiles(t.out.str()));
  EXPECT_EQ(names.count("n_img04.jpg") + names.count("a/t_img04.jpg"), 2u);
  EXPECT_EQ(names.count("n_img05.jpg") + names.count("a/n_img05.jpg"), 0u);
}

// Sets the modification time of the file at path, seconds since 1970.
void SetModified(const std::string& path, std::int64_t sec) {
  const timespec times[2] = {{sec, 0}, {sec, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// The image pages of the album in folder ("" or "A/"), in order.
std::vector<std::string> ImagePagesOf(const Tree& t, const std::string& folder) {
  std::vector<std::string> pages;
  for (int j = 1; fs::exists(t.out / (folder + "image" + std::to_string(j) + ".htm")); ++j)
    pages.push_back(ReadFile(t.out / (folder + "image" + std::to_string(j) + ".htm")));
  return pages;
}

// What was read of a photo stays with it, however the albums order it.
TEST(GalleryAlbums, every_page_shows_its_own_photo_s_caption_and_a_date_order_follows_the_moments_taken) {
  Tree t;
  for (const char* folder : {"A", "B"}) fs::create_directories(t.in.path() / folder);
  test::WriteTaggedPhotos({
      {t.in / "top.jpg", {"-XMP-dc:Description=Top"}},
      {t.in / "A/a1.jpg", {"-XMP-dc:Description=A one", "-DateTimeOriginal=2024:01:02 00:00:00"}},
      {t.in / "A/a2.jpg", {"-XMP-dc:Description=A two", "-DateTimeOriginal=2024:01:01 00:00:00"}},
      {t.in / "B/b1.jpg", {"-IPTC:Caption-Abstract=B one", "-DateTimeOriginal=2023:01:02 00:00:00"}},
      {t.in / "B/b2.jpg", {"-IPTC:Caption-Abstract=B two", "-DateTimeOriginal=2023:01:01 00:00:00"}},
  });
  // The files' own days say the reverse of the moments taken.
  const std::int64_t day = 86'400;
  SetModified(t.in / "A/a1.jpg", 1'600'000'000);
  SetModified(t.in / "A/a2.jpg", 1'600'000'000 + day);
  SetModified(t.in / "B/b1.jpg", 1'600'000'000);
  SetModified(t.in / "B/b2.jpg", 1'600'000'000 + day);
  t.settings.SetSortingMethodIndex(3);  // name descending
  t.settings.SetElementsMode(2);
  t.settings.SetSubtitleIndex(3);
  t.settings.SetHTMLThumbnails({"@thumbtable@"});
  t.settings.SetHTMLImages({"@image_org_ext@|@exifcomment@"});
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(ImagePagesOf(t, ""), ElementsAre("top.jpg|Top\r\n"));
  EXPECT_THAT(ImagePagesOf(t, "A/"), ElementsAre("a2.jpg|A two\r\n", "a1.jpg|A one\r\n"));
  EXPECT_THAT(ImagePagesOf(t, "B/"), ElementsAre("b2.jpg|B two\r\n", "b1.jpg|B one\r\n"));
  const std::string b = ReadFile(t.out / "B/page1.htm");
  EXPECT_THAT(b, HasSubstr("alt=\"b2.jpg\">\r\n</a>\r\n<br>B two\r\n</td>"));
  EXPECT_THAT(b, HasSubstr("alt=\"b1.jpg\">\r\n</a>\r\n<br>B one\r\n</td>"));

  t.settings.SetSortingMethodIndex(0);  // date ascending
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(ImagePagesOf(t, "A/"), ElementsAre("a1.jpg|A one\r\n", "a2.jpg|A two\r\n"));
  t.settings.SetUseExif(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(ImagePagesOf(t, "A/"), ElementsAre("a2.jpg|A two\r\n", "a1.jpg|A one\r\n"));
  EXPECT_THAT(ImagePagesOf(t, "B/"), ElementsAre("b2.jpg|B two\r\n", "b1.jpg|B one\r\n"));

  // The dry run tells each album photo's own date and caption source.
  RunPlan plan;
  ASSERT_EQ(t.run.Plan(plan), RunOutcome::Finished);
  ASSERT_EQ(plan.Photos.size(), 5u);
  EXPECT_EQ(plan.Photos[3].Path, t.in / "B/b2.jpg");
  EXPECT_EQ(plan.Photos[3].DateUsed, "taken 2023-01-01 00:00:00");
  EXPECT_EQ(plan.Photos[3].CaptionFrom, "IPTC");
  EXPECT_EQ(plan.Photos[1].CaptionFrom, "XMP");
}

// The photos whose images are written are those of each album's first page,
// not the first ones of the whole tree: the position count and the copies
// without location follow them into their albums' folders.
TEST(GalleryAlbums, copies_without_location_go_into_their_album_s_folder_and_every_album_s_copies_are_counted) {
  Tree t;
  fs::create_directories(t.in.path() / "X");
  test::WriteTaggedPhotos({
      {t.in / "a.jpg", {"-Make=Plain"}},
      {t.in / "z.jpg", {"-Make=Plain"}},
      {t.in / "X/b.jpg", {"-GPSLatitude=48.1", "-GPSLatitudeRef=N", "-XMP-dc:Description=Lake"}},
  });
  t.settings.SetRowsCount("1");
  t.settings.SetColsCount("1");
  t.settings.SetElementsMode(1);
  t.settings.SetCopyOrgSizedImages(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(t.view.Warnings, ElementsAre("1 of 2 copied originals carry a GPS position. To leave it out, tick "
                                           "\"Remove location from copied originals\" on step 2, or set "
                                           "StripLocation=yes."));
  EXPECT_EQ(ReadFile(t.out / "X/b_b.jpg"), ReadFile(t.in / "X/b.jpg"));

  TempDir stripped;
  t.settings.SetOutputPath(stripped.str());
  t.settings.SetStripLocation(true);
  t.view.Warnings.clear();
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(t.view.Warnings, IsEmpty());
  const std::set<std::string> names = Names(ListFiles(stripped.str()));
  EXPECT_EQ(names.count("b_a.jpg") + names.count("X/b_b.jpg"), 2u);
  EXPECT_EQ(names.count("b_z.jpg") + names.count("b_b.jpg"), 0u);
  const PhotoMetadata copy = ReadPhotoMetadata(stripped / "X/b_b.jpg");
  EXPECT_FALSE(copy.HasLocation);
  EXPECT_EQ(copy.Caption, "Lake");
}

TEST(GalleryAlbums, photos_that_cannot_be_read_leave_their_album_and_an_album_left_without_photos_goes) {
  Tree t;
  AddPhotos(t.in, "", 1);
  AddPhotos(t.in, "a/bad only", 0);
  WriteFile(t.in / "a/bad only/broken.jpg", "not a jpeg");
  AddPhotos(t.in, "a/some", 2);
  WriteFile(t.in / "a/some/img00.jpg", "not a jpeg either");
  t.settings.SetSkipBadPhotos(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_EQ(t.view.Warnings.size(), 3u);  // one per photo and the summary
  EXPECT_FALSE(fs::exists(t.out / "a/bad only"));
  const std::set<std::string> names = Names(ListFiles(t.out.str()));
  EXPECT_EQ(names.count("a/some/image2.htm"), 1u);
  EXPECT_EQ(names.count("a/some/image3.htm"), 0u);
  const std::string a = ReadFile(t.out / "a/page1.htm");
  EXPECT_THAT(a, HasSubstr("<br>some\r\n<br>2 photos\r\n"));
  EXPECT_THAT(a, ::testing::Not(HasSubstr("bad only")));
  EXPECT_THAT(ReadFile(t.out / "page1.htm"), HasSubstr("<br>a\r\n<br>2 photos\r\n"));
}

// A tree, and its change before an update.
struct UpdateCase {
  const char* name;
  void (*change)(Tree&);
};

void Rename(Tree& t, const std::string& from, const std::string& to) {
  fs::create_directories((t.in.path() / to).parent_path());
  fs::rename(t.in / from, t.in / to);
}

const UpdateCase kUpdateCases[] = {
    {"nothing changed", [](Tree&) {}},
    {"an album added", [](Tree& t) { AddPhotos(t.in, "2024/Venice", 3); }},
    {"an album renamed", [](Tree& t) { Rename(t, "2024/Rome", "2024/Roma"); }},
    {"an album moved down", [](Tree& t) { Rename(t, "trip", "2024/trip"); }},
    {"an album removed", [](Tree& t) { fs::remove_all(t.in / "2024/Rome"); }},
    {"every album removed", [](Tree& t) { fs::remove_all(t.in / "2024"), fs::remove_all(t.in / "trip"); }},
    {"a photo moved between albums", [](Tree& t) { fs::rename(t.in / "2024/Rome/img03.jpg", t.in / "trip/r.jpg"); }},
    {"a photo moved to the top", [](Tree& t) { fs::rename(t.in / "trip/img01.jpg", t.in / "img09.jpg"); }},
    {"the option turned off", [](Tree& t) { t.settings.SetIncludeSubfolders(false); }},
};

TEST(GalleryAlbums, every_update_over_a_tree_ends_at_the_full_run_result) {
  for (const UpdateCase& c : kUpdateCases) {
    SCOPED_TRACE(c.name);
    Tree t;
    AddPhotos(t.in, "", 2);
    AddPhotos(t.in, "2024/Rome", 5);
    AddPhotos(t.in, "2024/Paris", 1, "p%02d.jpg");
    AddPhotos(t.in, "trip", 2);
    t.settings.SetCopyOrgSizedImages(true);
    t.settings.SetUpdateOnlyChanged(true);
    ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
    c.change(t);
    ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
    const Listing out = ListFiles(t.out.str());
    EXPECT_THAT(Differences(out, FullRun(t.settings)), IsEmpty());
    EXPECT_TRUE(fs::exists(t.out / std::string(kUpdateStateFileName)));
    EXPECT_FALSE(fs::exists(t.out / ("2024/" + std::string(kUpdateStateFileName))));
  }
}

// Stored entries hold a photo's bytes as they are, so a ZIP holds a photo
// exactly when the photo's bytes stand in it.
bool ZipHolds(const std::string& zip, const fs::path& photo) { return zip.find(ReadFile(photo)) != std::string::npos; }

// In the responsive set the album covers carry the size of the thumbnail
// they show, which lies in another album's folder.
TEST(GalleryAlbums, responsive_covers_carry_the_size_of_their_thumbnail) {
  Tree t;
  AddPhotos(t.in, "", 1);
  AddPhotos(t.in, "a", 2);
  AddPhotos(t.in, "b/deep", 1);
  t.settings.SetHTMLThumbnails(ResponsiveThumbnailTemplate());
  t.settings.SetHTMLImages(ResponsiveImageTemplate());
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  const std::string top = ReadFile(t.out / "page1.htm");
  for (const char* thumb : {"a/t_img01.jpg", "b/deep/t_img01.jpg"}) {
    const Image image = test::Decode(t.out / thumb);
    EXPECT_THAT(top, HasSubstr("<img src=\"" + std::string(thumb) + "\" width=\"" + std::to_string(image.width()) +
                               "\" height=\"" + std::to_string(image.height()) + "\""));
  }
}

TEST(GalleryAlbums, each_album_gets_the_zip_of_its_own_photos_and_its_sharp_and_webp_images_in_its_folder) {
  Tree t;
  AddPhotos(t.in, "", 1);
  AddPhotos(t.in, "2024/Rome", 3);
  t.settings.SetZip(true);
  t.settings.SetThumbnails2x(true);
  t.settings.SetWebP(true);
  t.settings.SetHTMLThumbnails({"[@zip@|@zipsize@]{@zip_link@}"});
  t.settings.SetUpdateOnlyChanged(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  const std::set<std::string> names = Names(ListFiles(t.out.str()));
  for (const char* name : {"photos.zip", "2024/Rome/photos.zip", "2024/Rome/t2_img03.jpg",
                           "2024/Rome/t2_img03.jpg.webp", "2024/Rome/n_img01.jpg.webp", "t2_img01.jpg"})
    EXPECT_EQ(names.count(name), 1u) << name;
  EXPECT_EQ(names.count("2024/photos.zip"), 0u);  // an album of sub-albums only has no photos to offer
  EXPECT_EQ(names.count("t2_img01.jpg.jpg"), 0u);

  const std::string top = ReadFile(t.out / "photos.zip");
  const std::string rome = ReadFile(t.out / "2024/Rome/photos.zip");
  EXPECT_TRUE(ZipHolds(top, t.in / "img01.jpg"));
  EXPECT_FALSE(ZipHolds(top, t.in / "2024/Rome/img01.jpg"));
  for (const char* photo : {"img01.jpg", "img02.jpg", "img03.jpg"})
    EXPECT_TRUE(ZipHolds(rome, t.in / (std::string("2024/Rome/") + photo)));
  EXPECT_FALSE(ZipHolds(rome, t.in / "img01.jpg"));
  // Each album's pages offer its own ZIP; the album without one offers none.
  EXPECT_THAT(ReadFile(t.out / "2024/Rome/page1.htm"),
              HasSubstr("[photos.zip|" + ZipSizeText(fs::file_size(t.out / "2024/Rome/photos.zip")) + "]"));
  EXPECT_THAT(ReadFile(t.out / "2024/page1.htm"), HasSubstr("[|]{}"));
  // The download link counts the photos the ZIP holds, not those of the sub-albums.
  EXPECT_THAT(ReadFile(t.out / "page1.htm"), HasSubstr(">Download the photo ("));
  EXPECT_THAT(ReadFile(t.out / "2024/Rome/page1.htm"), HasSubstr(">Download all 3 photos ("));

  // A photo added to one album makes that album's ZIP again, and the tree
  // ends where a full run ends.
  AddPhotos(t.in, "2024/Rome", 4, "more%02d.jpg");
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_EQ(ReadFile(t.out / "photos.zip"), top);
  EXPECT_TRUE(ZipHolds(ReadFile(t.out / "2024/Rome/photos.zip"), t.in / "2024/Rome/more04.jpg"));
  EXPECT_THAT(Differences(ListFiles(t.out.str()), FullRun(t.settings)), IsEmpty());

  // The top album left with sub-albums only: its ZIP goes and is not offered.
  fs::remove(t.in / "img01.jpg");
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_FALSE(fs::exists(t.out / "photos.zip"));
  EXPECT_THAT(ReadFile(t.out / "page1.htm"), HasSubstr("[|]"));
  EXPECT_THAT(Differences(ListFiles(t.out.str()), FullRun(t.settings)), IsEmpty());
}

TEST(GalleryAlbums, an_update_turning_albums_on_adds_them_and_keeps_the_top_images) {
  Tree t;
  AddPhotos(t.in, "", 2);
  AddPhotos(t.in, "a", 2);
  t.settings.SetIncludeSubfolders(false);
  t.settings.SetUpdateOnlyChanged(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  const Listing before = ListFiles(t.out.str());
  t.settings.SetIncludeSubfolders(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  const Listing after = ListFiles(t.out.str());
  EXPECT_THAT(Differences(after, FullRun(t.settings)), IsEmpty());
  const std::set<std::string> kept = test::Kept(before, after);
  EXPECT_EQ(kept.count("n_img01.jpg") + kept.count("t_img02.jpg"), 2u);
}

TEST(GalleryAlbums, an_album_gone_leaves_what_the_user_put_into_its_folder) {
  Tree t;
  AddPhotos(t.in, "", 1);
  AddPhotos(t.in, "a/b", 2);
  t.settings.SetUpdateOnlyChanged(true);
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  WriteFile(t.out / "a/b/mine.txt", "the user's");
  fs::remove_all(t.in / "a");
  ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
  EXPECT_THAT(Names(ListFiles(t.out.str())),
              ElementsAre("a", "a/b", "a/b/mine.txt", "image1.htm", "n_img01.jpg", "page1.htm", "t_img01.jpg"));
  EXPECT_EQ(ReadFile(t.out / "a/b/mine.txt"), "the user's");
}

// However the gallery was first written, and in whatever order albums come
// and go afterwards, each update ends at the full run's result: the files
// of an album that is gone are deleted, and then its folders; a file the
// user put into one stays, with the folders on its way. (Copies of the
// originals are left out: one a run without an update wrote is not known to
// be Fotoloom's, in an album's folder as in the output folder itself, and
// stays.)
TEST(GalleryAlbums, albums_coming_and_going_after_any_first_run_end_at_the_full_run_result) {
  struct First {
    const char* name;
    bool albums;
    bool update;
  };
  for (const First& first :
       {First{"a plain run without albums", false, false}, First{"a plain run with albums", true, false},
        First{"an update with albums", true, true}}) {
    SCOPED_TRACE(first.name);
    Tree t;
    AddPhotos(t.in, "", 1);
    AddPhotos(t.in, "a", 2);
    AddPhotos(t.in, "a/b", 1, "b%02d.jpg");
    AddPhotos(t.in, "c", 2, "c%02d.jpg");
    t.settings.SetIncludeSubfolders(first.albums);
    t.settings.SetUpdateOnlyChanged(first.update);
    ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
    t.settings.SetIncludeSubfolders(true);
    t.settings.SetUpdateOnlyChanged(true);
    // Each change, then an update whose result differs from the full run's
    // by the names given only.
    const auto update = [&t](const std::function<void()>& change, std::set<std::string> extra) {
      change();
      ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
      EXPECT_EQ(Differences(ListFiles(t.out.str()), FullRun(t.settings)), extra);
    };
    update([] {}, {});
    update([&t] { fs::remove_all(t.in / "c"); }, {});
    EXPECT_FALSE(fs::exists(t.out / "c"));
    update([&t] { Rename(t, "a/b", "d"); }, {});
    EXPECT_FALSE(fs::exists(t.out / "a/b"));
    WriteFile(t.out / "d/mine.txt", "the user's");
    update([&t] { AddPhotos(t.in, "c", 1, "c%02d.jpg"), fs::remove_all(t.in / "d"); }, {"d", "d/mine.txt"});
    EXPECT_EQ(ReadFile(t.out / "d/mine.txt"), "the user's");
    update([&t] { t.settings.SetIncludeSubfolders(false); }, {"d", "d/mine.txt"});
    EXPECT_FALSE(fs::exists(t.out / "a"));
    EXPECT_FALSE(fs::exists(t.out / "c"));
    update([&t] { t.settings.SetIncludeSubfolders(true); }, {"d", "d/mine.txt"});
  }
}

// A cancel anywhere in an update of a tree ends the whole run as cancelled
// with whole files only, and the next update ends at the full run's result.
TEST(GalleryAlbums, a_cancel_at_any_pump_leaves_whole_files_and_the_next_update_finishes_the_tree) {
  const auto prepare = [](Tree& t) {
    AddPhotos(t.in, "", 2);
    AddPhotos(t.in, "a", 3);
    AddPhotos(t.in, "a/b", 2);
    AddPhotos(t.in, "c", 2);
    t.settings.SetCopyOrgSizedImages(true);
    t.settings.SetUpdateOnlyChanged(true);
  };
  int pumps = 0;
  {
    Tree t;
    prepare(t);
    ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
    pumps = t.desktop.Pumps;
  }
  ASSERT_GT(pumps, 20);
  // Some forty of them, spread over the whole run.
  for (int k = 1; k < pumps; k += std::max(1, pumps / 40)) {
    SCOPED_TRACE("cancelled at pump " + std::to_string(k));
    Tree t;
    prepare(t);
    t.desktop.OnPump = [&t, k](int pump) {
      if (pump == k) t.run.Cancel();
    };
    EXPECT_EQ(t.run.Start(), RunOutcome::Cancelled);
    EXPECT_FALSE(t.run.Running());
    test::ExpectOnlyWholeFiles(t.out.str(), true);
    t.desktop.OnPump = nullptr;
    ASSERT_EQ(t.run.Start(), RunOutcome::Finished);
    EXPECT_THAT(Differences(ListFiles(t.out.str()), FullRun(t.settings)), IsEmpty());
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(GalleryAlbums, an_album_folder_that_is_a_link_in_the_output_folder_is_not_written_through) {
  Tree t;
  AddPhotos(t.in, "", 1);
  AddPhotos(t.in, "a", 1);
  TempDir elsewhere;
  fs::create_directory_symlink(elsewhere.path(), t.out.path() / "a");
  EXPECT_THROW(t.run.Start(), Error);
  EXPECT_THAT(Names(ListFiles(elsewhere.str())), IsEmpty());
}

}  // namespace
}  // namespace fotoloom
