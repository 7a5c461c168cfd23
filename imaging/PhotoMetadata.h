// What a photo's metadata (EXIF, IPTC, XMP and an XMP sidecar) tells a gallery, and copies without its location.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Un_MyFindFile.h"

namespace fotoloom {

// Where a photo's caption came from, in the order the sources are tried.
enum class CaptionSource {
  None,
  XmpSidecar,            // dc:description of the XMP sidecar file
  Xmp,                   // dc:description of the photo's own XMP
  Iptc,                  // IPTC Caption-Abstract
  ExifImageDescription,  // EXIF ImageDescription
  ExifUserComment,       // EXIF UserComment
};

// "XMP sidecar", "XMP", "IPTC", "EXIF ImageDescription", "EXIF UserComment" or "none".
std::string_view CaptionSourceName(CaptionSource source);

// The facts of one photo's metadata that a gallery uses. Texts are valid
// UTF-8, trimmed and never HTML-escaped; an empty text is a fact the photo
// does not carry.
struct PhotoMetadata {
  std::string Caption;  // after CleanCaption; empty when no source has one
  CaptionSource CaptionFrom = CaptionSource::None;
  // EXIF DateTimeOriginal with SubSecTimeOriginal, else DateTimeDigitized
  // with SubSecTimeDigitized, as the camera recorded it.
  std::optional<LocalTimestamp> DateTaken;
  std::string Make;
  std::string Model;
  std::string Lens;                       // EXIF LensModel
  std::optional<double> ExposureSeconds;  // EXIF ExposureTime
  std::optional<double> FNumber;          // EXIF FNumber
  std::optional<long> Iso;                // EXIF ISOSpeedRatings (the first value)
  std::optional<double> FocalLengthMm;    // EXIF FocalLength
  bool HasLocation = false;               // the photo file carries a GPS tag (EXIF or its own XMP)
  std::string Sidecar;                    // the sidecar read ("" when none was found)
  // Why the photo's own metadata could not be read ("" when it could); the
  // facts above then come from the sidecar alone.
  std::string Problem;
};

// The sidecar files a photo may have, in the order they are looked for:
// "IMG_1.jpg.xmp", "IMG_1.jpg.XMP", "IMG_1.xmp", "IMG_1.XMP" beside
// "IMG_1.jpg". The first that is a regular file is the photo's sidecar.
std::vector<std::string> SidecarCandidates(const std::string& photoPath);

// The largest sidecar read; a larger one is ignored.
inline constexpr long long kMaxSidecarBytes = 16LL << 20;

// Reads the metadata of the JPEG photo at path and of its sidecar, once:
// the photo's marker segments up to its image data, the sidecar whole. The
// caption is the first non-empty of XMP dc:description (the sidecar's
// before the photo's own; the "x-default" language, else the first in
// alphabetical order of the language tags), IPTC Caption-Abstract, EXIF
// ImageDescription and EXIF UserComment (ASCII, Unicode and undefined
// character codes; a JIS comment is skipped). Date, camera, lens, exposure
// and location come from the photo's EXIF. Never raises and never reports
// to the console: a file that is missing, is no JPEG or holds damaged
// metadata gives what could be read, with Problem saying why the rest could
// not.
PhotoMetadata ReadPhotoMetadata(const std::string& path);

// The metadata library and its version, "exiv2 0.27.6".
std::string MetadataLibraryVersion();

// The bytes of a JPEG file with every GPS tag removed (the EXIF GPS
// directory and its pointer, and the XMP exif:GPS... properties), the image
// data and all other metadata kept. Nothing when the file carries no GPS
// tag, so that it may be copied as it is. Raises fotoloom::Error naming the
// problem when the metadata cannot be read or written back.
std::optional<std::string> WithoutLocation(std::string_view jpeg);

}  // namespace fotoloom
