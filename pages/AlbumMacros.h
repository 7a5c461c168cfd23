// The values of the album macros: the table of an album's sub-albums, the path down to it, its name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pages/ScreenMarkup.h"

namespace fotoloom {

// The three album macros of the page templates.
inline constexpr std::string_view kAlbumTableMacro = "@albumtable@";
inline constexpr std::string_view kAlbumPathMacro = "@albumpath@";
inline constexpr std::string_view kAlbumNameMacro = "@albumname@";

// One sub-album as the album table of its parent shows it.
struct SubAlbumCell {
  std::string Name;  // its folder name as on disk
  // The folders from the sub-album down to the album that holds the cover
  // photo, the sub-album's own name first.
  std::vector<std::string> CoverFolders;
  std::string CoverPhoto;       // the cover photo's file name; the cell shows its thumbnail (ImageFileName "t_")
  std::int64_t PhotoCount = 0;  // its photos and those of its sub-albums
  ImageSizes CoverSizes;        // the cover's image sizes, where the run knows them
};

// What the album macros show on the pages of one album. As constructed it
// is the top album without sub-albums: the album macros then show the
// title as the name and nothing else, so a gallery without albums has
// exactly the pages it had before they existed.
struct AlbumPageValues {
  // The folder names from the top album's sub-album down to this album; empty for the top album.
  std::vector<std::string> Path;
  std::vector<SubAlbumCell> SubAlbums;  // in the order the table shows them
};

// The rows of "@albumtable@": cols cells a row (at least 1), each linking
// to the sub-album's first page (firstPageName inside its folder) around
// its cover thumbnail, its name and its number of photos ("1 photo", "12
// photos"). Every line is one entry, as the thumbnail table's rows are.
// Names from disk are entity-escaped in text and percent-encoded in links,
// and "@" is written "&#64;" and "%40" there, so that no macro replaced
// after this one finds its text in a folder's or a photo's name. No rows
// for no sub-albums. With gridForm (for pages that show "@thumbgrid@") the
// covers are the grid's thumbnails (ThumbnailPicture: sizes, the sharp and
// WebP copies that gridForm says are written), else plain images.
std::vector<std::string> AlbumTableRows(const std::vector<SubAlbumCell>& subAlbums, int cols,
                                        const std::string& firstPageName, const ExtraImages* gridForm = nullptr);

// "@albumpath@": links from the top album (shown as title, taken as it
// stands like "@title@") down to the album of path, separated by " &rsaquo; ",
// each to the first page (firstPageName) of its album; the album itself is
// plain text. Empty for the top album.
std::string AlbumPathValue(const std::vector<std::string>& path, const std::string& title,
                           const std::string& firstPageName);

// "@albumname@": the album's folder name escaped as in the table, or title
// as it stands for the top album.
std::string AlbumNameValue(const std::vector<std::string>& path, const std::string& title);

// Whether a line of the template holds "@albumtable@" in any letter case.
// A thumbnail template without it gets the album table as the first rows of
// "@thumbtable@" on an album's first page.
bool HoldsAlbumTableMacro(const std::vector<std::string>& lines);

}  // namespace fotoloom
