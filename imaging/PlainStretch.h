// The plain stretch: resizing by point sampling, without filtering.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Image.h"

namespace fotoloom {

// Draws the whole source over the whole target, whose size the caller has
// set: every target pixel takes the colour of the source pixel under its
// centre, so rows and columns are dropped when shrinking and repeated when
// enlarging, and a target of the source's size is an exact copy. Nothing is
// averaged. Does nothing when either image has no pixels.
void PlainStretch(const Image& source, Image& target);

// The same stretch fed with source rows one at a time, in any order, so that
// the whole source never needs to be held: each row is sampled into the
// target rows that take it, and rows no target row takes are skipped.
class PlainRowStretch {
 public:
  // Starts a stretch of a sourceWidth x sourceHeight source into target,
  // whose size the caller has set. The object refers to target until the
  // last row has come.
  void Begin(int sourceWidth, int sourceHeight, Image& target);

  // Whether any target row takes source row y.
  bool Needs(int y) const;

  // Samples source row y (sourceWidth RGB pixels) into its target rows.
  void AddRow(const std::uint8_t* row, int y);

 private:
  Image* target_ = nullptr;
  int sourceWidth_ = 0;
  int sourceHeight_ = 0;
  std::vector<int> columns_;   // byte offset of the source pixel each target column takes
  std::vector<int> firstRow_;  // per source row: the first target row that takes it or a later one
};

}  // namespace fotoloom
