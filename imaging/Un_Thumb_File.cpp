// tthumb_file: the thumbnail writer's own choices over the shared writer run.
#include "imaging/Un_Thumb_File.h"

namespace fotoloom {

tthumb_file::tthumb_file() : ImageWriter({"t_", ThumbnailSize, kThumbCancelPhases}) {}

void tthumb_file::Create_thumbnails() { WriteImages(); }

}  // namespace fotoloom
