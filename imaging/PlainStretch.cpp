// Point-sampling stretch for the writers' unfiltered resize.
#include "imaging/PlainStretch.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace fotoloom {

namespace {

// Source index under the centre of target index i: floor((i + 0.5) * from / to).
int SourceIndex(int i, int from, int to) {
  return static_cast<int>((2 * static_cast<std::int64_t>(i) + 1) * from / (2 * static_cast<std::int64_t>(to)));
}

}  // namespace

void PlainStretch(const Image& source, Image& target) {
  if (source.empty() || target.empty()) return;
  const int sw = source.width();
  const int sh = source.height();
  const int tw = target.width();
  const int th = target.height();
  std::vector<int> columns(static_cast<std::size_t>(tw));
  for (int x = 0; x < tw; ++x) columns[static_cast<std::size_t>(x)] = SourceIndex(x, sw, tw) * 3;
  int previous = -1;
  for (int y = 0; y < th; ++y) {
    const int sy = SourceIndex(y, sh, th);
    std::uint8_t* out = target.row(y);
    if (sy == previous) {
      // A repeated source row gives the row just written again.
      std::memcpy(out, target.row(y - 1), target.stride());
      continue;
    }
    previous = sy;
    const std::uint8_t* in = source.row(sy);
    if (tw == sw) {
      std::memcpy(out, in, target.stride());
      continue;
    }
    for (int x = 0; x < tw; ++x, out += 3) {
      const std::uint8_t* p = in + columns[static_cast<std::size_t>(x)];
      out[0] = p[0];
      out[1] = p[1];
      out[2] = p[2];
    }
  }
}

}  // namespace fotoloom
