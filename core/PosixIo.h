// One owner of a file descriptor, whole reads and writes, and one folder lister over the POSIX calls.
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fotoloom {

// Owns one file descriptor and closes it when it goes; -1 owns none. It
// moves, it does not copy.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

  // Gives the descriptor up without closing it.
  int Release() noexcept;

  // Closes now. False, with errno set, when close reported a failure: for a
  // file written, its data may not have reached the disk. Never retried on
  // EINTR, as Linux has released the descriptor by then.
  bool Close() noexcept;

 private:
  int fd_ = -1;
};

// Calls call() again while it fails with EINTR (returns -1 with errno
// EINTR), and returns its first other result.
template <typename Call>
auto RetryOnInterrupt(Call call) {
  for (;;) {
    const auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

// Reads into data until size bytes are read or the file ends, going on
// after short reads and EINTR. Returns the number of bytes read (below size
// only at the end of the file), or -1 with errno set.
ssize_t ReadAll(int fd, void* data, std::size_t size);
// The same from offset on (pread), leaving the file offset alone.
ssize_t ReadAllAt(int fd, void* data, std::size_t size, off_t offset);

// Appends the rest of the file to out. False, with errno set, when a read
// fails; what was read before stays in out.
bool ReadToEnd(int fd, std::string& out);

// Writes all of bytes, going on after short writes and EINTR. False, with
// errno set, when a write fails (a write that takes nothing counts as EIO);
// the bytes written before stay written.
bool WriteAll(int fd, std::string_view bytes);
// The same from offset on (pwrite), leaving the file offset alone.
bool WriteAllAt(int fd, std::string_view bytes, off_t offset);

// The names in a folder, without "." and "..", in byte order; hidden names
// are listed too. Nothing when the folder cannot be opened or read.
std::optional<std::vector<std::string>> ListFolderNames(const std::string& folder);
// The same for a folder open as dirFd, listed from its start; dirFd stays
// open, and its read position is moved.
std::optional<std::vector<std::string>> ListFolderNamesAt(int dirFd);

}  // namespace fotoloom
