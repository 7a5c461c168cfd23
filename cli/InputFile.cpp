// Checking that a file named on the command line can be read.
#include "cli/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/Error.h"
#include "core/PosixIo.h"

namespace fotoloom::cli {

void RequireReadableFile(const std::string& path) {
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) ThrowCannotOpenFile(path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) ThrowCannotOpenFile(path, EISDIR);
}

}  // namespace fotoloom::cli
