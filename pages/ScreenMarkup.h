// The markup for screens of any size and density: the figures of "@thumbgrid@" and the image page's size, WebP and
// original-size values.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fotoloom {

// The sizes of a photo's scaled image and thumbnail as the image writers
// will make them, in pixels; 0 where the run could not tell (a photo whose
// header cannot be read).
struct ImageSizes {
  int ScaledWidth = 0;
  int ScaledHeight = 0;
  int ThumbWidth = 0;
  int ThumbHeight = 0;
};

// The images a run writes beside the JPEG scaled images and thumbnails.
struct ExtraImages {
  bool SharpThumbnails = false;  // "t2_" at twice the thumbnail size
  bool Webp = false;             // a WebP copy of every "n_", "t_" and "t2_" image
};

// One photo's cell of the thumbnail grid. Every text is already in its page
// form (escaped); fileName is the photo's file name as on disk.
struct GridFigure {
  std::string fileName;
  std::string imagePage;  // the link of the photo's image page
  std::string alt;        // the alternative text
  std::string caption;    // the figcaption's content; none when empty
  ImageSizes sizes;
  bool lazy = false;  // loaded only when scrolled near
};

// Whether thumbnail pages of this template and title show "@thumbgrid@"
// (in any letter case). The title is replaced before the grid, so it may
// bring the macro in too.
bool ShowsThumbGrid(const std::vector<std::string>& thumbnailTemplate, std::string_view title);

// The opening line of the grid: a block whose columns come from the
// thumbnail pages' column count (the style "--columns: C"), so a page's
// style sheet can keep that grid on a wide screen and reflow it on a narrow
// one.
std::string ThumbGridStart(int columns);
inline constexpr std::string_view kThumbGridEnd = "</div>";

// The link of a photo's image of prefix ("t_", "t2_"; with webp, of its
// WebP copy), ready for a double-quoted attribute.
using ImageLinkOf = std::function<std::string(std::string_view prefix, bool webp)>;

// A thumbnail for screens of any density: the "t_" image with its width and
// height (left out where unknown), "t2_" offered for screens of twice the
// density when sharp thumbnails are written, inside a <picture> with the
// WebP copies first when those are written, decoded asynchronously and
// lazily where asked. alt is already in its page form.
std::vector<std::string> ThumbnailPicture(const ImageLinkOf& link, const ImageSizes& sizes, const std::string& alt,
                                          bool lazy, const ExtraImages& extra);

// The lines of one figure: a link to the image page around the thumbnail
// (ThumbnailPicture), then the caption.
// It does not check that any of the files exist.
std::vector<std::string> ThumbGridFigure(const GridFigure& figure, const ExtraImages& extra);

// ' width="W" height="H"' for a size, or "" when either side is unknown.
std::string SizeAttributes(int width, int height);

// The <source> of the WebP copy of the scaled image of the photo named
// fileName, for a <picture> around its <img>: "" without WebP copies.
std::string ScaledWebpSource(std::string_view fileName, const ExtraImages& extra);

// The link to the photo's original-size copy with the text "original size",
// or "" when the originals are not copied, so that a page never links to a
// file the run does not write.
std::string OriginalSizeLink(std::string_view fileName, bool originalsCopied);

// The link of the scaled image a browser shows for the photo named fileName
// (its WebP copy when those are written), for fetching it ahead.
std::string ShownScaledImageLink(std::string_view fileName, const ExtraImages& extra);

}  // namespace fotoloom
