// Waiting thumbnails: memory up to a bound, then one unlinked temporary file in the output folder.
#include "imaging/WaitingThumbnails.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/Error.h"
#include "imaging/OutputName.h"

namespace fotoloom {

namespace {

// mkostemp replaces these six characters of the name with random ones.
constexpr const char* kRandomPart = "XXXXXX";

}  // namespace

WaitingThumbnails::~WaitingThumbnails() { CloseFile(); }

void WaitingThumbnails::Begin(const std::string& folder, int count) {
  Clear();
  folder_ = folder;
  slots_.resize(static_cast<std::size_t>(count > 0 ? count : 0));
}

void WaitingThumbnails::Keep(int index, std::string&& jpeg) {
  if (index < 0 || static_cast<std::size_t>(index) >= slots_.size()) return;
  Slot& slot = slots_[static_cast<std::size_t>(index)];
  slot = Slot{};
  slot.size = jpeg.size();
  if (memoryBytes_ + jpeg.size() <= MemoryLimit) {
    memoryBytes_ += jpeg.size();
    slot.bytes = std::move(jpeg);
    slot.where = Where::Memory;
  } else if (Append(jpeg, slot.offset)) {
    slot.where = Where::File;
  }
}

void WaitingThumbnails::KeepError(int index, std::exception_ptr error) {
  if (index < 0 || static_cast<std::size_t>(index) >= slots_.size()) return;
  Slot& slot = slots_[static_cast<std::size_t>(index)];
  slot = Slot{};
  slot.error = std::move(error);
  slot.where = Where::Failed;
}

bool WaitingThumbnails::Holds(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < slots_.size() &&
         slots_[static_cast<std::size_t>(index)].where != Where::Nowhere;
}

void WaitingThumbnails::Take(int index, std::string& jpeg) {
  if (!Holds(index)) throw Error("No thumbnail waits for image " + std::to_string(index));
  Slot slot = std::move(slots_[static_cast<std::size_t>(index)]);
  slots_[static_cast<std::size_t>(index)] = Slot{};
  switch (slot.where) {
    case Where::Memory:
      memoryBytes_ -= slot.size;
      jpeg = std::move(slot.bytes);
      return;
    case Where::Failed: std::rethrow_exception(slot.error);
    case Where::File: break;
    case Where::Nowhere: return;
  }
  jpeg.resize(slot.size);
  std::size_t done = 0;
  while (done < slot.size) {
    const ssize_t n = ::pread(fd_, jpeg.data() + done, slot.size - done, static_cast<off_t>(slot.offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      throw Error("Cannot read file \"" + path_ + "\". " + std::strerror(err));
    }
    done += static_cast<std::size_t>(n);
  }
}

bool WaitingThumbnails::Append(const std::string& jpeg, std::uint64_t& offset) {
  if (fileFailed_) return false;
  if (fd_ < 0) {
    std::string path = OutputFilePath(folder_, kFilePrefix, kRandomPart);
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) {
      fileFailed_ = true;
      return false;
    }
    fd_ = fd;
    path_ = std::move(path);
    // Without a name the file goes with the last descriptor, however the
    // program ends.
    named_ = ::unlink(path_.c_str()) != 0;
  }
  std::size_t done = 0;
  while (done < jpeg.size()) {
    const ssize_t n = ::pwrite(fd_, jpeg.data() + done, jpeg.size() - done, static_cast<off_t>(fileBytes_ + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A file system that is full now stays so for this run.
      fileFailed_ = true;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  offset = fileBytes_;
  fileBytes_ += jpeg.size();
  return true;
}

void WaitingThumbnails::Clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  memoryBytes_ = 0;
  CloseFile();
}

void WaitingThumbnails::CloseFile() {
  if (fd_ >= 0) ::close(fd_);
  if (named_) ::unlink(path_.c_str());
  fd_ = -1;
  named_ = false;
  path_.clear();
  fileBytes_ = 0;
  fileFailed_ = false;
}

void WaitingThumbnails::RemoveLeftovers(const std::string& folder) {
  const std::string prefix = kFilePrefix;
  const std::size_t length = prefix.size() + std::strlen(kRandomPart);
  std::error_code ec;
  std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != length || name.compare(0, prefix.size(), prefix) != 0) continue;
    std::error_code ignored;
    if (it->symlink_status(ignored).type() == std::filesystem::file_type::regular)
      std::filesystem::remove(it->path(), ignored);
  }
}

}  // namespace fotoloom
