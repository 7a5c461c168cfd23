// The JPEG codec of the image writers: full-size decoding into an Image and encoding from one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/SettingsCheck.h"
#include "imaging/Image.h"
#include "imaging/PhotoDecoder.h"

namespace fotoloom {

// Largest width or height a JPEG file can have; larger targets cannot be encoded.
constexpr int kJpegMaxDimension = kMaxImageSide;

// Decodes JPEG files and encodes images as JPEG. One object serves one
// worker for a whole run; it is not shared between threads. Every library
// failure is raised as "JPEG error #<message code>: <the library's text>"
// ("JPEG error #53: Not a JPEG file: starts with 0x89 0x50"); nothing is printed.
// An embedded ICC profile (APP2 segments) is handed on as Colour(); CMYK and
// YCCK files are turned into sRGB as they are decoded (CmykConversion).
class JpegCodec : public PhotoDecoder {
 public:
  // Quality 1..100 of the next encoding; the library clamps other values.
  int Quality = 75;

  // Decoding (PhotoDecoder): Load decodes the file at full size into image,
  // turned and mirrored upright as its EXIF Orientation tag says. Colour
  // files decode to RGB; with Grayscale set, or for a one-component file,
  // the library quantises to 236 grey levels with ordered dither, read back
  // as RGB greys. Raises "Cannot open file ..." when the file cannot be
  // opened, "JPEG error #n" when it cannot be decoded, and "Image too large:
  // <w> x <h> pixels ..." when its header declares more than MaxPixels.
  // Records whether the file was progressive. Start, ReadRows and
  // FinishReading decode row by row with the same errors; a failure ends
  // the reading, and so does starting another file or a Load. Inspect
  // notices no damage after the header, and ends any reading in progress.
  void Start(const std::string& path) override;
  int ReadRows(std::uint8_t* const* rows, int count) override;
  void FinishReading() override;
  void Inspect(const std::string& path) override;
  // As PhotoDecoder's: the colour conversion is checked and a progressive
  // file's scans are read; the reading then ends without a row, so damage
  // after the start (a file cut short) shows only in decoding.
  void Probe(const std::string& path) override;

  JpegCodec();
  ~JpegCodec() override;

  // Encodes the whole image at Quality into jpeg (replacing its content):
  // one grey component when Grayscale is set, three otherwise; progressive
  // exactly when the file loaded last was. Raises "JPEG error #n".
  void Encode(const Image& image, std::string& jpeg);

  // Facts about the file loaded last, besides PhotoDecoder's.
  int Components() const { return components_; }
  // Library warnings (for example corrupt data) of the last Load or Encode.
  int Warnings() const { return warnings_; }
  // What the file being read or read last lacks when it decoded with
  // warnings, in words for its user: "premature end of data; the missing
  // part shows grey" for a file cut short (the decoder makes up the rest),
  // the library's text of its first warning otherwise. Empty while there
  // was no warning.
  const std::string& Damage() const { return damage_; }

  // Forgets the file loaded last: the next encoding is sequential.
  void ForgetLoadedFile();

  // Raises the library's "JPEG error #n" for a size it refuses to encode.
  static void CheckEncodableSize(int width, int height);

 private:
  int components_ = 0;
  int warnings_ = 0;
  std::string damage_;
  struct Reading;  // the open file and the library's decoder
  // Opens path and reads its header, its orientation and its colour
  // profile, after resetting the facts.
  std::unique_ptr<Reading> OpenHeader(const std::string& path);
  // For a CMYK file: its conversion into RGB, which also settles the colours.
  void StartCmyk(Reading& reading);
  // CMYK files: decodes up to count rows through the inks buffer into rows
  // as RGB, counting them in read. False after a library error.
  bool ReadCmykRows(std::uint8_t* const* rows, int count, int& read);
  std::unique_ptr<Reading> reading_;
};

}  // namespace fotoloom
