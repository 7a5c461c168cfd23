// Inner blocks of the filtering passes for processors with AVX2.
//
// Only the functions marked with the avx2 target use AVX2 instructions; the
// passes call them only after checking the processor at run time.
#include <immintrin.h>

#include <cstring>

#include "imaging/resample_blocks.h"

#define FOTOLOOM_AVX2 __attribute__((target("avx2")))
#define FOTOLOOM_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

namespace fotoloom::blocks {
namespace {

// One step of four sums, as in the portable version: float(sum + product),
// kept as doubles; with kChecked, lanes whose double sum was inexact and on a
// float midpoint are marked in `unsafe` (Fast2Sum in both orders).
template <bool kChecked>
FOTOLOOM_AVX2_INLINE void Step(__m256d& sum, __m256d product, __m256i& unsafe) {
  const __m256d s = _mm256_add_pd(sum, product);
  if constexpr (kChecked) {
    const __m256d inexact = _mm256_or_pd(_mm256_cmp_pd(_mm256_sub_pd(s, sum), product, _CMP_NEQ_UQ),
                                         _mm256_cmp_pd(_mm256_sub_pd(s, product), sum, _CMP_NEQ_UQ));
    const __m256i low = _mm256_and_si256(_mm256_castpd_si256(s), _mm256_set1_epi64x(kBelowFloatMask));
    const __m256i midpoint = _mm256_cmpeq_epi64(low, _mm256_set1_epi64x(kFloatMidpoint));
    unsafe = _mm256_or_si256(unsafe, _mm256_and_si256(midpoint, _mm256_castpd_si256(inexact)));
  }
  sum = _mm256_cvtps_pd(_mm256_cvtpd_ps(s));
}

// Four sums as bytes: clamped to 0..255 and rounded to nearest, ties to even
// (the conversion uses the default rounding mode).
FOTOLOOM_AVX2_INLINE __m128i ToInts(__m256d sum) {
  sum = _mm256_max_pd(_mm256_min_pd(sum, _mm256_set1_pd(255.0)), _mm256_setzero_pd());
  return _mm256_cvtpd_epi32(sum);
}

// The taps of step k of the four lists of a group, added to the sums.
template <bool kChecked>
FOTOLOOM_AVX2_INLINE void ColumnStep(const float* buffer, int bufferX, const std::int32_t* index, const float* weight,
                                     std::size_t stride, std::size_t k, __m256d (&sum)[kColumnsAtOnce * 3],
                                     __m256i& unsafe) {
#pragma GCC unroll 4
  for (int q = 0; q < kColumnsAtOnce; ++q) {
    const std::size_t slot = static_cast<std::size_t>(q) * stride + k;
    const __m256d w = _mm256_set1_pd(weight[slot]);
    const float* pixel = buffer + static_cast<std::size_t>(index[slot] - bufferX) * 12;
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c)
      Step<kChecked>(sum[q * 3 + c], _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(pixel + 4 * c)), w), unsafe);
  }
}

// A checked step of a column group, kept out of line: its temporaries would
// otherwise push the twelve sums of the common unchecked step out of registers.
__attribute__((target("avx2"), noinline)) void CheckedColumnStep(const float* buffer, int bufferX,
                                                                  const std::int32_t* index, const float* weight,
                                                                  std::size_t stride, std::size_t k,
                                                                  __m256d (&sum)[kColumnsAtOnce * 3],
                                                                  __m256i& unsafe) {
  ColumnStep<true>(buffer, bufferX, index, weight, stride, k, sum, unsafe);
}

