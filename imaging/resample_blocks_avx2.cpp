// Inner blocks of the filtering passes for processors with AVX2 and FMA.
//
// Only functions marked with the avx2/fma target use those instructions; the
// passes call them only after checking the processor at run time.
//
// A step whose exact sum fits in a double (the taps' Checked flag is clear)
// has an extended sum equal to the exact one, so rounding it to float is a
// single rounding of the exact sum: precisely what a float fused
// multiply-add gives. Those steps, nearly all of them, run as float FMAs on
// eight lanes. The flagged steps widen the sums to doubles and take the
// checked double step of the portable version.
#include <immintrin.h>

#include <cmath>
#include <cstring>

#include "imaging/resample_blocks.h"

#define FOTOLOOM_AVX2 __attribute__((target("avx2,fma")))
#define FOTOLOOM_AVX2_INLINE __attribute__((target("avx2,fma"), always_inline)) inline

namespace fotoloom::blocks {
namespace {

// One checked step of four sums in doubles: float(sum + product), with lanes
// whose double sum was inexact and on a float midpoint marked in `unsafe`
// (Fast2Sum in both orders finds an inexact sum).
FOTOLOOM_AVX2_INLINE __m128 CheckedStep(__m128 sum, __m128 value, float weight, __m256i& unsafe) {
  const __m256d before = _mm256_cvtps_pd(sum);
  const __m256d product = _mm256_mul_pd(_mm256_cvtps_pd(value), _mm256_set1_pd(weight));
  const __m256d s = _mm256_add_pd(before, product);
  const __m256d inexact = _mm256_or_pd(_mm256_cmp_pd(_mm256_sub_pd(s, before), product, _CMP_NEQ_UQ),
                                       _mm256_cmp_pd(_mm256_sub_pd(s, product), before, _CMP_NEQ_UQ));
  const __m256i low = _mm256_and_si256(_mm256_castpd_si256(s), _mm256_set1_epi64x(kBelowFloatMask));
  const __m256i midpoint = _mm256_cmpeq_epi64(low, _mm256_set1_epi64x(kFloatMidpoint));
  unsafe = _mm256_or_si256(unsafe, _mm256_and_si256(midpoint, _mm256_castpd_si256(inexact)));
  return _mm256_cvtpd_ps(s);
}

// 2^-20: a step flagged kCheckedIfSumSmall is exact when the sum before it is
// 0 or at least |weight| x 2^-20.
constexpr float kSmallSumFactor = 0x1p-20f;

// Lanes of `sum` that are non-zero and below `least`: all bits set there.
FOTOLOOM_AVX2_INLINE __m256 TooSmall(__m256 sum, __m256 least) {
  const __m256 magnitude = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), sum);
  return _mm256_and_ps(_mm256_cmp_ps(magnitude, least, _CMP_LT_OQ),
                       _mm256_cmp_ps(magnitude, _mm256_setzero_ps(), _CMP_NEQ_OQ));
}

// The smallest sum magnitude for which a kCheckedIfSumSmall step with this
// weight is exact, in all lanes.
FOTOLOOM_AVX2_INLINE __m256 Least(float weight) { return _mm256_set1_ps(std::fabs(weight) * kSmallSumFactor); }

// Eight sums as bytes: clamped to 0..255 and rounded to nearest, ties to even
// (the conversion uses the default rounding mode), as 32-bit integers.
FOTOLOOM_AVX2_INLINE __m256i ToInts(__m256 sum) {
  return _mm256_cvtps_epi32(_mm256_max_ps(_mm256_min_ps(sum, _mm256_set1_ps(255.0f)), _mm256_setzero_ps()));
}

// Floats of one interleaved pixel: three channels of kAvx2Rows rows.
constexpr int kAvx2Pixel = 3 * kAvx2Rows;

// Sums of one column group: red, green and blue of the eight rows of each
// column, matching the interleaved layout of a pixel (kAvx2Pixel floats).
struct ColumnSums {
  __m256 c[kColumnsAtOnce][3];
};

