// The run of one image writer over its images, on the calling thread or on worker threads.
#include "imaging/ImageWriter.h"

#include <algorithm>
#include <thread>

#include "core/PhotoFormats.h"
#include "core/TextFile.h"
#include "imaging/OutputName.h"

namespace fotoloom {

int ImageWriter::DefaultJobs() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(n);
}

ResizeSettings ImageWriter::CurrentSettings() const {
  ResizeSettings s;
  s.MaxWidth = MaxWidth;
  s.MaxHeight = MaxHeight;
  s.FilterIndex = FilterIndex;
  s.Quality = Quality;
  s.UseFilter = UseFilter;
  s.Grayscale = Grayscale;
  s.PixelFormat = PixelFormat;
  s.OtherFormats = OtherFormats;
  s.Background = Background;
  s.SizeRule = kind_.SizeRule;
  s.WebP = WebP;
  return s;
}

void ImageWriter::Warn(int index, const std::vector<std::string>& warnings) {
  if (OnWarning)
    for (const std::string& warning : warnings) OnWarning(*this, index, warning);
}

std::vector<std::string> ImageWriter::FilesToWrite() const {
  const auto count = std::clamp<std::int64_t>(ImageCount, 0, static_cast<std::int64_t>(ImageFiles.size()));
  return {ImageFiles.begin(), ImageFiles.begin() + count};
}

std::vector<std::string> ImageWriter::OutputFilesToWrite() const { return OutputFilesToWrite(kind_.Prefix); }

std::vector<std::string> ImageWriter::OutputFilesToWrite(const std::string& prefix) const {
  const std::vector<std::string> files = FilesToWrite();
  std::vector<std::string> outputs;
  outputs.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    outputs.push_back(
        ImageOutputPath(OutputPath, i < Subfolders.size() ? Subfolders[i] : std::string(), prefix, files[i]));
  return outputs;
}

void ImageWriter::WriteCopy(const std::string& jpegPath, const CopyResult& copy) {
  WriteWholeFile(jpegPath, copy.Jpeg);
  if (!copy.Webp.empty()) WriteWholeFile(WebpFileName(jpegPath), copy.Webp);
}

void ImageWriter::WriteImages() {
  // The run works on its own copy of the list and the settings, so an event
  // handler that changes the fields cannot pull them from under a worker.
  const std::vector<std::string> files = FilesToWrite();
  const std::vector<std::string> outputs = OutputFilesToWrite();
  const ResizeSettings settings = CurrentSettings();
  PhotoPipeline pipeline;
  pipeline.Count = static_cast<int>(files.size());
  pipeline.Jobs = Jobs;
  pipeline.Clock = BusyClock;
  pipeline.Cost = [&files, &settings](int index) {
    return EstimatedWork(files[static_cast<std::size_t>(index)], settings.OtherFormats);
  };
  pipeline.Make = [&](const PhotoTask& task, PhotoCopies& copies) {
    const CopyRequest request{&settings, {task.OnWorking, task.IsCancelled, kind_.CancelPhases}};
    task.Job.Run(files[static_cast<std::size_t>(task.Index)], {&request, 1}, task.OnWorking, {copies.data(), 1});
    return copies[0].Error != nullptr;
  };
  pipeline.Deliver = [&](int index, PhotoCopies& copies) {
    if (copies[0].Error) std::rethrow_exception(copies[0].Error);
    WriteCopy(outputs[static_cast<std::size_t>(index)], copies[0]);
    Warn(index, copies[0].Warnings);
    if (OnDamaged && !copies[0].Damage.empty()) OnDamaged(*this, index, copies[0].Damage);
    if (OnProgress) OnProgress(*this, index, Cancelled);
  };
  if (OnWorking) pipeline.OnWorking = [this] { OnWorking(*this, Cancelled); };
  pipeline.Run(Cancelled);
}

}  // namespace fotoloom
