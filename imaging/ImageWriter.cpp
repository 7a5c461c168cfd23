// The run of the image writers over their images, on the calling thread or on worker threads.
#include "imaging/ImageWriter.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "core/TextFile.h"
#include "imaging/OutputName.h"

namespace fotoloom {

namespace {

// How often the waiting calling thread fires OnWorking: well inside the
// 20 ms a user starts to notice.
constexpr std::chrono::milliseconds kWorkingInterval{10};

// Images a worker may finish ahead of the oldest one not yet written, per
// job. Finished images wait as encoded files of a few hundred kilobytes, so
// this bounds memory while letting one large photo be overtaken by the small
// ones after it: a 24-megapixel progressive file takes as long as a dozen
// ordinary photos, and a smaller window leaves the other cores idle.
constexpr int kLookaheadPerJob = 16;

// Encoded bytes finished images may hold while they wait to be written. The
// default sizes never come near it; outputs of several megabytes each would
// otherwise let the look-ahead hold hundreds of megabytes.
constexpr std::size_t kLookaheadBytes = std::size_t{32} << 20;

// One image's outcome, handed from a worker thread to the calling thread.
struct Outcome {
  bool done = false;
  std::string jpeg;
  std::exception_ptr error;
};

// State shared by the calling thread and the worker threads; every field
// but cancelled is guarded by mutex.
struct Pipeline {
  std::mutex mutex;
  std::condition_variable workAvailable;  // a worker may start an image
  std::condition_variable outcomeReady;   // an image is finished
  int count = 0;
  int next = 0;     // the next image to start
  int written = 0;  // images written and reported so far
  int lookahead = 0;
  std::size_t waitingBytes = 0;  // encoded bytes of the finished images not yet written
  bool stop = false;             // start no further image
  std::vector<Outcome> outcomes;
  std::atomic<bool> cancelled{false};  // the writer's flag, as the stretches see it
};

void WorkerLoop(Pipeline& p, const std::vector<std::string>& files, const ResizeSettings& settings,
                unsigned cancelPhases) {
  ResizeJob job;
  StretchHooks hooks;
  hooks.IsCancelled = [&p] { return p.cancelled.load(std::memory_order_relaxed); };
  hooks.CancelPhases = cancelPhases;
  for (;;) {
    int index;
    {
      std::unique_lock lock(p.mutex);
      // With nothing ahead of the oldest unwritten image nothing waits, so
      // the look-ahead never keeps that image from being started.
      p.workAvailable.wait(lock, [&p] {
        return p.stop || p.next >= p.count || (p.next - p.written < p.lookahead && p.waitingBytes < kLookaheadBytes);
      });
      if (p.stop || p.next >= p.count) return;
      index = p.next++;
    }
    Outcome outcome;
    try {
      job.Run(files[static_cast<std::size_t>(index)], settings, hooks, outcome.jpeg);
    } catch (...) {
      outcome.error = std::current_exception();
    }
    {
      std::lock_guard lock(p.mutex);
      outcome.done = true;
      if (outcome.error) p.stop = true;  // images after a failing one are never written
      p.waitingBytes += outcome.jpeg.size();
      p.outcomes[static_cast<std::size_t>(index)] = std::move(outcome);
    }
    p.outcomeReady.notify_one();
  }
}

// Stops the workers and waits for them on every way out of the run.
class WorkerThreads {
 public:
  explicit WorkerThreads(Pipeline& p) : p_(p) {}
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;
  ~WorkerThreads() {
    {
      std::lock_guard lock(p_.mutex);
      p_.stop = true;
    }
    p_.workAvailable.notify_all();
    for (std::thread& t : threads_) t.join();
  }
  void Add(std::thread t) { threads_.push_back(std::move(t)); }

 private:
  Pipeline& p_;
  std::vector<std::thread> threads_;
};

}  // namespace

int ImageWriter::DefaultJobs() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(n);
}

ResizeSettings ImageWriter::Settings(const Kind& kind) const {
  ResizeSettings s;
  s.MaxWidth = MaxWidth;
  s.MaxHeight = MaxHeight;
  s.FilterIndex = FilterIndex;
  s.Quality = Quality;
  s.UseFilter = UseFilter;
  s.Grayscale = Grayscale;
  s.PixelFormat = PixelFormat;
  s.SizeRule = kind.SizeRule;
  return s;
}

