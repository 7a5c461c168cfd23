// The WebP decoder of the photo writers.
#pragma once

#include <memory>
#include <string>

#include "imaging/PhotoDecoder.h"

namespace fotoloom {

// Decodes WebP files, lossy and lossless, into 8-bit RGB (PhotoDecoder):
// the whole picture at Start (the library decodes it in slices, calling
// OnBusy between them), handed out row by row, with transparency laid on
// Background. An animated file gives its first frame, on its canvas. The ICC
// profile (ICCP chunk) becomes Colour(), the EXIF orientation (EXIF chunk)
// Orientation(). Errors: "Cannot open file ...", "Cannot read "<path>" as
// WebP: <reason>" and "Image too large ...".
class WebpDecoder : public PhotoDecoder {
 public:
  WebpDecoder();
  ~WebpDecoder() override;

  void Start(const std::string& path) override;
  int ReadRows(std::uint8_t* const* rows, int count) override;
  void FinishReading() override;
  void Inspect(const std::string& path) override;

 private:
  struct Container;  // the file and its demuxer
  // Reads the file at path and its chunks: size, profile, orientation.
  void Open(const std::string& path, Container& container);
  struct Picture;  // the decoded canvas
  std::unique_ptr<Picture> picture_;
};

}  // namespace fotoloom
