// One photo of the scaled-image and thumbnail writers: decode once, then size, stretch, reduce and encode each copy.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "imaging/ColourConversion.h"
#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "imaging/PhotoDecoders.h"
#include "imaging/PlainStretch.h"
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
  // Photos are decoded by their content (HEIF, PNG and WebP besides JPEG);
  // off, every photo is decoded as JPEG.
  bool OtherFormats = false;
  // The colour (red, green, blue) transparent pixels are laid on.
  std::array<std::uint8_t, 3> Background{255, 255, 255};
  // How the target size follows from the source size and the bounds.
  TargetSize (*SizeRule)(int width, int height, int maxWidth, int maxHeight) = nullptr;
  // The copy is also encoded as WebP (EncodeWebp, at Quality) from the same
  // pixels as its JPEG.
  bool WebP = false;

  bool operator==(const ResizeSettings&) const = default;
};

// One resized copy wanted of a photo, and how its stretch pauses and learns
// of a cancel.
struct CopyRequest {
  const ResizeSettings* Settings = nullptr;  // null: this copy is not wanted
  StretchHooks Hooks;
};

// What became of one copy: its JPEG data, or the error that stopped it,
// and what the user should hear of the photo (each copy of a photo carries
// the same warnings, once).
struct CopyResult {
  std::string Jpeg;
  // Its WebP data when ResizeSettings::WebP is set; empty otherwise.
  std::string Webp;
  std::exception_ptr Error;
  std::vector<std::string> Warnings;
  // What the photo lacks when it decoded with warnings (JpegCodec::Damage);
  // empty for a sound photo.
  std::string Damage;
};

// An estimate of the work of resizing the photo at path, comparable between
// photos: its pixels, three times over for a progressive file, which the
// library decodes scan by scan through a buffer of the whole photo (about
// three times as long per pixel on photos from cameras). 0 when its header
// cannot be read, or it is not a regular file. otherFormats: the photo is
// read as ResizeSettings::OtherFormats says.
std::uint64_t EstimatedWork(const std::string& path, bool otherFormats = false);

// The working objects of one writer thread: a codec, a strip of source rows,
// and per copy a target image and the stretch's scratch memory, kept from one
// photo to the next so their memory is allocated and touched once. Photos
// whose rows stay rows when turned upright are resized as they are decoded, a
// strip of rows at a time, so the decoded photo is never held whole; photos
// stored turned by a quarter are decoded whole first.
class ResizeJob {
 public:
  // The clock the codec measures its busy interval on (empty: the steady clock).
  std::function<std::chrono::steady_clock::time_point()> BusyClock;

  // Turns the photo file at inputPath into the JPEG data of its resized copy
  // in jpeg. Photos with a colour profile other than sRGB's are converted
  // into sRGB once the copy has its size (SrgbConversion), which costs the
  // least: only the copy's pixels are converted. hooks.OnWorking is also called while the photo is decoded and
  // encoded. A cancel seen by the filtered stretch through hooks ends the
  // stretch early; the partly drawn target is still encoded. Raises the
  // codec's errors and the stretch's "Source bitmap too small".
  void Run(const std::string& inputPath, const ResizeSettings& settings, const StretchHooks& hooks, std::string& jpeg);

  // Makes every wanted copy of requests from one decode of the file, each
  // exactly as the one-copy Run would make it alone, into the result of the
  // same index. Nothing raises: each copy's error goes into its result, and
  // the other copies go on; an error of the file itself goes to every wanted
  // copy. With no copy wanted, the file is not opened. The wanted copies
  // must share Grayscale, which is how the file is decoded. onBusy is called
  // while the photo is decoded and encoded.
  void Run(const std::string& inputPath, std::span<const CopyRequest> requests, const std::function<void()>& onBusy,
           std::span<CopyResult> results);

 private:
  // The working objects and the state of one copy.
  struct Copy {
    Image target;
    StretchScratch scratch;
    RowStretch stretch;
    PlainRowStretch plain;
    const CopyRequest* request = nullptr;
    CopyResult* result = nullptr;
    bool failed = false;           // result->Error is final
    bool taking = false;           // still takes decoded rows
    std::exception_ptr sizeError;  // raised unless the file itself fails first
  };

  void RunStreamed(const std::vector<Copy*>& copies);
  void RunWhole(const std::vector<Copy*>& copies);
  // Sizes copy's target for a sourceWidth x sourceHeight upright photo;
  // false, with sizeError set, for a size the encoder cannot take.
  static bool SizeTarget(Copy& copy, int sourceWidth, int sourceHeight);
  // Reduces and encodes each copy that has not failed.
  void Encode(const std::vector<Copy*>& copies);
  // Reads the next strip of rows (at most strip_'s height) into strip_ in
  // upright order; returns how many and sets the upright row of the first.
  int ReadStrip(int& firstRow);
  // The conversion of the photo being read into sRGB, kept for the next
  // photo of the same colours; adds a warning to every copy when its
  // profile was ignored.
  const SrgbConversion& ConversionFor(const std::string& inputPath, const std::vector<Copy*>& copies);

  PhotoDecoders decoders_;
  PhotoDecoder* decoder_ = nullptr;  // the decoder of the photo being read
  SrgbConversion conversion_;
  ColourDescription conversionColour_;
  bool conversionGrey_ = false;
  Image source_;  // the whole photo, for photos turned by a quarter
  Image strip_;   // a few decoded rows
  std::vector<std::uint8_t*> stripRows_;
  std::vector<std::unique_ptr<Copy>> copies_;
};

}  // namespace fotoloom
