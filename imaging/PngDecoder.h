// The PNG decoder of the photo writers.
#pragma once

#include <memory>
#include <string>

#include "imaging/PhotoDecoder.h"

namespace fotoloom {

// Decodes PNG files of every colour type and depth row by row into 8-bit
// RGB (PhotoDecoder): palettes and grey expanded, 16-bit samples rounded to
// 8 bits, transparency laid on Background. Interlaced files are decoded
// whole when their first row is asked for. An animated PNG gives its default
// image, the first frame. The ICC profile (iCCP) becomes Colour(), the EXIF
// orientation (eXIf, before the image data) Orientation(). Errors: "Cannot
// open file ...", "Cannot read "<path>" as PNG: <the library's reason>" and
// "Image too large ...".
class PngDecoder : public PhotoDecoder {
 public:
  PngDecoder();
  ~PngDecoder() override;

  void Start(const std::string& path) override;
  int ReadRows(std::uint8_t* const* rows, int count) override;
  void FinishReading() override;
  void Inspect(const std::string& path) override;

 private:
  struct Reading;  // the open file and the library's reader
  std::unique_ptr<Reading> Open(const std::string& path);
  std::unique_ptr<Reading> reading_;
};

}  // namespace fotoloom
