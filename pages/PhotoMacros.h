// The macros of a photo's metadata on image pages, and the caption under a thumbnail.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fotoloom {

// The texts a run found in one photo's metadata, as plain text (not
// escaped); each is empty when the photo does not carry it.
struct PhotoTexts {
  std::string Caption{};
  std::string DateTaken{};  // "2024-05-17 14:03"
  std::string Camera{};     // make and model
  std::string Lens{};
  std::string Exposure{};  // "1/250 s, f/5.6, ISO 200, 35 mm"
};

// The image-page macros of the photo texts, in the order they are replaced:
// the caption, the date taken, the camera, the lens, the exposure, and the
// alternative text of the photo (its caption, else its file name without
// extension). Their values hold no "@", so they may be replaced before the
// page's other macros without forming one.
inline constexpr std::array<std::string_view, 6> kPhotoMacros = {"@exifcomment@", "@datetaken@", "@camera@",
                                                                 "@lens@",        "@exposure@",  "@image_alt@"};

// A text of a photo as a page shows it: HTML-escaped like a file name, and
// "@" written "&#64;", so that a caption holding "@cp@" shows as written
// instead of forming a macro.
std::string PhotoTextOnPage(std::string_view text);

// The values of kPhotoMacros for texts, in the same order, each through
// PhotoTextOnPage; name is the photo's file name without extension, the
// alternative text of a photo without a caption.
std::array<std::string, 6> PhotoMacroValues(const PhotoTexts& texts, std::string_view name);

// The alternative text of a photo on its page form: its caption, else its
// file name without extension (name).
std::string PhotoAltText(const PhotoTexts& texts, std::string_view name);

// The subtitle line of the thumbnail choice "Exif comment": "<br>" and the
// caption on its page form; nothing when the photo has no caption.
std::optional<std::string> CaptionSubtitleLine(const PhotoTexts& texts);

// Whether a template line uses one of kPhotoMacros (ASCII case ignored).
bool UsesPhotoMacros(const std::vector<std::string>& lines);

}  // namespace fotoloom
