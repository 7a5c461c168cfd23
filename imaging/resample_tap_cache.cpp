// Tap lists kept by geometry, with the pauses of their building replayed on reuse.
#include "imaging/resample_tap_cache.h"

#include <algorithm>

namespace fotoloom {
namespace {

bool SameAxis(const AxisScale& a, const AxisScale& b) {
  return a.SourceSize == b.SourceSize && a.TargetSize == b.TargetSize && a.Scale == b.Scale &&
         a.Shrinking == b.Shrinking && a.Support == b.Support && a.Width == b.Width && a.Capacity == b.Capacity;
}

std::size_t BytesOf(const AxisTaps& taps) {
  return taps.Count.size() * sizeof(std::int32_t) +
         (taps.GroupFirst.size() + taps.GroupLast.size()) * sizeof(std::int32_t) +
         taps.Index.size() * sizeof(std::int32_t) + taps.Weight.size() * sizeof(float) + taps.ExactOnly.size() +
         taps.Checked.size();
}

}  // namespace

std::shared_ptr<const AxisTaps> TapCache::Lists(const AxisScale& scale, Kernel kernel,
                                                const std::function<bool()>& afterList) {
  ++uses_;
  for (Entry& entry : entries_) {
    if (entry.Function != kernel || !SameAxis(entry.Scale, scale)) continue;
    entry.LastUse = uses_;
    ++found_;
    if (afterList)
      for (int n = 0; n < scale.TargetSize; ++n)
        if (afterList()) return nullptr;
    return entry.Taps;
  }
  auto taps = std::make_shared<AxisTaps>();
  if (!BuildAxisTaps(scale, kernel, *taps, afterList)) return nullptr;
  ++built_;
  Keep(scale, kernel, taps);
  return taps;
}

void TapCache::Keep(const AxisScale& scale, Kernel kernel, std::shared_ptr<const AxisTaps> taps) {
  const std::size_t bytes = BytesOf(*taps);
  if (bytes > kMaxBytes) return;
  std::size_t total = bytes;
  for (const Entry& entry : entries_) total += entry.Bytes;
  // The least recently used axes go first.
  while (!entries_.empty() && (entries_.size() >= kMaxAxes || total > kMaxBytes)) {
    const auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                         [](const Entry& a, const Entry& b) { return a.LastUse < b.LastUse; });
    total -= oldest->Bytes;
    entries_.erase(oldest);
  }
  entries_.push_back(Entry{scale, kernel, std::move(taps), bytes, uses_});
}

}  // namespace fotoloom
