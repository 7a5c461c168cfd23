// An update's decisions, writes, records and deletions over one output folder.
#include "run/GalleryUpdate.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "core/ContentHash.h"
#include "core/Error.h"
#include "core/OutputNames.h"
#include "core/PhotoFormats.h"
#include "core/TemporaryFiles.h"
#include "core/TextFile.h"
#include "imaging/OutputName.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;

FileTime RealTimeNow() {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return {ts.tv_sec, ts.tv_nsec};
}

// Whether every folder on the way from the output folder to name is a real
// folder, so that nothing reached through a link is touched.
bool PlainFoldersUpTo(const std::string& folder, const std::string& name) {
  std::size_t slash = name.find('/');
  while (slash != std::string::npos) {
    struct stat st {};
    const std::string path = (folder.empty() ? std::string() : folder + "/") + name.substr(0, slash);
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    slash = name.find('/', slash + 1);
  }
  return true;
}

// Whether the file at path holds exactly bytes.
bool HoldsExactly(const std::string& path, const std::string& bytes) {
  const std::optional<FileFacts> facts = RegularFileFacts(path);
  if (!facts || facts->Size != static_cast<std::int64_t>(bytes.size())) return false;
  const std::optional<std::string> content = ReadRegularFile(path, LinkAtPath::Refuse);
  return content && *content == bytes;
}

}  // namespace

int UpdateDecisions::UpToDate() const {
  return static_cast<int>(
      std::count_if(Photos.begin(), Photos.end(), [](const PhotoDecision& d) { return d.UpToDate(); }));
}

std::vector<OriginalCopy> UpdateDecisions::CopyActions() const {
  std::vector<OriginalCopy> actions;
  for (const PhotoDecision& d : Photos) actions.push_back(d.Copy);
  return actions;
}

std::vector<PhotoNeeds> UpdateDecisions::Needs() const {
  std::vector<PhotoNeeds> needs;
  for (const PhotoDecision& d : Photos) needs.push_back(d.Images);
  return needs;
}

bool IsPlainRelativeName(const std::string& name) {
  return OutputNameFault(name, NameShape::Nested) == NameFault::None;
}

bool OfItsKind(const std::string& name, const OwnedEntry& entry) {
  if (entry.Recipe.empty() && entry.Photo.Path.empty()) return true;
  // In the output folder itself or in an album's folder below it.
  const std::string file = name.substr(name.rfind('/') + 1);
  return OutputNameFault(name, NameShape::Nested) == NameFault::None &&
         (file.starts_with("n_") || file.starts_with("t_") || file.starts_with("t2_") || file.starts_with("b_") ||
          file == kZipFileName);
}

GalleryUpdate::GalleryUpdate(std::string outputFolder, bool write, UpdateClock now)
    : folder_(std::move(outputFolder)), write_(write), now_(now ? std::move(now) : UpdateClock(RealTimeNow)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  if (std::optional<UpdateState> state = ReadUpdateState(folder_, &trouble_)) {
    state_ = std::move(*state);
    hadState_ = true;
  }
  if (!write_) return;
  file_ = std::make_unique<UpdateStateFile>(folder_);
  // Every line from here on is appended to a file that holds what was read.
  file_->Rewrite(state_);
}

GalleryUpdate::~GalleryUpdate() {
  try {
    Finish();
  } catch (...) {  // the state is a help, never a reason to fail
  }
}

std::string GalleryUpdate::PathOf(const std::string& name) const {
  return OutputPathOf(folder_, name, NameShape::Nested);
}

std::string GalleryUpdate::NameOf(const std::string& path) const {
  const fs::path base = folder_.empty() ? fs::path(".") : fs::path(folder_);
  const std::string name = fs::path(path).lexically_relative(base).generic_string();
  return IsPlainRelativeName(name) ? name : std::string();
}

bool GalleryUpdate::InFoldersItMade(const std::string& name) const {
  for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
    const std::string folder = name.substr(0, slash);
    const OwnedEntry* entry = EntryOf(folder);
    if (entry == nullptr || !entry->Folder || FolderInode(PathOf(folder)) != entry->Facts.Inode) return false;
  }
  return true;
}

bool GalleryUpdate::MayDeleteFile(const std::string& name, const OwnedEntry& entry) const {
  // A name a run writes for a file of its kind, in a folder Fotoloom made,
  // unchanged since written by its facts and by its content whatever its age.
  return OfItsKind(name, entry) && InFoldersItMade(name) && MayDelete(OwnershipOfName(name)) &&
         FileContentHash(PathOf(name)) == entry.Hash;
}

Ownership GalleryUpdate::OwnershipOfName(const std::string& name) const {
  const auto it = state_.Entries.find(name);
  const OwnedEntry* entry = it == state_.Entries.end() ? nullptr : &it->second;
  const std::string path = PathOf(name);
  if (!PlainFoldersUpTo(folder_, name)) return Ownership::NotOurs;
  return OwnershipOf(entry, RegularFileFacts(path), state_.Written, [&path] { return FileContentHash(path); });
}

