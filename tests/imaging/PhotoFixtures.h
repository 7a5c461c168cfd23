// Photos of the other formats (PNG, WebP, HEIF), colour profiles and reference conversions, made in the tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "JpegFixtures.h"

namespace fotoloom::test {

// ICC profiles written by lcms2.
std::string SrgbProfile();
std::string DisplayP3Profile();
std::string AdobeRgbProfile();
std::string GreyProfile(double gamma);
// A grey profile whose darkest level is a dark grey (10 % of white), so
// that black-point compensation shows: with it, black stays black.
std::string GreyProfileWithLiftedBlack();
// A CMYK input profile whose colours differ plainly from the fixed CMYK
// conversion: inks map to the colours of plain mixing with red, green and
// blue turned round (the red of plain mixing shows as green).
std::string RotatedCmykProfile();

// What lcms2 makes of one colour in its most exact way (no optimisation),
// into sRGB with the program's intent: the reference of the tests.
Rgb ReferenceToSrgb(const std::string& icc, Rgb colour);
// The same for a row of RGB pixels (three bytes each) of an RGB profile.
std::vector<std::uint8_t> ReferenceRowToSrgb(const std::string& icc, const std::vector<std::uint8_t>& rgb);
Rgb ReferenceCmykToSrgb(const std::string& icc, std::array<std::uint8_t, 4> inks, bool inverted);

// One pixel with up to four samples of the file's depth (0..255 or 0..65535).
struct Sample4 {
  std::uint16_t r, g, b, a;
};
using Pixels = std::function<Sample4(int x, int y)>;

// Opaque pixels of an 8-bit image.
Pixels FromImage(const Image& image);

enum class PngKind { Rgb, Rgba, Grey, GreyAlpha, Palette };
struct PngOptions {
  PngKind kind = PngKind::Rgb;
  int depth = 8;  // 8 or 16; palettes are 8-bit
  bool interlaced = false;
  std::string icc{};
  int orientation = 0;                 // eXIf Orientation; 0 writes none
  const Image* secondFrame = nullptr;  // makes it an animation whose first frame is the image
};
// Writes a PNG file with libpng; greys take the red sample, palettes the
// colours in the order met (at most 256).
void WritePng(const std::string& path, int width, int height, const Pixels& pixels, const PngOptions& options = {});
// The bytes of a PNG file whose header declares width x height instead,
// with the header's checksum made good, so that only its size is wrong.
std::string PngDeclaringSize(const std::string& png, std::uint32_t width, std::uint32_t height);

struct WebpOptions {
  bool lossless = true;
  bool alpha = false;
  std::string icc{};
  int orientation = 0;                 // EXIF Orientation; 0 writes none
  const Image* secondFrame = nullptr;  // makes it an animation whose first frame is the image
};
void WriteWebp(const std::string& path, int width, int height, const Pixels& pixels, const WebpOptions& options = {});

struct HeifOptions {
  bool avif = false;  // AV1 instead of HEVC
  int depth = 8;      // 8, 10 or 12
  bool alpha = false;
  std::string icc{};
  int primaries = 0;                   // nclx colour primaries written without an ICC profile; 0: the encoder's
  int orientation = 1;                 // written as the container's irot and imir
  int exifOrientation = 0;             // an EXIF block with this Orientation; 0 writes none
  const Image* secondImage = nullptr;  // a second image in the file, not the primary one
  int quality = 95;
  bool lossless = false;         // RGB kept exactly (4:4:4, no YCbCr matrix)
  const char* chroma = nullptr;  // "420", "422" or "444"; null: the encoder's choice
  int matrix = 0;                // nclx matrix coefficients written; 0: the encoder's
  bool limitedRange = false;     // luma 16..235 (with matrix)
};
void WriteHeif(const std::string& path, int width, int height, const Pixels& pixels, const HeifOptions& options = {});

// A CMYK (or YCCK) JPEG of flat inks, as stored: Adobe's APP14 segment when
// adobe is set (its readers take the values as inverted).
void WriteCmykJpeg(const std::string& path, int width, int height, std::array<std::uint8_t, 4> inks, bool adobe,
                   bool ycck, const std::string& icc);

// The primary image of a HEIF file decoded to RGB by libheif itself.
Image DecodeHeifWithLibrary(const std::string& path);

// The centre pixel's colour of an image.
Rgb Centre(const Image& image);

}  // namespace fotoloom::test
