// tscaling_file: the scaled-image writer's own choices over the shared writer run.
#include "imaging/Un_Scaling_File.h"

namespace fotoloom {

namespace {
constexpr ImageWriter::Kind kKind{"n_", ScaledImageSize, kScalingCancelPhases};
}  // namespace

tscaling_file::tscaling_file() : ImageWriter(kKind) {}

tscaling_file::tscaling_file(bool& cancelled) : ImageWriter(kKind, cancelled) {}

void tscaling_file::Create_images() { WriteImages(); }

}  // namespace fotoloom
