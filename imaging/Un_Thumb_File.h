// tthumb_file: writes the "t_" thumbnail of every input photo.
#pragma once

#include "imaging/ImageWriter.h"

namespace fotoloom {

// The prefix of the thumbnails of twice the thumbnail size.
inline constexpr const char* kSharpThumbnailPrefix = "t2_";

// The thumbnail writer. Its fields are those of ImageWriter; the run sets
// MaxWidth and MaxHeight both to the thumbnail size.
class tthumb_file : public ImageWriter {
 public:
  tthumb_file();
  // Reads cancelled, a run's flag, as its own.
  explicit tthumb_file(bool& cancelled);
  // Writes "t_" + input name for the first ImageCount images. The target
  // size follows ThumbnailSize; the filtered stretch honours a cancel during
  // the horizontal pass and the shrinking vertical tap lists
  // (kThumbCancelPhases).
  void Create_thumbnails();

  // ImageStages also writes "t2_" + input name (ImageFileName), a thumbnail
  // of twice the size (SharpSettings), from the decode of its "t_" file.
  bool SharpThumbnails = false;
  // The settings of the "t2_" copy: those of the thumbnail at twice the
  // bound, at most 65500, the largest side a JPEG file holds.
  ResizeSettings SharpSettings() const;
};

}  // namespace fotoloom
