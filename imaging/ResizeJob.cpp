// The per-image work shared by the scaled-image and thumbnail writers.
#include "imaging/ResizeJob.h"

#include "imaging/PixelFormats.h"
#include "imaging/PlainStretch.h"

namespace fotoloom {

namespace {

constexpr int kDefaultFilterIndex = 5;  // Lanczos3

}  // namespace

const FilterEntry& FilterFor(int filterIndex) {
  const bool inTable = filterIndex >= 0 && static_cast<std::size_t>(filterIndex) < FilterTable.size();
  return FilterTable[static_cast<std::size_t>(inTable ? filterIndex : kDefaultFilterIndex)];
}

void ResizeJob::Run(const std::string& inputPath, const ResizeSettings& settings, const StretchHooks& hooks,
                    std::string& jpeg) {
  codec_.Grayscale = settings.Grayscale;
  codec_.Load(inputPath, source_);
  const TargetSize size =
      settings.SizeRule(source_.width(), source_.height(), settings.MaxWidth, settings.MaxHeight);
  // Refuse a size the encoder cannot take before its memory is touched.
  JpegCodec::CheckEncodableSize(size.Width, size.Height);
  target_.Resize(size.Width, size.Height);
  if (settings.UseFilter) {
    const FilterEntry& filter = FilterFor(settings.FilterIndex);
    ResampleStretch(hooks, source_, target_, filter.Function, filter.Support, scratch_);
  } else {
    PlainStretch(source_, target_);
  }
  ReduceToPixelFormat(target_, settings.PixelFormat);
  codec_.Quality = settings.Quality;
  codec_.Encode(target_, jpeg);
}

}  // namespace fotoloom
