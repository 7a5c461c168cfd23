// Opening the first page, copying the additional elements and clearing the output folder.
#include "run/OutputFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "core/OutputNames.h"
#include "core/PosixIo.h"
#include "pages/PageNames.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool Hidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

// Where the entry name of a folder being copied goes in folder, through the
// output folder's name rule; nothing for a name the rule refuses.
std::optional<fs::path> EntryTarget(const fs::path& folder, const std::string& name) {
  if (OutputNameFault(name) != NameFault::None) return std::nullopt;
  return fs::path(OutputPathOf(folder.string(), name));
}

// ---- copying ------------------------------------------------------------

// A folder's identity, to recognise one reached again through a link.
using FolderId = std::pair<dev_t, ino_t>;

std::optional<FolderId> IdOf(const fs::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return std::nullopt;
  return FolderId{st.st_dev, st.st_ino};
}

class TreeCopier {
 public:
  TreeCopier(Desktop& desktop, std::optional<FolderId> outputFolder, AdditionalElementsTarget* target)
      : desktop_(desktop), output_(outputFolder), target_(target) {}

  // Copies one file over whatever file of its name is at target; a source that
  // is the target itself (same file) is left alone.
  void CopyFile(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (fs::exists(target, ec) && fs::equivalent(source, target, ec)) return;
    if (target_)
      target_->CopyFile(source.string(), target.string());
    else
      fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    desktop_.ProcessPendingEvents();
  }

  // Copies the folder source with everything in it to target, merging with
  // what target already holds. A folder that is the output folder itself (the
  // target lies inside the source) or one being copied already (a link back
  // up the tree) is not entered: either would copy without end.
  void CopyFolder(const fs::path& source, const fs::path& target) {
    const std::optional<FolderId> id = IdOf(source);
    if (!id || (output_ && *id == *output_) || active_.count(*id) != 0) return;
    std::error_code ec;
    if (target_) {
      if (!target_->MakeFolder(target.string())) return;
    } else {
      fs::create_directory(target, ec);
      if (ec || !fs::is_directory(target, ec)) return;
    }
    active_.insert(*id);
    for (const fs::directory_entry& entry : ListFolder(source)) {
      const std::optional<fs::path> to = EntryTarget(target, entry.path().filename().string());
      if (!to) continue;
      if (entry.is_directory(ec)) {
        CopyFolder(entry.path(), *to);
      } else if (entry.is_regular_file(ec)) {
        CopyFile(entry.path(), *to);
      }
    }
    active_.erase(*id);
  }

  // The entries of a folder in byte order of their names, listed before
  // anything is copied into it.
  static std::vector<fs::directory_entry> ListFolder(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    for (const std::string& name : ListFolderNames(folder.string()).value_or(std::vector<std::string>()))
      entries.emplace_back(folder / name);
    return entries;
  }

 private:
  Desktop& desktop_;
  std::optional<FolderId> output_;
  AdditionalElementsTarget* target_;  // null: copy as they are
  std::set<FolderId> active_;         // the folders being copied, from the top down
};

// ---- deleting -----------------------------------------------------------

// The names in the open folder dirFd, in byte order; none when it cannot be read.
std::vector<std::string> ListNames(int dirFd) { return ListFolderNamesAt(dirFd).value_or(std::vector<std::string>()); }

void DeleteEntry(int dirFd, const std::string& name, Desktop& desktop);

void DeleteContents(int dirFd, Desktop& desktop) {
  for (const std::string& name : ListNames(dirFd)) DeleteEntry(dirFd, name, desktop);
}

// Deletes one entry of the open folder dirFd for good, working only through
// file descriptors so that no symbolic link is ever followed: a link is
// unlinked itself, a real folder is opened with O_NOFOLLOW, emptied and
// removed. A failure leaves the entry where it is.
void DeleteEntry(int dirFd, const std::string& name, Desktop& desktop) {
  struct stat st {};
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    ::unlinkat(dirFd, name.c_str(), 0);
    desktop.ProcessPendingEvents();
    return;
  }
  // A folder without full owner rights could not be listed or emptied.
  if ((st.st_mode & S_IRWXU) != S_IRWXU) ::fchmodat(dirFd, name.c_str(), st.st_mode | S_IRWXU, 0);
  {
    const FileDescriptor sub(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (sub.valid()) DeleteContents(sub.get(), desktop);
  }
  ::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR);
}

