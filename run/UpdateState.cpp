// The update state's text, its reading and its writing.
#include "run/UpdateState.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <vector>

#include "core/Error.h"
#include "core/PercentEscape.h"
#include "core/PosixIo.h"
#include "core/TextFile.h"

namespace fotoloom {
namespace {

constexpr std::string_view kMagic = "fotoloom-update-state";

std::string StatePath(const std::string& folder) {
  return (folder.empty() || folder.back() == '/' ? folder : folder + "/") + std::string(kUpdateStateFileName);
}

// One field: "-" for an empty text, bytes that would split or confuse a
// line written "%XX".
std::string Escaped(std::string_view text) {
  if (text.empty()) return "-";
  if (text == "-") return "%2D";
  return PercentEscaped(text, [](unsigned char c) { return c <= 0x20 || c == '%' || c == 0x7F; });
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> Unescaped(std::string_view field) {
  if (field == "-") return std::string();
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    const int hi = HexDigit(field[i + 1]);
    const int lo = HexDigit(field[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return out;
}

template <typename T>
std::optional<T> Number(std::string_view field, int base = 10) {
  T value{};
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value, base);
  if (ec != std::errc() || end != field.data() + field.size() || field.empty()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (start <= line.size()) {
    const std::size_t space = line.find(' ', start);
    const std::size_t end = space == std::string_view::npos ? line.size() : space;
    fields.push_back(line.substr(start, end - start));
    if (space == std::string_view::npos) break;
    start = space + 1;
  }
  return fields;
}

std::string FactsText(const FileFacts& f) {
  return std::to_string(f.Size) + " " + std::to_string(f.Modified.Sec) + " " + std::to_string(f.Modified.Nsec) + " " +
         std::to_string(f.Inode);
}

std::optional<FileFacts> FactsFrom(const std::vector<std::string_view>& fields, std::size_t first) {
  const auto size = Number<std::int64_t>(fields[first]);
  const auto sec = Number<std::int64_t>(fields[first + 1]);
  const auto nsec = Number<std::int64_t>(fields[first + 2]);
  const auto inode = Number<std::uint64_t>(fields[first + 3]);
  if (!size || !sec || !nsec || !inode || *nsec < 0 || *nsec > 999'999'999) return std::nullopt;
  return FileFacts{*size, {*sec, *nsec}, *inode};
}

// Applies the fields of one line whose name passed the rule; false when they
// are not those of a line of ours.
bool ApplyEntry(const std::vector<std::string_view>& f, const std::string& name, UpdateState& state) {
  if (f[0] == "D" && f.size() == 2) {
    state.Entries.erase(name);
    return true;
  }
  if (f[0] == "M" && f.size() == 3) {
    const auto inode = Number<std::uint64_t>(f[2]);
    if (!inode) return false;
    OwnedEntry e;
    e.Folder = true;
    e.Facts.Inode = *inode;
    state.Entries[name] = e;
    return true;
  }
  if (f[0] != "F" || f.size() != 14) return false;
  OwnedEntry e;
  const auto facts = FactsFrom(f, 2);
  const auto hash = Number<std::uint64_t>(f[6], 16);
  const auto photo = Unescaped(f[7]);
  const auto photoFacts = FactsFrom(f, 8);
  const auto recipe = Unescaped(f[13]);
  // The photo's fingerprint, "-" when it was not racy.
  const bool racy = f[12] != "-";
  const auto photoHash = racy ? Number<std::uint64_t>(f[12], 16) : std::optional<std::uint64_t>(0);
  if (!facts || !hash || !photo || !photoFacts || !recipe || !photoHash) return false;
  e.Facts = *facts;
  e.Hash = *hash;
  e.Photo = {*photo, *photoFacts, racy, *photoHash};
  e.Recipe = *recipe;
  state.Entries[name] = e;
  return true;
}

// Applies one whole line to state; the trouble when it is not a line of ours.
StateTrouble ApplyLine(std::string_view line, UpdateState& state) {
  const std::vector<std::string_view> f = Fields(line);
  const std::optional<std::string> name = f.size() >= 2 ? Unescaped(f[1]) : std::nullopt;
  if (!name) return StateTrouble::Damaged;
  // A name that could lead outside the folder, or to the state itself, was
  // not written by us: the whole state is not to be trusted.
  if (OutputNameFault(*name, NameShape::Nested) != NameFault::None) return StateTrouble::NameOutside;
  return ApplyEntry(f, *name, state) ? StateTrouble::None : StateTrouble::Damaged;
}

// The header of a state of the current version for another folder, or of
// another version: what the first line of text would say.
StateTrouble HeaderTrouble(std::string_view text) {
  const std::string magic = std::string(kMagic) + " ";
  if (!text.starts_with(magic)) return StateTrouble::Damaged;
  const std::string version = std::to_string(kUpdateStateVersion) + " folder ";
  return text.substr(magic.size()).starts_with(version) ? StateTrouble::OtherFolder : StateTrouble::OtherVersion;
}

std::string Header(std::uint64_t folderInode) {
  return std::string(kMagic) + " " + std::to_string(kUpdateStateVersion) + " folder " + std::to_string(folderInode) +
         "\n";
}

}  // namespace

std::optional<FileFacts> RegularFileFacts(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileFacts{static_cast<std::int64_t>(st.st_size),
                   {st.st_mtim.tv_sec, st.st_mtim.tv_nsec},
                   static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<std::uint64_t> FolderInode(const std::string& path) {
  struct stat st {};
  if (::lstat(path.empty() ? "." : path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_ino);
}

std::string UpdateEntryLine(const std::string& name, const OwnedEntry& e) {
  if (e.Folder) return "M " + Escaped(name) + " " + std::to_string(e.Facts.Inode) + "\n";
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(e.Hash));
  char photoHash[17];
  std::snprintf(photoHash, sizeof photoHash, "%016llx", static_cast<unsigned long long>(e.Photo.Hash));
  return "F " + Escaped(name) + " " + FactsText(e.Facts) + " " + hash + " " + Escaped(e.Photo.Path) + " " +
         FactsText(e.Photo.Facts) + " " + (e.Photo.Racy ? std::string(photoHash) : std::string("-")) + " " +
         Escaped(e.Recipe) + "\n";
}

std::string UpdateForgetLine(const std::string& name) { return "D " + Escaped(name) + "\n"; }

std::string UpdateStateText(const UpdateState& state, std::uint64_t folderInode) {
  std::string text = Header(folderInode);
  for (const auto& [name, entry] : state.Entries) text += UpdateEntryLine(name, entry);
  return text;
}

std::string StateTroubleMessage(StateTrouble trouble) {
  switch (trouble) {
    case StateTrouble::None:
    case StateTrouble::Missing: return {};
    case StateTrouble::Damaged: return "The update state was damaged: a full run";
    case StateTrouble::OtherVersion: return "The update state is of another version of Fotoloom: a full run";
    case StateTrouble::OtherFolder: return "The update state was written for another output folder: a full run";
    case StateTrouble::NameOutside:
      return "The update state names a file it cannot have written (outside the output folder, or the state "
             "itself): a full run";
  }
  return {};
}

std::optional<UpdateState> ParseUpdateState(std::string_view text, std::uint64_t folderInode, StateTrouble* trouble) {
  StateTrouble local = StateTrouble::None;
  StateTrouble& why = trouble ? *trouble : local;
  why = StateTrouble::None;
  const std::string header = Header(folderInode);
  if (text.substr(0, header.size()) != header) {
    why = HeaderTrouble(text);
    return std::nullopt;
  }
  UpdateState state;
  std::size_t start = header.size();
  for (;;) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;  // nothing, or an append cut short
    why = ApplyLine(text.substr(start, end - start), state);
    if (why != StateTrouble::None) return std::nullopt;
    start = end + 1;
  }
  return state;
}

std::optional<UpdateState> ReadUpdateState(const std::string& folder, StateTrouble* trouble) {
  StateTrouble local = StateTrouble::None;
  StateTrouble& why = trouble ? *trouble : local;
  why = StateTrouble::Missing;
  const std::optional<std::uint64_t> inode = FolderInode(folder);
  if (!inode) return std::nullopt;
  timespec modified{};
  const std::optional<std::string> text = ReadRegularFile(StatePath(folder), LinkAtPath::Refuse, &modified);
  if (!text) return std::nullopt;
  std::optional<UpdateState> state = ParseUpdateState(*text, *inode, &why);
  if (state) state->Written = {modified.tv_sec, modified.tv_nsec};
  return state;
}

UpdateStateFile::UpdateStateFile(std::string folder) : folder_(std::move(folder)), path_(StatePath(folder_)) {}

UpdateStateFile::~UpdateStateFile() = default;

bool UpdateStateFile::Rewrite(const UpdateState& state) {
  const std::optional<std::uint64_t> inode = FolderInode(folder_);
  if (!inode) return false;
  try {
    WriteWholeFile(path_, UpdateStateText(state, *inode));
  } catch (const Error&) {
    return false;  // the file is as it was; appends go on to it while open
  }
  fd_ = FileDescriptor(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW));
  return true;
}

void UpdateStateFile::Append(const std::string& line) {
  if (!fd_.valid()) return;
  // One write per line: a run cut short leaves at most the last line partly
  // written, and the reader leaves out a line without its line end. A line
  // that does not fit leaves the rest unwritten: later lines would be glued
  // to its part, so none follows. The next Rewrite starts a whole file again.
  if (!WriteAll(fd_.get(), line)) fd_.Close();
}

}  // namespace fotoloom
