// Inner blocks of the filtering passes: the exact path and the portable version.
#include <cstring>

#include "imaging/resample_blocks.h"

namespace fotoloom::blocks {
namespace {

using v4d = double __attribute__((vector_size(32)));
using v4f = float __attribute__((vector_size(16)));
using v4i64 = long long __attribute__((vector_size(32)));
using v4u8 = unsigned char __attribute__((vector_size(4)));

// Floats of one interleaved pixel: three channels of kGenericRows rows.
constexpr int kGenericPixel = 3 * kGenericRows;

// One step of four sums: float(sum + value x weight), kept as doubles. With
// kChecked, marks in `unsafe` the lanes whose double sum was inexact and on a
// float midpoint. Fast2Sum in both orders finds an inexact sum: for the
// operand of larger magnitude, s - operand is exact, and it differs from the
// other operand exactly when s is not the exact sum.
template <bool kChecked>
inline void Step(v4d& sum, v4d value, double weight, v4i64& unsafe) {
  const v4d product = value * weight;
  const v4d s = sum + product;
  if constexpr (kChecked) {
    const v4i64 inexact = ((s - sum) != product) | ((s - product) != sum);
    unsafe |= inexact & (((v4i64)s & kBelowFloatMask) == kFloatMidpoint);
  }
  sum = __builtin_convertvector(__builtin_convertvector(s, v4f), v4d);
}

// Four sums as bytes: clamped to 0..255, rounded to nearest, ties to even.
inline void ToBytes(v4d sum, std::uint8_t* out, std::size_t step, int count) {
  const v4d zero = {0, 0, 0, 0};
  sum = sum > 255.0 ? 255.0 : sum;
  sum = sum < 0.0 ? zero : sum;
  sum = (sum + kRoundingShift) - kRoundingShift;
  for (int lane = 0; lane < count; ++lane)
    out[static_cast<std::size_t>(lane) * step] = static_cast<std::uint8_t>(sum[lane]);
}

bool AnyLane(v4i64 mask) { return (mask[0] | mask[1] | mask[2] | mask[3]) != 0; }

// The taps of step k of the four lists of group i, added to the sums.
template <bool kChecked>
inline void ColumnStep(const float* buffer, int bufferX, const std::int32_t* index, const float* weight,
                       std::size_t stride, std::size_t k, v4d (&sum)[kColumnsAtOnce][3], v4i64& unsafe) {
  for (int q = 0; q < kColumnsAtOnce; ++q) {
    const double w = weight[static_cast<std::size_t>(q) * stride + k];
    const float* pixel =
        buffer + static_cast<std::size_t>(index[static_cast<std::size_t>(q) * stride + k] - bufferX) * kGenericPixel;
    for (int c = 0; c < 3; ++c) {
      v4f channel;
      std::memcpy(&channel, pixel + kGenericRows * c, sizeof channel);
      Step<kChecked>(sum[q][c], __builtin_convertvector(channel, v4d), w, unsafe);
    }
  }
}

// Sums the four lists of group i over the interleaved rows; returns whether a
// step needs the extended path.
bool SumColumns(const float* buffer, int bufferX, const AxisTaps& taps, int i, v4d (&sum)[kColumnsAtOnce][3]) {
  const std::size_t stride = static_cast<std::size_t>(taps.Stride);
  const std::size_t base = static_cast<std::size_t>(i) * stride;
  const std::int32_t* index = taps.Index.data() + base;
  const float* weight = taps.Weight.data() + base;
  const std::uint8_t* checked = taps.Checked.data() + base;
  v4i64 unsafe = {0, 0, 0, 0};
  for (std::size_t k = 0; k < stride; ++k) {
    if (checked[k] | checked[stride + k] | checked[2 * stride + k] | checked[3 * stride + k])
      ColumnStep<true>(buffer, bufferX, index, weight, stride, k, sum, unsafe);
    else
      ColumnStep<false>(buffer, bufferX, index, weight, stride, k, sum, unsafe);
  }
  return AnyLane(unsafe);
}

// Sums values first .. first+kValuesAtOnce-1 over the taps of target row j; returns
// whether a step needs the extended path.
bool SumValues(const IntermediateImage& in, const AxisTaps& taps, int j, std::size_t first,
               v4d (&sum)[kValuesAtOnce / 4]) {
  const std::size_t stride = static_cast<std::size_t>(taps.Stride);
  const std::size_t base = static_cast<std::size_t>(j) * stride;
  v4i64 unsafe = {0, 0, 0, 0};
  for (std::size_t k = 0; k < stride; ++k) {
    const double w = taps.Weight[base + k];
    const std::uint8_t* values = in.Row(taps.Index[base + k]) + first;
    const bool checked = taps.Checked[base + k] != 0;
    for (int v = 0; v < kValuesAtOnce / 4; ++v) {
      v4u8 bytes;
      std::memcpy(&bytes, values + 4 * v, sizeof bytes);
      if (checked)
        Step<true>(sum[v], __builtin_convertvector(bytes, v4d), w, unsafe);
      else
        Step<false>(sum[v], __builtin_convertvector(bytes, v4d), w, unsafe);
    }
  }
  return AnyLane(unsafe);
}

}  // namespace

std::uint8_t ExactSum(const std::uint8_t* values, std::size_t step, const std::int32_t* index, const float* weight,
                      int count) {
  float sum = 0;
  for (int k = 0; k < count; ++k) sum = AddProduct(sum, values[static_cast<std::size_t>(index[k]) * step], weight[k]);
  return SumToByte(sum);
}

void ExactPixel(const std::uint8_t* in, const AxisTaps& taps, int list, std::uint8_t* out) {
  const std::size_t base = static_cast<std::size_t>(list) * static_cast<std::size_t>(taps.Stride);
  for (int c = 0; c < 3; ++c)
    out[c] = ExactSum(in + c, 3, taps.Index.data() + base, taps.Weight.data() + base,
                      taps.Count[static_cast<std::size_t>(list)]);
}

void ExactColumn(const Image& source, const AxisTaps& taps, int column, IntermediateImage& out, int first, int rows,
                 int outFirst) {
  for (int r = 0; r < rows; ++r) ExactPixel(source.row(first + r), taps, column, out.Row(outFirst + r) + 3 * column);
}

void ExactValues(const IntermediateImage& in, const AxisTaps& taps, Image& target, int j, std::size_t first,
                 std::size_t count) {
  const std::size_t list = static_cast<std::size_t>(j);
  const std::size_t base = list * static_cast<std::size_t>(taps.Stride);
  std::uint8_t* out = target.row(j);
  for (std::size_t v = first; v < first + count; ++v)
    out[v] =
        ExactSum(in.Bytes.data() + v, in.Stride, taps.Index.data() + base, taps.Weight.data() + base, taps.Count[list]);
}

void InterleaveGeneric(const Image& source, int first, int rows, int fromX, int toX, float* buffer) {
  const std::uint8_t* row[kGenericRows];
  for (int r = 0; r < kGenericRows; ++r) row[r] = source.pixel(fromX, first + (r < rows ? r : rows - 1));
  const std::size_t values = static_cast<std::size_t>(toX - fromX + 1) * 3;
  for (std::size_t v = 0; v < values; ++v)
    for (int r = 0; r < kGenericRows; ++r) buffer[v * kGenericRows + static_cast<std::size_t>(r)] = row[r][v];
}

void HorizontalGeneric(const float* buffer, int bufferX, const Image& source, const AxisTaps& taps,
                       IntermediateImage& out, int first, int rows, int outFirst, int fromGroup, int toGroup) {
  for (int i = fromGroup * kColumnsAtOnce; i < toGroup * kColumnsAtOnce; i += kColumnsAtOnce) {
    v4d sum[kColumnsAtOnce][3] = {};
    const bool unsafe = SumColumns(buffer, bufferX, taps, i, sum);
    for (int q = 0; q < kColumnsAtOnce && i + q < out.Width; ++q) {
      const int column = i + q;
      if (unsafe || taps.ExactOnly[static_cast<std::size_t>(column)]) {
        ExactColumn(source, taps, column, out, first, rows, outFirst);
        continue;
      }
      for (int c = 0; c < 3; ++c) ToBytes(sum[q][c], out.Row(outFirst) + 3 * column + c, out.Stride, rows);
    }
  }
}

void VerticalGeneric(const IntermediateImage& in, const AxisTaps& taps, Image& target, std::size_t first,
                     std::size_t end) {
  const std::size_t count = end - first < kValuesAtOnce ? end - first : kValuesAtOnce;
  for (int j = 0; j < target.height(); ++j) {
    v4d sum[kValuesAtOnce / 4] = {};
    const bool unsafe = SumValues(in, taps, j, first, sum);
    if (unsafe || taps.ExactOnly[static_cast<std::size_t>(j)]) {
      ExactValues(in, taps, target, j, first, count);
      continue;
    }
    std::uint8_t bytes[kValuesAtOnce];
    for (int v = 0; v < kValuesAtOnce / 4; ++v) ToBytes(sum[v], bytes + 4 * v, 1, 4);
    std::memcpy(target.row(j) + first, bytes, count);
  }
}

}  // namespace fotoloom::blocks
