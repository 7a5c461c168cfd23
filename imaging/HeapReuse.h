// Keeps the memory of one photo's working buffers for the next photo.
#pragma once

namespace fotoloom {

// Asks the C library to keep freed memory at the top of its heap (64 MiB of
// it) instead of handing it back to the system after every photo. Each photo
// allocates and frees decoder, strip and intermediate buffers of several
// megabytes; without this the system maps them afresh for every photo and the
// process spends a tenth of a run faulting in zeroed pages. Call it once, at
// the start of a program that resizes photos; it changes no output. Does
// nothing where the C library offers no such setting.
void KeepFreedMemoryForNextPhoto();

}  // namespace fotoloom
