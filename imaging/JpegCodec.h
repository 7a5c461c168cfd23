// The JPEG codec of the image writers: full-size decoding into an Image and encoding from one.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/SettingsCheck.h"
#include "imaging/Image.h"

namespace fotoloom {

// Largest width or height a JPEG file can have; larger targets cannot be encoded.
constexpr int kJpegMaxDimension = kMaxImageSide;

// Most pixels a file may declare to be decoded: 2^28, a 16384 x 16384 square
// or a 200-megapixel camera's 16320 x 12240, which take 768 MiB as RGB. A
// header declaring more (the format allows 65535 x 65535, 12 GiB) is refused
// before any pixel memory is taken.
constexpr long long kMaxDecodePixels = 1LL << 28;

// Decodes JPEG files and encodes images as JPEG. One object serves one
// worker for a whole run; it is not shared between threads. Every library
// failure is raised as "JPEG error #<message code>: <the library's text>"
// ("JPEG error #53: Not a JPEG file: starts with 0x89 0x50"); nothing is printed.
class JpegCodec {
 public:
  // Decode to grey levels (and encode one component) instead of colour.
  bool Grayscale = false;
  // Quality 1..100 of the next encoding; the library clamps other values.
  int Quality = 75;
  // Files declaring more pixels than this are refused by Load and by Start.
  long long MaxPixels = kMaxDecodePixels;
  // Called on the decoding or encoding thread while the library works, at
  // most once per BusyInterval, so a caller on the GUI thread can keep its
  // window alive through a large photo. An exception it throws ends the
  // decoding or encoding and is raised when the library call returns.
  std::function<void()> OnBusy;
  std::chrono::steady_clock::duration BusyInterval = std::chrono::milliseconds(10);
  // The clock OnBusy's interval is measured on; empty means the steady clock.
  // Tests set their own, to measure the gaps between calls in time they control.
  std::function<std::chrono::steady_clock::time_point()> BusyClock;

  // Decodes the file at full size into image, turned and mirrored upright as
  // its EXIF Orientation tag says. Colour files decode to RGB; with Grayscale
  // set, or for a one-component file, the library quantises to 236 grey
  // levels with ordered dither, read back as RGB greys. Raises "Cannot open
  // file ..." when the file cannot be opened, "JPEG error #n" when it cannot
  // be decoded, and "Image too large: <w> x <h> pixels ..." when its header
  // declares more than MaxPixels. Records whether the file was progressive.
  void Load(const std::string& path, Image& image);

  // Row-wise decoding, for callers that use each row as it comes instead of
  // holding the whole image. Start opens the file, reads its header, applies
  // MaxPixels and starts decoding, with Load's errors; the facts below then
  // describe the file. ReadRows decodes the next count rows (fewer at the
  // end) in stored order, not turned upright, into rows[0..count-1], each
  // room for StoredWidth() RGB pixels, and returns how many it read; grey
  // output comes as RGB greys as with Load. FinishReading reads and drops
  // any rows left (so a damaged end of the file is still reported) and ends
  // decoding. A failure raises "JPEG error #n" and ends the reading; so does
  // starting another file or a Load.
  void Start(const std::string& path);
  int ReadRows(std::uint8_t* const* rows, int count);
  void FinishReading();
  // After Start, with no rows read yet: decodes the whole file into image,
  // upright, and ends the reading, as Load does.
  void ReadAll(Image& image);
  // Reads the header of the file at path and no pixel: StoredWidth,
  // StoredHeight, Orientation, Components and Progressive then describe the
  // file as Start would, with Start's errors for a file that cannot be
  // opened, has no readable header or declares more than MaxPixels. Data
  // damaged after the header is not noticed. Ends any reading in progress.
  void Inspect(const std::string& path);
  // Whether the file at path can be decoded: opens it and starts decoding as
  // Start does, with Start's errors (the colour conversion is checked, and a
  // progressive file's scans are read), then ends the reading without a
  // row. Damage after the start (a file cut short) shows only in decoding.
  void Probe(const std::string& path);
  // Stored size and rows decoded so far of the file being read.
  int StoredWidth() const { return storedWidth_; }
  int StoredHeight() const { return storedHeight_; }
  int RowsRead() const { return rowsRead_; }

  JpegCodec();
  ~JpegCodec();
  JpegCodec(const JpegCodec&) = delete;
  JpegCodec& operator=(const JpegCodec&) = delete;

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
  // What the file being read or read last lacks when it decoded with
  // warnings, in words for its user: "premature end of data; the missing
  // part shows grey" for a file cut short (the decoder makes up the rest),
  // the library's text of its first warning otherwise. Empty while there
  // was no warning.
  const std::string& Damage() const { return damage_; }

  // Raises the library's "JPEG error #n" for a size it refuses to encode.
  static void CheckEncodableSize(int width, int height);

 private:
  bool progressive_ = false;
  int components_ = 0;
  int orientation_ = 1;
  int warnings_ = 0;
  std::string damage_;
  int storedWidth_ = 0;
  int storedHeight_ = 0;
  int rowsRead_ = 0;
  struct Reading;  // the open file and the library's decoder
  // Opens path and reads its header and its orientation, after resetting the facts.
  std::unique_ptr<Reading> OpenHeader(const std::string& path);
  std::unique_ptr<Reading> reading_;
  std::vector<std::uint8_t> row_;  // one decoded row when it cannot go straight into the image
};

}  // namespace fotoloom
