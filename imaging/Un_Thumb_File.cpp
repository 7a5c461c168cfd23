// tthumb_file: the thumbnail writer's own choices over the shared writer run.
#include "imaging/Un_Thumb_File.h"

namespace fotoloom {

void tthumb_file::Create_thumbnails() { WriteImages({"t_", ThumbnailSize, kThumbCancelPhases}); }

}  // namespace fotoloom
