// Times the stretch against a full-size JPEG decode of the same 6000 x 4000 photo.
//
// Usage: resample_bench [--reference=all|lanczos|none] [--repeat=N] [--fresh-lists]
// The source is synthetic but photo-like (smooth gradients, texture and grain),
// encoded at quality 90 in memory. Each line gives the best of N runs and its
// ratio to the best full-size decode time of the same run. The runs share
// their scratch memory, so after the first they use the kept tap lists, as a
// writer does for photos of one size; --fresh-lists builds them every time,
// as for photos of all different sizes.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "ReferenceStretch.h"
#include "imaging/resample.h"

namespace {

using fotoloom::Image;

Image MakePhoto(int width, int height) {
  Image image(width, height);
  std::mt19937 random(7);
  std::normal_distribution<float> grain(0.0f, 6.0f);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.row(y);
    for (int x = 0; x < width; ++x) {
      const float u = static_cast<float>(x) / width, v = static_cast<float>(y) / height;
      const float texture = 18.0f * std::sin(x * 0.021f + 3.0f * std::sin(y * 0.013f)) * std::cos(y * 0.017f);
      const float base[3] = {60 + 150 * u, 90 + 100 * v * (1 - u), 170 - 120 * v};
      for (int c = 0; c < 3; ++c) {
        const float value = base[c] + texture + grain(random);
        row[3 * x + c] = static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f));
      }
    }
  }
  return image;
}

std::vector<unsigned char> Encode(const Image& image) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width());
  cinfo.image_height = static_cast<JDIMENSION>(image.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.row(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<unsigned char> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

void Decode(const std::vector<unsigned char>& bytes, Image& image) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  image.Resize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = image.row(static_cast<int>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
}

double BestSeconds(int repeat, const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < repeat; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::string reference = "lanczos";
  int repeat = 3;
  bool freshLists = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--reference=", 12) == 0)
      reference = argv[i] + 12;
    else if (std::strncmp(argv[i], "--repeat=", 9) == 0)
      repeat = std::max(1, std::atoi(argv[i] + 9));
    else if (std::strcmp(argv[i], "--fresh-lists") == 0)
      freshLists = true;
    else {
      std::fprintf(stderr, "usage: %s [--reference=all|lanczos|none] [--repeat=N] [--fresh-lists]\n", argv[0]);
      return 2;
    }
  }

  const std::vector<unsigned char> jpeg = Encode(MakePhoto(6000, 4000));
  Image source;
  const double decode = BestSeconds(repeat, [&] { Decode(jpeg, source); });
  std::printf("source 6000x4000, %zu bytes of JPEG; full-size decode %.1f ms\n", jpeg.size(), decode * 1e3);
  std::printf("%-14s %-8s %10s %7s %12s %7s\n", "filter", "target", "stretch ms", "ratio", "reference ms", "ratio");

  fotoloom::StretchScratch scratch;
  const int sizes[2][2] = {{800, 533}, {160, 106}};
  for (const fotoloom::FilterEntry& filter : fotoloom::FilterTable) {
    for (const auto& size : sizes) {
      Image target(size[0], size[1]);
      const double fast = BestSeconds(repeat, [&] {
        if (freshLists)
          fotoloom::ResampleStretch({}, source, target, filter.Function, filter.Support);
        else
          fotoloom::ResampleStretch({}, source, target, filter.Function, filter.Support, scratch);
      });
      std::printf("%-14s %4dx%-3d %10.1f %7.2f", filter.Caption, size[0], size[1], fast * 1e3, fast / decode);
      const bool runReference =
          reference == "all" || (reference == "lanczos" && filter.Function == fotoloom::Lanczos3Filter);
      if (runReference) {
        Image check(size[0], size[1]);
        const double slow =
            BestSeconds(1, [&] { fotoloom::test::ReferenceStretch(source, check, filter.Function, filter.Support); });
        const bool same =
            std::memcmp(check.data(), target.data(), target.stride() * static_cast<std::size_t>(size[1])) == 0;
        std::printf(" %12.1f %7.2f%s", slow * 1e3, slow / decode, same ? "" : "  PIXELS DIFFER");
      }
      std::printf("\n");
      std::fflush(stdout);
    }
  }
  return 0;
}
