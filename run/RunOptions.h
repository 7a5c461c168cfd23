// What a run reads from the options record: the typed numbers, the grid, the image sizes, and each writer's set-up.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/GallerySettings.h"
#include "imaging/Un_Scaling_File.h"
#include "imaging/Un_Thumb_File.h"
#include "pages/Un_image.h"

namespace fotoloom {

// A number typed by the user: leading blanks, then what a settings file may
// hold (sign, decimal, or hex after "0x" or "$"). Raises "'<text>' is not a
// valid integer value" for anything else, trailing blanks included.
int TextToInt(const std::string& text);

// A size in pixels: an integer of at least 1; raises for anything else.
int PixelSize(const std::string& text);

// The thumbnail side in pixels: the fixed size of the choice, or the size
// typed (raising as PixelSize does).
int ThumbnailBound(const GallerySettings& o);
// The same, or nothing where ThumbnailBound would raise.
std::optional<int> ThumbnailBoundIfValid(const GallerySettings& o);

// The thumbnail grid of the pages.
struct Grid {
  int Rows = 0;
  int Cols = 0;
  std::int64_t Cells() const { return std::int64_t{Rows} * Cols; }
};

// The grid, checked in full: a number that is not one raises as TextToInt
// does (rows first), rows times columns of 0 raises "Division by zero", and
// rows or columns below 1 raise a message that names them.
Grid ReadGrid(const GallerySettings& o);

// The photos whose images a run writes: all of them in ElementsMode 0, those
// of the first thumbnail page in mode 1, none in mode 2.
int ElementsCountOf(int elementsMode, int imageCount, std::int64_t cells);

// The page background as red, green and blue: the colour transparent
// pixels of photos are laid on.
std::array<std::uint8_t, 3> BackgroundOf(const GallerySettings& o);

// The images written beside the JPEG scaled images and thumbnails: "t2_"
// thumbnails with Thumbnails2x, WebP copies with WebP.
ExtraImages ExtraImagesOf(const GallerySettings& o);

// Hands the page writer its settings in the order the run sets them, and
// the first imageCount photos of imageFiles. Leaves its events alone.
void ConfigurePageWriter(timage_page& pages, const GallerySettings& o, const std::vector<std::string>& imageFiles,
                         int imageCount, const Grid& grid);

// Sets the scaled-image writer up for the first imageCount photos of
// imageFiles, each written into its subfolder of the output folder (by
// index; none: the output folder itself); raises the conversion error of an
// image size that is not one.
void ConfigureScaledImageWriter(tscaling_file& scaling, const GallerySettings& o,
                                const std::vector<std::string>& imageFiles, const std::vector<std::string>& subfolders,
                                int imageCount, int jobs);

// Sets the thumbnail writer up likewise, with thumbSize as both bounds.
void ConfigureThumbnailWriter(tthumb_file& thumbs, const GallerySettings& o, const std::vector<std::string>& imageFiles,
                              const std::vector<std::string>& subfolders, int imageCount, int jobs, int thumbSize);

}  // namespace fotoloom
