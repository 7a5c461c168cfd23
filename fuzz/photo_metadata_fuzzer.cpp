// libFuzzer target: arbitrary bytes read as a photo's metadata and its sidecar, and rewritten without location.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::PhotoMetadataInput(data, size);
  return 0;
}
