// Choosing a photo's decoder by the signature of its content.
#include "imaging/PhotoDecoders.h"

#include <fcntl.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/Error.h"
#include "core/PosixIo.h"
#include "imaging/HeifDecoder.h"
#include "imaging/Orientation.h"
#include "imaging/PngDecoder.h"
#include "imaging/WebpDecoder.h"

namespace fotoloom {

namespace {

// Bytes that tell the formats apart.
constexpr std::size_t kSignatureBytes = 12;

// Major brands of the HEIF file type box whose images the library decodes:
// HEVC images and sequences, AV1 ones, and the generic image brands.
constexpr std::array<std::string_view, 14> kHeifBrands = {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm",
                                                          "hevs", "mif1", "msf1", "mif2", "miaf", "avif", "avis"};

std::string FileNameOfPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

PhotoFormat FormatOfContent(const std::string& path) {
  std::array<unsigned char, kSignatureBytes> b{};
  // Not blocking: a pipe named like a photo is not waited for.
  const FileDescriptor fd(RetryOnInterrupt([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); }));
  if (!fd.valid()) return PhotoFormat::Unknown;
  const ssize_t read = ReadAll(fd.get(), b.data(), b.size());
  const std::size_t got = read < 0 ? 0 : static_cast<std::size_t>(read);
  if (got >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return PhotoFormat::Jpeg;
  if (got >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return PhotoFormat::Png;
  if (got >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, "WEBP", 4) == 0)
    return PhotoFormat::Webp;
  if (got >= 12 && std::memcmp(b.data() + 4, "ftyp", 4) == 0) {
    const std::string_view brand(reinterpret_cast<const char*>(b.data() + 8), 4);
    for (std::string_view heif : kHeifBrands)
      if (brand == heif) return PhotoFormat::Heif;
  }
  return PhotoFormat::Unknown;
}

PhotoDecoders::PhotoDecoders() = default;
PhotoDecoders::~PhotoDecoders() = default;

PhotoDecoder& PhotoDecoders::For(const std::string& path, bool otherFormats) {
  if (!otherFormats) return jpeg_;
  const PhotoFormat named = FormatOfName(FileNameOfPath(path));
  const PhotoFormat content = FormatOfContent(path);
  if (content != PhotoFormat::Unknown && named != PhotoFormat::Unknown && content != named)
    throw Error("Cannot read \"" + path + "\": it holds a " + std::string(FormatCaption(content)) + " image, not the " +
                std::string(FormatCaption(named)) + " image its name says");
  switch (content != PhotoFormat::Unknown ? content : named) {
    case PhotoFormat::Png:
      if (!png_) png_ = std::make_unique<PngDecoder>();
      return *png_;
    case PhotoFormat::Webp:
      if (!webp_) webp_ = std::make_unique<WebpDecoder>();
      return *webp_;
    case PhotoFormat::Heif:
      if (!heif_) heif_ = std::make_unique<HeifDecoder>();
      return *heif_;
    case PhotoFormat::Jpeg:
    case PhotoFormat::Unknown: break;
  }
  return jpeg_;
}

PhotoHeader InspectPhoto(const std::string& path, bool otherFormats) {
  PhotoDecoders decoders;
  PhotoDecoder& decoder = decoders.For(path, otherFormats);
  decoder.Inspect(path);
  PhotoHeader header;
  UprightSize(decoder.Orientation(), decoder.StoredWidth(), decoder.StoredHeight(), header.Width, header.Height);
  header.Progressive = decoder.Progressive();
  return header;
}

}  // namespace fotoloom
