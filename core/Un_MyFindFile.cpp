// The folder search: directory listing, attribute mapping, wildcard match, local file times.
#include "core/Un_MyFindFile.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <ctime>
#include <vector>

#include "core/PosixIo.h"

namespace fotoloom {
namespace {

unsigned AttributesOf(const std::string& name, const struct stat& st) {
  unsigned attr = 0;
  if (S_ISDIR(st.st_mode)) attr |= faDirectory;
  if (S_ISREG(st.st_mode)) attr |= faArchive;
  if (!name.empty() && name[0] == '.') attr |= faHidden;
  if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
  return attr;
}

LocalTimestamp ExactLocalTimeOf(const timespec& t) {
  std::tm tm{};
  ::localtime_r(&t.tv_sec, &tm);
  return LocalTimestamp{
      {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(t.tv_nsec)};
}

LocalDateTime LocalTimeOf(std::time_t t) {
  std::tm tm{};
  ::localtime_r(&t, &tm);
  LocalDateTime out;
  out.Date = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  out.Hour = tm.tm_hour;
  out.Minute = tm.tm_min;
  out.Second = tm.tm_sec & ~1;  // two-second resolution, rounded down
  return out;
}

// An entry is left out when it is hidden, a system file or a folder and that
// kind is not admitted; read-only, archive and plain files always pass.
bool Admitted(unsigned attr, unsigned mask) {
  const unsigned excludable = faHidden | faSysFile | faDirectory;
  return (attr & excludable & ~mask) == 0;
}

}  // namespace

ImageEntry MakeImageEntry(const std::string& folder, const FoundFile& file) {
  return ImageEntry{folder, file.Name, file.Time.Date, file.ExactTime};
}

namespace {

bool MatchesPattern(const std::string& name, const std::string& mask) {
  // No FNM_PERIOD: "*" and "?" match a leading dot too. No escapes: "\" is an
  // ordinary character of a mask.
  const int flags = FNM_CASEFOLD | FNM_NOESCAPE;
  if (::fnmatch(mask.c_str(), name.c_str(), flags) == 0) return true;
  // "name.*" also admits "name" with no extension at all.
  if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 && name.find('.') == std::string::npos) {
    const std::string stem = mask.substr(0, mask.size() - 2);
    return ::fnmatch(stem.c_str(), name.c_str(), flags) == 0;
  }
  return false;
}

}  // namespace

bool MatchesMask(const std::string& name, const std::string& mask) {
  // Most masks are one pattern; a list is split only when it is one.
  if (mask.find(';') == std::string::npos) return MatchesPattern(name, mask);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = mask.find(';', start);
    if (MatchesPattern(name, mask.substr(start, end - start))) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

void TMyFindFile::Search() {
  const unsigned mask = Attributes & 0x3Fu;
  FileCount = 0;
  if (!SearchFolder.empty()) {
    std::string folder = SearchFolder;
    if (folder.back() != '/') folder += '/';
    ::tzset();  // file times follow the current TZ setting
    // An unreadable folder lists no names.
    for (const std::string& name : ListFolderNames(folder).value_or(std::vector<std::string>())) {
      if (!MatchesMask(name, Mask)) continue;
      struct stat st {};
      // stat() follows symbolic links; a dangling one fails and is skipped,
      // as is an entry removed since the listing.
      if (::stat((folder + name).c_str(), &st) != 0) continue;
      // Only files and folders exist for a search: opening a FIFO, socket or
      // device named like a photo can block the run for ever.
      if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) continue;
      FoundFile file;
      file.Name = name;
      file.Attr = AttributesOf(name, st);
      if (!Admitted(file.Attr, mask)) continue;
      file.Size = static_cast<std::int64_t>(st.st_size);
      file.Time = LocalTimeOf(st.st_mtime);
      file.ExactTime = ExactLocalTimeOf(st.st_mtim);
      if (file.Attr != faDirectory) ++FileCount;
      if (OnFileFound) OnFileFound(*this, folder, file, Cancelled);
      if (Cancelled) break;
    }
  }
  if (OnSearchDone) OnSearchDone(*this);
}

}  // namespace fotoloom
