// libFuzzer target: arbitrary bytes as update state lines and as an output file name.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::UpdateStateInput(data, size);
  return 0;
}
