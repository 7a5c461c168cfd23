// The per-image work shared by the scaled-image and thumbnail writers.
#include "imaging/ResizeJob.h"

#include <algorithm>

#include "core/Error.h"
#include "imaging/Orientation.h"
#include "imaging/PixelFormats.h"
#include "imaging/PlainStretch.h"
#include "imaging/resample_passes.h"

namespace fotoloom {

namespace {

// Rows decoded at a time: one block of the horizontal pass.
constexpr int kStripRows = kHorizontalRowBlock;

}  // namespace

void ResizeJob::Run(const std::string& inputPath, const ResizeSettings& settings, const StretchHooks& hooks,
                    std::string& jpeg) {
  codec_.Grayscale = settings.Grayscale;
  // Decoding and encoding a large photo take far longer than a caller on
  // the GUI thread may go without OnWorking; the stretch calls it itself.
  codec_.OnBusy = hooks.OnWorking;
  codec_.Start(inputPath);
  if (TurnsRows(codec_.Orientation()))
    StretchWhole(settings, hooks);
  else
    StretchStreamed(settings, hooks);
  ReduceToPixelFormat(target_, settings.PixelFormat);
  codec_.Quality = settings.Quality;
  codec_.Encode(target_, jpeg);
}

TargetSize ResizeJob::SizeTarget(const ResizeSettings& settings, int sourceWidth, int sourceHeight) {
  const TargetSize size = settings.SizeRule(sourceWidth, sourceHeight, settings.MaxWidth, settings.MaxHeight);
  // Refuse a size the encoder cannot take before its memory is touched; a
  // damaged file is still reported as such first.
  try {
    JpegCodec::CheckEncodableSize(size.Width, size.Height);
  } catch (const Error&) {
    codec_.FinishReading();
    throw;
  }
  target_.Resize(size.Width, size.Height);
  return size;
}

void ResizeJob::StretchWhole(const ResizeSettings& settings, const StretchHooks& hooks) {
  codec_.ReadAll(source_);
  SizeTarget(settings, source_.width(), source_.height());
  if (settings.UseFilter) {
    const FilterEntry& filter = FilterFor(settings.FilterIndex);
    ResampleStretch(hooks, source_, target_, filter.Function, filter.Support, scratch_);
  } else {
    PlainStretch(source_, target_);
  }
}

int ResizeJob::ReadStrip(int& firstRow) {
  const int width = codec_.StoredWidth();
  const int height = codec_.StoredHeight();
  const int first = codec_.RowsRead();
  const int count = std::min(kStripRows, height - first);
  const int orientation = codec_.Orientation();
  const bool flip = FlipsRows(orientation);
  // Upside down, the strip's rows are stored bottom-up so that it still
  // holds consecutive upright rows top-down.
  for (int i = 0; i < count; ++i) stripRows_[static_cast<std::size_t>(i)] = strip_.row(flip ? count - 1 - i : i);
  const int read = codec_.ReadRows(stripRows_.data(), count);
  if (read != count) return 0;  // ends early; finishing the reading reports why
  if (MirrorsRows(orientation))
    for (int i = 0; i < count; ++i) MirrorRow(strip_.row(i), width);
  firstRow = flip ? height - first - count : first;
  return count;
}

void ResizeJob::StretchStreamed(const ResizeSettings& settings, const StretchHooks& hooks) {
  const int width = codec_.StoredWidth();
  const int height = codec_.StoredHeight();
  SizeTarget(settings, width, height);
  strip_.Resize(width, kStripRows);
  stripRows_.resize(kStripRows);
  if (settings.UseFilter) {
    const FilterEntry& filter = FilterFor(settings.FilterIndex);
    RowStretch stretch;
    bool going = stretch.Begin(hooks, width, height, target_, filter.Function, filter.Support, scratch_);
    while (going && codec_.RowsRead() < height) {
      int firstRow = 0;
      const int count = ReadStrip(firstRow);
      if (count == 0) break;
      going = stretch.AddRows(strip_, 0, count, firstRow);
    }
    // A cancelled stretch still reads the rest, so a damaged file fails as
    // it would have before any resizing.
    codec_.FinishReading();
    stretch.Finish();
  } else {
    PlainRowStretch plain;
    plain.Begin(width, height, target_);
    while (codec_.RowsRead() < height) {
      int firstRow = 0;
      const int count = ReadStrip(firstRow);
      if (count == 0) break;
      for (int i = 0; i < count; ++i)
        if (plain.Needs(firstRow + i)) plain.AddRow(strip_.row(i), firstRow + i);
    }
    codec_.FinishReading();
  }
}

}  // namespace fotoloom
