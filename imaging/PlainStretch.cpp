// Point-sampling stretch for the writers' unfiltered resize.
#include "imaging/PlainStretch.h"

#include <algorithm>
#include <cstring>

namespace fotoloom {

namespace {

// Source index under the centre of target index i: floor((i + 0.5) * from / to).
int SourceIndex(int i, int from, int to) {
  return static_cast<int>((2 * static_cast<std::int64_t>(i) + 1) * from / (2 * static_cast<std::int64_t>(to)));
}

}  // namespace

void PlainRowStretch::Begin(int sourceWidth, int sourceHeight, Image& target) {
  target_ = &target;
  sourceWidth_ = sourceWidth > 0 && !target.empty() ? sourceWidth : 0;
  sourceHeight_ = sourceHeight > 0 && !target.empty() ? sourceHeight : 0;
  const int tw = target.width();
  const int th = target.height();
  columns_.resize(static_cast<std::size_t>(tw));
  for (int x = 0; x < tw; ++x) columns_[static_cast<std::size_t>(x)] = SourceIndex(x, sourceWidth, tw) * 3;
  // Target rows take nondecreasing source rows, so the rows taking source
  // row y are firstRow_[y] .. firstRow_[y + 1] - 1.
  firstRow_.assign(static_cast<std::size_t>(sourceHeight_) + 1, th);
  for (int y = th - 1; y >= 0 && sourceHeight_ > 0; --y)
    firstRow_[static_cast<std::size_t>(SourceIndex(y, sourceHeight_, th))] = y;
  for (int y = sourceHeight_ - 1; y >= 0; --y)
    firstRow_[static_cast<std::size_t>(y)] =
        std::min(firstRow_[static_cast<std::size_t>(y)], firstRow_[static_cast<std::size_t>(y) + 1]);
}

bool PlainRowStretch::Needs(int y) const {
  if (y < 0 || y >= sourceHeight_) return false;
  return firstRow_[static_cast<std::size_t>(y)] < firstRow_[static_cast<std::size_t>(y) + 1];
}

void PlainRowStretch::AddRow(const std::uint8_t* row, int y) {
  if (!Needs(y)) return;
  Image& target = *target_;
  const int first = firstRow_[static_cast<std::size_t>(y)];
  const int last = firstRow_[static_cast<std::size_t>(y) + 1];
  const int tw = target.width();
  std::uint8_t* out = target.row(first);
  if (tw == sourceWidth_) {
    std::memcpy(out, row, target.stride());
  } else {
    for (int x = 0; x < tw; ++x, out += 3) {
      const std::uint8_t* p = row + columns_[static_cast<std::size_t>(x)];
      out[0] = p[0];
      out[1] = p[1];
      out[2] = p[2];
    }
  }
  // A source row taken by several target rows gives them all the same bytes.
  for (int t = first + 1; t < last; ++t) std::memcpy(target.row(t), target.row(first), target.stride());
}

void PlainStretch(const Image& source, Image& target) {
  if (source.empty() || target.empty()) return;
  PlainRowStretch stretch;
  stretch.Begin(source.width(), source.height(), target);
  for (int y = 0; y < source.height(); ++y)
    if (stretch.Needs(y)) stretch.AddRow(source.row(y), y);
}

}  // namespace fotoloom
