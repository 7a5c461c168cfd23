// Keeps the memory of one photo's working buffers for the next photo.
#include "imaging/HeapReuse.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace fotoloom {

namespace {
// About one large photo's decoder and resize buffers.
constexpr int kKeptTopBytes = 64 << 20;
}  // namespace

void KeepFreedMemoryForNextPhoto() {
#if defined(M_TOP_PAD)
  mallopt(M_TOP_PAD, kKeptTopBytes);
#endif
}

}  // namespace fotoloom
