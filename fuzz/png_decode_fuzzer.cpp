// libFuzzer target: arbitrary bytes decoded as a PNG photo.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::PngDecodeInput(data, size);
  return 0;
}
