// Both image stages from one decode per photo: scaled images written, thumbnails kept, then written.
#include "imaging/ImageStages.h"

#include "core/Error.h"
#include "core/ScopeExit.h"
#include "imaging/PhotoPipeline.h"

namespace fotoloom {

namespace {

// Where each copy of a photo goes in its PhotoCopies.
constexpr std::size_t kScaledCopy = 0;
constexpr std::size_t kThumbnailCopy = 1;
constexpr std::size_t kSharpCopy = 2;

// The thumbnail files of one photo as one waiting entry. The "t_" JPEG alone
// is kept as it is; with a "t2_" copy or WebP files, each of the four files
// ("t_", its WebP, "t2_", its WebP) is kept as its length in 8 bytes
// (little-endian) and its bytes.
std::string PackThumbnailFiles(CopyResult& thumb, CopyResult& sharp, bool packed) {
  if (!packed) return std::move(thumb.Jpeg);
  std::string bytes;
  for (const std::string* file : {&thumb.Jpeg, &thumb.Webp, &sharp.Jpeg, &sharp.Webp}) {
    std::uint64_t size = file->size();
    for (int i = 0; i < 8; ++i, size >>= 8) bytes.push_back(static_cast<char>(size & 0xFF));
    bytes += *file;
  }
  return bytes;
}

// The files of a waiting entry back into their copies. Raises when the
// entry is not one PackThumbnailFiles made (a spill file changed under us).
void UnpackThumbnailFiles(std::string& bytes, CopyResult& thumb, CopyResult& sharp, bool packed) {
  if (!packed) {
    thumb.Jpeg = std::move(bytes);
    return;
  }
  std::size_t at = 0;
  for (std::string* file : {&thumb.Jpeg, &thumb.Webp, &sharp.Jpeg, &sharp.Webp}) {
    if (bytes.size() - at < 8) throw Error("Waiting thumbnails were damaged");
    std::uint64_t size = 0;
    for (int i = 7; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
    at += 8;
    if (size > bytes.size() - at) throw Error("Waiting thumbnails were damaged");
    file->assign(bytes, at, static_cast<std::size_t>(size));
    at += static_cast<std::size_t>(size);
  }
}

}  // namespace

ImageStages::ImageStages(tscaling_file& scaling, tthumb_file& thumbs) : scaling_(scaling), thumbs_(thumbs) {}

PhotoNeeds ImageStages::NeedsOf(int index) const {
  return static_cast<std::size_t>(index) < Needs.size() ? Needs[static_cast<std::size_t>(index)] : PhotoNeeds{};
}

void ImageStages::Forget() {
  waiting_.Clear();
  keptFiles_.clear();
}

void ImageStages::Create_images() {
  Forget();
  // Copies of the lists and settings, so that event handlers changing the
  // writers' fields cannot pull them from under the workers.
  const std::vector<std::string> files = scaling_.FilesToWrite();
  const std::vector<std::string> outputs = scaling_.OutputFilesToWrite();
  const ResizeSettings scaled = scaling_.CurrentSettings();
  const ResizeSettings thumb = thumbs_.CurrentSettings();
  const bool sharpOn = thumbs_.SharpThumbnails;
  const ResizeSettings sharp = thumbs_.SharpSettings();
  const bool packed = sharpOn || thumb.WebP;
  const std::vector<PhotoNeeds> needs = [&] {
    std::vector<PhotoNeeds> all;
    for (int i = 0; i < static_cast<int>(files.size()); ++i) all.push_back(NeedsOf(i));
    return all;
  }();
  // One decode serves both copies only when both want it decoded alike.
  const bool along = ThumbnailsAlong && thumb.Grayscale == scaled.Grayscale;
  if (along) {
    waiting_.Begin(scaling_.OutputPath, static_cast<int>(files.size()));
    keptFiles_ = files;
    keptSettings_ = thumb;
    keptSharp_ = sharpOn;
  }
  const unsigned cancelPhases = scaling_.WriterKind().CancelPhases;

  PhotoPipeline pipeline;
  pipeline.Count = static_cast<int>(files.size());
  pipeline.Jobs = scaling_.Jobs;
  pipeline.Clock = scaling_.BusyClock;
  pipeline.Cost = [&](int index) {
    const PhotoNeeds need = needs[static_cast<std::size_t>(index)];
    return need.ScaledImage || (along && need.Thumbnail)
               ? EstimatedWork(files[static_cast<std::size_t>(index)], scaled.OtherFormats)
               : 0;
  };
  pipeline.Make = [&](const PhotoTask& task, PhotoCopies& copies) {
    const PhotoNeeds need = needs[static_cast<std::size_t>(task.Index)];
    std::array<CopyRequest, kMaxCopies> requests;
    if (need.ScaledImage) requests[kScaledCopy] = {&scaled, {task.OnWorking, task.IsCancelled, cancelPhases}};
    // The thumbnail is written only if this stage ends without a cancel, so
    // its stretch never stops for one: it must be whole when it is written.
    if (along && need.Thumbnail) requests[kThumbnailCopy] = {&thumb, {task.OnWorking, {}, 0}};
    if (along && need.Thumbnail && sharpOn) requests[kSharpCopy] = {&sharp, {task.OnWorking, {}, 0}};
    task.Job.Run(files[static_cast<std::size_t>(task.Index)], requests, task.OnWorking, copies);
    return copies[kScaledCopy].Error != nullptr;
  };
  pipeline.Deliver = [&](int index, PhotoCopies& copies) {
    const PhotoNeeds need = needs[static_cast<std::size_t>(index)];
    if (need.ScaledImage) {
      if (copies[kScaledCopy].Error) std::rethrow_exception(copies[kScaledCopy].Error);
      ImageWriter::WriteCopy(outputs[static_cast<std::size_t>(index)], copies[kScaledCopy]);
      scaling_.Warn(index, copies[kScaledCopy].Warnings);
    } else if (along && need.Thumbnail) {
      // The photo was read for its thumbnail alone.
      scaling_.Warn(index, copies[kThumbnailCopy].Warnings);
    }
    // Both copies come from one decode: either tells what the photo lacks.
    const std::string damage = need.ScaledImage ? copies[kScaledCopy].Damage : copies[kThumbnailCopy].Damage;
    if (along && need.Thumbnail) {
      CopyResult& t = copies[kThumbnailCopy];
      CopyResult& t2 = copies[kSharpCopy];
      if (t.Error)
        waiting_.KeepError(index, t.Error);
      else if (sharpOn && t2.Error)
        waiting_.KeepError(index, t2.Error);
      else
        waiting_.Keep(index, PackThumbnailFiles(t, t2, packed));
    }
    if (!damage.empty() && scaling_.OnDamaged) scaling_.OnDamaged(scaling_, index, damage);
    if (scaling_.OnProgress) scaling_.OnProgress(scaling_, index, scaling_.Cancelled);
  };
  if (scaling_.OnWorking) pipeline.OnWorking = [this] { scaling_.OnWorking(scaling_, scaling_.Cancelled); };
  pipeline.Run(scaling_.Cancelled);
}

void ImageStages::Create_thumbnails() {
  // The kept thumbnails go on every way out of this stage.
  const ScopeExit forget([this] { Forget(); });

  const std::vector<std::string> files = thumbs_.FilesToWrite();
  const std::vector<std::string> outputs = thumbs_.OutputFilesToWrite();
  const ResizeSettings thumb = thumbs_.CurrentSettings();
  const bool sharpOn = thumbs_.SharpThumbnails;
  const std::vector<std::string> sharpOutputs =
      sharpOn ? thumbs_.OutputFilesToWrite(kSharpThumbnailPrefix) : std::vector<std::string>();
  const ResizeSettings sharp = thumbs_.SharpSettings();
  const bool packed = sharpOn || thumb.WebP;
  const bool sameSettings = !keptFiles_.empty() && keptSettings_ == thumb && keptSharp_ == sharpOn;
  // Decided before any worker starts, so that workers never look at the store.
  std::vector<PhotoNeeds> needs;
  std::vector<bool> waiting;
  bool anyToMake = false;
  for (std::size_t i = 0; i < files.size(); ++i) {
    needs.push_back(NeedsOf(static_cast<int>(i)));
    waiting.push_back(sameSettings && i < keptFiles_.size() && keptFiles_[i] == files[i] &&
                      waiting_.Holds(static_cast<int>(i)));
    anyToMake = anyToMake || (needs.back().Thumbnail && !waiting.back());
  }
  const unsigned cancelPhases = thumbs_.WriterKind().CancelPhases;

  PhotoPipeline pipeline;
  pipeline.Count = static_cast<int>(files.size());
  // Writing kept thumbnails needs no worker.
  pipeline.Jobs = anyToMake ? thumbs_.Jobs : 1;
  pipeline.Clock = thumbs_.BusyClock;
  pipeline.Cost = [&](int index) {
    const std::size_t i = static_cast<std::size_t>(index);
    return needs[i].Thumbnail && !waiting[i] ? EstimatedWork(files[i], thumb.OtherFormats) : 0;
  };
  pipeline.Make = [&](const PhotoTask& task, PhotoCopies& copies) {
    const std::size_t i = static_cast<std::size_t>(task.Index);
    if (!needs[i].Thumbnail || waiting[i]) return false;
    const std::array<CopyRequest, 2> requests{CopyRequest{&thumb, {task.OnWorking, task.IsCancelled, cancelPhases}},
                                              CopyRequest{&sharp, {task.OnWorking, task.IsCancelled, cancelPhases}}};
    const std::size_t count = sharpOn ? 2 : 1;
    task.Job.Run(files[i], {requests.data(), count}, task.OnWorking, {copies.data(), count});
    return copies[0].Error != nullptr || (sharpOn && copies[1].Error != nullptr);
  };
  pipeline.Deliver = [&](int index, PhotoCopies& copies) {
    const std::size_t i = static_cast<std::size_t>(index);
    if (needs[i].Thumbnail) {
      if (waiting[i]) {
        std::string bytes;
        waiting_.Take(index, bytes);
        UnpackThumbnailFiles(bytes, copies[0], copies[1], packed);
      } else {
        if (copies[0].Error) std::rethrow_exception(copies[0].Error);
        if (sharpOn && copies[1].Error) std::rethrow_exception(copies[1].Error);
      }
      ImageWriter::WriteCopy(outputs[i], copies[0]);
      if (sharpOn) ImageWriter::WriteCopy(sharpOutputs[i], copies[1]);
      thumbs_.Warn(index, copies[0].Warnings);
      // A thumbnail made here was decoded here; a kept one was told of already.
      if (!waiting[i] && !copies[0].Damage.empty() && thumbs_.OnDamaged)
        thumbs_.OnDamaged(thumbs_, index, copies[0].Damage);
    }
    if (thumbs_.OnProgress) thumbs_.OnProgress(thumbs_, index, thumbs_.Cancelled);
  };
  if (thumbs_.OnWorking) pipeline.OnWorking = [this] { thumbs_.OnWorking(thumbs_, thumbs_.Cancelled); };
  pipeline.Run(thumbs_.Cancelled);
}

}  // namespace fotoloom
