// libFuzzer target: arbitrary bytes decoded as a HEIF photo.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::HeifDecodeInput(data, size);
  return 0;
}
