// The scaled-image and thumbnail sizes of the photos for the pages, from the photos' headers.
#include "run/PageImageSizes.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/Error.h"
#include "imaging/PhotoDecoders.h"
#include "imaging/TargetSize.h"
#include "pages/AsciiCase.h"
#include "run/RunOptions.h"

namespace fotoloom {
namespace {

bool Uses(const std::vector<std::string>& lines, std::string_view macro) {
  return std::any_of(lines.begin(), lines.end(),
                     [macro](const std::string& line) { return FindIgnoreCase(line, macro) != std::string::npos; });
}

std::optional<int> PixelSizeIfValid(const std::string& text) {
  try {
    return PixelSize(text);
  } catch (const Error&) {
    return std::nullopt;
  }
}

}  // namespace

bool PagesUseImageSizes(const GallerySettings& o) {
  return ShowsThumbGrid(o.HTMLThumbnails(), o.Title()) || Uses(o.HTMLImages(), "@image_width@") ||
         Uses(o.HTMLImages(), "@image_height@");
}

std::vector<ImageSizes> PageImageSizes(const std::vector<std::string>& photos, const GallerySettings& o,
                                       const std::function<bool()>& goOn) {
  const std::optional<int> maxWidth = PixelSizeIfValid(o.MaxWidthImage());
  const std::optional<int> maxHeight = PixelSizeIfValid(o.MaxHeightImage());
  const std::optional<int> thumbSize = ThumbnailBoundIfValid(o);
  std::vector<ImageSizes> sizes(photos.size());
  if (!maxWidth || !maxHeight || !thumbSize) return sizes;
  for (std::size_t i = 0; i < photos.size(); ++i) {
    if (!goOn()) break;
    PhotoHeader header;
    try {
      header = InspectPhoto(photos[i], o.OtherFormats());
    } catch (const std::exception&) {
      continue;
    }
    const TargetSize scaled = ScaledImageSize(header.Width, header.Height, *maxWidth, *maxHeight);
    const TargetSize thumb = ThumbnailSize(header.Width, header.Height, *thumbSize, *thumbSize);
    sizes[i] = {scaled.Width, scaled.Height, thumb.Width, thumb.Height};
  }
  return sizes;
}

}  // namespace fotoloom
