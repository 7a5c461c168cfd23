// How many resampling filters a FilterIndex chooses from, and which one the options start with.
#pragma once

namespace fotoloom {

// FilterIndex values 0 .. kFilterCount - 1 choose a filter of the resampler's
// table; the table itself, with each filter's caption, lives beside the kernels.
inline constexpr int kFilterCount = 7;

// Lanczos3: the filter the options start with, and the one a run resizes with
// when no filter is chosen (FilterIndex -1).
inline constexpr int kDefaultFilterIndex = 5;

}  // namespace fotoloom
