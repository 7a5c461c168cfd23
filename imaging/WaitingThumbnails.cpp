// Waiting thumbnails: memory up to a bound, then one unlinked temporary file in the output folder.
#include "imaging/WaitingThumbnails.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/Error.h"
#include "core/TemporaryFiles.h"
#include "imaging/OutputName.h"

namespace fotoloom {

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
  const ssize_t n = ReadAllAt(fd_.get(), jpeg.data(), slot.size, static_cast<off_t>(slot.offset));
  if (n < 0 || static_cast<std::size_t>(n) != slot.size) {
    const int err = n < 0 ? errno : EIO;  // the file ended before the thumbnail
    throw Error("Cannot read file \"" + path_ + "\". " + std::strerror(err));
  }
}

bool WaitingThumbnails::Append(const std::string& jpeg, std::uint64_t& offset) {
  if (fileFailed_) return false;
  if (!fd_.valid()) {
    std::string path = OutputFilePath(folder_, "", SpillFileNameTemplate());
    FileDescriptor fd(::mkostemp(path.data(), O_CLOEXEC));
    if (!fd.valid()) {
      fileFailed_ = true;
      return false;
    }
    fd_ = std::move(fd);
    path_ = std::move(path);
    // Without a name the file goes with the last descriptor, however the
    // program ends.
    named_ = ::unlink(path_.c_str()) != 0;
  }
  if (!WriteAllAt(fd_.get(), jpeg, static_cast<off_t>(fileBytes_))) {
    // A file system that is full now stays so for this run.
    fileFailed_ = true;
    return false;
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
  fd_.Close();
  if (named_) ::unlink(path_.c_str());
  named_ = false;
  path_.clear();
  fileBytes_ = 0;
  fileFailed_ = false;
}

}  // namespace fotoloom