void GalleryUpdate::Record(const std::string& name, const OwnedEntry& entry) {
  // Only names the state may hold: a state that names another would be untrusted.
  if (!IsPlainRelativeName(name)) return;
  state_.Entries[name] = entry;
  if (file_) file_->Append(UpdateEntryLine(name, entry));
}

void GalleryUpdate::Forget(const std::string& name) {
  if (state_.Entries.erase(name) != 0 && file_) file_->Append(UpdateForgetLine(name));
}

void GalleryUpdate::Want(const std::string& name) { wanted_.insert(name); }

PhotoIdentity GalleryUpdate::Observe(const std::string& photoPath) const {
  PhotoIdentity photo;
  photo.Path = photoPath;
  struct stat st {};
  if (::stat(photoPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    photo.Facts.Size = -1;  // matches no recorded photo
    photo.Racy = true;
    return photo;
  }
  photo.Facts = {static_cast<std::int64_t>(st.st_size),
                 {st.st_mtim.tv_sec, st.st_mtim.tv_nsec},
                 static_cast<std::uint64_t>(st.st_ino)};
  photo.Racy = WithinOneTick(photo.Facts.Modified, now_());
  if (photo.Racy) {
    // Taken before the photo is read for its images: a change after it
    // shows as another fingerprint.
    const std::optional<std::uint64_t> hash = FileContentHash(photoPath);
    photo.Hash = hash.value_or(0);
    if (!hash) photo.Facts.Size = -1;
  }
  return photo;
}

const OwnedEntry* GalleryUpdate::EntryOf(const std::string& name) const {
  const auto it = state_.Entries.find(name);
  return it == state_.Entries.end() ? nullptr : &it->second;
}

bool GalleryUpdate::FromSamePhoto(const std::string& name, const PhotoIdentity& photo) {
  const OwnedEntry* entry = EntryOf(name);
  if (entry == nullptr) return false;
  if (!SamePhoto(entry->Photo, photo, [&photo] { return FileContentHash(photo.Path); })) return false;
  if (entry->Photo.Racy && !photo.Racy) {
    // The content checked out past the tick: its facts now tell it alone.
    OwnedEntry settled = *entry;
    settled.Photo = photo;
    Record(name, settled);
  }
  return true;
}

PhotoDecision GalleryUpdate::DecidePhoto(const std::string& photoPath, const std::string& subfolder,
                                         const std::string& copyRecipe, const std::string& scaledRecipe,
                                         const std::string& thumbRecipe) {
  PhotoDecision decision;
  decision.Photo = Observe(photoPath);
  if (!copyRecipe.empty()) decision.Copy = DecideCopy(decision.Photo, subfolder, copyRecipe);
  decision.Images = DecideImages(decision.Photo, subfolder, scaledRecipe, thumbRecipe);
  decision.ScaledRecipe = scaledRecipe;
  decision.ThumbRecipe = thumbRecipe;
  decision.CopyRecipe = copyRecipe;
  return decision;
}

OriginalCopy GalleryUpdate::DecideCopy(const PhotoIdentity& photo, const std::string& subfolder,
                                       const std::string& recipe) {
  const std::string b = NameInSubfolder(subfolder, ImageFileName("b_", FileNameOf(photo.Path)));
  Want(b);
  const Ownership own = OwnershipOfName(b);
  // A "b_" file made otherwise (with or without location; a full-size JPEG
  // of another quality, background or image code) is made again, as a
  // changed photo is.
  const OwnedEntry* entry = EntryOf(b);
  const bool same = own == Ownership::Ours && entry != nullptr && entry->Recipe == recipe && FromSamePhoto(b, photo);
  const OriginalCopy action = OriginalCopyAction(own, same);
  if (own == Ownership::NotOurs) {
    NotOurs(b);
    // A copy that is not the photo's stays; the user should know why.
    const std::string path = PathOf(b);
    if (OnWarning && RegularFileFacts(path) && FileContentHash(path) != FileContentHash(photo.Path))
      OnWarning(b + " is kept: it differs from " + FileNameOf(photo.Path) +
                " and was not written by this update; delete it to have it copied again");
  }
  return action;
}

std::vector<std::string> ScaledImageFileNames(const std::string& fileName, const ExtraImages& extra) {
  const std::string n = ImageFileName("n_", fileName);
  if (!extra.Webp) return {n};
  return {n, WebpFileName(n)};
}

std::vector<std::string> ThumbnailFileNames(const std::string& fileName, const ExtraImages& extra) {
  std::vector<std::string> names;
  const auto add = [&](const std::string& jpeg) {
    names.push_back(jpeg);
    if (extra.Webp) names.push_back(WebpFileName(jpeg));
  };
  add(ImageFileName("t_", fileName));
  if (extra.SharpThumbnails) add(ImageFileName("t2_", fileName));
  return names;
}

bool GalleryUpdate::MustMakeAgain(const std::vector<std::string>& names, const PhotoIdentity& photo,
                                  const std::string& recipe) {
  bool again = false;
  for (const std::string& name : names) {
    Want(name);
    imageNames_.insert(name);
    // Every file of the group is looked at, so each is wanted and settled.
    const Ownership own = OwnershipOfName(name);
    again = MustEncodeAgain(EntryOf(name), own, own == Ownership::Ours && FromSamePhoto(name, photo), recipe) || again;
  }
  return again;
}

PhotoNeeds GalleryUpdate::DecideImages(const PhotoIdentity& photo, const std::string& subfolder,
                                       const std::string& scaledRecipe, const std::string& thumbRecipe) {
  const std::string file = FileNameOf(photo.Path);
  const auto inSubfolder = [&subfolder](std::vector<std::string> names) {
    for (std::string& name : names) name = NameInSubfolder(subfolder, name);
    return names;
  };
  PhotoNeeds needs;
  // The files of one recipe come from one encoding: any of them missing or
  // changed makes them all again.
  needs.ScaledImage = MustMakeAgain(inSubfolder(ScaledImageNames(file)), photo, scaledRecipe);
  needs.Thumbnail = MustMakeAgain(inSubfolder(ThumbnailNames(file)), photo, thumbRecipe);
  return needs;
}

ZipDecision GalleryUpdate::DecideZip(const std::string& name, const std::vector<std::string>& photoPaths,
                                     const std::string& settingsRecipe) {
  Want(name);
  // Each photo by its facts; one changed within the clock's tick of now
  // also by its content, which its facts may not yet tell.
  std::string list;
  for (const std::string& path : photoPaths) {
    const PhotoIdentity photo = Observe(path);
    list += path + '\n' + std::to_string(photo.Facts.Size) + ' ' + std::to_string(photo.Facts.Modified.Sec) + '.' +
            std::to_string(photo.Facts.Modified.Nsec) + ' ' + std::to_string(photo.Facts.Inode) +
            (photo.Racy ? " content " + std::to_string(photo.Hash) + "\n" : "\n");
  }
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(ContentHash(list)));
  ZipDecision decision;
  decision.Recipe = settingsRecipe + " photos " + std::to_string(photoPaths.size()) + " " + hash;
  const OwnedEntry* entry = EntryOf(name);
  decision.Write = entry == nullptr || OwnershipOfName(name) != Ownership::Ours || entry->Recipe != decision.Recipe;
  return decision;
}

