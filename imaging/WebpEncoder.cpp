// The WebP encoder over libwebp: with WebpDecoder.cpp, the only files that talk to the library.
#include "imaging/WebpEncoder.h"

#include <webp/encode.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/Error.h"
#include "core/ScopeExit.h"

namespace fotoloom {

namespace {

// The library's own words for the errors a caller can meet.
const char* EncodingErrorText(WebPEncodingError error) {
  switch (error) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY: return "out of memory";
    case VP8_ENC_ERROR_BAD_DIMENSION: return "the image has no pixels or is too large for WebP";
    case VP8_ENC_ERROR_FILE_TOO_BIG: return "the file would be too large";
    default: return "the encoder failed";
  }
}

// The image's grey values in all three channels, weighted as the JPEG
// library weighs them (ITU-R BT.601), rounded.
Image GreyOf(const Image& image) {
  Image grey(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const std::uint8_t* in = image.row(y);
    std::uint8_t* out = grey.row(y);
    for (int x = 0; x < image.width(); ++x, in += 3, out += 3) {
      const std::uint32_t luma = (19595u * in[0] + 38470u * in[1] + 7471u * in[2] + 32768u) >> 16;
      out[0] = out[1] = out[2] = static_cast<std::uint8_t>(luma);
    }
  }
  return grey;
}

}  // namespace

void EncodeWebp(const Image& image, int quality, bool grey, std::string& webp) {
  WebPConfig config;
  if (!WebPConfigInit(&config)) throw Error("Cannot encode image as WebP: the library does not match its header");
  config.quality = static_cast<float>(std::clamp(quality, 0, 100));
  config.method = 4;
  WebPPicture picture;
  if (!WebPPictureInit(&picture)) throw Error("Cannot encode image as WebP: the library does not match its header");
  picture.width = image.width();
  picture.height = image.height();
  WebPMemoryWriter writer;
  WebPMemoryWriterInit(&writer);
  const ScopeExit release([&] {
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
  });
  picture.writer = WebPMemoryWrite;
  picture.custom_ptr = &writer;
  if (image.width() > WEBP_MAX_DIMENSION || image.height() > WEBP_MAX_DIMENSION)
    throw Error("Cannot encode image as WebP: at " + std::to_string(image.width()) + " x " +
                std::to_string(image.height()) + " pixels it is larger than WebP allows (" +
                std::to_string(WEBP_MAX_DIMENSION) +
                " pixels a side). Choose a smaller image size, or leave out the WebP copies.");
  if (image.empty())
    throw Error(std::string("Cannot encode image as WebP: ") + EncodingErrorText(VP8_ENC_ERROR_BAD_DIMENSION));
  const Image greyImage = grey ? GreyOf(image) : Image();
  const Image& pixels = grey ? greyImage : image;
  if (!WebPPictureImportRGB(&picture, pixels.data(), static_cast<int>(pixels.stride())))
    throw Error(std::string("Cannot encode image as WebP: ") + EncodingErrorText(picture.error_code));
  if (!WebPEncode(&config, &picture))
    throw Error(std::string("Cannot encode image as WebP: ") + EncodingErrorText(picture.error_code));
  webp.assign(reinterpret_cast<const char*>(writer.mem), writer.size);
}

int WebpLibraryVersion() { return WebPGetEncoderVersion(); }

}  // namespace fotoloom
