// A plain, step-by-step stretch used as the oracle for the production one.
#pragma once

#include "imaging/Image.h"
#include "imaging/resample.h"

namespace fotoloom::test {

// Resizes source into target (whose size is set) one pixel and one tap at a
// time, with every rounding of the stretch written out. Slow on purpose.
void ReferenceStretch(const Image& source, Image& target, Kernel kernel, float support);

}  // namespace fotoloom::test