// Sums the four lists of group i over the interleaved rows; returns whether a
// step needs the extended path. The twelve sums are named variables rather
// than an array so that the compiler keeps them all in registers.
FOTOLOOM_AVX2_INLINE bool SumColumns(const float* buffer, int bufferX, const AxisTaps& taps, int i,
                                     __m256d (&sum)[kColumnsAtOnce * 3]) {
  static_assert(kColumnsAtOnce == 4);
  const std::size_t stride = static_cast<std::size_t>(taps.Stride);
  const std::size_t base = static_cast<std::size_t>(i) * stride;
  const std::int32_t* index = taps.Index.data() + base;
  const float* weight = taps.Weight.data() + base;
  const std::uint8_t* checked = taps.Checked.data() + base;
  __m256d s0 = _mm256_setzero_pd(), s1 = s0, s2 = s0, s3 = s0, s4 = s0, s5 = s0, s6 = s0, s7 = s0, s8 = s0,
          s9 = s0, s10 = s0, s11 = s0;
  __m256i unsafe = _mm256_setzero_si256();
  for (std::size_t k = 0; k < stride; ++k) {
    if (checked[k] | checked[stride + k] | checked[2 * stride + k] | checked[3 * stride + k]) {
      __m256d spilled[kColumnsAtOnce * 3] = {s0, s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11};
      CheckedColumnStep(buffer, bufferX, index, weight, stride, k, spilled, unsafe);
      s0 = spilled[0], s1 = spilled[1], s2 = spilled[2], s3 = spilled[3], s4 = spilled[4], s5 = spilled[5];
      s6 = spilled[6], s7 = spilled[7], s8 = spilled[8], s9 = spilled[9], s10 = spilled[10], s11 = spilled[11];
      continue;
    }
    __m256i ignored;
#define FOTOLOOM_COLUMN(q, a, b, c)                                                        \
  {                                                                                        \
    const __m256d w = _mm256_set1_pd(weight[(q) * stride + k]);                            \
    const float* pixel = buffer + static_cast<std::size_t>(index[(q) * stride + k] - bufferX) * 12; \
    Step<false>(a, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(pixel)), w), ignored);        \
    Step<false>(b, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(pixel + 4)), w), ignored);    \
    Step<false>(c, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(pixel + 8)), w), ignored);    \
  }
    FOTOLOOM_COLUMN(0, s0, s1, s2)
    FOTOLOOM_COLUMN(1, s3, s4, s5)
    FOTOLOOM_COLUMN(2, s6, s7, s8)
    FOTOLOOM_COLUMN(3, s9, s10, s11)
#undef FOTOLOOM_COLUMN
  }
  sum[0] = s0, sum[1] = s1, sum[2] = s2, sum[3] = s3, sum[4] = s4, sum[5] = s5;
  sum[6] = s6, sum[7] = s7, sum[8] = s8, sum[9] = s9, sum[10] = s10, sum[11] = s11;
  return !_mm256_testz_si256(unsafe, unsafe);
}

// The taps of step k of a vertical list, added to the sums of 32 values.
template <bool kChecked>
FOTOLOOM_AVX2_INLINE void ValueStep(const std::uint8_t* values, __m256d w, __m256d (&sum)[kValuesAtOnce / 4],
                                    __m256i& unsafe) {
#pragma GCC unroll 4
  for (int v = 0; v < kValuesAtOnce / 8; ++v) {
    // Eight bytes, widened to two groups of four doubles.
    const __m256i wide = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(values + 8 * v)));
    const __m256d low = _mm256_cvtepi32_pd(_mm256_castsi256_si128(wide));
    const __m256d high = _mm256_cvtepi32_pd(_mm256_extracti128_si256(wide, 1));
    Step<kChecked>(sum[2 * v], _mm256_mul_pd(low, w), unsafe);
    Step<kChecked>(sum[2 * v + 1], _mm256_mul_pd(high, w), unsafe);
  }
}

// Sums values first .. first+31 over the taps of target row j; returns
// whether a step needs the extended path.
FOTOLOOM_AVX2_INLINE bool SumValues(const IntermediateImage& in, const AxisTaps& taps, int j, std::size_t first,
                                    __m256d (&sum)[kValuesAtOnce / 4]) {
  const std::size_t stride = static_cast<std::size_t>(taps.Stride);
  const std::size_t base = static_cast<std::size_t>(j) * stride;
  __m256i unsafe = _mm256_setzero_si256();
  for (std::size_t k = 0; k < stride; ++k) {
    const __m256d w = _mm256_set1_pd(taps.Weight[base + k]);
    const std::uint8_t* values = in.Row(taps.Index[base + k]) + first;
    if (taps.Checked[base + k])
      ValueStep<true>(values, w, sum, unsafe);
    else
      ValueStep<false>(values, w, sum, unsafe);
  }
  return !_mm256_testz_si256(unsafe, unsafe);
}

}  // namespace

