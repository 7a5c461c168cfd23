// A temporary file for one fuzz input, removed again on every path.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace fotoloom::fuzz {

// A file in the temporary folder that is removed again on every path.
class TempFile {
 public:
  TempFile() {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/fotoloom-fuzz-XXXXXX";
    fd_ = ::mkstemp(path_.data());
    if (fd_ < 0) std::abort();
  }
  ~TempFile() {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) std::abort();
    WriteAllTo(fd_, data, size);
  }

  // Writes the bytes as the whole content of the file at path (created or
  // emptied), for a file that must stand beside this one under a name of its own.
  static void WriteTo(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    WriteAllTo(fd, data, size);
    ::close(fd);
  }
  const std::string& path() const { return path_; }

 private:
  static void WriteAllTo(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd, data, size);
      if (n <= 0) std::abort();
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }

  std::string path_;
  int fd_ = -1;
};

}  // namespace fotoloom::fuzz
