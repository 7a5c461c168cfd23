#include "imaging/PhotoPipeline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fotoloom {
namespace {

// Records the order photos are started in; photo 0 waits until the
// test's condition holds, so the calling thread keeps waiting for it.
struct StartOrder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> started;

  void Note(int index) {
    std::lock_guard lock(mutex);
    started.push_back(index);
    changed.notify_all();
  }
  bool WaitFor(int count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(5), [&] { return static_cast<int>(started.size()) >= count; });
  }
};

TEST(PhotoPipeline, a_free_worker_takes_the_costliest_photo_ahead_unless_the_next_one_waits_for_it) {
  StartOrder order;
  std::vector<int> handed;
  PhotoPipeline p;
  p.Count = 12;
  p.Jobs = 2;
  p.Cost = [](int index) { return index == 10 ? std::uint64_t{100} : index == 11 ? 50 : 1; };
  p.Make = [&](const PhotoTask& task, PhotoCopies&) {
    order.Note(task.Index);
    // Photo 0 is not finished before the other worker has chosen, so the
    // photo the calling thread waits for is taken.
    if (task.Index == 0) {
      EXPECT_TRUE(order.WaitFor(2));
    }
    return false;
  };
  p.Deliver = [&](int index, PhotoCopies&) { handed.push_back(index); };
  bool cancelled = false;
  p.Run(cancelled);
  ASSERT_EQ(order.started.size(), 12u);
  EXPECT_EQ(order.started[0], 0);   // what the calling thread waits for, first
  EXPECT_EQ(order.started[1], 10);  // then the costliest, from the end of the list
  EXPECT_EQ(handed, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(PhotoPipeline, a_photo_that_ends_the_run_still_lets_every_photo_before_it_through) {
  for (int jobs : {1, 2, 3}) {
    SCOPED_TRACE(jobs);
    std::vector<int> handed;
    PhotoPipeline p;
    p.Count = 20;
    p.Jobs = jobs;
    // The failing photo is taken early, ahead of cheaper ones before it.
    p.Cost = [](int index) { return index == 7 ? std::uint64_t{1000} : 1; };
    p.Make = [](const PhotoTask& task, PhotoCopies& copies) {
      copies[0].Error = task.Index == 7 ? std::make_exception_ptr(std::runtime_error("photo 7")) : nullptr;
      return task.Index == 7;
    };
    p.Deliver = [&](int index, PhotoCopies& copies) {
      if (copies[0].Error) std::rethrow_exception(copies[0].Error);
      handed.push_back(index);
    };
    bool cancelled = false;
    try {
      p.Run(cancelled);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "photo 7");
    }
    EXPECT_EQ(handed, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  }
}

TEST(PhotoPipeline, a_cancel_while_waiting_for_a_photo_no_worker_took_still_hands_that_photo_on_cut_short) {
  // The workers are held in their estimate of the photos' costs until the
  // photo the calling thread waits for is being made, so the cancel from its
  // OnWorking comes before any worker has started a photo, as on a busy
  // machine. A run on one thread would be inside photo 0 by then.
  std::mutex mutex;
  std::condition_variable changed;
  bool makingPhoto0 = false;
  std::vector<int> handed;
  std::vector<bool> cutShort;
  PhotoPipeline p;
  p.Count = 4;
  p.Jobs = 2;
  p.Cost = [&](int) {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(5), [&] { return makingPhoto0; });
    return std::uint64_t{1};
  };
  p.Make = [&](const PhotoTask& task, PhotoCopies&) {
    cutShort.push_back(task.IsCancelled());
    std::lock_guard lock(mutex);
    makingPhoto0 = makingPhoto0 || task.Index == 0;
    changed.notify_all();
    return false;
  };
  p.Deliver = [&](int index, PhotoCopies&) { handed.push_back(index); };
  bool cancelled = false;
  p.OnWorking = [&] { cancelled = true; };
  p.Run(cancelled);
  EXPECT_EQ(handed, (std::vector<int>{0}));
  EXPECT_EQ(cutShort, (std::vector<bool>{true}));
}

}  // namespace
}  // namespace fotoloom
