// The output folder's lock: flock on a descriptor of the folder opened read-only.
#include "core/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace fotoloom {

FolderLock::~FolderLock() = default;

FolderLock::Result FolderLock::TryLock(const std::string& folder) {
  Release();
  FileDescriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return Result::Unavailable;
  if (RetryOnInterrupt([&fd] { return ::flock(fd.get(), LOCK_EX | LOCK_NB); }) == 0) {
    fd_ = std::move(fd);
    return Result::Locked;
  }
  return errno == EWOULDBLOCK ? Result::Busy : Result::Unavailable;
}

void FolderLock::Release() {
  // Closing the last descriptor of the open folder drops its flock.
  fd_ = FileDescriptor();
}

std::string FolderBusyMessage(const std::string& folder) { return "Another Fotoloom run is writing to " + folder; }

}  // namespace fotoloom
