// tscaling_file: the scaled-image writer's own choices over the shared writer run.
#include "imaging/Un_Scaling_File.h"

namespace fotoloom {

tscaling_file::tscaling_file() : ImageWriter({"n_", ScaledImageSize, kScalingCancelPhases}) {}

void tscaling_file::Create_images() { WriteImages(); }

}  // namespace fotoloom
