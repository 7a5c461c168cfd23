// Test JPEG files written with libjpeg, and their read-back through the codec.
#include "JpegFixtures.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "imaging/JpegCodec.h"

namespace fotoloom::test {

Image MakeImage(int width, int height, const std::function<Rgb(int x, int y)>& colour) {
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      std::uint8_t* p = image.pixel(x, y);
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  return image;
}

Image FlatImage(int width, int height, Rgb colour) {
  return MakeImage(width, height, [colour](int, int) { return colour; });
}

std::string ExifWithOrientation(int orientation, bool bigEndian) {
  auto u16 = [bigEndian](int v) {
    return bigEndian ? std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}
                     : std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  };
  auto u32 = [&](int v) { return bigEndian ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16); };
  std::string exif("Exif\0\0", 6);
  exif += bigEndian ? "MM" : "II";
  exif += u16(42) + u32(8);               // TIFF header, first directory at offset 8
  exif += u16(1);                         // one entry
  exif += u16(0x0112) + u16(3) + u32(1);  // Orientation, SHORT, one value
  exif += u16(orientation) + u16(0);      // the value, left-justified in four bytes
  exif += u32(0);                         // no next directory
  return exif;
}

void WriteJpeg(const std::string& path, const Image& image, const JpegOptions& options) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot create " + path);
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, file);
  c.image_width = static_cast<JDIMENSION>(image.width());
  c.image_height = static_cast<JDIMENSION>(image.height());
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  if (options.grey) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
  jpeg_set_quality(&c, options.quality, TRUE);
  if (options.progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  if (options.orientation != 0) {
    const std::string exif = ExifWithOrientation(options.orientation);
    jpeg_write_marker(&c, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.data()),
                      static_cast<unsigned int>(exif.size()));
  }
  if (!options.icc.empty())
    jpeg_write_icc_profile(&c, reinterpret_cast<const JOCTET*>(options.icc.data()),
                           static_cast<unsigned int>(options.icc.size()));
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.row(static_cast<int>(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(file);
}

JpegFacts ReadFacts(const std::string& path) {
  JpegCodec codec;
  Image image;
  codec.Load(path, image);
  return {image.width(), image.height(), codec.Components(), codec.Progressive()};
}

Image Decode(const std::string& path) {
  JpegCodec codec;
  Image image;
  codec.Load(path, image);
  return image;
}

bool NearlyEqual(const Image& a, const Image& b, int tolerance) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  const std::size_t n = a.stride() * static_cast<std::size_t>(a.height());
  for (std::size_t i = 0; i < n; ++i)
    if (std::abs(a.data()[i] - b.data()[i]) > tolerance) return false;
  return true;
}

}  // namespace fotoloom::test
