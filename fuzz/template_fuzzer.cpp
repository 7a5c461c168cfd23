// libFuzzer target: arbitrary templates and macro lists rendered as a page.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fotoloom::fuzz::TemplateInput(data, size);
  return 0;
}
