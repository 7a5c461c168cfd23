// One ZIP file of all originals of a gallery, for one download.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/FullSizeJpeg.h"

namespace fotoloom {

// What one entry of the ZIP holds of its photo.
enum class ZipContent {
  Original,         // the photo's bytes
  WithoutLocation,  // a JPEG photo with every GPS tag removed (WithoutLocation)
  FullSizeJpeg,     // the full-size JPEG of a photo of another format (MakeFullSizeJpeg)
};

// One photo of the ZIP.
struct ZipPhoto {
  std::string Path;
  std::string EntryName;
  ZipContent Content = ZipContent::Original;
};

// The entries of the photos in gallery order: what each holds and under
// which name. A photo's entry is its bytes under its file name; with
// stripLocation a JPEG photo's bytes without GPS tags, and a photo of
// another format, whose metadata the run does not rewrite, its full-size
// JPEG named as its "b_" copy is but without the prefix ("IMG_1.HEIC.jpg"),
// which carries no location.
std::vector<ZipPhoto> ZipPhotosOf(const std::vector<std::string>& photoPaths, bool stripLocation);

// The version of the ZIP's code: raise it with every change that alters a
// byte of the ZIP, so that updates write it again.
inline constexpr int kPhotoZipVersion = 1;

// What decides the ZIP's bytes besides its photos: this code's and the ZIP
// library's versions, and with stripLocation the recipes of the copies
// without location and of the full-size JPEGs.
std::string PhotoZipRecipe(bool stripLocation, const FullSizeSettings& fullSize);

// What WritePhotoZip calls on the calling thread.
struct PhotoZipHooks {
  std::function<void(int index)> OnEntry;  // before the entry of photo index is read
  std::function<void()> OnBusy;            // often while an entry is read and written
  std::function<bool()> Cancelled;         // asked before each entry
};

// Writes the ZIP of photos to zipPath: one entry per photo in the order
// given, stored without compression (photos do not compress), dated with
// the photo's modification time (to the two seconds a ZIP entry holds, in
// local time), with the same attributes for every entry, so that the same
// photos give the same bytes. The archive is written to the temporary file
// of zipPath (TemporaryPathFor, through the library's own temporary file
// beside it) and renamed to zipPath once complete, so zipPath is either the
// old file or the whole new one. Returns false, leaving zipPath as it was,
// when Cancelled answers true. Raises "Cannot write <zipPath>: <reason>",
// naming the photo when one cannot be read or its location removed; no
// part of the new file is left then.
bool WritePhotoZip(const std::string& zipPath, const std::vector<ZipPhoto>& photos, const FullSizeSettings& fullSize,
                   const PhotoZipHooks& hooks);

}  // namespace fotoloom
