// timage_page: writes every thumbnail page and image page of a gallery.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Cancellable.h"
#include "core/Color.h"
#include "pages/AlbumMacros.h"
#include "pages/PhotoMacros.h"
#include "pages/ScreenMarkup.h"

namespace fotoloom {

// Lays the images out row by row on thumbnail pages of RowsCount x ColsCount
// cells and writes, for each thumbnail page, first the page of each of its
// images and then the thumbnail page itself, all flat into OutputPath. It only
// writes image file names into the pages; it never reads or checks the images.
// The pages are those of one album (Album): a gallery of albums is written
// one album after another, each into its own folder.
class timage_page : public Cancellable {
 public:
  // Called after every image and after every finished table. imageIndex is
  // CurrentImage at that moment, pageIndex the 0-based thumbnail page; cancel
  // is this object's Cancelled field, so a handler can stop the run.
  using ProgressHandler = std::function<void(timage_page& sender, int imageIndex, int pageIndex, bool& cancel)>;
  // Puts the text of a page into the file name of OutputPath.
  using PageOutputHandler = std::function<void(const std::string& fileName, const std::string& text)>;

  // Owns its cancel flag, or reads a run's.
  timage_page();
  explicit timage_page(bool& cancelled);
  ~timage_page();
  timage_page(const timage_page&) = delete;
  timage_page& operator=(const timage_page&) = delete;

  std::string OutputPath;
  std::string Title;
  std::string ThumbPagesName;
  std::string ImagePagesName;
  std::string WebSiteExtension;  // Create_pages puts "." in front when missing
  std::int32_t ImageCount = 0;   // images to place, from the start of ImageFiles
  std::int32_t RowsCount = 0;
  std::int32_t ColsCount = 0;
  std::int32_t SubtitleIndex = 0;  // 0 none, 1 name, 2 name without extension, 3 caption, 4 number
  std::int32_t CurrentImage = 0;   // 0-based index of the image being placed
  ProgressHandler OnProgress;      // may be empty
  // Writes each page in place of WritePage when set (an update writes only
  // the pages whose text differs from the file).
  PageOutputHandler PageOutput;
  Color BackgroundColor = 0;
  Color TextColor = 0;
  Color LinkColor = 0;
  Color VisitedLinkColor = 0;
  // What "@thumbgrid@" and the image pages offer beside the JPEG images, and
  // whether "@image_big_link@" links to a copy of the original.
  ExtraImages Extra;
  bool OriginalsCopied = false;
  // The values of "@zip@" and "@zipsize@" on every page (pages/ZipMacros):
  // the ZIP of all originals' file name and its size, both empty without one;
  // "@zip_link@" is made of them and the photo count.
  std::string ZipName;
  std::string ZipSize;
  // What "@albumtable@", "@albumpath@" and "@albumname@" show; as
  // constructed, the top album without sub-albums. The album table goes on
  // the first thumbnail page only; a thumbnail template without
  // "@albumtable@" gets it as the first rows of "@thumbtable@" there.
  AlbumPageValues Album;

  // Each setter replaces the object's own list with a copy of the given one.
  void SetImageFiles(const std::vector<std::string>& files);
  // The metadata texts of the photos, by index into ImageFiles: the
  // caption subtitle and the photo macros of image pages. A photo past its
  // end has none (empty texts).
  void SetPhotoTexts(std::vector<PhotoTexts> texts);
  // The sizes of the photos' images, by index into ImageFiles, for the
  // width and height the pages give them. A photo past its end has none.
  void SetImageSizes(std::vector<ImageSizes> sizes);
  void SetHTMLThumbnails(const std::vector<std::string>& lines);
  void SetHTMLImages(const std::vector<std::string>& lines);
  const std::vector<std::string>& ImageFiles() const { return imageFiles_; }
  const std::vector<std::string>& HTMLThumbnails() const { return htmlThumbnails_; }
  const std::vector<std::string>& HTMLImages() const { return htmlImages_; }

  // Writes all thumbnail pages and image pages. Returns early, leaving what
  // was written, once Cancelled is set (tested after every image and every
  // table). Raises an error before writing anything when RowsCount or
  // ColsCount is below 1 or ImageCount does not fit ImageFiles, and raises
  // "Cannot create file ..." when a page cannot be written; pages written
  // before stay on disk.
  void Create_pages();

  // Renders thumbnail page k of T from HTMLThumbnails with the given table
  // rows and writes it as fileName into OutputPath.
  void Write_thumb_page(int k, int T, const std::string& fileName, const std::vector<std::string>& thumbTable);

  // Renders the page of image j of N (the image at CurrentImage in ImageFiles)
  // from HTMLImages and writes it as pageFileName into OutputPath.
  // thumbPageFileName names the thumbnail page that shows the image.
  void Write_image_page(int j, int N, int firstNumber, const std::string& pageFileName,
                        const std::string& thumbPageFileName);

 private:
  struct RunState;
  std::unique_ptr<RunState> NewRunState() const;
  RunState& State(std::unique_ptr<RunState>& local);
  // The path at CurrentImage; raises an error when there is none.
  const std::string& CurrentImagePath() const;
  // The texts of the photo at CurrentImage (empty ones when none were set).
  const PhotoTexts& CurrentPhotoTexts() const;
  // The sizes of the photo at index (none when they were not set).
  const ImageSizes& SizesOf(int index) const;
  void AddCellLines(const std::string& imagePageName);
  // The figure of the photo at CurrentImage in the grid; lazy below the first row.
  void AddGridFigure(const std::string& imagePageName, bool firstRow);
  void Output(const std::string& fileName, const std::string& text);

  std::vector<std::string> imageFiles_;
  std::vector<PhotoTexts> photoTexts_;
  std::vector<ImageSizes> imageSizes_;
  std::vector<std::string> htmlThumbnails_;
  std::vector<std::string> htmlImages_;
  std::vector<std::string> thumbTable_;
  std::vector<std::string> thumbGrid_;  // the "@thumbgrid@" lines of the page being laid out
  std::unique_ptr<RunState> run_;       // set only while Create_pages runs
};

}  // namespace fotoloom
