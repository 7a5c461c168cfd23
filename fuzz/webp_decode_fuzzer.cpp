// libFuzzer target: arbitrary bytes decoded as a WebP photo.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::WebpDecodeInput(data, size);
  return 0;
}
