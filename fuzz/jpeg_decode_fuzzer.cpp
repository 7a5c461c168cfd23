// libFuzzer target: arbitrary bytes decoded as a photo.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::JpegDecodeInput(data, size);
  return 0;
}
