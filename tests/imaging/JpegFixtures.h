// Small JPEG files made on the fly for the imaging tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/Image.h"

namespace fotoloom::test {

struct Rgb {
  std::uint8_t r, g, b;
};

// An image whose pixel (x, y) is colour(x, y).
Image MakeImage(int width, int height, const std::function<Rgb(int x, int y)>& colour);

// An image of one flat colour.
Image FlatImage(int width, int height, Rgb colour);

struct JpegOptions {
  bool progressive = false;
  bool grey = false;  // one component instead of three
  int quality = 95;
  int orientation = 0;  // EXIF Orientation tag to write; 0 writes no EXIF
  std::string icc{};    // an ICC profile to embed (APP2); empty writes none
};

// Writes image as a JPEG file straight through libjpeg.
void WriteJpeg(const std::string& path, const Image& image, const JpegOptions& options = {});

// The payload of an APP1 "Exif" segment holding only the Orientation tag,
// in big-endian ("MM") or little-endian ("II") byte order.
std::string ExifWithOrientation(int orientation, bool bigEndian = true);

// Facts about a JPEG file, read with the codec under test.
struct JpegFacts {
  int width = 0;
  int height = 0;
  int components = 0;
  bool progressive = false;
};
JpegFacts ReadFacts(const std::string& path);

// Decodes a file with the codec under test (colour, upright).
Image Decode(const std::string& path);

// True when every channel of every pixel differs by at most tolerance.
bool NearlyEqual(const Image& a, const Image& b, int tolerance);

}  // namespace fotoloom::test