void GalleryUpdate::WritePage(const std::string& name, const std::string& text) {
  // name may lead into an album's folder ("2024/page1.htm").
  const std::string path = PathOf(name);
  Want(NameOf(path));
  if (!HoldsExactly(path, text)) {
    if (!write_) return;
    WriteWholeFile(path, text);
    ++written_;
  }
  // A page holding exactly the text is Fotoloom's, written now or before.
  const std::optional<FileFacts> facts = RegularFileFacts(path);
  const std::string key = NameOf(path);
  if (!facts || key.empty()) return;
  const auto it = state_.Entries.find(key);
  if (it != state_.Entries.end() && !it->second.Folder && it->second.Facts == *facts) return;
  OwnedEntry entry;
  entry.Facts = *facts;
  entry.Hash = ContentHash(text);
  Record(key, entry);
}

void GalleryUpdate::Written(const std::string& name, const PhotoIdentity& photo, const std::string& recipe) {
  ++written_;
  const std::string path = PathOf(name);
  const std::optional<FileFacts> facts = RegularFileFacts(path);
  const std::optional<std::uint64_t> hash = FileContentHash(path);
  if (!facts || !hash) {
    Forget(name);
    return;
  }
  OwnedEntry entry;
  entry.Facts = *facts;
  entry.Hash = *hash;
  entry.Photo = photo;
  entry.Recipe = recipe;
  Record(name, entry);
}

void GalleryUpdate::NotOurs(const std::string& name) { Forget(name); }