void ImageWriter::WriteImages(const Kind& kind) {
  const int count =
      static_cast<int>(std::clamp<std::int64_t>(ImageCount, 0, static_cast<std::int64_t>(ImageFiles.size())));
  if (count == 0) return;
  // The run works on its own copy of the list and the settings, so an event
  // handler that changes the fields cannot pull them from under a worker.
  const std::vector<std::string> files(ImageFiles.begin(), ImageFiles.begin() + count);
  const ResizeSettings settings = Settings(kind);
  const int jobs = std::min(std::max(Jobs, 1), count);
  // A flag already set before the start lets exactly one image through, as
  // the loop on the calling thread does; that needs no threads.
  if (jobs == 1 || Cancelled)
    WriteSequentially(kind, settings, files);
  else
    WriteInParallel(kind, settings, files, jobs);
}

void ImageWriter::WriteSequentially(const Kind& kind, const ResizeSettings& settings,
                                    const std::vector<std::string>& files) {
  const int count = static_cast<int>(files.size());
  ResizeJob job;
  StretchHooks hooks;
  if (OnWorking) hooks.OnWorking = [this] { OnWorking(*this, Cancelled); };
  hooks.IsCancelled = [this] { return Cancelled; };
  hooks.CancelPhases = kind.CancelPhases;
  std::string jpeg;
  for (int i = 0; i < count; ++i) {
    const std::string& input = files[static_cast<std::size_t>(i)];
    job.Run(input, settings, hooks, jpeg);
    WriteWholeFile(OutputFilePath(OutputPath, kind.Prefix, input), jpeg);
    if (OnProgress) OnProgress(*this, i, Cancelled);
    if (Cancelled) return;
  }
}

void ImageWriter::WriteInParallel(const Kind& kind, const ResizeSettings& settings,
                                  const std::vector<std::string>& files, int jobs) {
  const int count = static_cast<int>(files.size());
  Pipeline p;
  p.count = count;
  p.lookahead = jobs * kLookaheadPerJob;
  p.outcomes.resize(static_cast<std::size_t>(count));
  p.cancelled = Cancelled;

  // Called on this thread after each event: a cancel reaches the stretches
  // at once and stops new images from starting.
  auto noteCancel = [&] {
    if (!Cancelled) return;
    p.cancelled = true;
    {
      std::lock_guard lock(p.mutex);
      p.stop = true;
    }
    p.workAvailable.notify_all();
  };

  WorkerThreads threads(p);
  for (int j = 0; j < jobs; ++j)
    threads.Add(std::thread(WorkerLoop, std::ref(p), std::cref(files), std::cref(settings), kind.CancelPhases));

  using Clock = std::chrono::steady_clock;
  Clock::time_point nextWorking = Clock::now() + kWorkingInterval;
  for (int i = 0; i < count; ++i) {
    Outcome outcome;
    {
      std::unique_lock lock(p.mutex);
      for (;;) {
        Outcome& slot = p.outcomes[static_cast<std::size_t>(i)];
        if (slot.done) {
          outcome = std::move(slot);
          break;
        }
        // Never started, and nothing will start it: the run was stopped.
        if (p.stop && i >= p.next) return;
        // Other images finishing wake this thread too; OnWorking follows the clock.
        p.outcomeReady.wait_until(lock, nextWorking);
        if (Clock::now() >= nextWorking) {
          nextWorking = Clock::now() + kWorkingInterval;
          if (OnWorking) {
            lock.unlock();
            OnWorking(*this, Cancelled);
            noteCancel();
            lock.lock();
          }
        }
      }
    }
    // Rethrown after the earlier images were written; the destructor of
    // threads waits for the images still in flight, which are dropped.
    if (outcome.error) std::rethrow_exception(outcome.error);
    const std::string& input = files[static_cast<std::size_t>(i)];
    WriteWholeFile(OutputFilePath(OutputPath, kind.Prefix, input), outcome.jpeg);
    {
      std::lock_guard lock(p.mutex);
      p.written = i + 1;
      p.waitingBytes -= outcome.jpeg.size();
    }
    p.workAvailable.notify_all();
    if (OnProgress) OnProgress(*this, i, Cancelled);
    noteCancel();
  }
}

}  // namespace fotoloom
