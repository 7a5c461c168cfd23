// One image of the scaled-image and thumbnail writers: decode, size, stretch, reduce, encode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "imaging/TargetSize.h"
#include "imaging/resample.h"

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

// The working objects of one writer thread: a codec, a strip of source rows,
// the target image and the stretch's scratch memory, kept from one image to
// the next so their memory is allocated and touched once. Photos whose rows
// stay rows when turned upright are resized as they are decoded, a strip of
// rows at a time, so the decoded photo is never held whole; photos stored
// turned by a quarter are decoded whole first.
class ResizeJob {
 public:
  // Turns the JPEG file at inputPath into the JPEG data of its resized copy
  // in jpeg. hooks.OnWorking is also called while the photo is decoded and
  // encoded. A cancel seen by the filtered stretch through hooks ends the
  // stretch early; the partly drawn target is still encoded. Raises the
  // codec's errors and the stretch's "Source bitmap too small".
  void Run(const std::string& inputPath, const ResizeSettings& settings, const StretchHooks& hooks, std::string& jpeg);

 private:
  // Sizes the target for a sourceWidth x sourceHeight upright photo. Raises
  // the encoder's error, after reading the rest of the file, for a size it
  // cannot take.
  TargetSize SizeTarget(const ResizeSettings& settings, int sourceWidth, int sourceHeight);
  void StretchStreamed(const ResizeSettings& settings, const StretchHooks& hooks);
  void StretchWhole(const ResizeSettings& settings, const StretchHooks& hooks);
  // Reads the next strip of rows (at most strip_'s height) into strip_ in
  // upright order; returns how many and sets the upright row of the first.
  int ReadStrip(int& firstRow);

  JpegCodec codec_;
  Image source_;  // the whole photo, for photos turned by a quarter
  Image strip_;   // a few decoded rows
  std::vector<std::uint8_t*> stripRows_;
  Image target_;
  StretchScratch scratch_;
};

}  // namespace fotoloom
