// The plain stretch: resizing by point sampling, without filtering.
#pragma once

#include "imaging/Image.h"

namespace fotoloom {

// Draws the whole source over the whole target, whose size the caller has
// set: every target pixel takes the colour of the source pixel under its
// centre, so rows and columns are dropped when shrinking and repeated when
// enlarging, and a target of the source's size is an exact copy. Nothing is
// averaged. Does nothing when either image has no pixels.
void PlainStretch(const Image& source, Image& target);

}  // namespace fotoloom
