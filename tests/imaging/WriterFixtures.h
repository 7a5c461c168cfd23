// Running the image writers in tests and recording what they reported.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "JpegFixtures.h"
#include "core/Error.h"
#include "imaging/ImageWriter.h"
#include "support/TempDir.h"

namespace fotoloom::test {

// What one run of a writer reported.
struct RunRecord {
  std::vector<int> progress;  // the indexes OnProgress received, in order
  int working = 0;            // OnWorking calls
  bool offThread = false;     // an event arrived on a thread other than the caller's
  std::string error;          // the message of the error raised, or ""
};

// Runs operation on writer, recording its events; onProgress and onWorking,
// when given, run inside the events and may set the cancel flag.
inline RunRecord RunWriter(ImageWriter& writer, const std::function<void()>& operation,
                           std::function<void(int, bool&)> onProgress = {},
                           std::function<void(int, bool&)> onWorking = {}) {
  RunRecord record;
  const std::thread::id caller = std::this_thread::get_id();
  writer.OnProgress = [&](ImageWriter&, int index, bool& cancelled) {
    if (std::this_thread::get_id() != caller) record.offThread = true;
    record.progress.push_back(index);
    if (onProgress) onProgress(index, cancelled);
  };
  writer.OnWorking = [&](ImageWriter&, bool& cancelled) {
    if (std::this_thread::get_id() != caller) record.offThread = true;
    ++record.working;
    if (onWorking) onWorking(record.working, cancelled);
  };
  try {
    operation();
  } catch (const Error& e) {
    record.error = e.what();
  }
  writer.OnProgress = nullptr;
  writer.OnWorking = nullptr;
  return record;
}

inline std::vector<int> Indexes(int from, int to) {
  std::vector<int> v;
  for (int i = from; i < to; ++i) v.push_back(i);
  return v;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// n small photos named p0.jpg ... in the folder, of varied sizes and kinds.
inline std::vector<std::string> Photos(const TempDir& in, int n) {
  std::vector<std::string> files;
  for (int i = 0; i < n; ++i) {
    const int w = 300 + 97 * (i % 5);
    const int h = 200 + 131 * (i % 3);
    files.push_back(in / ("p" + std::to_string(i) + ".jpg"));
    const Image image = test::MakeImage(w, h, [i](int x, int y) {
      return test::Rgb{static_cast<std::uint8_t>(x + i * 10), static_cast<std::uint8_t>(y * 2),
                       static_cast<std::uint8_t>((x ^ y) & 0xFF)};
    });
    test::WriteJpeg(files.back(), image,
                    {.progressive = i % 3 == 1, .grey = i % 4 == 3, .orientation = i % 5 == 2 ? 6 : 0});
  }
  return files;
}

inline void Configure(ImageWriter& w, const std::vector<std::string>& files, const std::string& out, int jobs) {
  w.ImageFiles = files;
  w.ImageCount = static_cast<int>(files.size());
  w.OutputPath = out;
  w.MaxWidth = 320;
  w.MaxHeight = 240;
  w.Quality = 80;
  w.FilterIndex = 5;
  w.Jobs = jobs;
}

inline std::vector<std::string> Written(const TempDir& out, const char* prefix, int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) {
    const std::string name = prefix + ("p" + std::to_string(i) + ".jpg");
    if (Exists(out / name)) names.push_back(name);
  }
  return names;
}

inline std::vector<std::string> Names(const char* prefix, int from, int to) {
  std::vector<std::string> names;
  for (int i = from; i < to; ++i) names.push_back(prefix + ("p" + std::to_string(i) + ".jpg"));
  return names;
}

// A photo that arrives through a named pipe only when the test releases it,
// so the job reading it waits as long as the test wants.
class HeldPhoto {
 public:
  HeldPhoto(const std::string& pipe, const std::string& jpeg) : pipe_(pipe), jpeg_(jpeg) {
    if (::mkfifo(pipe_.c_str(), 0600) != 0) ADD_FAILURE() << "cannot make the pipe " << pipe_;
    feeder_ = std::thread([this] { Feed(); });
  }
  ~HeldPhoto() {
    ending_ = true;
    Release();
    feeder_.join();
  }
  HeldPhoto(const HeldPhoto&) = delete;
  HeldPhoto& operator=(const HeldPhoto&) = delete;
  void Release() {
    if (!released_) release_.set_value();
    released_ = true;
  }

 private:
  void Feed() {
    release_.get_future().wait();
    // Waits for the job to open the pipe, unless the test ends without it.
    int fd;
    while ((fd = ::open(pipe_.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
      if (errno != ENXIO || ending_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::fcntl(fd, F_SETFL, 0);
    for (std::size_t done = 0; done < jpeg_.size();) {
      const ssize_t n = ::write(fd, jpeg_.data() + done, jpeg_.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::close(fd);
  }

  std::string pipe_;
  std::string jpeg_;
  std::promise<void> release_;
  bool released_ = false;
  std::atomic<bool> ending_{false};
  std::thread feeder_;
};

}  // namespace fotoloom::test
