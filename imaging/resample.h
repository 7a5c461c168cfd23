// Resampling: the seven reconstruction kernels, their table and the two-pass stretch.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/FilterChoice.h"
#include "imaging/Image.h"

namespace fotoloom {

// A reconstruction kernel: weight for a distance x in source pixels.
using Kernel = float (*)(float x);

float BoxFilter(float x);
float TriangleFilter(float x);
float HermiteFilter(float x);
float BellFilter(float x);
float SplineFilter(float x);
float Lanczos3Filter(float x);
float MitchellFilter(float x);

struct FilterEntry {
  const char* Caption;  // as the wizard's filter box lists it
  Kernel Function;
  float Support;  // half-width in source pixels at scale 1
};

// Indexed by the FilterIndex option: Box, Triangle, Hermite, Bell, B-Spline,
// Lanczos3, Mitchell. The only place a filter is chosen.
extern const std::array<FilterEntry, kFilterCount> FilterTable;

// The entry a FilterIndex selects; an index outside the table (no filter
// chosen) selects kDefaultFilterIndex, the filter the options start with.
const FilterEntry& FilterFor(int filterIndex);

// One tap: a source pixel index along the filtered axis and its weight.
struct Tap {
  std::int32_t Index;
  float Weight;
};

// The taps of one target position. Taps is sized once per axis, to the
// axis's AxisScale::Capacity; the first Count entries are in use.
struct TapList {
  std::int32_t Count = 0;
  std::vector<Tap> Taps;
};

// The phases of one stretch, as bits, for choosing where a cancel is honoured.
enum StretchPhase : unsigned {
  kHorizontalTapsEnlarging = 1u << 0,  // horizontal tap lists, target at least as wide
  kHorizontalTapsShrinking = 1u << 1,  // horizontal tap lists, target narrower
  kHorizontalPass = 1u << 2,           // filtering the source rows
  kVerticalTapsEnlarging = 1u << 3,    // vertical tap lists, target at least as high
  kVerticalTapsShrinking = 1u << 4,    // vertical tap lists, target lower
  kVerticalPass = 1u << 5,             // filtering the target columns
};

// Where the scaled-image writer and the thumbnail writer honour a cancel.
constexpr unsigned kScalingCancelPhases = kHorizontalTapsEnlarging | kVerticalTapsEnlarging | kVerticalTapsShrinking;
constexpr unsigned kThumbCancelPhases = kVerticalTapsShrinking | kHorizontalPass;

// How a stretch reports that it is busy and learns that it should stop. At
// every pause point (after each finished tap list, each source row of the
// horizontal pass and each target column of the vertical pass) the stretch
// calls OnWorking, then, when the phase is in CancelPhases, asks IsCancelled
// and returns at once on true. Either function may be empty. The passes work
// on blocks of rows (8) and columns (64) and make the pauses of a block, one
// per row or column, when it is done; a cancel in the vertical pass thus
// leaves the target written up to the end of a column block.
struct StretchHooks {
  std::function<void()> OnWorking;
  std::function<bool()> IsCancelled;
  unsigned CancelPhases = 0;
};

// Resizes the whole source into the whole target, whose size the caller has
// set, with the given kernel and support. Raises "Source bitmap too small"
// when the source has no pixels. A cancel leaves the target partly written.
void ResampleStretch(const StretchHooks& worker, const Image& source, Image& target, Kernel kernel, float support);

// Working memory of the stretch (intermediate image, tap arrays, row buffers)
// kept from one call to the next, so that a worker resizing many photos
// allocates and faults in that memory once. It carries no results.
class StretchScratch {
 public:
  StretchScratch();
  ~StretchScratch();
  StretchScratch(const StretchScratch&) = delete;
  StretchScratch& operator=(const StretchScratch&) = delete;

  struct Buffers;
  Buffers& buffers() { return *buffers_; }

 private:
  std::unique_ptr<Buffers> buffers_;
};

// As above, using (and keeping) the given scratch memory.
void ResampleStretch(const StretchHooks& worker, const Image& source, Image& target, Kernel kernel, float support,
                     StretchScratch& scratch);

// The same stretch fed with source rows as they become available, so that the
// whole source never needs to be held: Begin builds the horizontal tap lists,
// AddRows filters each row into the intermediate image (every intermediate
// row depends on its own source row only, so rows may come in any order), and
// Finish builds the vertical lists and runs the vertical pass once every row
// has come. The pauses and cancels are those of ResampleStretch. The object
// refers to the hooks, target and scratch given to Begin until the stretch ends.
class RowStretch {
 public:
  // Starts a stretch of a sourceWidth x sourceHeight source into target,
  // whose size the caller has set. Raises "Source bitmap too small" when the
  // source has no pixels. False when the stretch is over already: cancelled
  // while the lists were built, or an empty target; AddRows and Finish then
  // do nothing.
  bool Begin(const StretchHooks& worker, int sourceWidth, int sourceHeight, Image& target, Kernel kernel, float support,
             StretchScratch& scratch);

  // Filters rows from .. from+count-1 of rows (sourceWidth wide) as source
  // rows firstRow .. firstRow+count-1, pausing once per row. False when the
  // stretch is over (cancelled now or before).
  bool AddRows(const Image& rows, int from, int count, int firstRow);

  // Builds the vertical lists and fills the target from the intermediate
  // image, unless the stretch is over.
  void Finish();

 private:
  const StretchHooks* worker_ = nullptr;
  Image* target_ = nullptr;
  StretchScratch* scratch_ = nullptr;
  Kernel kernel_ = nullptr;
  float support_ = 0;
  int sourceHeight_ = 0;
  bool active_ = false;
};

}  // namespace fotoloom
