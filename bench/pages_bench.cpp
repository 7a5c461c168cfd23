// Page generation speed: all pages of a 100-image and a 10,000-image gallery, time per page and peak memory.
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/DefaultTemplates.h"
#include "pages/Un_image.h"

namespace {

using Clock = std::chrono::steady_clock;

long PeakRssKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; }

// CPU time of this process so far, in user space (rendering) and in the kernel (the file system).
std::pair<double, double> CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return {Seconds(usage.ru_utime), Seconds(usage.ru_stime)};
}

struct Result {
  int pages = 0;
  double seconds = 0;  // wall clock
  double user = 0;     // CPU in user space
  double system = 0;   // CPU in the kernel
};

// Writes every page of a gallery of `images` photos (3 x 4 grid, default
// templates) into folder and returns the number of pages and the time taken.
Result WriteGallery(const std::string& folder, int images) {
  std::vector<std::string> files;
  files.reserve(static_cast<std::size_t>(images));
  for (int i = 1; i <= images; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "/home/user/Pictures/Holiday 2024/IMG_%05d.JPG", i);
    files.emplace_back(name);
  }
  fotoloom::timage_page pages;
  pages.SetImageFiles(files);
  pages.SetHTMLThumbnails(fotoloom::DefaultThumbnailTemplate());
  pages.SetHTMLImages(fotoloom::DefaultImageTemplate());
  pages.OutputPath = folder;
  pages.Title = "Holiday 2024";
  pages.ThumbPagesName = "page";
  pages.ImagePagesName = "image";
  pages.WebSiteExtension = ".htm";
  pages.ImageCount = images;
  pages.RowsCount = 3;
  pages.ColsCount = 4;
  pages.SubtitleIndex = 2;
  pages.BackgroundColor = fotoloom::kClWindow;
  pages.TextColor = fotoloom::kClBlack;
  pages.LinkColor = fotoloom::kClBlue;
  pages.VisitedLinkColor = fotoloom::kClPurple;
  int reports = 0;
  pages.OnProgress = [&reports](fotoloom::timage_page&, int, int, bool&) { ++reports; };
  const auto cpuStart = CpuSeconds();
  const auto start = Clock::now();
  pages.Create_pages();
  const auto end = Clock::now();
  const auto cpuEnd = CpuSeconds();
  const int thumbPages = (images + 11) / 12;
  return {images + thumbPages, std::chrono::duration<double>(end - start).count(), cpuEnd.first - cpuStart.first,
          cpuEnd.second - cpuStart.second};
}

// The fastest of `runs` runs, each into a fresh folder. The folders are
// removed only at the end: on ext4, creating files right after many were
// deleted makes the inode allocator skip the recently freed ones, which
// would time the file system's housekeeping instead of the page writer.
Result Best(const std::string& root, int images, int runs) {
  Result best;
  for (int r = 0; r < runs; ++r) {
    const std::string folder = root + "/g" + std::to_string(images) + "_" + std::to_string(r);
    std::filesystem::create_directory(folder);
    const Result result = WriteGallery(folder, images);
    if (r == 0 || result.seconds < best.seconds) best = result;
  }
  return best;
}

void Print(int images, const Result& r, long rss) {
  std::printf("%6d img %7d %9.4f %9.0f %9.1f %9.4f %9.4f %7ld KiB\n", images, r.pages, r.seconds, r.pages / r.seconds,
              r.seconds * 1e6 / r.pages, r.user, r.system, rss);
}

}  // namespace

// pages_bench [images [folder]]: 10,000 images into a new folder under the
// temporary folder ($TMPDIR or /tmp) unless told otherwise.
int main(int argc, char** argv) {
  const int large = argc > 1 ? std::atoi(argv[1]) : 10000;
  const std::filesystem::path base = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  std::string root = (base / "fotoloom-bench-XXXXXX").string();
  if (::mkdtemp(root.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const Result small = Best(root, 100, 20);
  const long rssSmall = PeakRssKiB();
  const Result big = Best(root, large, 3);
  const long rssBig = PeakRssKiB();
  std::filesystem::remove_all(root);

  std::printf("pages of a 3 x 4 gallery, default templates, into %s (best run)\n", base.c_str());
  std::printf("gallery      pages   seconds   pages/s   us/page  user CPU   sys CPU   peak RSS\n");
  Print(100, small, rssSmall);
  Print(large, big, rssBig);
  std::printf("time per page at %d images / at 100 images: %.2f\n", large,
              (big.seconds / big.pages) / (small.seconds / small.pages));
  return 0;
}
