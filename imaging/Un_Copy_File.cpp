// tcopy_file: byte-for-byte copies, or copies without location, that never replace an existing file.
#include "imaging/Un_Copy_File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <utility>
#include <vector>

#include "core/PhotoFormats.h"
#include "core/PosixIo.h"
#include "core/TemporaryFiles.h"
#include "imaging/FullSizeJpeg.h"
#include "imaging/LocationFreeCopy.h"
#include "imaging/OutputName.h"

namespace fotoloom {

namespace {

// Copies the rest of in to out, in the kernel where it can (copy_file_range),
// through a buffer where it cannot.
bool CopyContent(int in, int out) {
  for (;;) {
    const ssize_t n = RetryOnInterrupt([&] { return ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0); });
    if (n == 0) return true;
    if (n > 0) continue;
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
    return false;
  }
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t n = ReadAll(in, buffer.data(), buffer.size());
    if (n < 0 || !WriteAll(out, std::string_view(buffer.data(), static_cast<std::size_t>(n)))) return false;
    if (static_cast<std::size_t>(n) < buffer.size()) return true;
  }
}

// Writes bytes as the new file to unless to exists. A failure after to was
// created removes it again. Returns whether the file was written.
bool WriteFileNoReplace(const std::string& bytes, const std::string& to) {
  FileDescriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!out.valid()) return false;
  bool ok = WriteAll(out.get(), bytes);
  ok = out.Close() && ok;
  if (!ok) ::unlink(to.c_str());
  return ok;
}

// Copies from to to unless to exists. A failure after to was created removes
// it again, so no partial copy stays. Returns whether the copy was made.
bool CopyFileNoReplace(const std::string& from, const std::string& to) {
  FileDescriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.valid()) return false;
  struct stat info;
  if (::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  // O_EXCL makes the existence test and the creation one step.
  FileDescriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!out.valid()) return false;
  bool ok = CopyContent(in.get(), out.get());
  if (ok) {
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(out.get(), times);  // a copy with today's date is still a good copy
  }
  ok = out.Close() && ok;
  if (!ok) ::unlink(to.c_str());
  return ok;
}

// Makes a temporary file beside to with make, then renames it to to: over
// an existing file when replace is set, else only when to does not exist.
// The temporary file goes on every failure. Returns whether the file was made.
bool MakeFileWhole(const std::function<bool(const std::string& temp)>& make, const std::string& to, bool replace) {
  struct stat st {};
  if (!replace && ::lstat(to.c_str(), &st) == 0) return false;
  const std::string temp = TemporaryPathFor(to);
  ::unlink(temp.c_str());
  if (!make(temp)) return false;
  return MoveIntoPlace(temp, to, replace);
}

// Puts a file at target as action says, made by make (which must not leave
// a partial file when it fails); whether it was made.
bool PutFile(const std::function<bool(const std::string& path)>& make, const std::string& target, OriginalCopy action) {
  switch (action) {
    case OriginalCopy::UnlessPresent: return make(target);
    case OriginalCopy::UnlessPresentWhole: return MakeFileWhole(make, target, false);
    case OriginalCopy::ReplaceWhole: return MakeFileWhole(make, target, true);
    case OriginalCopy::Skip: break;
  }
  return false;
}

}  // namespace

bool MoveIntoPlace(const std::string& temp, const std::string& to, bool replace) {
  bool renamed = false;
  if (replace) {
    renamed = std::rename(temp.c_str(), to.c_str()) == 0;
  } else {
    // A link fails when to exists, so a file that appeared meanwhile is kept.
    renamed = ::link(temp.c_str(), to.c_str()) == 0;
  }
  ::unlink(temp.c_str());
  return renamed;
}

bool tcopy_file::MakeFullSize(int index, const std::string& input, std::string& jpeg) {
  // A large photo takes a second or more: it is made on a thread of its
  // own, so that the calling thread can keep firing OnWorking.
  const FullSizeSettings settings{Quality, Background};
  std::vector<std::string> warnings;
  auto make = [&] { MakeFullSizeJpeg(input, settings, {}, jpeg, warnings); };
  bool made = false;
  try {
    if (!OnWorking) {
      make();
    } else {
      std::future<void> done = std::async(std::launch::async, make);
      while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) OnWorking(*this, Cancelled);
      done.get();
    }
    made = true;
  } catch (const std::exception&) {
    // As a copy that failed: not reported; the image stages say what is wrong with the photo.
  }
  if (OnWarning)
    for (const std::string& warning : warnings) OnWarning(*this, index, warning);
  return made;
}

void tcopy_file::Copy_originals() {
  const int count =
      static_cast<int>(std::clamp<std::int64_t>(ImageCount, 0, static_cast<std::int64_t>(ImageFiles.size())));
  // The run works on its own copy of the list: an OnProgress handler may change the field.
  const std::vector<std::string> files(ImageFiles.begin(), ImageFiles.begin() + count);
  const std::vector<OriginalCopy> actions = Actions;
  const std::vector<std::string> subfolders = Subfolders;
  Made.assign(static_cast<std::size_t>(count), false);
  Problems.assign(static_cast<std::size_t>(count), std::string());
  const bool stripLocation = StripLocation;
  for (int i = 0; i < count; ++i) {
    const std::string& input = files[static_cast<std::size_t>(i)];
    const std::string target = ImageOutputPath(
        OutputPath, static_cast<std::size_t>(i) < subfolders.size() ? subfolders[std::size_t(i)] : std::string(), "b_",
        input);
    const OriginalCopy action = static_cast<std::size_t>(i) < actions.size() ? actions[static_cast<std::size_t>(i)]
                                                                             : OriginalCopy::UnlessPresent;
    bool made = false;
    if (action == OriginalCopy::Skip) {
    } else if (FormatOfName(FileNameOf(input)) != PhotoFormat::Jpeg) {
      // A full-size JPEG carries no metadata, so it never has a location.
      // Nothing is made when a file of its name is there and stays.
      struct stat st {};
      const bool present = action != OriginalCopy::ReplaceWhole && ::lstat(target.c_str(), &st) == 0;
      std::string jpeg;
      if (!present && MakeFullSize(i, input, jpeg))
        made = PutFile([&jpeg](const std::string& path) { return WriteFileNoReplace(jpeg, path); }, target, action);
    } else if (stripLocation) {
      LocationFreeCopyResult copied = CopyWithoutLocation(input, target, action == OriginalCopy::ReplaceWhole);
      made = copied.Made;
      if (static_cast<std::size_t>(i) < Problems.size())
        Problems[static_cast<std::size_t>(i)] = std::move(copied.Problem);
    } else {
      made = PutFile([&input](const std::string& path) { return CopyFileNoReplace(input, path); }, target, action);
    }
    if (static_cast<std::size_t>(i) < Made.size()) Made[static_cast<std::size_t>(i)] = made;
    if (OnProgress) OnProgress(*this, i, Cancelled);
    if (Cancelled) return;
  }
}

}  // namespace fotoloom
