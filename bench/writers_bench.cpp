// Times the scaled-image and thumbnail writers over a folder of photos, or the floor they cannot beat.
//
// Usage: writers_bench floor DIR
//        writers_bench floor1 DIR
//        writers_bench writers DIR OUT_DIR FILTER(0|1) JOBS
//        writers_bench stages DIR OUT_DIR FILTER(0|1) JOBS
// "floor" decodes every photo twice at full size and encodes the two outputs
// (800 x 600 and 160 thumbnails at quality 90), which is the least a writer
// pair that decodes each photo once per output must do; "floor1" decodes
// each photo once, the least any writer pair must do. "writers" runs
// tscaling_file and then tthumb_file on their own with the default
// settings, each decoding every photo; "stages" runs them as the generation
// run does, through ImageStages, from one decode per photo. Each prints one line: wall seconds, images, the
// process's peak resident memory in MiB and its processor seconds. Run it once per configuration, so the
// peak belongs to that configuration alone (bench/run_writers.sh does).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/HeapReuse.h"
#include "imaging/ImageStages.h"
#include "imaging/JpegCodec.h"
#include "imaging/PlainStretch.h"
#include "imaging/TargetSize.h"
#include "imaging/Un_Scaling_File.h"
#include "imaging/Un_Thumb_File.h"

namespace {

using fotoloom::Image;
using fotoloom::JpegCodec;
using Clock = std::chrono::steady_clock;

std::vector<std::string> Photos(const std::string& dir) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == ".jpg") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

double PeakMiB() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

// Processor time of the whole process (all threads), in seconds: on a
// shared machine it moves less than the wall clock.
double CpuSeconds() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return s(usage.ru_utime) + s(usage.ru_stime);
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

int Floor(const std::vector<std::string>& files, int decodes) {
  JpegCodec codec;
  Image source;
  Image scaled;
  Image thumb;
  std::string jpeg;
  double total = 0;
  for (const std::string& file : files) {
    // One full-size decode for each output, or one for both.
    auto start = Clock::now();
    for (int d = 0; d < decodes; ++d) codec.Load(file, source);
    total += Seconds(start);
    // The outputs' pixels, made outside the timing: the floor counts only their encoding.
    const auto s = fotoloom::ScaledImageSize(source.width(), source.height(), 800, 600);
    const auto t = fotoloom::ThumbnailSize(source.width(), source.height(), 160, 160);
    scaled.Resize(s.Width, s.Height);
    thumb.Resize(t.Width, t.Height);
    fotoloom::PlainStretch(source, scaled);
    fotoloom::PlainStretch(source, thumb);
    codec.Quality = 90;
    start = Clock::now();
    codec.Encode(scaled, jpeg);
    codec.Encode(thumb, jpeg);
    total += Seconds(start);
  }
  std::printf("%.3f s %zu images %.0f MiB %.3f cpu-s\n", total, files.size(), PeakMiB(), CpuSeconds());
  return 0;
}

int Writers(const std::vector<std::string>& files, const std::string& out, bool filter, int jobs, bool fused) {
  std::filesystem::create_directories(out);
  fotoloom::tscaling_file scaling;
  fotoloom::tthumb_file thumbs;
  fotoloom::ImageWriter* writers[] = {&scaling, &thumbs};
  for (fotoloom::ImageWriter* w : writers) {
    w->ImageFiles = files;
    w->ImageCount = static_cast<int>(files.size());
    w->OutputPath = out;
    w->Quality = 90;
    w->FilterIndex = 5;
    w->UseFilter = filter;
    w->Jobs = jobs;
    w->OnWorking = [](fotoloom::ImageWriter&, bool&) {};  // as the GUI has one
  }
  scaling.MaxWidth = 800;
  scaling.MaxHeight = 600;
  thumbs.MaxWidth = 160;
  thumbs.MaxHeight = 160;
  fotoloom::ImageStages stages(scaling, thumbs);
  const auto start = Clock::now();
  if (fused) {
    stages.Create_images();
    stages.Create_thumbnails();
  } else {
    scaling.Create_images();
    thumbs.Create_thumbnails();
  }
  std::printf("%.3f s %zu images %.0f MiB %.3f cpu-s\n", Seconds(start), files.size(), PeakMiB(), CpuSeconds());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The same heap policy as the programs, so the floors are measured alike.
  fotoloom::KeepFreedMemoryForNextPhoto();
  if (argc == 3 && std::strcmp(argv[1], "floor") == 0) return Floor(Photos(argv[2]), 2);
  if (argc == 3 && std::strcmp(argv[1], "floor1") == 0) return Floor(Photos(argv[2]), 1);
  const bool writers = argc == 6 && std::strcmp(argv[1], "writers") == 0;
  if (writers || (argc == 6 && std::strcmp(argv[1], "stages") == 0))
    return Writers(Photos(argv[2]), argv[3], std::atoi(argv[4]) != 0, std::atoi(argv[5]), !writers);
  std::fprintf(stderr, "usage: writers_bench floor|floor1 DIR | writers|stages DIR OUT_DIR FILTER(0|1) JOBS\n");
  return 2;
}
