// The copy of an original without its GPS position: read whole, rewritten in memory, renamed into place.
#include "imaging/LocationFreeCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <optional>

#include "core/Error.h"
#include "core/PosixIo.h"
#include "core/TemporaryFiles.h"
#include "core/TextFile.h"
#include "imaging/PhotoMetadata.h"
#include "imaging/Un_Copy_File.h"

namespace fotoloom {
namespace {

// Writes bytes as a new file at path with the modification time modified;
// false, leaving no file, when it cannot.
bool WriteNewFile(const std::string& path, std::string_view bytes, const timespec& modified) {
  FileDescriptor out(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!out.valid()) return false;
  bool ok = WriteAll(out.get(), bytes);
  if (ok) {
    const timespec times[2] = {modified, modified};
    ::futimens(out.get(), times);  // a copy with today's date is still a good copy
  }
  ok = out.Close() && ok;
  if (!ok) ::unlink(path.c_str());
  return ok;
}

}  // namespace

std::string LocationFreeCopyRecipe() {
  return "copy without location " + std::to_string(kLocationFreeCopyVersion) + ", " + MetadataLibraryVersion();
}

LocationFreeCopyResult CopyWithoutLocation(const std::string& from, const std::string& to, bool replace) {
  LocationFreeCopyResult result;
  struct stat st {};
  if (!replace && ::lstat(to.c_str(), &st) == 0) return result;
  timespec modified{};
  const std::optional<std::string> original = ReadRegularFile(from, LinkAtPath::Follow, &modified);
  if (!original) {
    result.Problem = "the photo cannot be read";
    return result;
  }
  std::optional<std::string> stripped;
  try {
    stripped = WithoutLocation(*original);
  } catch (const Error& e) {
    result.Problem = e.what();
    return result;
  }
  result.Removed = stripped.has_value();
  const std::string temp = TemporaryPathFor(to);
  ::unlink(temp.c_str());
  if (!WriteNewFile(temp, stripped ? *stripped : *original, modified)) {
    result.Problem = "the copy cannot be written";
    return result;
  }
  result.Made = MoveIntoPlace(temp, to, replace);
  if (!result.Made && replace) result.Problem = "the copy cannot be put in place";
  return result;
}

}  // namespace fotoloom
