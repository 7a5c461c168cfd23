// The parts every photo decoder shares: facts, the pixel limit and decoding a whole photo upright.
#include "imaging/PhotoDecoder.h"

#include <algorithm>

#include "core/Error.h"
#include "imaging/Orientation.h"

namespace fotoloom {

void ThrowImageTooLarge(long long width, long long height, long long limit) {
  throw Error("Image too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels (at most " +
              std::to_string(limit) + ")");
}

void ThrowCannotDecode(const std::string& path, const std::string& format, const std::string& reason) {
  throw Error("Cannot read \"" + path + "\" as " + format + ": " + reason);
}

void PhotoDecoder::ResetFacts() {
  lastBusy_ = BusyClock ? BusyClock() : std::chrono::steady_clock::now();
  storedWidth_ = 0;
  storedHeight_ = 0;
  rowsRead_ = 0;
  orientation_ = 1;
  progressive_ = false;
  greyPixels_ = false;
  profileIgnored_ = false;
  colour_ = ColourDescription{};
}

void PhotoDecoder::Busy() {
  if (!OnBusy) return;
  const auto now = BusyClock ? BusyClock() : std::chrono::steady_clock::now();
  if (now - lastBusy_ < BusyInterval) return;
  lastBusy_ = now;
  OnBusy();
}

void PhotoDecoder::FinishRow(const std::uint8_t* rgba, int channels, std::uint8_t* out, int width) const {
  if (channels == 4) {
    const int bg[3] = {Background[0], Background[1], Background[2]};
    // Forward in place is safe: pixel x is written at 3x, at or before where
    // its own bytes and every later pixel's are read (4x).
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = rgba + 4 * static_cast<std::size_t>(x);
      const int a = p[3];
      std::uint8_t mixed[3];
      for (int i = 0; i < 3; ++i) mixed[i] = static_cast<std::uint8_t>((p[i] * a + bg[i] * (255 - a) + 127) / 255);
      std::uint8_t* o = out + 3 * static_cast<std::size_t>(x);
      o[0] = mixed[0];
      o[1] = mixed[1];
      o[2] = mixed[2];
    }
  } else if (rgba != out) {
    std::copy(rgba, rgba + 3 * static_cast<std::size_t>(width), out);
  }
  if (Grayscale) MakeRowGrey(out, width);
}

void PhotoDecoder::CheckPixelLimit(long long width, long long height) const {
  if (width * height > MaxPixels) ThrowImageTooLarge(width, height, MaxPixels);
}

void PhotoDecoder::Load(const std::string& path, Image& image) {
  Start(path);
  ReadAll(image);
}

void PhotoDecoder::ReadAll(Image& image) {
  int uprightWidth;
  int uprightHeight;
  UprightSize(orientation_, storedWidth_, storedHeight_, uprightWidth, uprightHeight);
  image.Resize(uprightWidth, uprightHeight);
  // Rows go straight into the image when nothing needs turning; else through row_.
  const bool direct = orientation_ < 2 || orientation_ > 8;
  const std::size_t rowBytes = static_cast<std::size_t>(storedWidth_) * 3;
  if (!direct && row_.size() < rowBytes) row_.resize(rowBytes);
  while (rowsRead_ < storedHeight_) {
    const int y = rowsRead_;
    std::uint8_t* row = direct ? image.row(y) : row_.data();
    if (ReadRows(&row, 1) != 1) break;
    if (!direct) PlaceRow(orientation_, row, y, storedWidth_, storedHeight_, image);
  }
  FinishReading();
}

}  // namespace fotoloom
