// tscaling_file: the scaled-image writer's own choices over the shared writer run.
#include "imaging/Un_Scaling_File.h"

namespace fotoloom {

void tscaling_file::Create_images() { WriteImages({"n_", ScaledImageSize, kScalingCancelPhases}); }

}  // namespace fotoloom