// A checked step of eight sums: both halves through the double path.
FOTOLOOM_AVX2_INLINE __m256 CheckedStep8(__m256 sum, __m256 value, float weight, __m256i& unsafe) {
  const __m128 low = CheckedStep(_mm256_castps256_ps128(sum), _mm256_castps256_ps128(value), weight, unsafe);
  const __m128 high = CheckedStep(_mm256_extractf128_ps(sum, 1), _mm256_extractf128_ps(value, 1), weight, unsafe);
  return _mm256_set_m128(high, low);
}

// Step k of a column group in which some list flags the step, out of line so
// that its temporaries do not push the sums of the common step out of
// registers. Lists that do not flag it take the plain step.
__attribute__((target("avx2,fma"), noinline)) void CheckedColumnStep(const float* buffer, int bufferX,
                                                                     const std::int32_t* index, const float* weight,
                                                                     const std::uint8_t* checked, std::size_t stride,
                                                                     std::size_t k, ColumnSums& sums, __m256i& unsafe) {
  for (int q = 0; q < kColumnsAtOnce; ++q) {
    const std::size_t slot = static_cast<std::size_t>(q) * stride + k;
    const float* pixel = buffer + static_cast<std::size_t>(index[slot] - bufferX) * kAvx2Pixel;
    for (int c = 0; c < 3; ++c) {
      const __m256 value = _mm256_loadu_ps(pixel + c * kAvx2Rows);
      if (checked[slot])
        sums.c[q][c] = CheckedStep8(sums.c[q][c], value, weight[slot], unsafe);
      else
        sums.c[q][c] = _mm256_fmadd_ps(value, _mm256_broadcast_ss(weight + slot), sums.c[q][c]);
    }
  }
}

// The unflagged step of one list: a float fused multiply-add per channel.
FOTOLOOM_AVX2_INLINE void PlainColumnStep(const float* buffer, int bufferX, const std::int32_t* index,
                                          const float* weight, std::size_t slot, __m256 (&sum)[3]) {
  const __m256 w = _mm256_broadcast_ss(weight + slot);
  const float* pixel = buffer + static_cast<std::size_t>(index[slot] - bufferX) * kAvx2Pixel;
#pragma GCC unroll 3
  for (int c = 0; c < 3; ++c) sum[c] = _mm256_fmadd_ps(_mm256_loadu_ps(pixel + c * kAvx2Rows), w, sum[c]);
}

// Sums the four lists of group i over the interleaved rows; returns whether a
// step needs the extended path. The loops over lists and channels are
// unrolled, so every sum has a constant place and stays in a register; only
// the out-of-line checked step gets a copy of them in memory.
FOTOLOOM_AVX2_INLINE bool SumColumns(const float* buffer, int bufferX, const AxisTaps& taps, int i, ColumnSums& out) {
  const std::size_t stride = static_cast<std::size_t>(taps.Stride);
  const std::size_t base = static_cast<std::size_t>(i) * stride;
  const std::int32_t* index = taps.Index.data() + base;
  const float* weight = taps.Weight.data() + base;
  const std::uint8_t* checked = taps.Checked.data() + base;
  ColumnSums sums;
#pragma GCC unroll 4
  for (int q = 0; q < kColumnsAtOnce; ++q)
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c) sums.c[q][c] = _mm256_setzero_ps();
  __m256i unsafe = _mm256_setzero_si256();
  for (std::size_t k = 0; k < stride; ++k) {
    unsigned flags = 0;
#pragma GCC unroll 4
    for (int q = 0; q < kColumnsAtOnce; ++q) flags |= checked[static_cast<std::size_t>(q) * stride + k];
    bool needsCheck = flags != 0;
    if (flags == AxisTaps::kCheckedIfSumSmall) {
      // Exact after all when every sum is 0 or large enough for its weight.
      __m256 small = _mm256_setzero_ps();
#pragma GCC unroll 4
      for (int q = 0; q < kColumnsAtOnce; ++q) {
        const __m256 least = Least(weight[static_cast<std::size_t>(q) * stride + k]);
#pragma GCC unroll 3
        for (int c = 0; c < 3; ++c) small = _mm256_or_ps(small, TooSmall(sums.c[q][c], least));
      }
      needsCheck = !_mm256_testz_ps(small, small);
    }
    if (needsCheck) {
      ColumnSums inMemory = sums;
      CheckedColumnStep(buffer, bufferX, index, weight, checked, stride, k, inMemory, unsafe);
      sums = inMemory;
      continue;
    }
#pragma GCC unroll 4
    for (int q = 0; q < kColumnsAtOnce; ++q)
      PlainColumnStep(buffer, bufferX, index, weight, static_cast<std::size_t>(q) * stride + k, sums.c[q]);
  }
  out = sums;
  return !_mm256_testz_si256(unsafe, unsafe);
}

