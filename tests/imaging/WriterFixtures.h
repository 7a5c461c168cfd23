// Running the image writers in tests and recording what they reported.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "JpegFixtures.h"
#include "core/Error.h"
#include "imaging/ImageWriter.h"

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

}  // namespace fotoloom::test
