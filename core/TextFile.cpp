// Whole-file reading, and whole-file writing through a temporary file and rename.
#include "core/TextFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/Error.h"

namespace fotoloom {

void AppendCrLfLines(std::string& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
}

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

namespace {

// The process id in a temporary file's name, or 0 when the name is not one
// TemporaryPathFor gives: "<x>.fotoloom-<pid>.tmp" or ".fotoloom-<pid>-<n>.tmp".
long TemporaryFileProcess(std::string_view name) {
  constexpr std::string_view kMark = ".fotoloom-";
  constexpr std::string_view kEnd = ".tmp";
  if (name.size() <= kEnd.size() || name.substr(name.size() - kEnd.size()) != kEnd) return 0;
  const std::size_t mark = name.rfind(kMark);
  if (mark == std::string_view::npos) return 0;
  std::string_view rest = name.substr(mark + kMark.size(), name.size() - mark - kMark.size() - kEnd.size());
  const bool shortName = mark == 0 && rest.find('-') != std::string_view::npos;
  if (shortName) {
    const std::string_view count = rest.substr(rest.find('-') + 1);
    if (count.empty() || count.find_first_not_of("0123456789") != std::string_view::npos) return 0;
    rest = rest.substr(0, rest.find('-'));
  } else if (mark == 0) {
    return 0;  // ".fotoloom-<pid>.tmp" names no file of its own
  }
  if (rest.empty() || rest.size() > 9 || rest.find_first_not_of("0123456789") != std::string_view::npos) return 0;
  return std::stol(std::string(rest));
}

}  // namespace

int RemoveLeftoverTemporaryFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return 0;
  std::vector<std::string> leftovers;
  while (const dirent* e = ::readdir(dir)) {
    const long pid = TemporaryFileProcess(e->d_name);
    // A running process (ours included) may still be writing it.
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) leftovers.emplace_back(e->d_name);
  }
  ::closedir(dir);
  int removed = 0;
  for (const std::string& name : leftovers) {
    const std::string path = (folder.empty() || folder.back() == '/' ? folder : folder + "/") + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

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

std::optional<std::string> ReadRegularFile(const std::string& path, LinkAtPath links, timespec* modified) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (links == LinkAtPath::Refuse ? O_NOFOLLOW : 0);
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  std::string text;
  char buffer[1 << 16];
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  if (modified) *modified = st.st_mtim;
  return text;
}

void WriteTextFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes;
  AppendCrLfLines(bytes, lines);
  WriteWholeFile(path, bytes);
}

}  // namespace fotoloom
