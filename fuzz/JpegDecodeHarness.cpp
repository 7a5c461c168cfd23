// Fuzz entry for the JPEG decode path: arbitrary bytes loaded as a photo, in colour and in grey.
#include <cstdlib>
#include <string>

#include "core/Error.h"
#include "fuzz/FuzzHarness.h"
#include "fuzz/TempFile.h"
#include "imaging/Image.h"
#include "imaging/JpegCodec.h"

namespace fotoloom::fuzz {
namespace {

constexpr long long kFuzzMaxPixels = 1LL << 22;

}  // namespace

void JpegDecodeInput(const std::uint8_t* data, std::size_t size) {
  TempFile file;
  file.Write(data, size);
  for (const bool grey : {false, true}) {
    JpegCodec codec;
    codec.Grayscale = grey;
    // A few hundred bytes can declare a 250-megapixel photo whose missing
    // data the library makes up: legitimate, but seconds of work each time.
    // Inputs above 4 megapixels only slow the search down.
    codec.MaxPixels = kFuzzMaxPixels;
    Image image;
    try {
      codec.Load(file.path(), image);
    } catch (const Error&) {
      continue;  // "JPEG error #n" or "Image too large": a reported rejection
    }
    // What decoded must have a size and must encode again.
    if (image.width() < 1 || image.height() < 1) std::abort();
    std::string jpeg;
    codec.Encode(image, jpeg);
    if (jpeg.size() < 4) std::abort();
  }
}

}  // namespace fotoloom::fuzz
