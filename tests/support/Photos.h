// Small JPEG photos written into a test's input folder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "support/TempDir.h"

namespace fotoloom::test {

// How WritePhotos names and sizes the photos.
struct PhotoSeries {
  const char* NameFormat = "img%02d.jpg";  // printf format of the photo's number, from 1
  int Width = 48;
  int Height = 32;
};

// Writes count photos into folder, numbered from 1, each a gradient of its
// own so that no two are alike.
inline void WritePhotos(const std::string& folder, int count, const PhotoSeries& series = {}) {
  Image image(series.Width, series.Height);
  JpegCodec codec;
  codec.Quality = 80;
  std::string jpeg;
  for (int i = 1; i <= count; ++i) {
    for (int y = 0; y < series.Height; ++y)
      for (int x = 0; x < series.Width; ++x) {
        std::uint8_t* p = image.pixel(x, y);
        p[0] = std::uint8_t(x * 5 + i);
        p[1] = std::uint8_t(y * 7);
        p[2] = std::uint8_t(i * 8);
      }
    codec.Encode(image, jpeg);
    char name[64];
    std::snprintf(name, sizeof name, series.NameFormat, i);
    WriteFile(folder + "/" + name, jpeg);
  }
}

}  // namespace fotoloom::test
