// Checking that a file named on the command line can be read, and loading a settings file so named.
#include "cli/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "core/Error.h"
#include "core/PosixIo.h"
#include "core/SettingsFile.h"

namespace fotoloom::cli {

void RequireReadableFile(const std::string& path) {
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) ThrowCannotOpenFile(path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) ThrowCannotOpenFile(path, EISDIR);
}

void LoadSettingsFile(const std::string& path, GallerySettings& settings) {
  // Reading a missing file is no error for the loader; a file named on the
  // command line must be there.
  RequireReadableFile(path);
  if (!Read_settings_file(path, settings)) std::fprintf(stderr, "%s\n", NoSettingsReadWarning(path).c_str());
}

}  // namespace fotoloom::cli
