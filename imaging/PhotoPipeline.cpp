// The run over photos on the calling thread or on worker threads, handed on in order.
#include "imaging/PhotoPipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace fotoloom {

namespace {

using SteadyClock = std::chrono::steady_clock;

// How often the waiting calling thread fires OnWorking: well inside the
// 20 ms a user starts to notice.
constexpr std::chrono::milliseconds kWorkingInterval{10};

// Photos a worker may finish ahead of the oldest one not yet handed on, per
// job. Finished photos wait as encoded files of a few hundred kilobytes, so
// this bounds memory while letting one large photo be overtaken by the small
// ones after it: a 24-megapixel progressive file takes as long as a dozen
// ordinary photos, and a smaller window leaves the other cores idle.
constexpr int kLookaheadPerJob = 16;

// Encoded bytes finished photos may hold while they wait to be handed on.
// The default sizes never come near it; outputs of several megabytes each
// would otherwise let the look-ahead hold hundreds of megabytes.
constexpr std::size_t kLookaheadBytes = std::size_t{32} << 20;

std::size_t BytesOf(const PhotoCopies& copies) {
  std::size_t bytes = 0;
  for (const CopyResult& copy : copies) bytes += copy.Jpeg.size() + copy.Webp.size();
  return bytes;
}

// One photo's outcome, handed from a worker thread to the calling thread.
struct Outcome {
  bool done = false;
  PhotoCopies copies;
};

// State shared by the calling thread and the worker threads; every field
// but cancelled is guarded by mutex.
struct Shared {
  enum class Estimate : std::uint8_t { None, Making, Known };

  std::mutex mutex;
  std::condition_variable workAvailable;  // a worker may start a photo
  std::condition_variable outcomeReady;   // a photo is finished
  int count = 0;
  int lowest = 0;  // the lowest photo not started
  int limit = 0;   // no photo from here on is started: one before it ends the run
  int handed = 0;  // photos handed on so far
  int lookahead = 0;
  std::size_t waitingBytes = 0;  // encoded bytes of the finished photos not yet handed on
  bool stop = false;             // start no further photo
  std::vector<bool> started;
  std::vector<Estimate> estimated;
  std::vector<std::uint64_t> cost;
  std::vector<Outcome> outcomes;
  std::atomic<bool> cancelled{false};  // the writer's flag, as the stretches see it

  // A worker may start photos from the lowest not started to the end of the
  // look-ahead window.
  int WindowEnd() const { return std::min({limit, count, handed + lookahead}); }
  // With nothing ahead of the oldest photo not handed on nothing waits, so
  // the byte bound never keeps that photo from being started.
  bool CanStart() const { return lowest < WindowEnd() && (lowest == handed || waitingBytes < kLookaheadBytes); }
  // The photo the calling thread waits for if nobody makes it yet, else the
  // costliest one in the window (the lowest of equals).
  int Pick() const {
    if (lowest == handed) return lowest;
    int best = lowest;
    for (int i = lowest + 1; i < WindowEnd(); ++i)
      if (!started[static_cast<std::size_t>(i)] &&
          cost[static_cast<std::size_t>(i)] > cost[static_cast<std::size_t>(best)])
        best = i;
    return best;
  }
  void Start(int index) {
    started[static_cast<std::size_t>(index)] = true;
    while (lowest < count && started[static_cast<std::size_t>(lowest)]) ++lowest;
  }
};

// Estimates the photos of the window whose cost is not known yet, one at a
// time and outside the lock: reading a header may take a while.
void EstimateWindow(Shared& s, const PhotoPipeline& pipeline) {
  if (!pipeline.Cost) return;
  for (;;) {
    int index = -1;
    {
      std::lock_guard lock(s.mutex);
      for (int i = s.lowest; i < s.WindowEnd() && index < 0; ++i)
        if (!s.started[static_cast<std::size_t>(i)] &&
            s.estimated[static_cast<std::size_t>(i)] == Shared::Estimate::None)
          index = i;
      if (index < 0) return;
      s.estimated[static_cast<std::size_t>(index)] = Shared::Estimate::Making;
    }
    const std::uint64_t cost = pipeline.Cost(index);
    std::lock_guard lock(s.mutex);
    s.cost[static_cast<std::size_t>(index)] = cost;
    s.estimated[static_cast<std::size_t>(index)] = Shared::Estimate::Known;
  }
}

void WorkerLoop(Shared& s, const PhotoPipeline& pipeline, const BusyClockFunction& clock) {
  ResizeJob job;
  job.BusyClock = clock;
  const std::function<bool()> isCancelled = [&s] { return s.cancelled.load(std::memory_order_relaxed); };
  for (;;) {
    EstimateWindow(s, pipeline);
    int index;
    {
      std::unique_lock lock(s.mutex);
      s.workAvailable.wait(lock, [&s] { return s.stop || s.lowest >= s.limit || s.CanStart(); });
      if (s.stop || s.lowest >= s.limit) return;
      index = s.Pick();
      s.Start(index);
    }
    Outcome outcome;
    const bool last = pipeline.Make(PhotoTask{job, index, {}, isCancelled}, outcome.copies);
    {
      std::lock_guard lock(s.mutex);
      outcome.done = true;
      // Photos after one that ends the run are never handed on; those before
      // it still are, so they are still started.
      if (last) s.limit = std::min(s.limit, index + 1);
      s.waitingBytes += BytesOf(outcome.copies);
      s.outcomes[static_cast<std::size_t>(index)] = std::move(outcome);
    }
    s.outcomeReady.notify_one();
    if (last) s.workAvailable.notify_all();
  }
}

// Stops the workers and waits for them on every way out of the run.
class WorkerThreads {
 public:
  explicit WorkerThreads(Shared& s) : s_(s) {}
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;
  ~WorkerThreads() {
    {
      std::lock_guard lock(s_.mutex);
      s_.stop = true;
    }
    s_.workAvailable.notify_all();
    for (std::thread& t : threads_) t.join();
  }
  void Add(std::thread t) { threads_.push_back(std::move(t)); }

