// tthumb_file: the thumbnail writer's own choices over the shared writer run.
#include "imaging/Un_Thumb_File.h"

#include <algorithm>
#include <cstdint>

namespace fotoloom {

namespace {
constexpr ImageWriter::Kind kKind{"t_", ThumbnailSize, kThumbCancelPhases};
}  // namespace

tthumb_file::tthumb_file() : ImageWriter(kKind) {}

tthumb_file::tthumb_file(bool& cancelled) : ImageWriter(kKind, cancelled) {}

void tthumb_file::Create_thumbnails() { WriteImages(); }

ResizeSettings tthumb_file::SharpSettings() const {
  constexpr std::int64_t kLargestSide = 65500;
  ResizeSettings s = CurrentSettings();
  s.MaxWidth = static_cast<int>(std::min<std::int64_t>(std::int64_t{2} * s.MaxWidth, kLargestSide));
  s.MaxHeight = static_cast<int>(std::min<std::int64_t>(std::int64_t{2} * s.MaxHeight, kLargestSide));
  return s;
}

}  // namespace fotoloom
