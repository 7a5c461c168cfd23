// Colours of photos to sRGB: embedded ICC profiles, coded colour descriptions and CMYK, over lcms2.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/Image.h"

namespace fotoloom {

// What a photo says about the colours of its pixels: an embedded ICC
// profile, or the colour primaries and transfer characteristics of a coded
// description (the H.273 code points HEIF files carry), or nothing.
struct ColourDescription {
  std::string Icc;    // the profile's bytes; empty: none
  int Primaries = 0;  // H.273 colour primaries; 0: no coded description
  int Transfer = 0;   // H.273 transfer characteristics

  bool Empty() const { return Icc.empty() && Primaries == 0; }
  bool operator==(const ColourDescription&) const = default;
};

// The conversion of one photo's RGB pixels into sRGB, built once per photo
// and applied to each image made from it. A photo without a description,
// with an sRGB profile, or with one that differs from sRGB by at most one
// level in any channel is left exactly as it is (Converts() is false), so
// that such photos keep their bytes. Conversion uses the relative
// colorimetric intent with black-point compensation: colours inside sRGB
// keep their values, colours outside it are clipped to its edge (the
// primaries of wide-gamut spaces become sRGB's), and the darkest black of
// the source maps to sRGB black. A profile that cannot be read, is not an
// RGB or grey input profile, or does not fit the pixels, is ignored and
// Damaged() says so; the pixels are then left as they are.
class SrgbConversion {
 public:
  SrgbConversion();
  ~SrgbConversion();
  SrgbConversion(SrgbConversion&&) noexcept;
  SrgbConversion& operator=(SrgbConversion&&) noexcept;

  // The conversion of pixels described by colour. greyPixels: every pixel
  // is grey (R = G = B), as for grey photos and photos decoded to grey; the
  // conversion then maps grey to grey, so grey photos stay grey. A grey
  // profile fits only grey pixels.
  static SrgbConversion For(const ColourDescription& colour, bool greyPixels);

  bool Converts() const { return state_ != nullptr; }
  bool Damaged() const { return damaged_; }

  // Converts every pixel of image in place; does nothing unless Converts().
  void Apply(Image& image) const;
  // Converts width pixels of one RGB row in place.
  void ApplyRow(std::uint8_t* row, int width) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  bool damaged_ = false;
};

// The conversion of CMYK pixels to sRGB, through the photo's CMYK profile,
// or without one (or when it cannot be used) through a fixed one: plain
// subtractive mixing, red = (1 - cyan) x (1 - black) and so on, the reading
// of untagged CMYK that web browsers share. inverted: the stored values are
// 255 minus the ink, as Adobe applications write CMYK and YCCK JPEG files.
class CmykConversion {
 public:
  CmykConversion(const std::string& icc, bool inverted);
  ~CmykConversion();
  CmykConversion(const CmykConversion&) = delete;
  CmykConversion& operator=(const CmykConversion&) = delete;

  // A profile was given but cannot be used: the fixed conversion is used.
  bool Damaged() const { return damaged_; }
  // Turns width CMYK pixels (four bytes each) into RGB ones; cmyk and rgb may
  // be the same buffer, since each pixel is read before its bytes are written.
  void ToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, int width) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  bool inverted_;
  bool damaged_ = false;
};

// The warning for a photo whose colour profile was ignored.
std::string DamagedProfileWarning(const std::string& path);

// Grey level of an RGB colour, with the weights and rounding the JPEG
// library uses to turn colour into grey (0.299, 0.587, 0.114).
inline std::uint8_t GreyOf(int r, int g, int b) {
  // Fixed point with 16 fraction bits, as the JPEG library computes it.
  constexpr int kShift = 16;
  constexpr int kR = 19595, kG = 38470, kB = 7471;  // 0.299, 0.587, 0.114 of 65536
  return static_cast<std::uint8_t>((kR * r + kG * g + kB * b + (1 << (kShift - 1))) >> kShift);
}

// Turns width RGB pixels of a row into grey ones (GreyOf in all three channels).
void MakeRowGrey(std::uint8_t* row, int width);

}  // namespace fotoloom
