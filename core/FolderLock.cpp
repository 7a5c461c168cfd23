// The output folder's lock: flock on a descriptor of the folder opened read-only.
#include "core/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace fotoloom {

FolderLock::~FolderLock() { Release(); }

FolderLock::Result FolderLock::TryLock(const std::string& folder) {
  Release();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Result::Unavailable;
  int status = 0;
  while ((status = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (status == 0) {
    fd_ = fd;
    return Result::Locked;
  }
  const bool busy = errno == EWOULDBLOCK;
  ::close(fd);
  return busy ? Result::Busy : Result::Unavailable;
}

void FolderLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the last descriptor of the open file drops its flock
  fd_ = -1;
}

std::string FolderBusyMessage(const std::string& folder) { return "Another Fotoloom run is writing to " + folder; }

}  // namespace fotoloom
