// tscaling_file: writes the "n_" scaled image of every input photo.
#pragma once

#include "imaging/ImageWriter.h"

namespace fotoloom {

// The scaled-image writer. Its fields are those of ImageWriter; the run sets
// MaxWidth and MaxHeight to the image bounds (800 x 600 at start-up).
class tscaling_file : public ImageWriter {
 public:
  tscaling_file();
  // Reads cancelled, a run's flag, as its own.
  explicit tscaling_file(bool& cancelled);
  // Writes "n_" + input name for the first ImageCount images. The target
  // size follows ScaledImageSize; the filtered stretch honours a cancel while
  // it builds its tap lists, except the horizontal lists of a target narrower
  // than its source (kScalingCancelPhases).
  void Create_images();
};

}  // namespace fotoloom
