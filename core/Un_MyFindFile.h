// Listing the files of one folder that match a wildcard mask and an attribute filter.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/Cancellable.h"

namespace fotoloom {

// File attribute bits as the search reports and filters them.
enum FileAttribute : unsigned {
  faReadOnly = 1,
  faHidden = 2,
  faSysFile = 4,
  faVolumeID = 8,
  faDirectory = 16,
  faArchive = 32,
};

// A calendar day in local time.
struct CalendarDate {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  auto operator<=>(const CalendarDate&) const = default;
};

// A local date and time with two-second resolution (Second is always even).
struct LocalDateTime {
  CalendarDate Date;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  auto operator<=>(const LocalDateTime&) const = default;
};

// A local date and time to the nanosecond: a file's last write, or the
// moment a camera recorded a photo as taken (its own clock, no time zone).
struct LocalTimestamp {
  CalendarDate Date;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Nanosecond = 0;  // 0..999999999
  auto operator<=>(const LocalTimestamp&) const = default;
};

// What the search reports of one entry.
struct FoundFile {
  std::string Name;            // without folder
  unsigned Attr = 0;           // FileAttribute bits
  std::int64_t Size = 0;       // bytes
  LocalDateTime Time;          // last write, local time
  LocalTimestamp ExactTime{};  // last write, local time, to the nanosecond
};

// One input image found by a run.
struct ImageEntry {
  std::string Folder;         // ends in "/"
  std::string FileName;       // name with extension, as the file system has it
  CalendarDate FileDate;      // local day of the last write
  LocalTimestamp FileTime{};  // local time of the last write, to the nanosecond
  // When the photo was taken as its metadata says; set by a run that reads
  // metadata, before the order is made. Empty: unknown or not read.
  std::optional<LocalTimestamp> DateTaken{};
};

// The ImageEntry for a file reported in folder.
ImageEntry MakeImageEntry(const std::string& folder, const FoundFile& file);

// Lists the entries of SearchFolder (not its subfolders) whose names match
// Mask and whose attributes pass Attributes, reporting each through
// OnFileFound, and fires OnSearchDone at the end of every search.
//
// On Linux an entry's attributes are: folder for a directory, hidden for a
// name beginning with ".", read-only when the owner may not write it, archive
// for any regular file; system and volume label are never set. Symbolic links
// are followed; a link whose target is missing is skipped, and so is
// anything that is neither a regular file nor a folder (a FIFO, socket or
// device, which could block whoever opens it). Name matching is
// case-insensitive, "*" matches any run of characters including dots and "?"
// one character; a mask ending in ".*" also admits names without an extension
// (so "*.*" admits every name). A mask may list several patterns separated
// by ";" ("*.jp*g;*.png"): a name matching any of them matches. Entries are reported in byte order of their
// names, so that a gallery comes out the same on every run.
class TMyFindFile : public Cancellable {
 public:
  using FileFoundEvent =
      std::function<void(TMyFindFile& Sender, const std::string& Folder, const FoundFile& File, bool& Cancelled)>;
  using SearchDoneEvent = std::function<void(TMyFindFile& Sender)>;

  static constexpr unsigned kDefaultAttributes = faReadOnly | faHidden | faSysFile | faArchive;

  // Cancelled (a stop request) is tested after each reported file; the
  // caller clears it before a search. A run's search reads the run's flag.
  TMyFindFile() = default;
  explicit TMyFindFile(bool& cancelled) : Cancellable(cancelled) {}

  // Files reported in the current search.
  std::int32_t FileCount = 0;
  // FileAttribute bits of the kinds of entry admitted.
  unsigned Attributes = kDefaultAttributes;
  // Folder to search; a "/" is appended when missing.
  std::string SearchFolder;
  std::string Mask = "*.*";
  FileFoundEvent OnFileFound;
  SearchDoneEvent OnSearchDone;

  // Runs one search and returns after OnSearchDone has returned. A folder
  // that is empty, missing or unreadable lists nothing; it never throws for that.
  void Search();
};

// True when name matches the wildcard mask under the rules described above.
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace fotoloom