 private:
  Shared& s_;
  std::vector<std::thread> threads_;
};

}  // namespace

void PhotoPipeline::Run(bool& cancelled) const {
  if (Count <= 0) return;
  const int jobs = std::min(std::max(Jobs, 1), Count);
  // A flag already set before the start lets exactly one photo through, as
  // the loop on the calling thread does; that needs no threads.
  if (jobs == 1 || cancelled)
    RunOnCaller(cancelled);
  else
    RunInParallel(cancelled, jobs);
}

void PhotoPipeline::RunOnCaller(bool& cancelled) const {
  ResizeJob job;
  job.BusyClock = Clock;
  const std::function<bool()> isCancelled = [&cancelled] { return cancelled; };
  PhotoCopies copies;
  for (int i = 0; i < Count; ++i) {
    Make(PhotoTask{job, i, OnWorking, isCancelled}, copies);
    Deliver(i, copies);
    if (cancelled) return;
  }
}

void PhotoPipeline::RunInParallel(bool& cancelled, int jobs) const {
  Shared s;
  s.count = Count;
  s.limit = Count;
  s.lookahead = jobs * kLookaheadPerJob;
  s.started.assign(static_cast<std::size_t>(Count), false);
  s.estimated.assign(static_cast<std::size_t>(Count), Shared::Estimate::None);
  s.cost.assign(static_cast<std::size_t>(Count), 0);
  s.outcomes.resize(static_cast<std::size_t>(Count));
  s.cancelled = cancelled;

  // Called on this thread after each event: a cancel reaches the stretches
  // at once and stops new photos from starting.
  auto noteCancel = [&] {
    if (!cancelled) return;
    s.cancelled = true;
    {
      std::lock_guard lock(s.mutex);
      s.stop = true;
    }
    s.workAvailable.notify_all();
  };

  const BusyClockFunction now = Clock ? Clock : BusyClockFunction(SteadyClock::now);
  // Counted from before any work starts, and from the start of each call,
  // so that work done meanwhile never delays the next call.
  SteadyClock::time_point nextWorking = now() + kWorkingInterval;
  WorkerThreads threads(s);
  for (int j = 0; j < jobs; ++j) threads.Add(std::thread(WorkerLoop, std::ref(s), std::cref(*this), std::cref(Clock)));

  for (int i = 0; i < Count; ++i) {
    Outcome outcome;
    bool cancelledWhileWaiting = false;  // the cancel came from an OnWorking while waiting for photo i
    bool cutShort = false;               // photo i is made here after that cancel: the last one handed on
    {
      std::unique_lock lock(s.mutex);
      for (;;) {
        Outcome& slot = s.outcomes[static_cast<std::size_t>(i)];
        if (slot.done) {
          outcome = std::move(slot);
          break;
        }
        if ((s.stop || i >= s.limit) && !s.started[static_cast<std::size_t>(i)]) {
          // Never started, and nothing will start it: the run was stopped
          // after the photo before, or an earlier photo ended it.
          if (!cancelledWhileWaiting || i >= s.limit) return;
          // The cancel came while this thread waited for photo i and before
          // any worker took it. Run on one thread, the photo would already
          // be in the making and be handed on cut short by the cancel; so it
          // is here, however the workers happened to be scheduled.
          s.Start(i);
          cutShort = true;
          break;
        }
        // Other photos finishing wake this thread too; OnWorking follows the
        // clock, which a test may have set, so the wait itself is bounded.
        const SteadyClock::duration left = nextWorking - now();
        s.outcomeReady.wait_for(
            lock, std::clamp<SteadyClock::duration>(left, SteadyClock::duration::zero(), kWorkingInterval));
        const SteadyClock::time_point time = now();
        if (time >= nextWorking) {
          nextWorking = time + kWorkingInterval;
          if (OnWorking) {
            lock.unlock();
            OnWorking();
            noteCancel();
            cancelledWhileWaiting = cancelled;
            lock.lock();
          }
        }
      }
    }
    if (cutShort) {
      ResizeJob job;
      job.BusyClock = Clock;
      Make(PhotoTask{job, i, OnWorking, [] { return true; }}, outcome.copies);
      Deliver(i, outcome.copies);
      return;
    }
    const std::size_t bytes = BytesOf(outcome.copies);
    // An error raised here leaves through the destructor of threads, which
    // waits for the photos still being made; they are dropped.
    Deliver(i, outcome.copies);
    {
      std::lock_guard lock(s.mutex);
      s.handed = i + 1;
      s.waitingBytes -= bytes;
    }
    s.workAvailable.notify_all();
    noteCancel();
  }
}

}  // namespace fotoloom
