// The HEIF decoder (HEIC and AVIF) of the photo writers, and the reader of the metadata blocks beside its picture.
#pragma once

#include <memory>
#include <string>

#include "imaging/PhotoDecoder.h"

namespace fotoloom {

// Decodes the primary image of a HEIF file, HEVC (HEIC) or AV1 (AVIF), into
// 8-bit RGB (PhotoDecoder): the whole picture at Start, handed out row by
// row. The rotation, mirroring and cropping the file's container asks for
// are applied by the library, so Orientation() is always 1 and an EXIF
// orientation inside the file is ignored (it would turn the picture twice).
// Samples of 10 or 12 bits are rounded to 8, transparency is laid on
// Background. The ICC profile, or else the coded colour description
// (nclx), becomes Colour(). Errors: "Cannot open file ...", "Cannot read
// "<path>" as HEIF: <the library's reason>" (also for a codec the library
// lacks) and "Image too large ...".
class HeifDecoder : public PhotoDecoder {
 public:
  HeifDecoder();
  ~HeifDecoder() override;

  void Start(const std::string& path) override;
  int ReadRows(std::uint8_t* const* rows, int count) override;
  void FinishReading() override;
  void Inspect(const std::string& path) override;

 private:
  struct Reading;  // the library's file and image handles, the decoded picture
  std::unique_ptr<Reading> Open(const std::string& path);
  std::unique_ptr<Reading> reading_;
};

// The metadata a HEIF file keeps beside its primary image, as stored: the
// EXIF block from its TIFF header on (without the offset the container puts
// before it) and the XMP packet; each empty when the file has none, or one
// larger than 16 MiB. Raises as Start does for a file that cannot be read.
struct HeifMetadata {
  std::string Exif;
  std::string Xmp;
};
HeifMetadata ReadHeifMetadata(const std::string& path);

}  // namespace fotoloom