FOTOLOOM_AVX2 void InterleaveAvx2(const Image& source, int first, int rows, int fromX, int toX, float* buffer) {
  const std::uint8_t* row[kHorizontalRowBlock];
  for (int r = 0; r < kHorizontalRowBlock; ++r) row[r] = source.pixel(fromX, first + (r < rows ? r : rows - 1));
  const std::size_t values = static_cast<std::size_t>(toX - fromX + 1) * 3;
  // Sixteen values of each row in; a 4 x 4 transpose of 32-bit words gives
  // four vectors of four values of the four rows, and a byte shuffle makes
  // each value's four rows adjacent; then widened to floats.
  const __m128i transpose = _mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
  std::size_t v = 0;
  for (; v + 16 <= values; v += 16) {
    const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[0] + v));
    const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[1] + v));
    const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[2] + v));
    const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[3] + v));
    const __m128i a = _mm_unpacklo_epi32(r0, r1), b = _mm_unpacklo_epi32(r2, r3);
    const __m128i c = _mm_unpackhi_epi32(r0, r1), d = _mm_unpackhi_epi32(r2, r3);
    const __m128i quads[4] = {_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b), _mm_unpacklo_epi64(c, d),
                              _mm_unpackhi_epi64(c, d)};
    for (int n = 0; n < 4; ++n) {
      const __m128i bytes = _mm_shuffle_epi8(quads[n], transpose);
      float* out = buffer + 4 * (v + 4 * static_cast<std::size_t>(n));
      _mm256_storeu_ps(out, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes)));
      _mm256_storeu_ps(out + 8, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8))));
    }
  }
  for (; v < values; ++v)
    for (int r = 0; r < kHorizontalRowBlock; ++r) buffer[v * 4 + static_cast<std::size_t>(r)] = row[r][v];
}

FOTOLOOM_AVX2 void HorizontalAvx2(const float* buffer, int bufferX, const Image& source, const AxisTaps& taps,
                                  IntermediateImage& out, int first, int rows, int fromGroup, int toGroup) {
  for (int i = fromGroup * kColumnsAtOnce; i < toGroup * kColumnsAtOnce; i += kColumnsAtOnce) {
    __m256d sum[kColumnsAtOnce * 3];
    const bool unsafe = SumColumns(buffer, bufferX, taps, i, sum);
    for (int q = 0; q < kColumnsAtOnce && i + q < out.Width; ++q) {
      const int column = i + q;
      if (unsafe || taps.ExactOnly[static_cast<std::size_t>(column)]) {
        for (int r = 0; r < rows; ++r) ExactPixel(source.row(first + r), taps, column, out.Row(first + r) + 3 * column);
        continue;
      }
      alignas(16) std::int32_t bytes[3][4];
      for (int c = 0; c < 3; ++c) _mm_store_si128(reinterpret_cast<__m128i*>(bytes[c]), ToInts(sum[q * 3 + c]));
      for (int r = 0; r < rows; ++r) {
        std::uint8_t* pixel = out.Row(first + r) + 3 * column;
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
    __m256d sum[kValuesAtOnce / 4];
    for (__m256d& s : sum) s = _mm256_setzero_pd();
    const std::size_t list = static_cast<std::size_t>(j);
    const bool unsafe = SumValues(in, taps, j, first, sum);
    std::uint8_t* out = target.row(j);
    if (unsafe || taps.ExactOnly[list]) {
      const std::size_t base = list * static_cast<std::size_t>(taps.Stride);
      for (std::size_t v = first; v < first + count; ++v)
        out[v] = ExactSum(in.Bytes.data() + v, in.Stride, taps.Index.data() + base, taps.Weight.data() + base,
                          taps.Count[list]);
      continue;
    }
    alignas(32) std::uint8_t bytes[kValuesAtOnce];
    for (int v = 0; v < kValuesAtOnce / 8; ++v) {
      const __m128i a = ToInts(sum[2 * v]), b = ToInts(sum[2 * v + 1]);
      const __m128i words = _mm_packus_epi32(a, b);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes + 8 * v), _mm_packus_epi16(words, words));
    }
    for (std::size_t v = 0; v < count; ++v) out[first + v] = bytes[v];
  }
}

}  // namespace fotoloom::blocks
