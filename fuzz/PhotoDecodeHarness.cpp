// Fuzz entries for the decoders of the other photo formats: arbitrary bytes read as PNG, WebP and HEIF.
#include <cstdlib>
#include <string>

#include "core/Error.h"
#include "fuzz/FuzzHarness.h"
#include "fuzz/TempFile.h"
#include "imaging/ColourConversion.h"
#include "imaging/HeifDecoder.h"
#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "imaging/PngDecoder.h"
#include "imaging/WebpDecoder.h"

namespace fotoloom::fuzz {
namespace {

// As for JPEG: inputs above 4 megapixels only slow the search down.
constexpr long long kFuzzMaxPixels = 1LL << 22;

// Decodes the bytes with decoder in colour and in grey, on a dark
// background; whatever decodes must have a size, go through its colour
// conversion and encode again.
void DecodeInput(PhotoDecoder& decoder, const std::uint8_t* data, std::size_t size) {
  TempFile file;
  file.Write(data, size);
  for (const bool grey : {false, true}) {
    decoder.Grayscale = grey;
    decoder.MaxPixels = kFuzzMaxPixels;
    decoder.Background = {16, 32, 64};
    Image image;
    try {
      decoder.Load(file.path(), image);
    } catch (const Error&) {
      continue;  // a reported rejection
    }
    if (image.width() < 1 || image.height() < 1) std::abort();
    const SrgbConversion conversion = SrgbConversion::For(decoder.Colour(), decoder.GreyPixels());
    conversion.Apply(image);
    JpegCodec encoder;
    std::string jpeg;
    encoder.Encode(image, jpeg);
    if (jpeg.size() < 4) std::abort();
  }
}

}  // namespace

void PngDecodeInput(const std::uint8_t* data, std::size_t size) {
  PngDecoder decoder;
  DecodeInput(decoder, data, size);
}

void WebpDecodeInput(const std::uint8_t* data, std::size_t size) {
  WebpDecoder decoder;
  DecodeInput(decoder, data, size);
}

void HeifDecodeInput(const std::uint8_t* data, std::size_t size) {
  HeifDecoder decoder;
  DecodeInput(decoder, data, size);
}

}  // namespace fotoloom::fuzz
