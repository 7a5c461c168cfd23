// Photos worked on by several threads and handed on in gallery order on the calling thread.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "imaging/ResizeJob.h"

namespace fotoloom {

// The clock a run measures its busy intervals on; empty means the steady clock.
using BusyClockFunction = std::function<std::chrono::steady_clock::time_point()>;

// The copies one photo gave: at most a scaled image, a thumbnail and a
// thumbnail of twice its size.
constexpr std::size_t kMaxCopies = 3;
using PhotoCopies = std::array<CopyResult, kMaxCopies>;

// One photo to work on, and what the thread working on it may call.
struct PhotoTask {
  ResizeJob& Job;  // the thread's own working objects
  int Index;
  // The writer's OnWorking on the calling thread; empty on a worker thread,
  // which must never call the writer's events.
  std::function<void()> OnWorking;
  // Whether the run is cancelled, as this thread may ask.
  std::function<bool()> IsCancelled;
};

// A run over photos 0 .. Count-1. With one job the calling thread makes
// each photo and hands it on before the next. With more, that many worker
// threads make the photos, up to 16 photos per job ahead of the oldest one
// not yet handed on and while the copies finished ahead hold less than
// 32 MiB, while the calling thread hands them on in index order and fires
// OnWorking about every 10 ms of Clock while it waits; what it hands on is
// the same either way. A free worker starts the photo the calling thread
// waits for when nobody has started it, and otherwise the costliest photo
// ahead (by Cost), so that no large photo is left to be made alone at the
// end while the other workers have nothing to do. After each Deliver and
// OnWorking the run reads the cancel flag: once set, no further photo is
// started, and the photos already started are still made and handed on in
// order up to the first one that was not. When the cancel came from an
// OnWorking while the calling thread waited for a photo that no worker had
// started yet, that photo is made on the calling thread, cut short as a
// cancelled stretch is, and handed on last: a run on one thread would have
// been making it.
struct PhotoPipeline {
  int Count = 0;
  int Jobs = 1;
  // An estimate of the work photo index takes, comparable between photos;
  // empty: all alike, taken in index order. Called on worker threads, about
  // once per photo, and must not raise.
  std::function<std::uint64_t(int index)> Cost;
  // Makes the photo's copies. Runs on a worker thread or the calling thread
  // and must not raise: errors go into the copies. Returns true when no later
  // photo is wanted (the copies hold the error that ends the run).
  std::function<bool(const PhotoTask& task, PhotoCopies& copies)> Make;
  // Takes the photo's copies on the calling thread, in index order: writes
  // its files and fires its progress event. An exception ends the run after
  // the photos still being made are finished and dropped.
  std::function<void(int index, PhotoCopies& copies)> Deliver;
  std::function<void()> OnWorking;
  BusyClockFunction Clock;

  // Runs with cancelled as the writer's cancel flag. A flag already set lets
  // exactly photo 0 through.
  void Run(bool& cancelled) const;

 private:
  void RunOnCaller(bool& cancelled) const;
  void RunInParallel(bool& cancelled, int jobs) const;
};

}  // namespace fotoloom
