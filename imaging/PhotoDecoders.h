// The decoders of one worker, and the choice of one for a photo by its content.
#pragma once

#include <memory>
#include <string>

#include "core/PhotoFormats.h"
#include "imaging/JpegCodec.h"
#include "imaging/PhotoDecoder.h"

namespace fotoloom {

class PngDecoder;
class WebpDecoder;
class HeifDecoder;

// The format the first bytes of the file at path show (JPEG's, PNG's and
// WebP's signatures, a HEIF file type box of a HEIC or AVIF brand); Unknown
// for anything else and for a file that cannot be read.
PhotoFormat FormatOfContent(const std::string& path);

// One decoder per format, made when first needed, kept for the next photo.
class PhotoDecoders {
 public:
  PhotoDecoders();
  ~PhotoDecoders();
  PhotoDecoders(const PhotoDecoders&) = delete;
  PhotoDecoders& operator=(const PhotoDecoders&) = delete;

  // The decoder for the photo at path. Without otherFormats every photo is
  // taken as JPEG, whatever it holds (the JPEG codec then reports what is
  // wrong with it), and the file is not looked into. With it, the content
  // chooses: a file whose content is of another known format than its name
  // says raises "Cannot read "<path>": it holds a <format> image, not the
  // <format> image its name says"; a content of no known format goes to the
  // decoder of the name's format, which says why it cannot read it.
  PhotoDecoder& For(const std::string& path, bool otherFormats);

  // The JPEG codec, which also encodes every image.
  JpegCodec& Jpeg() { return jpeg_; }

 private:
  JpegCodec jpeg_;
  std::unique_ptr<PngDecoder> png_;
  std::unique_ptr<WebpDecoder> webp_;
  std::unique_ptr<HeifDecoder> heif_;
};

// The size of the photo at path, upright, from its header alone, chosen as
// PhotoDecoders::For chooses, with the decoder's errors; for the dry run.
struct PhotoHeader {
  int Width = 0;
  int Height = 0;
  bool Progressive = false;
};
PhotoHeader InspectPhoto(const std::string& path, bool otherFormats);

}  // namespace fotoloom
