// The POSIX calls behind the file descriptor owner, the whole reads and writes and the folder lister.
#include "core/PosixIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace fotoloom {
namespace {

// Reads until size bytes or the end of the file with readAt(data, size,
// done), which reads at the done-th byte of the transfer.
template <typename ReadAt>
ssize_t ReadLoop(void* data, std::size_t size, ReadAt readAt) {
  char* p = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = RetryOnInterrupt([&] { return readAt(p + done, size - done, done); });
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

template <typename WriteAt>
bool WriteLoop(std::string_view bytes, WriteAt writeAt) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = RetryOnInterrupt([&] { return writeAt(bytes.data() + done, bytes.size() - done, done); });
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;  // no progress: another try would take nothing either
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

FileDescriptor::~FileDescriptor() { Close(); }

int FileDescriptor::Release() noexcept {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

bool FileDescriptor::Close() noexcept {
  if (fd_ < 0) return true;
  return ::close(Release()) == 0;
}

ssize_t ReadAll(int fd, void* data, std::size_t size) {
  return ReadLoop(data, size, [fd](char* p, std::size_t n, std::size_t) { return ::read(fd, p, n); });
}

ssize_t ReadAllAt(int fd, void* data, std::size_t size, off_t offset) {
  return ReadLoop(data, size, [fd, offset](char* p, std::size_t n, std::size_t done) {
    return ::pread(fd, p, n, offset + static_cast<off_t>(done));
  });
}

bool ReadToEnd(int fd, std::string& out) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ReadAll(fd, buffer, sizeof buffer);
    if (n < 0) return false;
    out.append(buffer, static_cast<std::size_t>(n));
    if (static_cast<std::size_t>(n) < sizeof buffer) return true;
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  return WriteLoop(bytes, [fd](const char* p, std::size_t n, std::size_t) { return ::write(fd, p, n); });
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset) {
  return WriteLoop(bytes, [fd, offset](const char* p, std::size_t n, std::size_t done) {
    return ::pwrite(fd, p, n, offset + static_cast<off_t>(done));
  });
}

std::optional<std::vector<std::string>> ListFolderNames(const std::string& folder) {
  const FileDescriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  return ListFolderNamesAt(fd.get());
}

std::optional<std::vector<std::string>> ListFolderNamesAt(int dirFd) {
  // The stream gets a descriptor of its own, which it closes; the two share
  // the read position, so the listing starts from the beginning.
  FileDescriptor own(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
  if (!own.valid()) return std::nullopt;
  const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(own.get()));
  if (!dir) return std::nullopt;
  own.Release();
  ::rewinddir(dir.get());
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* e = ::readdir(dir.get())) {
    const std::string_view name = e->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
    errno = 0;
  }
  if (errno != 0) return std::nullopt;
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace fotoloom
