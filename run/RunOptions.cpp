// Reading the typed numbers of the options record, and setting the writers up from it.
#include "run/RunOptions.h"

#include <algorithm>

#include "core/Error.h"
#include "core/SettingsCheck.h"
#include "core/SystemColors.h"

namespace fotoloom {
namespace {

// Sets what the scaled-image and the thumbnail writer take alike from the
// options and the run: the images, where to write, the resampling and the
// output format. Their sizes and qualities are their own.
void ConfigureImageWriter(ImageWriter& writer, const GallerySettings& o, const std::vector<std::string>& imageFiles,
                          const std::vector<std::string>& subfolders, int imageCount, int jobs) {
  writer.ImageFiles = imageFiles;
  writer.Subfolders = subfolders;
  writer.ImageCount = imageCount;
  writer.OutputPath = o.OutputPath();
  writer.FilterIndex = o.FilterIndex();  // -1, no filter chosen, resizes with the default one
  writer.UseFilter = o.UseFilter();
  writer.Grayscale = o.isgrayscale();
  const int pixelFormat = (o.Pixelformat() >= 0 && o.Pixelformat() <= 7) ? o.Pixelformat() : 0;
  writer.PixelFormat = static_cast<std::uint8_t>(pixelFormat);
  writer.Jobs = std::max(1, jobs);
  writer.OtherFormats = o.OtherFormats();
  writer.Background = BackgroundOf(o);
  writer.WebP = o.WebP();
}

}  // namespace

std::array<std::uint8_t, 3> BackgroundOf(const GallerySettings& o) {
  const Color c = ResolveColor(o.BackgroundColor());
  return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
          static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

ExtraImages ExtraImagesOf(const GallerySettings& o) { return {o.Thumbnails2x(), o.WebP()}; }

int TextToInt(const std::string& text) {
  const std::optional<int> value = RunNumberValue(text);
  if (!value) throw Error("'" + text + "' is not a valid integer value");
  return *value;
}

int PixelSize(const std::string& text) {
  const int value = TextToInt(text);
  if (value < 1) throw Error("'" + text + "' is not a valid image size: it must be at least 1 pixel");
  return value;
}

int ThumbnailBound(const GallerySettings& o) {
  const int choice = o.ThumbSizeChoice();
  return (choice >= 0 && choice < int(kFixedThumbSizes.size())) ? kFixedThumbSizes[std::size_t(choice)]
                                                                : PixelSize(o.MaxSizeThumbnails());
}

std::optional<int> ThumbnailBoundIfValid(const GallerySettings& o) {
  try {
    return ThumbnailBound(o);
  } catch (const Error&) {
    return std::nullopt;
  }
}

Grid ReadGrid(const GallerySettings& o) {
  Grid grid;
  grid.Rows = TextToInt(o.RowsCount());
  grid.Cols = TextToInt(o.ColsCount());
  if (grid.Cells() == 0) throw Error("Division by zero");
  if (grid.Rows < 1) throw Error("'" + o.RowsCount() + "' is not a valid number of rows: it must be at least 1");
  if (grid.Cols < 1) throw Error("'" + o.ColsCount() + "' is not a valid number of columns: it must be at least 1");
  return grid;
}

int ElementsCountOf(int elementsMode, int imageCount, std::int64_t cells) {
  if (elementsMode == 2) return 0;
  return elementsMode == 0 ? imageCount : static_cast<int>(std::min<std::int64_t>(imageCount, cells));
}

void ConfigurePageWriter(timage_page& pages, const GallerySettings& o, const std::vector<std::string>& imageFiles,
                         int imageCount, const Grid& grid) {
  pages.OutputPath = o.OutputPath();
  pages.BackgroundColor = o.BackgroundColor();
  pages.TextColor = o.TextColor();
  pages.LinkColor = o.LinkColor();
  pages.VisitedLinkColor = o.VisitedLinkColor();
  pages.SetImageFiles(imageFiles);
  pages.ImageCount = imageCount;
  pages.ColsCount = grid.Cols;
  pages.RowsCount = grid.Rows;
  pages.SubtitleIndex = o.SubtitleIndex();
  pages.Title = o.Title();
  pages.SetHTMLThumbnails(o.HTMLThumbnails());
  pages.SetHTMLImages(o.HTMLImages());
  pages.ImagePagesName = o.ImagePagesName();
  pages.ThumbPagesName = o.ThumbPagesName();
  pages.WebSiteExtension = o.WebSiteExtension();
  pages.OriginalsCopied = o.CopyOrgSizedImages();
  pages.Extra = ExtraImagesOf(o);
}

void ConfigureScaledImageWriter(tscaling_file& scaling, const GallerySettings& o,
                                const std::vector<std::string>& imageFiles, const std::vector<std::string>& subfolders,
                                int imageCount, int jobs) {
  ConfigureImageWriter(scaling, o, imageFiles, subfolders, imageCount, jobs);
  scaling.MaxWidth = PixelSize(o.MaxWidthImage());
  scaling.MaxHeight = PixelSize(o.MaxHeightImage());
  scaling.Quality = static_cast<std::uint8_t>(o.QualityImages());
}

void ConfigureThumbnailWriter(tthumb_file& thumbs, const GallerySettings& o, const std::vector<std::string>& imageFiles,
                              const std::vector<std::string>& subfolders, int imageCount, int jobs, int thumbSize) {
  ConfigureImageWriter(thumbs, o, imageFiles, subfolders, imageCount, jobs);
  thumbs.MaxWidth = thumbSize;
  thumbs.MaxHeight = thumbSize;
  thumbs.Quality = static_cast<std::uint8_t>(o.QualityThumbnails());
  thumbs.SharpThumbnails = o.Thumbnails2x();
}

}  // namespace fotoloom
