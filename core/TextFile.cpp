// Whole-file writing through a temporary file and rename.
#include "core/TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "core/Error.h"

namespace fotoloom {

void AppendCrLfLines(std::string& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
}

namespace {

// The temporary file beside path: path + ".fotoloom-<pid>.tmp", or, when that
// name would pass the file system's limit of 255 bytes while path itself
// does not, a short ".fotoloom-<pid>-<n>.tmp" in the same folder (n counts the
// calls, so that two threads writing long names never share one).
std::string TemporaryPathFor(const std::string& path) {
  constexpr std::size_t kMaxNameBytes = 255;
  const std::string pid = std::to_string(::getpid());
  const std::string suffix = ".fotoloom-" + pid + ".tmp";
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (path.size() - nameStart + suffix.size() <= kMaxNameBytes) return path + suffix;
  static std::atomic<unsigned> counter{0};
  return path.substr(0, nameStart) + ".fotoloom-" + pid + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  // The temporary name lives beside the target so that rename() stays on one
  // file system; the process id keeps two writers of one folder apart.
  const std::string temp = TemporaryPathFor(path);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) ThrowCannotCreateFile(path, errno);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      ThrowCannotCreateFile(path, err);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    ThrowCannotCreateFile(path, err);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    ThrowCannotCreateFile(path, err);
  }
}

void WriteTextFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes;
  AppendCrLfLines(bytes, lines);
  WriteWholeFile(path, bytes);
}

}  // namespace fotoloom
