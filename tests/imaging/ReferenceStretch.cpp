// A plain, step-by-step stretch used as the oracle for the production one.
#include "ReferenceStretch.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/Error.h"

namespace fotoloom::test {
namespace {

struct Rgb {
  int Red, Green, Blue;
};

// Reads a pixel; an index outside the image reads its nearest edge pixel.
Rgb ReadPixel(const Image& image, int x, int y) {
  if (x < 0) x = 0;
  if (x >= image.width()) x = image.width() - 1;
  if (y < 0) y = 0;
  if (y >= image.height()) y = image.height() - 1;
  const std::uint8_t* p = image.pixel(x, y);
  return {p[0], p[1], p[2]};
}

void WritePixel(Image& image, int x, int y, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::uint8_t* p = image.pixel(x, y);
  p[0] = red;
  p[1] = green;
  p[2] = blue;
}

// sum + channel x weight in extended precision, stored as a float.
float AddTo(float sum, int channel, float weight) {
  long double product = static_cast<long double>(channel) * static_cast<long double>(weight);
  long double exact = static_cast<long double>(sum) + product;
  return static_cast<float>(exact);
}

std::uint8_t ToByte(float sum) {
  if (sum > 255) return 255;
  if (sum < 0) return 0;
  float lower = std::floor(sum);
  float fraction = sum - lower;
  if (fraction > 0.5f) return static_cast<std::uint8_t>(lower + 1);
  if (fraction < 0.5f) return static_cast<std::uint8_t>(lower);
  int even = static_cast<int>(lower);
  if (even % 2 != 0) even += 1;
  return static_cast<std::uint8_t>(even);
}

float ScaleFactor(int sourceSize, int targetSize) {
  long double quotient;
  if (sourceSize == 1)
    quotient = static_cast<long double>(targetSize) / sourceSize;
  else
    quotient = static_cast<long double>(targetSize - 1) / (sourceSize - 1);
  float scale = static_cast<float>(quotient);
  // A one-pixel target on a longer axis would give 0; use target / source.
  if (scale == 0) scale = static_cast<float>(static_cast<long double>(targetSize) / sourceSize);
  return scale;
}

// The tap lists of one axis, one std::vector per target position.
std::vector<std::vector<Tap>> MakeTaps(int sourceSize, int targetSize, Kernel kernel, float support) {
  float scale = ScaleFactor(sourceSize, targetSize);
  bool shrinking = scale < 1;
  float widened = 0, width = 0;
  if (shrinking) {
    widened = static_cast<float>(static_cast<long double>(support) / scale);
    width = static_cast<float>(1.0L / scale);
  }
  std::vector<std::vector<Tap>> lists(targetSize);
  for (int i = 0; i < targetSize; ++i) {
    float centre = static_cast<float>(static_cast<long double>(i) / scale);
    float reach = shrinking ? widened : support;
    long double low = std::floor(static_cast<long double>(centre) - reach);
    long double high = std::ceil(static_cast<long double>(centre) + reach);
    for (long long j = static_cast<long long>(low); j <= static_cast<long long>(high); ++j) {
      float weight;
      if (shrinking) {
        float argument = static_cast<float>((static_cast<long double>(centre) - j) / width);
        weight = static_cast<float>(static_cast<long double>(kernel(argument)) / width);
      } else {
        float argument = static_cast<float>(static_cast<long double>(centre) - j);
        weight = kernel(argument);
      }
      if (weight == 0) continue;
      long long index;
      if (j < 0)
        index = -j;
      else if (j >= sourceSize)
        index = 2LL * sourceSize - 1 - j;
      else
        index = j;
      lists[i].push_back(Tap{static_cast<std::int32_t>(index), weight});
    }
  }
  return lists;
}

}  // namespace

void ReferenceStretch(const Image& source, Image& target, Kernel kernel, float support) {
  if (source.width() < 1 || source.height() < 1) throw Error("Source bitmap too small");
  if (target.width() < 1 || target.height() < 1) return;
  Image intermediate(target.width(), source.height());

  std::vector<std::vector<Tap>> columns = MakeTaps(source.width(), target.width(), kernel, support);
  for (int y = 0; y < source.height(); ++y) {
    for (int i = 0; i < target.width(); ++i) {
      float red = 0, green = 0, blue = 0;
      for (const Tap& tap : columns[i]) {
        Rgb pixel = ReadPixel(source, tap.Index, y);
        if (tap.Weight != 0) {
          red = AddTo(red, pixel.Red, tap.Weight);
          green = AddTo(green, pixel.Green, tap.Weight);
          blue = AddTo(blue, pixel.Blue, tap.Weight);
        }
      }
      WritePixel(intermediate, i, y, ToByte(red), ToByte(green), ToByte(blue));
    }
  }

  std::vector<std::vector<Tap>> rows = MakeTaps(source.height(), target.height(), kernel, support);
  for (int i = 0; i < target.width(); ++i) {
    for (int j = 0; j < target.height(); ++j) {
      float red = 0, green = 0, blue = 0;
      for (const Tap& tap : rows[j]) {
        Rgb pixel = ReadPixel(intermediate, i, tap.Index);
        if (tap.Weight != 0) {
          red = AddTo(red, pixel.Red, tap.Weight);
          green = AddTo(green, pixel.Green, tap.Weight);
          blue = AddTo(blue, pixel.Blue, tap.Weight);
        }
      }
      WritePixel(target, i, j, ToByte(red), ToByte(green), ToByte(blue));
    }
  }
}

}  // namespace fotoloom::test
