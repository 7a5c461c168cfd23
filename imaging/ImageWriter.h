// What the scaled-image and thumbnail writers share: their fields and their run over the images.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Cancellable.h"
#include "imaging/PhotoPipeline.h"
#include "imaging/ResizeJob.h"

namespace fotoloom {

// The common part of tscaling_file and tthumb_file. For each of the first
// ImageCount entries of ImageFiles it writes the resized copy named prefix +
// input name into OutputPath (or its subfolder), then fires OnProgress.
// With Jobs above 1 the images are worked on by that many threads while the
// calling thread writes the files and fires the events in index order; the
// files are byte for byte those of Jobs = 1. ImageStages drives two writers
// from one decode per photo.
class ImageWriter : public Cancellable {
 public:
  using ProgressEvent = std::function<void(ImageWriter& sender, int index, bool& cancelled)>;
  using WorkingEvent = std::function<void(ImageWriter& sender, bool& cancelled)>;
  using WarningEvent = std::function<void(ImageWriter& sender, int index, const std::string& warning)>;
  using DamagedEvent = std::function<void(ImageWriter& sender, int index, const std::string& damage)>;

  // What makes the scaled-image writer and the thumbnail writer differ.
  struct Kind {
    const char* Prefix;  // "n_" or "t_"
    TargetSize (*SizeRule)(int width, int height, int maxWidth, int maxHeight);
    unsigned CancelPhases;  // where the filtered stretch honours a cancel
  };

  std::vector<std::string> ImageFiles;
  std::string OutputPath;
  // The folder below OutputPath that receives each image's file, by index
  // in ImageFiles ("2024/Rome"); an image past its end, or with "", has its
  // file in OutputPath itself.
  std::vector<std::string> Subfolders;
  ProgressEvent OnProgress;  // after each image's file is written, in index order
  WorkingEvent OnWorking;    // while busy, on the calling thread only
  // What the user should hear of an image that was still written (a colour
  // profile ignored), before its OnProgress, on the calling thread only.
  WarningEvent OnWarning;
  // A photo decoded with warnings (JpegCodec::Damage says what it lacks):
  // fired on the calling thread after its file is written, before its OnProgress.
  DamagedEvent OnDamaged;
  std::int32_t MaxWidth = 0;
  std::int32_t MaxHeight = 0;
  std::int32_t FilterIndex = 0;  // outside 0..6: Lanczos3
  std::uint8_t Quality = 0;
  std::int32_t ImageCount = 0;  // clipped to 0..ImageFiles.size()
  bool UseFilter = false;
  bool Grayscale = false;
  std::uint8_t PixelFormat = 0;  // outside 0..7: Device
  // Photos are decoded by their content, HEIF, PNG and WebP besides JPEG
  // (ResizeSettings::OtherFormats); off, every photo is decoded as JPEG.
  bool OtherFormats = false;
  // The colour (red, green, blue) transparent pixels are laid on.
  std::array<std::uint8_t, 3> Background{255, 255, 255};
  // Each image is also written as WebP, from the same pixels at Quality,
  // under its name + ".webp" (WebpFileName), right after its JPEG file.
  bool WebP = false;
  // Images worked on at once; 1 works on the calling thread only.
  int Jobs = DefaultJobs();
  // The clock OnWorking's interval is measured on while the writer waits or
  // decodes; empty means the steady clock. Tests set their own.
  BusyClockFunction BusyClock;

  virtual ~ImageWriter() = default;

  // The number of hardware threads, at least 1.
  static int DefaultJobs();

  const Kind& WriterKind() const { return kind_; }
  // How every image is resized, from the fields as they are now.
  ResizeSettings CurrentSettings() const;
  // The images a run works on, from the fields as they are now: the first
  // ImageCount entries of ImageFiles.
  std::vector<std::string> FilesToWrite() const;
  // The output files of FilesToWrite(), in its order, each in its entry of
  // Subfolders (ImageOutputPath), named with the writer's prefix or with prefix.
  std::vector<std::string> OutputFilesToWrite() const;
  std::vector<std::string> OutputFilesToWrite(const std::string& prefix) const;
  // Writes the files of one copy of an image: the JPEG file at jpegPath, then
  // the WebP file beside it (WebpFileName) when the copy has one.
  static void WriteCopy(const std::string& jpegPath, const CopyResult& copy);
  // Fires OnWarning for each warning of image index.
  void Warn(int index, const std::vector<std::string>& warnings);

 protected:
  // Owns its cancel flag, or reads cancelled, a run's.
  explicit ImageWriter(const Kind& kind) : kind_(kind) {}
  ImageWriter(const Kind& kind, bool& cancelled) : Cancellable(cancelled), kind_(kind) {}

  // For each of the images it decodes the JPEG file, resizes it, encodes it
  // and writes prefix + input name into OutputPath, then fires OnProgress.
  // Any error ends the run after the images before the failing one have been
  // written and reported. A cancel (Cancelled found set after OnProgress, or
  // set through OnWorking) starts no further image; images already started
  // are still finished, and written and reported in order up to the first
  // one that was not started, even when their stretch was cut short.
  void WriteImages();

 private:
  Kind kind_;
};

}  // namespace fotoloom
