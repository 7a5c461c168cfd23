// Inner blocks of the filtering passes, one version per instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/Image.h"
#include "imaging/resample_passes.h"
#include "imaging/resample_taps.h"

namespace fotoloom::blocks {

// The 29 low mantissa bits of a double are those a float lacks. A double in
// the normal float range is a float midpoint when they read 1000...0.
constexpr long long kBelowFloatMask = (1LL << 29) - 1;
constexpr long long kFloatMidpoint = 1LL << 28;
// Adding and removing 2^52 rounds a double in 0..2^52 to an integer, ties to
// even, under the default rounding mode.
constexpr double kRoundingShift = 0x1p52;

// Columns of the horizontal pass filtered together; with three channels this
// gives twelve independent sum chains, enough to hide the latency of a step.
constexpr int kColumnsAtOnce = AxisTaps::kListGroup;
// Values (bytes of a row) of the vertical pass filtered together: eight
// chains of eight floats, or sixteen of four doubles.
constexpr int kValuesAtOnce = 64;

// Sum of values[index[k] * step] x weight[k] on the extended path, as a byte.
std::uint8_t ExactSum(const std::uint8_t* values, std::size_t step, const std::int32_t* index, const float* weight,
                      int count);

// Extended-path filtering of one pixel of source row `in` with list `list`.
void ExactPixel(const std::uint8_t* in, const AxisTaps& taps, int list, std::uint8_t* out);

// The extended path for what a block could not filter exactly in its vector
// lanes, shared by every version: column `column` of source rows first ..
// first+rows-1 into rows outFirst .. of `out` (horizontal pass), and values
// first .. first+count-1 of target row j (vertical pass).
void ExactColumn(const Image& source, const AxisTaps& taps, int column, IntermediateImage& out, int first, int rows,
                 int outFirst);
void ExactValues(const IntermediateImage& in, const AxisTaps& taps, Image& target, int j, std::size_t first,
                 std::size_t count);

// Source rows filtered together by the horizontal blocks: one vector of four
// doubles (portable) or eight floats (AVX2) holds one channel of one pixel in
// every row of the block.
constexpr int kGenericRows = 4;
constexpr int kAvx2Rows = 8;

// Copies pixels fromX .. toX of source rows first .. first+rows-1 (rows at
// most R, the block's row count; the last row repeated up to R) into
// `buffer` as floats, so that one load gives the R rows of one channel of one
// pixel (floats hold bytes exactly and take half the room of doubles in the
// caches): buffer[((x - fromX) * 3 + c) * R + r].
void InterleaveGeneric(const Image& source, int first, int rows, int fromX, int toX, float* buffer);
void InterleaveAvx2(const Image& source, int first, int rows, int fromX, int toX, float* buffer);

// Filters source rows first .. first+rows-1 (at most R) for the list groups
// fromGroup .. toGroup-1 into rows outFirst .. outFirst+rows-1 of `out`. `buffer` holds those
// rows from pixel bufferX on, as the Interleave function of the same version
// leaves them, covering every pixel the groups read.
void HorizontalGeneric(const float* buffer, int bufferX, const Image& source, const AxisTaps& taps,
                       IntermediateImage& out, int first, int rows, int outFirst, int fromGroup, int toGroup);
void HorizontalAvx2(const float* buffer, int bufferX, const Image& source, const AxisTaps& taps, IntermediateImage& out,
                    int first, int rows, int outFirst, int fromGroup, int toGroup);

// Filters values first .. first+kValuesAtOnce-1 of every target row; values
// at or past `end` come from row padding and are not stored. first is a
// multiple of kValuesAtOnce.
void VerticalGeneric(const IntermediateImage& in, const AxisTaps& taps, Image& target, std::size_t first,
                     std::size_t end);
void VerticalAvx2(const IntermediateImage& in, const AxisTaps& taps, Image& target, std::size_t first, std::size_t end);

}  // namespace fotoloom::blocks
