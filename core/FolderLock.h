// One writing run per output folder: an advisory lock on the folder itself.
#pragma once

#include <string>

#include "core/PosixIo.h"

namespace fotoloom {

// Holds an exclusive flock on a folder, taken through a descriptor of the
// folder itself, so no lock file is ever made or left behind. The kernel
// drops the lock when the holder ends, however it ends, so a run that was
// killed never blocks the next one. The lock is advisory: only runs that
// ask for it wait on it.
class FolderLock {
 public:
  enum class Result {
    Locked,       // this object holds the lock
    Busy,         // another holder has it
    Unavailable,  // the folder cannot be opened or locked (no lock taken)
  };

  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes the lock of folder without waiting, releasing any held before.
  Result TryLock(const std::string& folder);
  // Releases the lock; nothing when none is held.
  void Release();
  bool Held() const { return fd_.valid(); }

 private:
  FileDescriptor fd_;
};

// "Another Fotoloom run is writing to <folder>".
std::string FolderBusyMessage(const std::string& folder);

}  // namespace fotoloom
