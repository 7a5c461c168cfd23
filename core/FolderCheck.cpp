// Folder identity by device and inode, and the input folder's ancestors walked up through "..".
#include "core/FolderCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace fotoloom {
namespace {

bool SameEntry(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::optional<struct stat> FolderStat(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return st;
}

// Whether folder is a folder above start, found by opening ".." from start
// upwards until the root (whose ".." is itself). The folders are opened as
// paths only, so no read permission is needed on the way.
bool IsAbove(const struct stat& folder, const std::string& start) {
  int fd = ::open(start.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  // Deeper than any real tree; a bound against a file system that loops.
  constexpr int kMaxDepth = 4096;
  for (int depth = 0; fd >= 0 && depth < kMaxDepth; ++depth) {
    struct stat here {};
    const int parent = ::fstat(fd, &here) == 0 ? ::openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC) : -1;
    ::close(fd);
    fd = parent;
    struct stat up {};
    if (fd < 0 || ::fstat(fd, &up) != 0 || SameEntry(up, here)) break;
    if (SameEntry(up, folder)) {
      ::close(fd);
      return true;
    }
  }
  if (fd >= 0) ::close(fd);
  return false;
}

}  // namespace

FolderFault CheckRunFolders(const std::string& input, const std::string& output) {
  const std::optional<struct stat> in = FolderStat(input);
  if (!in) return FolderFault::InputMissing;
  const std::optional<struct stat> out = FolderStat(output);
  if (!out) return FolderFault::None;
  if (SameEntry(*in, *out)) return FolderFault::SameFolder;
  if (IsAbove(*out, input)) return FolderFault::InputInsideOutput;
  return FolderFault::None;
}

std::string FolderFaultMessage(FolderFault fault, const std::string& input, const std::string& output) {
  switch (fault) {
    case FolderFault::None: return {};
    case FolderFault::InputMissing: return "Incorrect path for input : " + input;
    case FolderFault::SameFolder:
      return "The output folder \"" + output + "\" is the input folder \"" + input +
             "\": the gallery's images would overwrite the photos. Choose another output folder.";
    case FolderFault::InputInsideOutput:
      return "The input folder \"" + input + "\" is inside the output folder \"" + output +
             "\": a run could overwrite or delete the photos. Choose another output folder.";
  }
  return {};
}

}  // namespace fotoloom
