// The copy of an original without its GPS position: read whole, rewritten in memory, renamed into place.
#include "imaging/LocationFreeCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <optional>

#include "core/Error.h"
#include "core/TextFile.h"
#include "imaging/PhotoMetadata.h"

namespace fotoloom {

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
  const std::string temp = TemporaryPathFor(to);
  ::unlink(temp.c_str());
  try {
    const std::optional<std::string> stripped = WithoutLocation(*original);
    result.Removed = stripped.has_value();
    WriteWholeFile(temp, stripped ? *stripped : *original);
  } catch (const Error& e) {
    ::unlink(temp.c_str());
    result.Problem = e.what();
    return result;
  }
  const timespec times[2] = {modified, modified};
  ::utimensat(AT_FDCWD, temp.c_str(), times, 0);  // a copy with today's date is still a good copy
  // A link fails when to exists, so a file that appeared meanwhile is kept.
  result.Made = replace ? std::rename(temp.c_str(), to.c_str()) == 0 : ::link(temp.c_str(), to.c_str()) == 0;
  ::unlink(temp.c_str());
  if (!result.Made && replace) result.Problem = "the copy cannot be put in place";
  return result;
}

}  // namespace fotoloom
