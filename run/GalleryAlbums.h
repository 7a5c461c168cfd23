// A gallery as albums: each album's photos in gallery order, its pages and folder, and the photos whose images are
// written.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/AlbumTree.h"
#include "core/GallerySettings.h"
#include "pages/AlbumMacros.h"
#include "run/RunOptions.h"

namespace fotoloom {

// One album as a run writes it.
struct GalleryAlbum {
  // Its folder below the output folder, the same as below the input folder
  // ("2024/Rome"); "" for the top album, whose pages are the output folder's.
  std::string Subfolder;
  int FirstPhoto = 0;     // the index of its first photo in GalleryLayout::ImageFiles
  int PhotoCount = 0;     // its own photos
  int ElementsCount = 0;  // those whose images are written (the first ones)
  int ThumbPages = 0;     // at least 1, also without photos of its own
  AlbumPageValues Pages;  // what its album macros show
  // The index in GalleryLayout::ImageFiles of each sub-album's cover, in the order of Pages.SubAlbums.
  std::vector<int> CoverPhotos;
};

// Where every photo of a run goes. A gallery without albums is one top
// album whose photos are those of the input folder, ordered as always.
struct GalleryLayout {
  std::vector<GalleryAlbum> Albums;            // in tree order, the top album first
  std::vector<std::string> ImageFiles;         // every photo, album after album, each album in gallery order
  std::vector<int> ElementPhotos;              // the photos whose images are written, by index in ImageFiles
  std::vector<std::string> ElementFiles;       // their paths, in that order
  std::vector<std::string> ElementSubfolders;  // the subfolder of each one's album
  int ThumbPages = 0;                          // of all albums

  int PhotoCount() const { return static_cast<int>(ImageFiles.size()); }
  int ElementsCount() const { return static_cast<int>(ElementFiles.size()); }
};

// Lays the albums out: orders each album's photos by sortingMethod (a date
// order by the moments taken when useDates is set, as GalleryOrder), counts
// its thumbnail pages on the grid, takes the photos whose images are written
// in elementsMode (0 all, 1 those of each album's first page, 2 none), and
// gives each album the values of its album macros: the path from the top
// album, and a cell for each sub-album with its count and its cover (the
// first photo in gallery order, or the cover of its first sub-album when it
// has no photos of its own).
GalleryLayout LayOutAlbums(const std::vector<Album>& albums, int sortingMethod, const Grid& grid, int elementsMode,
                           bool useDates = false);

// The albums without the photos whose paths are in leftOut: counts made
// anew, and an album that no longer holds photos, also further down, gone
// with its place in the tree (the top album stays, also when empty).
std::vector<Album> WithoutPhotos(const std::vector<Album>& albums, const std::set<std::string>& leftOut);

// Checks, before anything is written, that every album can be written:
// raises fotoloom::Error naming the input folder of an album whose name is
// that of a file its parent album writes into the same output folder (a
// thumbnail or image page, an "n_", "t_" or "b_" file, or on the top
// album an entry of AdditionalPath when it is copied), and naming a path of
// the gallery that would be longer than the system allows.
void CheckAlbumFolders(const GalleryLayout& layout, const std::vector<Album>& albums, const GallerySettings& o);

}  // namespace fotoloom
