// Which files are photos, and the names of the images written for each photo.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fotoloom {

// The photo files a search admits: "*.jp*g" alone, or with otherFormats also
// HEIC, HEIF, AVIF, PNG and WebP files, as one mask of patterns separated by
// ";" (MatchesMask), matched in any letter case.
std::string PhotoSearchMask(bool otherFormats);

// The kinds of photo file, by name or by content.
enum class PhotoFormat { Unknown, Jpeg, Png, Webp, Heif };

// The kind a photo's file name says it is: Jpeg for a name matching
// "*.jp*g", Png for "*.png", Webp for "*.webp", Heif for "*.heic",
// "*.heif", "*.hif" and "*.avif" (HEIF files holding HEVC or AV1), and
// Unknown for any other name.
PhotoFormat FormatOfName(std::string_view fileName);

// The format's name for messages: "JPEG", "PNG", "WebP", "HEIF" ("" for Unknown).
std::string_view FormatCaption(PhotoFormat format);

// The name of an image written for the photo named fileName (no folder):
// prefix + fileName for a JPEG photo, so that JPEG galleries keep their
// names, and prefix + fileName + ".jpg" for any other photo, whose images
// are JPEG files: ("n_", "IMG_1.HEIC") gives "n_IMG_1.HEIC.jpg". Two photos
// of one folder thus never share an image name, and a web server serves
// every image as JPEG. The image writers, the copy of the originals and the
// pages all name images through this one rule.
// The sharp thumbnail of twice the thumbnail size is ImageFileName("t2_", fileName).
std::string ImageFileName(std::string_view prefix, std::string_view fileName);

// The name of the WebP copy of an image: imageFileName, the image's own name
// as ImageFileName gives it, + ".webp" ("n_IMG_1.jpg" gives
// "n_IMG_1.jpg.webp"). Adding to the whole name keeps the copy's name as
// unique as the image's and beside it in a listing; a name already ending
// in ".webp" gets a second one, since the image is always a JPEG file.
std::string WebpFileName(std::string_view imageFileName);

// Two photos whose images would share a name: "a.png" and "a.png.jpg" both
// give "n_a.png.jpg". Returns the first such pair of file names (in the
// order given) as {first, second}, or two empty texts when every photo's
// images have names of their own. A run refuses such a pair before it
// writes anything, rather than let one photo's images replace the other's.
std::pair<std::string, std::string> PhotosSharingImageNames(const std::vector<std::string>& fileNames);

}  // namespace fotoloom
