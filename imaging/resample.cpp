// The seven reconstruction kernels, their table, and the two-pass stretch.
#include "imaging/resample.h"

#include <algorithm>
#include <cmath>

#include "core/Error.h"
#include "imaging/resample_passes.h"
#include "imaging/resample_taps.h"

namespace fotoloom {
namespace {

// Every kernel works in extended precision (long double, 64-bit mantissa on
// x86-64) and rounds to float only where a value is carried on, evaluating
// each formula left to right. These constants are the nearest extended values
// of the fractions and of pi; the compiler rounds each literal quotient once.
constexpr long double kTwoThirds = 2.0L / 3.0L;
constexpr long double kOneSixth = 1.0L / 6.0L;
constexpr long double kSixteenThirds = 16.0L / 3.0L;
constexpr long double kSevenThirds = 7.0L / 3.0L;
constexpr long double kThirtyTwoThirds = 32.0L / 3.0L;
constexpr long double kPi = 3.14159265358979323846264338327950288L;

using Ext = long double;

float Round(Ext value) { return static_cast<float>(value); }

// sin(pi x) / (pi x), with pi x rounded to float before the sine.
float Sinc(float x) {
  if (x == 0) return 1;
  const float y = Round(kPi * x);
  return Round(std::sin(static_cast<Ext>(y)) / y);
}

}  // namespace

float BoxFilter(float x) { return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f; }

float TriangleFilter(float x) {
  const float t = std::fabs(x);
  if (t < 1) return Round(1.0L - t);
  return 0;
}

float HermiteFilter(float x) {
  const float t = std::fabs(x);
  if (t < 1) return Round(static_cast<Ext>(t) * t * (2.0L * t - 3.0L) + 1.0L);
  return 0;
}

float BellFilter(float x) {
  const float t = std::fabs(x);
  if (t < 0.5f) return Round(0.75L - static_cast<Ext>(t) * t);
  if (t < 1.5f) {
    const float s = Round(t - 1.5L);
    return Round(static_cast<Ext>(s) * s * 0.5L);
  }
  return 0;
}

float SplineFilter(float x) {
  const float t = std::fabs(x);
  if (t < 1) {
    const float q = Round(static_cast<Ext>(t) * t);
    return Round(0.5L * q * t - q + kTwoThirds);
  }
  if (t < 2) {
    const float s = Round(2.0L - t);
    return Round(static_cast<Ext>(s) * s * kOneSixth * s);
  }
  return 0;
}

float Lanczos3Filter(float x) {
  const float t = std::fabs(x);
  if (t < 3) {
    const float a = Sinc(t);
    const float b = Sinc(Round(t / 3.0L));
    return Round(static_cast<Ext>(a) * b);
  }
  return 0;
}

float MitchellFilter(float x) {
  const float t = std::fabs(x);
  if (t < 1) {
    const float q = Round(static_cast<Ext>(t) * t);
    const float p = Round(7.0L * t * q - 12.0L * q + kSixteenThirds);
    return Round(p / 6.0L);
  }
  if (t < 2) {
    const float q = Round(static_cast<Ext>(t) * t);
    const float p = Round(-kSevenThirds * t * q + 12.0L * q - 20.0L * t + kThirtyTwoThirds);
    return Round(p / 6.0L);
  }
  return 0;
}

const std::array<FilterEntry, kFilterCount> FilterTable = {{
    {"BoxFilter", BoxFilter, 0.5f},
    {"TriangleFilter", TriangleFilter, 1.0f},
    {"HermiteFilter", HermiteFilter, 1.0f},
    {"BellFilter", BellFilter, 1.5f},
    {"SplineFilter", SplineFilter, 2.0f},
    {"Lanczos3Filter", Lanczos3Filter, 3.0f},
    {"MitchellFilter", MitchellFilter, 2.0f},
}};

const FilterEntry& FilterFor(int filterIndex) {
  const bool inTable = filterIndex >= 0 && filterIndex < kFilterCount;
  return FilterTable[static_cast<std::size_t>(inTable ? filterIndex : kDefaultFilterIndex)];
}

struct StretchScratch::Buffers {
  IntermediateImage Intermediate;
  AxisTaps Horizontal;
  AxisTaps Vertical;
  std::vector<float> RowBuffer;
};

StretchScratch::StretchScratch() : buffers_(std::make_unique<Buffers>()) {}
StretchScratch::~StretchScratch() = default;

namespace {

// One pause point: reports that the stretch is busy, then tells whether it
// must stop, asking only in the phases the worker honours a cancel in.
bool Pause(const StretchHooks& worker, unsigned phase) {
  if (worker.OnWorking) worker.OnWorking();
  return (worker.CancelPhases & phase) != 0 && worker.IsCancelled && worker.IsCancelled();
}

}  // namespace

bool RowStretch::Begin(const StretchHooks& worker, int sourceWidth, int sourceHeight, Image& target, Kernel kernel,
                       float support, StretchScratch& scratch) {
  active_ = false;
  if (sourceWidth < 1 || sourceHeight < 1) throw Error("Source bitmap too small");
  if (target.empty()) return false;
  worker_ = &worker;
  target_ = &target;
  scratch_ = &scratch;
  kernel_ = kernel;
  support_ = support;
  sourceHeight_ = sourceHeight;
  const AxisScale horizontal = MakeAxisScale(sourceWidth, target.width(), support);
  StretchScratch::Buffers& work = scratch.buffers();
  const unsigned horizontalTaps = horizontal.Shrinking ? kHorizontalTapsShrinking : kHorizontalTapsEnlarging;
  if (!BuildAxisTaps(horizontal, kernel, work.Horizontal, [&] { return Pause(worker, horizontalTaps); })) return false;
  work.Intermediate.Resize(target.width(), sourceHeight);
  active_ = true;
  return true;
}

bool RowStretch::AddRows(const Image& rows, int from, int count, int firstRow) {
  if (!active_) return false;
  StretchScratch::Buffers& work = scratch_->buffers();
  HorizontalPass(rows, work.Horizontal, work.Intermediate, from, from + count, firstRow, work.RowBuffer);
  for (int row = 0; row < count; ++row)
    if (Pause(*worker_, kHorizontalPass)) {
      active_ = false;
      return false;
    }
  return true;
}

void RowStretch::Finish() {
  if (!active_) return;
  active_ = false;
  StretchScratch::Buffers& work = scratch_->buffers();
  Image& target = *target_;
  const int targetWidth = target.width();
  const AxisScale vertical = MakeAxisScale(sourceHeight_, target.height(), support_);
  const unsigned verticalTaps = vertical.Shrinking ? kVerticalTapsShrinking : kVerticalTapsEnlarging;
  if (!BuildAxisTaps(vertical, kernel_, work.Vertical, [&] { return Pause(*worker_, verticalTaps); })) return;

  for (int x = 0; x < targetWidth; x += kVerticalColumnBlock) {
    const int end = std::min(x + kVerticalColumnBlock, targetWidth);
    VerticalPass(work.Intermediate, work.Vertical, target, x, end);
    for (int column = x; column < end; ++column)
      if (Pause(*worker_, kVerticalPass)) return;
  }
}

void ResampleStretch(const StretchHooks& worker, const Image& source, Image& target, Kernel kernel, float support,
                     StretchScratch& scratch) {
  RowStretch stretch;
  if (!stretch.Begin(worker, source.width(), source.height(), target, kernel, support, scratch)) return;
  for (int y = 0; y < source.height(); y += kHorizontalRowBlock) {
    const int count = std::min(kHorizontalRowBlock, source.height() - y);
    if (!stretch.AddRows(source, y, count, y)) return;
  }
  stretch.Finish();
}

void ResampleStretch(const StretchHooks& worker, const Image& source, Image& target, Kernel kernel, float support) {
  StretchScratch scratch;
  ResampleStretch(worker, source, target, kernel, support, scratch);
}

}  // namespace fotoloom
