// The photo file patterns and the image naming rule shared by the image writers and the pages.
#include "core/PhotoFormats.h"

#include <array>
#include <unordered_map>

#include "core/Un_MyFindFile.h"

namespace fotoloom {
namespace {

constexpr std::string_view kJpegMask = "*.jp*g";

struct NamedFormat {
  std::string_view Mask;
  PhotoFormat Format;
};

// The patterns the option for other formats adds, in the order they are listed.
constexpr auto kOtherMasks = std::to_array<NamedFormat>({
    {"*.heic", PhotoFormat::Heif},
    {"*.heif", PhotoFormat::Heif},
    {"*.hif", PhotoFormat::Heif},
    {"*.avif", PhotoFormat::Heif},
    {"*.png", PhotoFormat::Png},
    {"*.webp", PhotoFormat::Webp},
});

}  // namespace

std::string PhotoSearchMask(bool otherFormats) {
  std::string mask(kJpegMask);
  if (otherFormats)
    for (const NamedFormat& f : kOtherMasks) (mask += ';') += f.Mask;
  return mask;
}

PhotoFormat FormatOfName(std::string_view fileName) {
  const std::string name(fileName);
  if (MatchesMask(name, std::string(kJpegMask))) return PhotoFormat::Jpeg;
  for (const NamedFormat& f : kOtherMasks)
    if (MatchesMask(name, std::string(f.Mask))) return f.Format;
  return PhotoFormat::Unknown;
}

std::string_view FormatCaption(PhotoFormat format) {
  switch (format) {
    case PhotoFormat::Jpeg: return "JPEG";
    case PhotoFormat::Png: return "PNG";
    case PhotoFormat::Webp: return "WebP";
    case PhotoFormat::Heif: return "HEIF";
    case PhotoFormat::Unknown: break;
  }
  return "";
}

std::string ImageFileName(std::string_view prefix, std::string_view fileName) {
  std::string name(prefix);
  name += fileName;
  if (FormatOfName(fileName) != PhotoFormat::Jpeg) name += ".jpg";
  return name;
}

std::string WebpFileName(std::string_view imageFileName) {
  std::string name(imageFileName);
  name += ".webp";
  return name;
}

std::pair<std::string, std::string> PhotosSharingImageNames(const std::vector<std::string>& fileNames) {
  // The prefixes are the same for every photo, so the names without one decide.
  std::unordered_map<std::string, std::size_t> owner;
  for (std::size_t i = 0; i < fileNames.size(); ++i) {
    const auto [at, added] = owner.emplace(ImageFileName("", fileNames[i]), i);
    if (!added) return {fileNames[at->second], fileNames[i]};
  }
  return {};
}

}  // namespace fotoloom
