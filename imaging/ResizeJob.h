// One image of the scaled-image and thumbnail writers: decode, size, stretch, reduce, encode.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "imaging/resample.h"
#include "imaging/TargetSize.h"

namespace fotoloom {

// What one writer does to every image; the same for all images of a run.
struct ResizeSettings {
  int MaxWidth = 0;
  int MaxHeight = 0;
  int FilterIndex = 0;
  int Quality = 0;
  bool UseFilter = false;
  bool Grayscale = false;
  int PixelFormat = 0;
  // How the target size follows from the source size and the bounds.
  TargetSize (*SizeRule)(int width, int height, int maxWidth, int maxHeight) = nullptr;
};

// The working objects of one writer thread: a codec, the source and the
// target image and the stretch's scratch memory, kept from one image to the
// next so their memory is allocated and touched once.
class ResizeJob {
 public:
  // Turns the JPEG file at inputPath into the JPEG data of its resized copy
  // in jpeg. A cancel seen by the filtered stretch through hooks ends the
  // stretch early; the partly drawn target is still encoded. Raises the
  // codec's errors and the stretch's "Source bitmap too small".
  void Run(const std::string& inputPath, const ResizeSettings& settings, const StretchHooks& hooks,
           std::string& jpeg);

 private:
  JpegCodec codec_;
  Image source_;
  Image target_;
  StretchScratch scratch_;
};

// The kernel table entry a FilterIndex selects; an index outside the table
// selects Lanczos3, the filter the options start with.
const FilterEntry& FilterFor(int filterIndex);

}  // namespace fotoloom
