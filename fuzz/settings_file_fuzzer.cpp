// libFuzzer target: arbitrary bytes loaded as a settings file.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::SettingsFileInput(data, size);
  return 0;
}
