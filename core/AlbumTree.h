// Finding the albums under an input folder: the folder itself and every folder below it that holds photos.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Cancellable.h"
#include "core/PhotoFormats.h"
#include "core/PosixIo.h"
#include "core/Un_MyFindFile.h"

namespace fotoloom {

// The deepest a folder below the input folder may lie (its children lie 1 deep).
inline constexpr int kMaxAlbumDepth = 64;

// One folder of the input tree that holds photos, or holds such a folder
// further down.
struct Album {
  std::string Folder;              // relative to the input folder, parts joined by "/"; "" for the top album
  std::string Name;                // the folder's own name as on disk; "" for the top album
  int Parent = -1;                 // index of the parent album; -1 for the top album
  int Depth = 0;                   // 0 for the top album, 1 for its sub-albums, ...
  std::vector<int> Children;       // indexes of the sub-albums, in name order
  std::vector<ImageEntry> Photos;  // its own photos, in the order found
  std::int64_t PhotosInTree = 0;   // its own photos and those of all its sub-albums
};

// Walks the folders under InputFolder and returns the albums. A folder is
// left out with all it holds when its name begins with "." (as hidden files
// are), when it is SkipFolder, when it is reached through a symbolic link
// that leads back into the input folder or to a folder above it on the way
// down (folders are told apart by device and inode, so no spelling of a
// path hides a loop), and when it cannot be read (OnWarning then names it).
// A folder is an album when it holds photos, found exactly as the run's
// search finds those of the input folder, or holds an album.
class AlbumSearch : public Cancellable {
 public:
  using WarningEvent = std::function<void(const std::string& text)>;

  // Owns its cancel flag, or reads a run's.
  AlbumSearch() = default;
  explicit AlbumSearch(bool& cancelled) : Cancellable(cancelled) {}

  std::string InputFolder;
  // The photos' file name mask, as the run's search uses it
  // (PhotoSearchMask).
  std::string Mask = PhotoSearchMask(false);
  // A folder left out (the output folder when it lies inside the input
  // folder); empty or missing: none.
  std::string SkipFolder;
  // Fired for each photo found below the input folder, as the search fires
  // it; may set the cancel flag.
  TMyFindFile::FileFoundEvent OnFileFound;
  // One line for each folder left out that the user may miss: one that
  // cannot be read, or one whose link leads back into the tree.
  WarningEvent OnWarning;
  // Lists the names in a folder as ListFolderNames does (nothing, with
  // errno set, when it cannot be read); tests put their own here.
  std::function<std::optional<std::vector<std::string>>(const std::string& folder)> ListFolder = ListFolderNames;

  // The albums in tree order: the top album (InputFolder itself, holding
  // topPhotos, which the caller found) first, and every album before its
  // sub-albums, which follow in name order (the collation of the name
  // orders). The top album is returned even when it holds nothing. Raises
  // fotoloom::Error naming the folder when a folder lies deeper than
  // kMaxAlbumDepth or its path is longer than the system allows. Returns
  // the albums found so far when Cancelled is set.
  std::vector<Album> Search(std::vector<ImageEntry> topPhotos);
};

}  // namespace fotoloom
