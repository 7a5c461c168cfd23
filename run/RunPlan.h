// What a generation run would write, found by a dry run that writes nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/TargetSize.h"

namespace fotoloom {

// One photo of the gallery, in gallery order.
struct PlannedPhoto {
  std::string Path;       // the input photo
  std::string Subfolder;  // of its album, below the output folder; "" for the top album
  // Whether its images are written; ElementsMode 1 writes them for the
  // photos of the first thumbnail page only, mode 2 for none.
  bool ImagesWritten = false;
  TargetSize Scaled{};          // of its "n_" scaled image, when written
  TargetSize Thumbnail{};       // of its "t_" thumbnail, when written
  TargetSize SharpThumbnail{};  // of its "t2_" thumbnail, when written
  // Why its header could not be read (the codec's message): the run would
  // stop with this error at this photo. Empty when the header was read.
  std::string Problem;
  // With UseExif and a date order, the date the order used:
  // "taken 2024-05-17 14:03:07" or "file date"; otherwise empty.
  std::string DateUsed;
  // Where its caption comes from ("XMP sidecar", ..., "none") when the
  // pages show captions; otherwise empty.
  std::string CaptionFrom;
  // An update's plan for its written images: which are made again.
  bool RedoScaled = true;
  bool RedoThumbnail = true;
  bool RedoCopy = true;  // its "b_" copy is made or replaced
};

// What an update would do besides the photos' images.
struct PlannedUpdate {
  bool StateFound = false;  // false: the update would be a full run
  int UpToDate = 0;         // photos whose images need nothing made again
  // Files and folders Fotoloom wrote that the full run would not leave, and
  // that are unchanged since: the update would delete them.
  std::vector<std::string> Deleted;
  bool ZipWritten = true;  // the ZIP of all originals is written again (when the run writes one)
};

// One album of a gallery made with subfolders, in tree order.
struct PlannedAlbum {
  std::string Folder;  // below the input (and output) folder; "" for the top album
  int Photos = 0;      // its own
  std::int64_t PhotosInTree = 0;
  int ThumbPages = 0;
};

// Everything a dry run finds out. Sizes come from the photos' headers and
// EXIF orientation through the writers' own size rules; data damaged past a
// header only shows in a real run.
struct RunPlan {
  bool CreatesOutputFolder = false;  // the output folder is missing and would be made
  int ThumbPageCount = 0;
  int ImagePageCount = 0;                 // one per photo
  int ElementsCount = 0;                  // photos whose images are written
  bool CopiesOriginals = false;           // a "b_" copy beside each written photo
  bool CopiesAdditionalElements = false;  // the contents of AdditionalPath are copied
  bool SharpThumbnails = false;           // a "t2_" thumbnail beside each "t_" one
  bool WebP = false;                      // a WebP file beside each scaled image and thumbnail
  bool WritesZip = false;                 // the ZIP of all originals (kZipFileName)
  bool ZipStripsLocation = false;         // its photos without their location
  std::vector<PlannedPhoto> Photos;
  std::vector<PlannedAlbum> Albums;  // set only when the run takes subfolders as albums
  // The photos a run with SkipBadPhotos leaves out, with why each cannot be read.
  struct LeftOutPhoto {
    std::string Path;
    std::string Problem;
  };
  std::vector<LeftOutPhoto> LeftOut;
  bool Updates = false;  // a dry run of an update: Update is filled in
  PlannedUpdate Update;

  // The number of photos whose header could not be read.
  int ProblemCount() const {
    return static_cast<int>(
        std::count_if(Photos.begin(), Photos.end(), [](const PlannedPhoto& p) { return !p.Problem.empty(); }));
  }
};

}  // namespace fotoloom
