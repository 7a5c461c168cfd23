// Tap lists kept from one stretch to the next: photos of one camera share their sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/resample_taps.h"

namespace fotoloom {

// The lists of the last few axes built, keyed by everything the lists
// depend on: source size, target size, kernel and support. A list found here
// is the very list BuildAxisTaps gave for the same key, so a stretch using it
// computes the same bytes. Not shared between threads.
class TapCache {
 public:
  // Axes kept, and the bytes their lists may take together. An axis whose
  // lists alone are larger is built every time and never kept.
  static constexpr std::size_t kMaxAxes = 8;
  static constexpr std::size_t kMaxBytes = std::size_t{2} << 20;

  // The lists of the axis: kept ones, or built now and kept. afterList() is
  // called after each list in both cases, so a stretch pauses and honours a
  // cancel at the same points whether its lists were built or kept. As soon
  // as afterList() returns true, gives null (a list built only in part is
  // never kept).
  std::shared_ptr<const AxisTaps> Lists(const AxisScale& scale, Kernel kernel, const std::function<bool()>& afterList);

  // How many lists were built and how many were found kept, for tests.
  std::size_t Built() const { return built_; }
  std::size_t Found() const { return found_; }

 private:
  struct Entry {
    AxisScale Scale;
    Kernel Function = nullptr;
    std::shared_ptr<const AxisTaps> Taps;
    std::size_t Bytes = 0;
    std::uint64_t LastUse = 0;
  };

  void Keep(const AxisScale& scale, Kernel kernel, std::shared_ptr<const AxisTaps> taps);

  std::vector<Entry> entries_;
  std::uint64_t uses_ = 0;
  std::size_t built_ = 0;
  std::size_t found_ = 0;
};

}  // namespace fotoloom