// Adds the entry name of the open folder dirFd to count and, for a real
// folder, everything in it. Like DeleteEntry it never follows a link.
void CountEntry(int dirFd, const std::string& name, EntryCount& count) {
  struct stat st {};
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    ++count.Files;
    return;
  }
  ++count.Folders;
  const FileDescriptor sub(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!sub.valid()) return;
  for (const std::string& inner : ListNames(sub.get())) CountEntry(sub.get(), inner, count);
}

// Copy_additional_elements, through target when it is set.
void CopyAdditionalElements(const GallerySettings& settings, Desktop& desktop, AdditionalElementsTarget* target) {
  if (settings.AdditionalPath().empty()) return;
  const fs::path source = WithSlash(settings.AdditionalPath());
  const fs::path output = settings.OutputPath().empty() ? fs::path(".") : fs::path(settings.OutputPath());
  TreeCopier copier(desktop, IdOf(output), target);
  std::error_code ec;
  for (const fs::directory_entry& entry : TreeCopier::ListFolder(source)) {
    const std::string name = entry.path().filename().string();
    const std::optional<fs::path> to = Hidden(name) ? std::nullopt : EntryTarget(output, name);
    if (!to) continue;
    if (entry.is_directory(ec))
      copier.CopyFolder(entry.path(), *to);
    else if (entry.is_regular_file(ec))
      copier.CopyFile(entry.path(), *to);
  }
}

}  // namespace

std::string First_page_path(const GallerySettings& settings) {
  const std::string name = PageFileName(settings.ThumbPagesName(), 1, NormalizedExtension(settings.WebSiteExtension()));
  return OutputFilePath(settings.OutputPath(), name);
}

void Open_first_page(const GallerySettings& settings, Desktop& desktop) {
  desktop.OpenDocument(First_page_path(settings));
}

void Show_first_page(const GallerySettings& settings, Desktop& desktop) {
  const std::string page = First_page_path(settings);
  struct stat st {};
  if (settings.OutputPath().empty() || ::stat(page.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    desktop.ShowMessage(Desktop::Icon::Warning, NoGalleryYetMessage(page));
    return;
  }
  Open_first_page(settings, desktop);
}

std::string NoGalleryYetMessage(const std::string& firstPage) {
  return "There is no gallery to show yet: its first page \"" + firstPage +
         "\" does not exist. Next on step 5 creates the gallery.";
}

void Copy_additional_elements(const GallerySettings& settings, Desktop& desktop) {
  CopyAdditionalElements(settings, desktop, nullptr);
}

void Copy_additional_elements(const GallerySettings& settings, Desktop& desktop, AdditionalElementsTarget& target) {
  CopyAdditionalElements(settings, desktop, &target);
}

std::string ClearOutputFolderQuestion(const std::string& folder, const EntryCount& count) {
  const auto many = [](long long n, const char* one, const char* more) {
    return std::to_string(n) + " " + (n == 1 ? one : more);
  };
  std::string what = many(count.Files, "file", "files");
  if (count.Folders > 0) what += " and " + many(count.Folders, "folder", "folders");
  return "Output folder \"" + WithSlash(folder) + "\" is not empty. Do you want to go on and delete it ?\n\n" + what +
         " will be deleted for good.";
}

EntryCount CountEntriesToClear(const std::string& folder) {
  EntryCount count;
  const FileDescriptor fd(::open(WithSlash(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return count;
  for (const std::string& name : ListNames(fd.get()))
    if (!Hidden(name)) CountEntry(fd.get(), name, count);
  return count;
}

void Clear_output_folder(const GallerySettings& settings, Desktop& desktop) {
  // An empty path would name the current folder, which is never what the user meant.
  if (settings.OutputPath().empty()) return;
  const std::string folder = WithSlash(settings.OutputPath());
  const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return;
  // A folder holding only entries that are kept would be asked about for nothing.
  const EntryCount count = CountEntriesToClear(folder);
  if (count.Files + count.Folders == 0) return;
  if (!desktop.AskYesNoDefaultNo(Desktop::Icon::Warning, ClearOutputFolderQuestion(folder, count))) return;
  for (const std::string& name : ListNames(fd.get()))
    if (!Hidden(name)) DeleteEntry(fd.get(), name, desktop);
}

}  // namespace fotoloom
