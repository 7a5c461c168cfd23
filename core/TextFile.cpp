// Whole-file reading, and whole-file writing through a temporary file and rename.
#include "core/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/Error.h"
#include "core/PosixIo.h"
#include "core/TemporaryFiles.h"

namespace fotoloom {

void AppendCrLfLines(std::string& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  // The temporary name lives beside the target so that rename() stays on one
  // file system; the process id keeps two writers of one folder apart.
  const std::string temp = TemporaryPathFor(path);
  FileDescriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd.valid()) ThrowCannotCreateFile(path, errno);
  // Whatever fails, the temporary file goes and the target stays as it was.
  if (!WriteAll(fd.get(), bytes) || !fd.Close() || std::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    fd.Close();
    ::unlink(temp.c_str());
    ThrowCannotCreateFile(path, err);
  }
}

std::optional<std::string> ReadRegularFile(const std::string& path, LinkAtPath links, timespec* modified) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (links == LinkAtPath::Refuse ? O_NOFOLLOW : 0);
  const FileDescriptor fd(::open(path.c_str(), flags));
  if (!fd.valid()) return std::nullopt;
  struct stat st {};
  std::string text;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || !ReadToEnd(fd.get(), text)) return std::nullopt;
  if (modified) *modified = st.st_mtim;
  return text;
}

void WriteTextFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes;
  AppendCrLfLines(bytes, lines);
  WriteWholeFile(path, bytes);
}

}  // namespace fotoloom