// Floats in one AVX vector.
constexpr int kFloatLanes = 8;
// Vectors that hold the sums of a vertical block's values.
constexpr int kValueVectors = kValuesAtOnce / kFloatLanes;

// Sums of the values of a vertical block, one float lane per value.
struct ValueSums {
  __m256 v[kValueVectors];
};

// Eight bytes widened to floats.
FOTOLOOM_AVX2_INLINE __m256 LoadBytes(const std::uint8_t* values) {
  return _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(values))));
}

// A flagged step of a vertical list, out of line like CheckedColumnStep.
__attribute__((target("avx2,fma"), noinline)) void CheckedValueStep(const std::uint8_t* values, float weight,
                                                                    ValueSums& sums, __m256i& unsafe) {
  for (int v = 0; v < kValueVectors; ++v) {
    const __m256 x = LoadBytes(values + kFloatLanes * v);
    const __m128 low = CheckedStep(_mm256_castps256_ps128(sums.v[v]), _mm256_castps256_ps128(x), weight, unsafe);
    const __m128 high = CheckedStep(_mm256_extractf128_ps(sums.v[v], 1), _mm256_extractf128_ps(x, 1), weight, unsafe);
    sums.v[v] = _mm256_set_m128(high, low);
  }
}

// Sums values first .. first+kValuesAtOnce-1 over the taps of target row j;
// returns whether a step needs the extended path. As in SumColumns, the
// unrolled loops keep every sum in a register of its own.
FOTOLOOM_AVX2_INLINE bool SumValues(const IntermediateImage& in, const AxisTaps& taps, int j, std::size_t first,
                                    ValueSums& out) {
  const std::size_t stride = static_cast<std::size_t>(taps.Stride);
  const std::size_t base = static_cast<std::size_t>(j) * stride;
  ValueSums sums;
#pragma GCC unroll 8
  for (int v = 0; v < kValueVectors; ++v) sums.v[v] = _mm256_setzero_ps();
  __m256i unsafe = _mm256_setzero_si256();
  for (std::size_t k = 0; k < stride; ++k) {
    const std::uint8_t* values = in.Row(taps.Index[base + k]) + first;
    bool needsCheck = taps.Checked[base + k] != 0;
    if (taps.Checked[base + k] == AxisTaps::kCheckedIfSumSmall) {
      const __m256 least = Least(taps.Weight[base + k]);
      __m256 small = _mm256_setzero_ps();
#pragma GCC unroll 8
      for (int v = 0; v < kValueVectors; ++v) small = _mm256_or_ps(small, TooSmall(sums.v[v], least));
      needsCheck = !_mm256_testz_ps(small, small);
    }
    if (needsCheck) {
      ValueSums inMemory = sums;
      CheckedValueStep(values, taps.Weight[base + k], inMemory, unsafe);
      sums = inMemory;
      continue;
    }
    const __m256 w = _mm256_broadcast_ss(&taps.Weight[base + k]);
#pragma GCC unroll 8
    for (int v = 0; v < kValueVectors; ++v)
      sums.v[v] = _mm256_fmadd_ps(LoadBytes(values + kFloatLanes * v), w, sums.v[v]);
  }
  out = sums;
  return !_mm256_testz_si256(unsafe, unsafe);
}

}  // namespace

