// The decisions of an update, as pure functions of what the state recorded and what is on disk now.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "imaging/Un_Copy_File.h"
#include "run/UpdateState.h"

namespace fotoloom {

// Nanoseconds within which two file times may fall into one tick of a file
// system's clock (FAT keeps even seconds; most keep a few milliseconds).
inline constexpr std::int64_t kFileClockTickNs = 2'000'000'000;

// Whether a time lies within one tick of the later time: a file whose
// modification time is that close to when its facts were taken may change
// again without its facts showing it.
bool WithinOneTick(FileTime time, FileTime later);

// How a name of the output folder stands to the entry the state has for it.
enum class Ownership {
  Missing,  // no file (or folder) of that name
  Ours,     // the file Fotoloom wrote, unchanged since
  NotOurs,  // no entry, or the file changed since it was written
};

// Whether the file with facts onDisk is the one entry recorded: the same
// size, modification time and inode; and, when its modification time lies
// within one tick of the state's own (stateWritten), the same content too,
// which contentHash reads (called only then; nothing when it cannot be
// read). A null entry or missing facts answer NotOurs or Missing.
Ownership OwnershipOf(const OwnedEntry* entry, const std::optional<FileFacts>& onDisk, FileTime stateWritten,
                      const std::function<std::optional<std::uint64_t>()>& contentHash);

// Whether the photo is the one recorded: the same path, size, modification
// time and inode; and when either was racy, the same content (the recorded
// fingerprint against now's, which contentHash reads when now is not racy).
bool SamePhoto(const PhotoIdentity& recorded, const PhotoIdentity& now,
               const std::function<std::optional<std::uint64_t>()>& contentHash);

// Whether an "n_" or "t_" file must be encoded again: it is missing or not
// the one recorded, its photo changed (samePhoto), or its recipe (the
// settings that reach its bytes and the image code's version) changed.
bool MustEncodeAgain(const OwnedEntry* entry, Ownership file, bool samePhoto, const std::string& recipe);

// What becomes of a "b_" copy: made when missing; replaced when it is ours
// and its photo changed; otherwise left as it is (a file Fotoloom did not
// write, or that changed since, is never replaced).
OriginalCopy OriginalCopyAction(Ownership file, bool samePhoto);

// Whether a file the state records and the full run would not write may be
// deleted: only when it is still the one Fotoloom wrote.
inline bool MayDelete(Ownership file) { return file == Ownership::Ours; }

}  // namespace fotoloom
