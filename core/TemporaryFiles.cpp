// Naming the temporary and spill files, and removing those of processes no longer running.
#include "core/TemporaryFiles.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>
#include <vector>

#include "core/PosixIo.h"

namespace fotoloom {
namespace {

constexpr std::string_view kTemporaryMark = ".fotoloom-";
constexpr std::string_view kTemporaryEnd = ".tmp";
// mkostemp replaces these characters of a template with letters and digits.
constexpr std::string_view kRandomPart = "XXXXXX";

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool AllLettersOrDigits(std::string_view text) {
  for (const char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  return true;
}

// A process id as a name holds it: 1 to 9 digits.
std::optional<long> ProcessId(std::string_view digits) {
  if (!AllDigits(digits) || digits.size() > 9) return std::nullopt;
  const long pid = std::stol(std::string(digits));
  return pid > 0 ? std::optional(pid) : std::nullopt;
}

// The process id in a temporary file's name: "<x>.fotoloom-<pid>.tmp" or
// ".fotoloom-<pid>-<n>.tmp", or either followed by "." and six letters or
// digits (a library's own temporary file beside one of ours: the ZIP
// library writes "<temporary name>.XXXXXX" and renames it). Nothing for any
// other name.
std::optional<long> TemporaryFileProcess(std::string_view name) {
  const std::size_t libraryPart = kRandomPart.size() + 1;
  if (name.size() > libraryPart && name[name.size() - libraryPart] == '.' &&
      AllLettersOrDigits(name.substr(name.size() - kRandomPart.size())) &&
      name.substr(0, name.size() - libraryPart).ends_with(kTemporaryEnd))
    name.remove_suffix(libraryPart);
  if (name.size() <= kTemporaryEnd.size() || !name.ends_with(kTemporaryEnd)) return std::nullopt;
  const std::size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string_view::npos) return std::nullopt;
  std::string_view rest = name.substr(mark + kTemporaryMark.size());
  rest.remove_suffix(kTemporaryEnd.size());
  if (mark != 0) return ProcessId(rest);
  // ".fotoloom-<pid>.tmp" names no file of its own: the short form has a count.
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || !AllDigits(rest.substr(dash + 1))) return std::nullopt;
  return ProcessId(rest.substr(0, dash));
}

// What a spill file's name says of its process.
enum class SpillName { NotOne, OfProcess, WithoutProcess };

SpillName SpillFileProcess(std::string_view name, long& pid) {
  if (!name.starts_with(kSpillFilePrefix)) return SpillName::NotOne;
  const std::string_view rest = name.substr(kSpillFilePrefix.size());
  if (rest.size() == kRandomPart.size())
    return AllLettersOrDigits(rest) ? SpillName::WithoutProcess : SpillName::NotOne;
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || rest.size() - dash - 1 != kRandomPart.size() ||
      !AllLettersOrDigits(rest.substr(dash + 1)))
    return SpillName::NotOne;
  const std::optional<long> id = ProcessId(rest.substr(0, dash));
  if (!id) return SpillName::NotOne;
  pid = *id;
  return SpillName::OfProcess;
}

bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// Whether name is a file a process no longer running left.
bool IsLeftover(std::string_view name) {
  if (const std::optional<long> pid = TemporaryFileProcess(name)) return ProcessGone(*pid);
  long pid = 0;
  switch (SpillFileProcess(name, pid)) {
    case SpillName::OfProcess: return ProcessGone(pid);
    case SpillName::WithoutProcess: return true;
    case SpillName::NotOne: break;
  }
  return false;
}

}  // namespace

// The temporary file beside path: path + ".fotoloom-<pid>.tmp", or, when that
// name would pass the file system's limit of 255 bytes while path itself
// does not, a short ".fotoloom-<pid>-<n>.tmp" in the same folder (n counts the
// calls, so that two threads writing long names never share one).
std::string TemporaryPathFor(const std::string& path) {
  constexpr std::size_t kMaxNameBytes = 255;
  const std::string pid = std::to_string(::getpid());
  const std::string suffix = std::string(kTemporaryMark) + pid + std::string(kTemporaryEnd);
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (path.size() - nameStart + suffix.size() <= kMaxNameBytes) return path + suffix;
  static std::atomic<unsigned> counter{0};
  return path.substr(0, nameStart) + std::string(kTemporaryMark) + pid + "-" + std::to_string(counter++) +
         std::string(kTemporaryEnd);
}

std::string SpillFileNameTemplate() {
  return std::string(kSpillFilePrefix) + std::to_string(::getpid()) + "-" + std::string(kRandomPart);
}

int RemoveLeftoverFiles(const std::string& folder) {
  const std::optional<std::vector<std::string>> names = ListFolderNames(folder);
  if (!names) return 0;
  int removed = 0;
  for (const std::string& name : *names) {
    if (!IsLeftover(name)) continue;
    const std::string path = (folder.empty() || folder.back() == '/' ? folder : folder + "/") + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace fotoloom