FOTOLOOM_AVX2 void InterleaveAvx2(const Image& source, int first, int rows, int fromX, int toX, float* buffer) {
  const std::uint8_t* row[kAvx2Rows];
  for (int r = 0; r < kAvx2Rows; ++r) row[r] = source.pixel(fromX, first + (r < rows ? r : rows - 1));
  const std::size_t values = static_cast<std::size_t>(toX - fromX + 1) * 3;
  // Eight values of each of the eight rows in, an 8 x 8 byte transpose by
  // unpacking, each value's eight rows widened to floats.
  std::size_t v = 0;
  for (; v + 8 <= values; v += 8) {
    __m128i in[kAvx2Rows];
    for (int r = 0; r < kAvx2Rows; ++r) in[r] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row[r] + v));
    const __m128i a01 = _mm_unpacklo_epi8(in[0], in[1]), a23 = _mm_unpacklo_epi8(in[2], in[3]);
    const __m128i a45 = _mm_unpacklo_epi8(in[4], in[5]), a67 = _mm_unpacklo_epi8(in[6], in[7]);
    const __m128i low03 = _mm_unpacklo_epi16(a01, a23), high03 = _mm_unpackhi_epi16(a01, a23);
    const __m128i low47 = _mm_unpacklo_epi16(a45, a67), high47 = _mm_unpackhi_epi16(a45, a67);
    // Each holds two values, eight rows each.
    const __m128i pairs[4] = {_mm_unpacklo_epi32(low03, low47), _mm_unpackhi_epi32(low03, low47),
                              _mm_unpacklo_epi32(high03, high47), _mm_unpackhi_epi32(high03, high47)};
    for (int n = 0; n < 4; ++n) {
      float* out = buffer + kAvx2Rows * (v + 2 * static_cast<std::size_t>(n));
      _mm256_storeu_ps(out, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(pairs[n])));
      _mm256_storeu_ps(out + kAvx2Rows, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(pairs[n], 8))));
    }
  }
  for (; v < values; ++v)
    for (int r = 0; r < kAvx2Rows; ++r) buffer[v * kAvx2Rows + static_cast<std::size_t>(r)] = row[r][v];
}

FOTOLOOM_AVX2 void HorizontalAvx2(const float* buffer, int bufferX, const Image& source, const AxisTaps& taps,
                                  IntermediateImage& out, int first, int rows, int outFirst, int fromGroup,
                                  int toGroup) {
  for (int i = fromGroup * kColumnsAtOnce; i < toGroup * kColumnsAtOnce; i += kColumnsAtOnce) {
    ColumnSums sums;
    const bool unsafe = SumColumns(buffer, bufferX, taps, i, sums);
    for (int q = 0; q < kColumnsAtOnce && i + q < out.Width; ++q) {
      const int column = i + q;
      if (unsafe || taps.ExactOnly[static_cast<std::size_t>(column)]) {
        ExactColumn(source, taps, column, out, first, rows, outFirst);
        continue;
      }
      alignas(32) std::int32_t bytes[3][kAvx2Rows];
      for (int c = 0; c < 3; ++c) _mm256_store_si256(reinterpret_cast<__m256i*>(bytes[c]), ToInts(sums.c[q][c]));
      for (int r = 0; r < rows; ++r) {
        std::uint8_t* pixel = out.Row(outFirst + r) + 3 * column;
        pixel[0] = static_cast<std::uint8_t>(bytes[0][r]);
        pixel[1] = static_cast<std::uint8_t>(bytes[1][r]);
        pixel[2] = static_cast<std::uint8_t>(bytes[2][r]);
      }
    }
  }
}

FOTOLOOM_AVX2 void VerticalAvx2(const IntermediateImage& in, const AxisTaps& taps, Image& target, std::size_t first,
                                std::size_t end) {
  const std::size_t count = end - first < kValuesAtOnce ? end - first : kValuesAtOnce;
  for (int j = 0; j < target.height(); ++j) {
    ValueSums sums;
    const bool unsafe = SumValues(in, taps, j, first, sums);
    if (unsafe || taps.ExactOnly[static_cast<std::size_t>(j)]) {
      ExactValues(in, taps, target, j, first, count);
      continue;
    }
    alignas(32) std::uint8_t bytes[kValuesAtOnce];
    for (int v = 0; v < kValuesAtOnce / 16; ++v) {
      const __m256i a = ToInts(sums.v[2 * v]), b = ToInts(sums.v[2 * v + 1]);
      // Packing works within 128-bit halves; the permute puts the 16 bytes
      // back in order.
      const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
      const __m128i packed = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
      _mm_store_si128(reinterpret_cast<__m128i*>(bytes + 16 * v), packed);
    }
    std::memcpy(target.row(j) + first, bytes, count);
  }
}

}  // namespace fotoloom::blocks
