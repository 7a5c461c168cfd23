// Damaged and hostile JPEG files for the codec tests, made with libjpeg and by patching bytes.
#include "HostileJpegs.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace fotoloom::test {
namespace {

// The offset of the first frame header marker (SOF0..SOF15 but DHT, JPG, DAC).
std::size_t FrameHeaderAt(const std::string& jpeg) {
  for (std::size_t i = 2; i + 3 < jpeg.size();) {
    if (static_cast<unsigned char>(jpeg[i]) != 0xFF) throw std::runtime_error("not a marker");
    const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return i;
    const std::size_t length = (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
    i += 2 + length;
  }
  throw std::runtime_error("no frame header");
}

void Put16(std::string& bytes, std::size_t at, int value) {
  bytes[at] = static_cast<char>((value >> 8) & 0xFF);
  bytes[at + 1] = static_cast<char>(value & 0xFF);
}

}  // namespace

std::string WellFormedJpeg(int width, int height, JpegCoding coding) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  const bool cmyk = coding == JpegCoding::Cmyk;
  c.input_components = cmyk ? 4 : 3;
  c.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  if (coding == JpegCoding::Progressive) jpeg_simple_progression(&c);
  if (coding == JpegCoding::Arithmetic) c.arith_code = TRUE;
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * c.input_components);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < width; ++x)
      for (int k = 0; k < c.input_components; ++k)
        row[static_cast<std::size_t>(x * c.input_components + k)] =
            static_cast<JSAMPLE>((x * 7 + static_cast<int>(c.next_scanline) * 3 + k * 60) & 0xFF);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return bytes;
}

std::string Truncated(const std::string& jpeg, std::size_t keep) { return jpeg.substr(0, keep); }

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  std::uint32_t x = seed != 0 ? seed : 1;
  for (char& b : bytes) {
    x ^= x << 13;  // xorshift32: the same bytes on every machine
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<char>(x >> 24);
  }
  if (size > 0 && static_cast<unsigned char>(bytes[0]) == 0xFF) bytes[0] = 0;
  return bytes;
}

std::string PngBytes() {
  return std::string("\x89PNG\r\n\x1A\n", 8) + std::string("\0\0\0\x0DIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0", 21) +
         std::string("\x90\x77\x53\xDE", 4);
}

std::string WithPrecision(std::string jpeg, int bits) {
  jpeg[FrameHeaderAt(jpeg) + 4] = static_cast<char>(bits);
  return jpeg;
}

std::string WithDeclaredSize(std::string jpeg, int width, int height) {
  const std::size_t sof = FrameHeaderAt(jpeg);
  Put16(jpeg, sof + 5, height);
  Put16(jpeg, sof + 7, width);
  return jpeg;
}

}  // namespace fotoloom::test
