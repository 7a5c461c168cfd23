// The working image of the imaging layer: 8-bit RGB pixels in one buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fotoloom {

// Width x height pixels of three bytes (red, green, blue), rows stored one
// after another without padding. Resize keeps the buffer's capacity, so an
// image reused for many photos allocates (and faults in) its memory once.
class Image {
 public:
  Image() = default;
  Image(int width, int height) { Resize(width, height); }

  // Sets the size; the pixel content is unspecified afterwards.
  void Resize(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
  }

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  std::uint8_t* data() { return pixels_.data(); }
  const std::uint8_t* data() const { return pixels_.data(); }
  std::size_t stride() const { return static_cast<std::size_t>(width_) * 3; }
  std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride(); }
  const std::uint8_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * stride(); }
  std::uint8_t* pixel(int x, int y) { return row(y) + static_cast<std::size_t>(x) * 3; }
  const std::uint8_t* pixel(int x, int y) const { return row(y) + static_cast<std::size_t>(x) * 3; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace fotoloom
