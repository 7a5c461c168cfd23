// What every photo decoder offers: the file's facts, then its rows as 8-bit RGB.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/ColourConversion.h"
#include "imaging/Image.h"

namespace fotoloom {

// Most pixels a file may declare to be decoded: 2^28, a 16384 x 16384 square
// or a 200-megapixel camera's 16320 x 12240, which take 768 MiB as RGB. A
// header declaring more (the format allows 65535 x 65535, 12 GiB) is refused
// before any pixel memory is taken.
constexpr long long kMaxDecodePixels = 1LL << 28;

// "Image too large: <w> x <h> pixels (at most <limit>)", for a header
// declaring more pixels than a decoder's MaxPixels.
[[noreturn]] void ThrowImageTooLarge(long long width, long long height, long long limit);

// "Cannot read "<path>" as <format>: <reason>", for a file a decoder of
// another format than JPEG refuses (damaged, cut short, not of its format).
[[noreturn]] void ThrowCannotDecode(const std::string& path, const std::string& format, const std::string& reason);

// A decoder of one file format, used by one thread at a time for a whole
// run. Start reads a file's header and starts decoding; the facts below then
// describe the file, and ReadRows hands its rows out in stored order (not
// turned upright) as 8-bit RGB: deeper samples rounded to 8 bits,
// transparent pixels laid on Background, grey samples as RGB greys, and with
// Grayscale set every pixel grey. The rows keep the colours of the file, which
// Colour() describes (CMYK files are turned into sRGB on the way, having no
// RGB colours of their own).
class PhotoDecoder {
 public:
  // Decode to grey levels instead of colour.
  bool Grayscale = false;
  // Files declaring more pixels than this are refused by Start and Inspect.
  long long MaxPixels = kMaxDecodePixels;
  // Called on the decoding thread while a decoder works, at most once per
  // BusyInterval of BusyClock (empty: the steady clock), so a caller on the
  // GUI thread can keep its window alive through a large photo. An exception
  // it throws ends the decoding and is raised when the decoder's call returns.
  std::function<void()> OnBusy;
  std::chrono::steady_clock::duration BusyInterval = std::chrono::milliseconds(10);
  std::function<std::chrono::steady_clock::time_point()> BusyClock;
  // The colour (red, green, blue) transparent pixels are laid on.
  std::array<std::uint8_t, 3> Background{255, 255, 255};

  PhotoDecoder() = default;
  virtual ~PhotoDecoder() = default;
  PhotoDecoder(const PhotoDecoder&) = delete;
  PhotoDecoder& operator=(const PhotoDecoder&) = delete;

  // Opens the file, reads its header, applies MaxPixels and starts decoding.
  virtual void Start(const std::string& path) = 0;
  // Decodes the next count rows (fewer at the end) into rows[0..count-1],
  // each room for StoredWidth() RGB pixels, and returns how many it read.
  virtual int ReadRows(std::uint8_t* const* rows, int count) = 0;
  // Reads and drops any rows left, so that a damaged end of the file is
  // still reported, and ends decoding.
  virtual void FinishReading() = 0;
  // Reads the header of the file and no pixel: the facts then describe the
  // file as Start would, with Start's errors for a file that cannot be
  // opened, has no readable header or declares more than MaxPixels.
  virtual void Inspect(const std::string& path) = 0;
  // Whether the file at path can be decoded, to tell a photo that cannot be
  // read before anything is written: starts decoding as Start does, with
  // Start's errors, and hands out no row. The reading may stay open until
  // the next file is started.
  virtual void Probe(const std::string& path) { Start(path); }

  // After Start, with no rows read yet: decodes the whole file into image,
  // upright, and ends the reading.
  void ReadAll(Image& image);
  // Start and ReadAll.
  void Load(const std::string& path, Image& image);

  // Facts of the file started or inspected last.
  int StoredWidth() const { return storedWidth_; }
  int StoredHeight() const { return storedHeight_; }
  int RowsRead() const { return rowsRead_; }
  // The EXIF orientation (1..8) still to be applied to the rows.
  int Orientation() const { return orientation_; }
  // Whether the file was a progressive JPEG (its images are encoded progressively too).
  bool Progressive() const { return progressive_; }
  // The colours of the rows handed out.
  const ColourDescription& Colour() const { return colour_; }
  // Every row handed out is grey (R = G = B).
  bool GreyPixels() const { return greyPixels_; }
  // The file's colour profile could not be used; its colours were taken as
  // they are (CMYK: through the fixed conversion).
  bool ProfileIgnored() const { return profileIgnored_; }

 protected:
  // Forgets the facts of the last file and restarts the busy interval.
  void ResetFacts();
  // Calls OnBusy when a BusyInterval has passed since the last call (or the start).
  void Busy();
  // Turns one decoded row of width pixels of channels samples (3: RGB, 4:
  // RGBA, alpha not premultiplied) into the RGB row out: alpha laid on
  // Background, and grey with Grayscale. rgba and out may be the same buffer.
  void FinishRow(const std::uint8_t* rgba, int channels, std::uint8_t* out, int width) const;
  // Raises ThrowImageTooLarge when width x height is past MaxPixels.
  void CheckPixelLimit(long long width, long long height) const;

  int storedWidth_ = 0;
  int storedHeight_ = 0;
  int rowsRead_ = 0;
  int orientation_ = 1;
  bool progressive_ = false;
  bool greyPixels_ = false;
  bool profileIgnored_ = false;
  ColourDescription colour_;
  std::vector<std::uint8_t> row_;  // one decoded row when it cannot go straight into the image

 private:
  std::chrono::steady_clock::time_point lastBusy_{};
};

}  // namespace fotoloom
