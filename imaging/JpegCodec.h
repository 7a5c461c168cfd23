// The JPEG codec of the image writers: full-size decoding into an Image and encoding from one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/Image.h"

namespace fotoloom {

// Largest width or height a JPEG file can have; larger targets cannot be encoded.
constexpr int kJpegMaxDimension = 65500;

// Decodes JPEG files and encodes images as JPEG. One object serves one
// worker for a whole run; it is not shared between threads. Every library
// failure is raised as "JPEG error #<message code>"; nothing is printed.
class JpegCodec {
 public:
  // Decode to grey levels (and encode one component) instead of colour.
  bool Grayscale = false;
  // Quality 1..100 of the next encoding; the library clamps other values.
  int Quality = 75;

  // Decodes the file at full size into image, turned and mirrored upright as
  // its EXIF Orientation tag says. Colour files decode to RGB; with Grayscale
  // set, or for a one-component file, the library quantises to 236 grey
  // levels with ordered dither, read back as RGB greys. Raises "Cannot open
  // file ..." when the file cannot be opened, "JPEG error #n" when it cannot
  // be decoded. Records whether the file was progressive.
  void Load(const std::string& path, Image& image);

  // Encodes the whole image at Quality into jpeg (replacing its content):
  // one grey component when Grayscale is set, three otherwise; progressive
  // exactly when the file loaded last was. Raises "JPEG error #n".
  void Encode(const Image& image, std::string& jpeg);

  // Facts about the file loaded last.
  bool Progressive() const { return progressive_; }
  int Components() const { return components_; }
  int Orientation() const { return orientation_; }
  // Library warnings (for example corrupt data) of the last Load or Encode.
  int Warnings() const { return warnings_; }

  // Raises the library's "JPEG error #n" for a size it refuses to encode.
  static void CheckEncodableSize(int width, int height);

 private:
  bool progressive_ = false;
  int components_ = 0;
  int orientation_ = 1;
  int warnings_ = 0;
  std::vector<std::uint8_t> row_;  // one decoded row when it cannot go straight into the image
};

}  // namespace fotoloom
