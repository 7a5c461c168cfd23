// The caption rules: from the text a photo carries in a caption field to the caption a gallery shows.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace fotoloom {

// The most characters (Unicode code points) a caption keeps.
inline constexpr std::size_t kMaxCaptionCharacters = 2000;

// Texts that cameras and phones write into the caption fields on their own,
// which say nothing about the photo. A caption equal to one of them, after
// trimming and ignoring ASCII letter case, is no caption.
inline constexpr std::array<std::string_view, 12> kCameraBoilerplateCaptions = {
    "OLYMPUS DIGITAL CAMERA",
    "SONY DSC",
    "DCIM",
    "default",
    "DIGITAL CAMERA",
    "KONICA MINOLTA DIGITAL CAMERA",
    "MINOLTA DIGITAL CAMERA",
    "SAMSUNG DIGITAL CAMERA",
    "PENTAX DIGITAL CAMERA",
    "KODAK Digital Still Camera",
    "EXIF_JPEG_PICTURE",
    "My beautiful picture",
};

// text as well-formed UTF-8: each byte that does not start or continue a
// well-formed sequence (a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF, a cut sequence) becomes U+FFFD.
std::string ValidUtf8(std::string_view text);

// Whether trimmed text is one of kCameraBoilerplateCaptions (ASCII letter case ignored).
bool IsCameraBoilerplate(std::string_view text);

// The caption that raw gives: made valid UTF-8, CR LF and lone CR turned
// into LF, every other control character (tabs and NUL included) turned
// into a blank, white space trimmed at both ends, and cut after
// kMaxCaptionCharacters characters. Empty when nothing is left or the text is
// camera boilerplate. No HTML escaping: that is the pages' business.
std::string CleanCaption(std::string_view raw);

// The most characters a one-line metadata text (make, model, lens) keeps.
inline constexpr std::size_t kMaxLabelCharacters = 200;

// A one-line metadata text such as a camera's make or model: cut at its
// first NUL (the end of an EXIF text), made valid UTF-8, every control
// character turned into a blank, trimmed, and cut after kMaxLabelCharacters
// characters.
std::string CleanLabel(std::string_view raw);

}  // namespace fotoloom
