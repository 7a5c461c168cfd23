// The per-photo work shared by the scaled-image and thumbnail writers: one decode feeding every copy.
#include "imaging/ResizeJob.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/Error.h"
#include "imaging/Orientation.h"
#include "imaging/PixelFormats.h"
#include "imaging/PlainStretch.h"
#include "imaging/WebpEncoder.h"
#include "imaging/resample_passes.h"

namespace fotoloom {

namespace {

// Rows decoded at a time: one block of the horizontal pass.
constexpr int kStripRows = kHorizontalRowBlock;

}  // namespace

std::uint64_t EstimatedWork(const std::string& path, bool otherFormats) {
  // How much longer a progressive photo takes per pixel than a baseline one.
  constexpr std::uint64_t kProgressiveFactor = 3;
  // A pipe is not opened: that would wait for its writer.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  PhotoHeader header;
  try {
    header = InspectPhoto(path, otherFormats);
  } catch (const std::exception&) {
    return 0;
  }
  const std::uint64_t pixels = static_cast<std::uint64_t>(header.Width) * static_cast<std::uint64_t>(header.Height);
  return header.Progressive ? pixels * kProgressiveFactor : pixels;
}

void ResizeJob::Run(const std::string& inputPath, const ResizeSettings& settings, const StretchHooks& hooks,
                    std::string& jpeg) {
  const CopyRequest request{&settings, hooks};
  CopyResult result;
  result.Jpeg = std::move(jpeg);  // its memory is used again
  // Decoding and encoding a large photo take far longer than a caller on
  // the GUI thread may go without OnWorking; the stretch calls it itself.
  Run(inputPath, {&request, 1}, hooks.OnWorking, {&result, 1});
  jpeg = std::move(result.Jpeg);
  if (result.Error) std::rethrow_exception(result.Error);
}

void ResizeJob::Run(const std::string& inputPath, std::span<const CopyRequest> requests,
                    const std::function<void()>& onBusy, std::span<CopyResult> results) {
  if (copies_.size() < requests.size()) copies_.resize(requests.size());
  std::vector<Copy*> copies;
  for (std::size_t k = 0; k < requests.size(); ++k) {
    results[k].Jpeg.clear();
    results[k].Webp.clear();
    results[k].Error = nullptr;
    results[k].Warnings.clear();
    results[k].Damage.clear();
    if (requests[k].Settings == nullptr) continue;
    // Each request index keeps its own working objects, so a writer's kept
    // tap lists serve the next photo of the same writer.
    if (!copies_[k]) copies_[k] = std::make_unique<Copy>();
    Copy& copy = *copies_[k];
    copy.request = &requests[k];
    copy.result = &results[k];
    copy.failed = false;
    copy.taking = false;
    copy.sizeError = nullptr;
    copies.push_back(&copy);
  }
  if (copies.empty()) return;

  const ResizeSettings& first = *copies.front()->request->Settings;
  JpegCodec& encoder = decoders_.Jpeg();
  encoder.Grayscale = first.Grayscale;
  encoder.OnBusy = onBusy;
  encoder.BusyClock = BusyClock;
  try {
    decoder_ = &decoders_.For(inputPath, first.OtherFormats);
    // Images of other formats are encoded sequentially, as the JPEG photo
    // read last would otherwise decide.
    if (decoder_ != &encoder) encoder.ForgetLoadedFile();
    decoder_->Grayscale = first.Grayscale;
    decoder_->Background = first.Background;
    decoder_->OnBusy = onBusy;
    decoder_->BusyClock = BusyClock;
    decoder_->Start(inputPath);
    ConversionFor(inputPath, copies);
    if (TurnsRows(decoder_->Orientation()))
      RunWhole(copies);
    else
      RunStreamed(copies);
  } catch (...) {
    // The file itself failed: that is the error of every copy that had not
    // failed for a reason of its own before (a size it cannot take is only
    // reported once the file proved sound).
    for (Copy* copy : copies)
      if (!copy->failed) {
        copy->result->Error = std::current_exception();
        copy->failed = true;
      }
    return;
  }
  // Only the JPEG codec decodes on through damage; the other decoders fail.
  if (decoder_ == &decoders_.Jpeg())
    for (Copy* copy : copies) copy->result->Damage = decoders_.Jpeg().Damage();
  Encode(copies);
}

const SrgbConversion& ResizeJob::ConversionFor(const std::string& inputPath, const std::vector<Copy*>& copies) {
  const ColourDescription& colour = decoder_->Colour();
  const bool grey = decoder_->GreyPixels();
  if (!(colour == conversionColour_ && grey == conversionGrey_)) {
    conversion_ = SrgbConversion::For(colour, grey);
    conversionColour_ = colour;
    conversionGrey_ = grey;
  }
  if (conversion_.Damaged() || decoder_->ProfileIgnored())
    for (Copy* copy : copies) copy->result->Warnings.push_back(DamagedProfileWarning(inputPath));
  return conversion_;
}

namespace {

// Ends a copy with the exception being handled.
template <typename CopyT>
void Fail(CopyT& copy) {
  copy.result->Error = std::current_exception();
  copy.failed = true;
  copy.taking = false;
}

}  // namespace

bool ResizeJob::SizeTarget(Copy& copy, int sourceWidth, int sourceHeight) {
  const ResizeSettings& s = *copy.request->Settings;
  const TargetSize size = s.SizeRule(sourceWidth, sourceHeight, s.MaxWidth, s.MaxHeight);
  // Refuse a size the encoder cannot take before its memory is touched.
  try {
    JpegCodec::CheckEncodableSize(size.Width, size.Height);
  } catch (...) {
    copy.sizeError = std::current_exception();
    return false;
  }
  copy.target.Resize(size.Width, size.Height);
  return true;
}

void ResizeJob::RunWhole(const std::vector<Copy*>& copies) {
  decoder_->ReadAll(source_);
  for (Copy* copy : copies) {
    if (!SizeTarget(*copy, source_.width(), source_.height())) continue;
    const ResizeSettings& s = *copy->request->Settings;
    try {
      if (s.UseFilter) {
        const FilterEntry& filter = FilterFor(s.FilterIndex);
        ResampleStretch(copy->request->Hooks, source_, copy->target, filter.Function, filter.Support, copy->scratch);
      } else {
        PlainStretch(source_, copy->target);
      }
    } catch (...) {
      Fail(*copy);
    }
  }
}

int ResizeJob::ReadStrip(int& firstRow) {
  const int width = decoder_->StoredWidth();
  const int height = decoder_->StoredHeight();
  const int first = decoder_->RowsRead();
  const int count = std::min(kStripRows, height - first);
  const int orientation = decoder_->Orientation();
  const bool flip = FlipsRows(orientation);
  // Upside down, the strip's rows are stored bottom-up so that it still
  // holds consecutive upright rows top-down.
  for (int i = 0; i < count; ++i) stripRows_[static_cast<std::size_t>(i)] = strip_.row(flip ? count - 1 - i : i);
  const int read = decoder_->ReadRows(stripRows_.data(), count);
  if (read != count) return 0;  // ends early; finishing the reading reports why
  if (MirrorsRows(orientation))
    for (int i = 0; i < count; ++i) MirrorRow(strip_.row(i), width);
  firstRow = flip ? height - first - count : first;
  return count;
}

void ResizeJob::RunStreamed(const std::vector<Copy*>& copies) {
  const int width = decoder_->StoredWidth();
  const int height = decoder_->StoredHeight();
  strip_.Resize(width, kStripRows);
  stripRows_.resize(kStripRows);
  for (Copy* copy : copies) {
    if (!SizeTarget(*copy, width, height)) continue;
    const ResizeSettings& s = *copy->request->Settings;
    try {
      if (s.UseFilter) {
        const FilterEntry& filter = FilterFor(s.FilterIndex);
        copy->taking = copy->stretch.Begin(copy->request->Hooks, width, height, copy->target, filter.Function,
                                           filter.Support, copy->scratch);
      } else {
        copy->plain.Begin(width, height, copy->target);
        copy->taking = true;
      }
    } catch (...) {
      Fail(*copy);
    }
  }
  const auto anyTaking = [&copies] {
    return std::any_of(copies.begin(), copies.end(), [](const Copy* c) { return c->taking; });
  };
  while (anyTaking() && decoder_->RowsRead() < height) {
    int firstRow = 0;
    const int count = ReadStrip(firstRow);
    if (count == 0) break;
    for (Copy* copy : copies) {
      if (!copy->taking) continue;
      try {
        if (copy->request->Settings->UseFilter) {
          copy->taking = copy->stretch.AddRows(strip_, 0, count, firstRow);
        } else {
          for (int i = 0; i < count; ++i)
            if (copy->plain.Needs(firstRow + i)) copy->plain.AddRow(strip_.row(i), firstRow + i);
        }
      } catch (...) {
        Fail(*copy);
      }
    }
  }
  // Copies whose stretch was cancelled still have the rest read, so a
  // damaged file fails as it would have before any resizing.
  decoder_->FinishReading();
  for (Copy* copy : copies) {
    if (copy->failed || copy->sizeError || !copy->request->Settings->UseFilter) continue;
    try {
      copy->stretch.Finish();
    } catch (...) {
      Fail(*copy);
    }
  }
}

void ResizeJob::Encode(const std::vector<Copy*>& copies) {
  for (Copy* copy : copies) {
    if (copy->failed) continue;
    if (copy->sizeError) {
      copy->result->Error = copy->sizeError;
      copy->failed = true;
      continue;
    }
    const ResizeSettings& s = *copy->request->Settings;
    try {
      // Into sRGB before the colours are reduced to those the format holds.
      conversion_.Apply(copy->target);
      ReduceToPixelFormat(copy->target, s.PixelFormat);
      decoders_.Jpeg().Quality = s.Quality;
      decoders_.Jpeg().Encode(copy->target, copy->result->Jpeg);
      if (s.WebP) EncodeWebp(copy->target, s.Quality, s.Grayscale, copy->result->Webp);
    } catch (...) {
      Fail(*copy);
    }
  }
}

}  // namespace fotoloom
