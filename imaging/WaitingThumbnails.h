// Thumbnails made before the stage that writes them, waiting as encoded bytes within a memory bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "core/PosixIo.h"

namespace fotoloom {

// Each photo's thumbnail, by photo index: its JPEG data, or the error that
// stopped it. The first MemoryLimit bytes wait in memory; later thumbnails
// wait in one temporary file in the output folder, created under a hidden
// name (SpillFileNameTemplate: a prefix, the process id and six random
// characters) and unlinked as soon as it is open, so that it takes no room
// once the program ends, whichever way it ends: done, error, cancel, Ctrl-C
// or a crash. Where the file system cannot unlink an open file, the name
// stays until Clear, and the next run removes it if the program never got
// there (RemoveLeftoverFiles). Used by one thread.
class WaitingThumbnails {
 public:
  // 48 MiB, thousands of thumbnails: with the working memory a second copy
  // per photo adds, a run stays within 64 MiB of one without it.
  static constexpr std::size_t kDefaultMemoryLimit = std::size_t{48} << 20;

  // Encoded bytes held in memory at most.
  std::size_t MemoryLimit = kDefaultMemoryLimit;

  WaitingThumbnails() = default;
  ~WaitingThumbnails();
  WaitingThumbnails(const WaitingThumbnails&) = delete;
  WaitingThumbnails& operator=(const WaitingThumbnails&) = delete;

  // Forgets every thumbnail, and prepares for count photos; the file, if
  // one is needed, goes into folder.
  void Begin(const std::string& folder, int count);

  // Keeps the thumbnail of photo index. One that neither fits in memory nor
  // can be written to the file (no room, no right to create it) is not kept:
  // Holds then answers false, and the caller makes it again when it needs it.
  void Keep(int index, std::string&& jpeg);
  void KeepError(int index, std::exception_ptr error);
  bool Holds(int index) const;

  // Moves the thumbnail of photo index into jpeg, or raises the error kept
  // for it; either way it is no longer kept. Raises "Cannot read file ..."
  // when the file fails.
  void Take(int index, std::string& jpeg);

  // Forgets every thumbnail and closes (and, if it has a name, removes) the file.
  void Clear();

  std::size_t BytesInMemory() const { return memoryBytes_; }
  std::size_t BytesInFile() const { return fileBytes_; }
  // The file's path while it is open ("" otherwise). It names nothing
  // unless the file system refused to unlink the open file.
  const std::string& FilePath() const { return path_; }

 private:
  enum class Where : std::uint8_t { Nowhere, Memory, File, Failed };
  struct Slot {
    Where where = Where::Nowhere;
    std::string bytes;         // in memory
    std::uint64_t offset = 0;  // in the file
    std::size_t size = 0;
    std::exception_ptr error;
  };

  // Writes jpeg to the end of the file (opening it first); false when it cannot.
  bool Append(const std::string& jpeg, std::uint64_t& offset);
  void CloseFile();

  std::vector<Slot> slots_;
  std::string folder_;
  std::size_t memoryBytes_ = 0;
  std::size_t fileBytes_ = 0;
  FileDescriptor fd_;
  std::string path_;
  bool named_ = false;       // the file still has its name
  bool fileFailed_ = false;  // no further thumbnail goes to the file this run
};

}  // namespace fotoloom
