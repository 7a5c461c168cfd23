// The state an update keeps in the output folder: which files Fotoloom wrote there, and from what.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/OutputNames.h"
#include "core/PosixIo.h"

namespace fotoloom {

// The version of the state's format; a state of another version is ignored.
inline constexpr int kUpdateStateVersion = 1;

// A file time to the nanosecond.
struct FileTime {
  std::int64_t Sec = 0;
  std::int64_t Nsec = 0;
  auto operator<=>(const FileTime&) const = default;
};

// What tells one content of a file from another under the same name without
// reading it: its size, its modification time and its inode.
struct FileFacts {
  std::int64_t Size = 0;
  FileTime Modified;
  std::uint64_t Inode = 0;
  bool operator==(const FileFacts&) const = default;
};

// The facts of the regular file at path; nothing for a missing file, a
// folder, a link or anything else that is not a regular file.
std::optional<FileFacts> RegularFileFacts(const std::string& path);

// The inode of the folder at path (not a link to one); nothing otherwise.
std::optional<std::uint64_t> FolderInode(const std::string& path);

// One input photo as a run read it.
struct PhotoIdentity {
  std::string Path;
  FileFacts Facts;
  // Its modification time was so close to the time it was read that a later
  // change within the same tick of the file system's clock would not show
  // in its facts: its content is then fingerprinted too (ContentHash, taken
  // before the photo is read for its images), and the next update compares
  // the content.
  bool Racy = false;
  std::uint64_t Hash = 0;
  bool operator==(const PhotoIdentity&) const = default;
};

// One file or folder of the output folder that Fotoloom wrote or made.
struct OwnedEntry {
  bool Folder = false;     // a folder made while copying the additional elements
  FileFacts Facts;         // as written (of a folder only the inode counts)
  std::uint64_t Hash = 0;  // ContentHash of what was written
  // "n_", "t_" and "b_" files: the photo they were made from and the recipe
  // (OutputRecipe; "copy", or LocationFreeCopyRecipe, for "b_"). Empty for
  // pages and additional elements.
  PhotoIdentity Photo;
  std::string Recipe;
  bool operator==(const OwnedEntry&) const = default;
};

// What the state knows: its entries by name relative to the output folder
// ("n_IMG_1.JPG", "nav/arrow.gif"), and when it was last written.
struct UpdateState {
  std::map<std::string, OwnedEntry> Entries;
  FileTime Written;  // the state file's modification time when it was read
};

// The state's text: a header naming the format's version and the output
// folder (by inode), then one line per entry. Names and paths are written
// with "%XX" for bytes below "!", "%" and DEL, so every field is one word.
std::string UpdateStateText(const UpdateState& state, std::uint64_t folderInode);
// The line that adds or replaces the entry of name.
std::string UpdateEntryLine(const std::string& name, const OwnedEntry& entry);
// The line that removes the entry of name.
std::string UpdateForgetLine(const std::string& name);

// Why a state could not be used.
enum class StateTrouble {
  None,
  Missing,       // no state file (or none that can be read as a file)
  Damaged,       // not a state's text, or a line that is not one of ours
  OtherVersion,  // a state of another version of its format
  OtherFolder,   // a state of another output folder, copied or moved here
  NameOutside,   // a line naming a file the output folder's name rule refuses
};

// The line a run shows when it cannot use a state for trouble: "The update
// state was damaged: a full run". Empty for None and Missing (a first
// update has no state to use).
std::string StateTroubleMessage(StateTrouble trouble);

// Reads the text back, applying the lines in order (a later line of a name
// replaces an earlier one). Nothing when the header is missing, of another
// version or of another folder, or any whole line is not one of ours or
// names a file the output folder's name rule refuses (OutputNameFault); a
// last line without its line end (an append cut short) is left out.
// trouble, when given, receives why there is nothing.
std::optional<UpdateState> ParseUpdateState(std::string_view text, std::uint64_t folderInode,
                                            StateTrouble* trouble = nullptr);

// The state of the output folder, with Written set; nothing when the file is
// missing, unreadable or not a state of this folder (see ParseUpdateState).
// trouble, when given, receives why there is nothing.
std::optional<UpdateState> ReadUpdateState(const std::string& folder, StateTrouble* trouble = nullptr);

// The state file of one output folder while a run writes it: rewritten whole
// through a temporary file and a rename, and appended to line by line in
// between, so that a run cut short at any point leaves a state whose lines
// name only files written whole. A write that fails leaves the file as it
// was and is not reported: the gallery does not depend on it, and an update
// without a usable state does a full run.
class UpdateStateFile {
 public:
  explicit UpdateStateFile(std::string folder);
  ~UpdateStateFile();
  UpdateStateFile(const UpdateStateFile&) = delete;
  UpdateStateFile& operator=(const UpdateStateFile&) = delete;

  // Replaces the file with the text of state; true when it was written.
  // Appends go to the new file afterwards, and nowhere until one Rewrite
  // has succeeded.
  bool Rewrite(const UpdateState& state);
  void Append(const std::string& line);

  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
  FileDescriptor fd_;
};

}  // namespace fotoloom
