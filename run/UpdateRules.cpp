// The decisions of an update.
#include "run/UpdateRules.h"

namespace fotoloom {

bool WithinOneTick(FileTime time, FileTime later) {
  const std::int64_t t = time.Sec * 1'000'000'000 + time.Nsec;
  const std::int64_t l = later.Sec * 1'000'000'000 + later.Nsec;
  // A time after the later one (a clock set back, a skewed server) is as
  // doubtful as one just before it.
  return l - t < kFileClockTickNs;
}

Ownership OwnershipOf(const OwnedEntry* entry, const std::optional<FileFacts>& onDisk, FileTime stateWritten,
                      const std::function<std::optional<std::uint64_t>()>& contentHash) {
  if (!onDisk) return Ownership::Missing;
  if (entry == nullptr || entry->Folder || entry->Facts != *onDisk) return Ownership::NotOurs;
  if (!WithinOneTick(onDisk->Modified, stateWritten)) return Ownership::Ours;
  // Written so shortly before the state that someone may have written it
  // again in the same tick: only its content tells.
  const std::optional<std::uint64_t> hash = contentHash ? contentHash() : std::nullopt;
  return hash && *hash == entry->Hash ? Ownership::Ours : Ownership::NotOurs;
}

bool SamePhoto(const PhotoIdentity& recorded, const PhotoIdentity& now,
               const std::function<std::optional<std::uint64_t>()>& contentHash) {
  if (recorded.Path != now.Path || recorded.Facts != now.Facts) return false;
  if (!recorded.Racy && !now.Racy) return true;
  // Equal facts, one of them taken within a tick of the photo's time: a
  // change in that tick would not show in them, only in the content.
  if (!recorded.Racy) return false;  // now racy, recorded not: a clock set back
  const std::optional<std::uint64_t> hash = now.Racy      ? std::optional(now.Hash)
                                            : contentHash ? contentHash()
                                                          : std::nullopt;
  return hash && *hash == recorded.Hash;
}

bool MustEncodeAgain(const OwnedEntry* entry, Ownership file, bool samePhoto, const std::string& recipe) {
  return entry == nullptr || file != Ownership::Ours || !samePhoto || entry->Recipe != recipe;
}

OriginalCopy OriginalCopyAction(Ownership file, bool samePhoto) {
  switch (file) {
    case Ownership::Missing: return OriginalCopy::UnlessPresentWhole;
    case Ownership::NotOurs: return OriginalCopy::Skip;
    case Ownership::Ours: break;
  }
  return samePhoto ? OriginalCopy::Skip : OriginalCopy::ReplaceWhole;
}

}  // namespace fotoloom