void GalleryUpdate::CopyFile(const std::string& source, const std::string& target) {
  const std::string name = NameOf(target);
  if (!name.empty()) Want(name);
  if (imageNames_.count(name) != 0) return;
  struct stat src {};
  struct stat dst {};
  if (::stat(source.c_str(), &src) != 0 || !S_ISREG(src.st_mode)) return;
  const bool present = ::lstat(target.c_str(), &dst) == 0;
  // The source itself, reached through a link: never copied or recorded.
  if (present && src.st_dev == dst.st_dev && src.st_ino == dst.st_ino) return;
  if (present && !S_ISREG(dst.st_mode)) return;
  // Unlike a page, whose text is in memory and is compared with the file
  // byte for byte (WritePage), an element is a file on both sides, maybe a
  // large one: it is compared by size and fingerprint, which the state
  // records anyway, so that each side is read once.
  const std::optional<std::uint64_t> sourceHash = FileContentHash(source);
  if (!sourceHash) return;
  const bool same = present && dst.st_size == src.st_size && FileContentHash(target) == sourceHash;
  if (!same) {
    if (!write_) return;
    const std::string temp = TemporaryPathFor(target);
    std::error_code ec;
    if (!fs::copy_file(source, temp, fs::copy_options::overwrite_existing, ec) || ec ||
        std::rename(temp.c_str(), target.c_str()) != 0) {
      ::unlink(temp.c_str());
      return;
    }
    ++written_;
  }
  const std::optional<FileFacts> facts = RegularFileFacts(target);
  const std::optional<std::uint64_t> hash = same ? sourceHash : FileContentHash(target);
  if (!facts || !hash || name.empty()) return;
  const auto it = state_.Entries.find(name);
  if (it != state_.Entries.end() && !it->second.Folder && it->second.Facts == *facts && it->second.Hash == *hash)
    return;
  OwnedEntry entry;
  entry.Facts = *facts;
  entry.Hash = *hash;
  Record(name, entry);
}

bool GalleryUpdate::MakeFolder(const std::string& target) {
  const std::string name = NameOf(target);
  if (!name.empty()) Want(name);
  std::error_code ec;
  if (fs::is_directory(target, ec)) return true;
  if (!write_) return false;
  const bool made = fs::create_directory(target, ec);
  if (ec || !fs::is_directory(target, ec)) return false;
  if (made && !name.empty()) RecordFolder(name, target);
  return true;
}

void GalleryUpdate::RecordFolder(const std::string& name, const std::string& path) {
  if (const std::optional<std::uint64_t> inode = FolderInode(path)) {
    OwnedEntry entry;
    entry.Folder = true;
    entry.Facts.Inode = *inode;
    Record(name, entry);
  }
}

bool GalleryUpdate::MakeAlbumFolder(const std::string& target) {
  if (!MakeFolder(target)) return false;
  const std::string name = NameOf(target);
  if (write_ && !name.empty() && state_.Entries.count(name) == 0 && PlainFoldersUpTo(folder_, name))
    RecordFolder(name, target);
  return true;
}

std::vector<std::string> GalleryUpdate::Unwanted() const {
  std::vector<std::string> names;
  for (const auto& [name, entry] : state_.Entries) {
    if (wanted_.count(name) != 0) continue;
    if (entry.Folder) {
      if (PlainFoldersUpTo(folder_, name) && FolderInode(PathOf(name)) == entry.Facts.Inode) names.push_back(name);
    } else if (MayDeleteFile(name, entry)) {
      names.push_back(name);
    }
  }
  return names;
}

int GalleryUpdate::DeleteUnwanted(const std::function<void()>& pump) {
  if (!write_) return 0;
  std::vector<std::string> files;
  std::vector<std::string> folders;
  for (const auto& [name, entry] : state_.Entries) {
    if (wanted_.count(name) != 0) continue;
    (entry.Folder ? folders : files).push_back(name);
  }
  int deleted = 0;
  for (const std::string& name : files) {
    if (MayDeleteFile(name, state_.Entries[name])) {
      if (::unlink(PathOf(name).c_str()) != 0) continue;
      ++deleted;
      if (pump) pump();
    }
    // A file deleted, gone, or no longer the one written: not Fotoloom's to keep track of.
    Forget(name);
  }
  // The deepest folders first, so that a parent is empty when its turn comes.
  std::sort(folders.begin(), folders.end(), std::greater<>());
  for (const std::string& name : folders) {
    const std::string path = PathOf(name);
    if (!PlainFoldersUpTo(folder_, name) || FolderInode(path) != state_.Entries[name].Facts.Inode) {
      Forget(name);
    } else if (::rmdir(path.c_str()) == 0) {
      ++deleted;
      Forget(name);
      if (pump) pump();
    }  // a folder someone put files into stays, and stays recorded
  }
  deleted_ += deleted;
  return deleted;
}

void GalleryUpdate::Finish() {
  if (finished_ || !write_) return;
  finished_ = true;
  UpdateState kept;
  for (const auto& [name, entry] : state_.Entries) {
    const std::string path = PathOf(name);
    const bool onDisk = entry.Folder ? FolderInode(path) == entry.Facts.Inode : RegularFileFacts(path) == entry.Facts;
    if (onDisk) kept.Entries.emplace(name, entry);
  }
  if (file_) file_->Rewrite(kept);
  file_.reset();
}

}  // namespace fotoloom
