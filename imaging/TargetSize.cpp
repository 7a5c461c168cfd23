// Target sizes in 80-bit extended precision: some sizes differ by a pixel with doubles.
#include "imaging/TargetSize.h"

#include <algorithm>
#include <cmath>

namespace fotoloom {

namespace {

// long double is the x87 80-bit format on the platforms we build for; the
// sizes below depend on its 64-bit mantissa.
static_assert(sizeof(long double) >= 10, "the target sizes need 80-bit extended precision");

enum class Formula { Multiply, Divide };

int FloorSide(long double value) {
  const long double floored = std::floor(value);
  return floored < 1.0L ? 1 : static_cast<int>(floored);
}

TargetSize Fit(int width, int height, int maxWidth, int maxHeight, Formula formula) {
  maxWidth = std::max(maxWidth, 1);
  maxHeight = std::max(maxHeight, 1);
  if (height <= maxHeight && width <= maxWidth) return {width, height};
  // Each step is stored in a long double so that it is rounded exactly where
  // the formula says: quotient first, then the product or second quotient.
  if (height > width) {
    if (formula == Formula::Multiply) {
      const long double quotient = static_cast<long double>(maxHeight) / height;
      const long double product = quotient * width;
      return {FloorSide(product), maxHeight};
    }
    const long double quotient = static_cast<long double>(height) / maxHeight;
    const long double side = width / quotient;
    return {FloorSide(side), maxHeight};
  }
  if (formula == Formula::Multiply) {
    const long double quotient = static_cast<long double>(maxWidth) / width;
    const long double product = quotient * height;
    return {maxWidth, FloorSide(product)};
  }
  const long double quotient = static_cast<long double>(width) / maxWidth;
  const long double side = height / quotient;
  return {maxWidth, FloorSide(side)};
}

}  // namespace

TargetSize ScaledImageSize(int width, int height, int maxWidth, int maxHeight) {
  return Fit(width, height, maxWidth, maxHeight, Formula::Multiply);
}

TargetSize ThumbnailSize(int width, int height, int maxWidth, int maxHeight) {
  return Fit(width, height, maxWidth, maxHeight, Formula::Divide);
}

}  // namespace fotoloom
