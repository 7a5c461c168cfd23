// tthumb_file: the thumbnail writer's own choices over the shared writer run.
#include "imaging/Un_Thumb_File.h"

namespace fotoloom {

namespace {
constexpr ImageWriter::Kind kKind{"t_", ThumbnailSize, kThumbCancelPhases};
}  // namespace

tthumb_file::tthumb_file() : ImageWriter(kKind) {}

tthumb_file::tthumb_file(bool& cancelled) : ImageWriter(kKind, cancelled) {}

void tthumb_file::Create_thumbnails() { WriteImages(); }

}  // namespace fotoloom
