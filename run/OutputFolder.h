// The operations on the output folder: opening the first page, copying the extra graphics, clearing it.
#pragma once

#include <string>

#include "core/Desktop.h"
#include "core/GallerySettings.h"

namespace fotoloom {

// The path of the first thumbnail page: OutputPath, ThumbPagesName, "1" and
// the page extension with "." put in front when missing. The name is formed
// exactly as the page writer forms it, so an empty extension gives "page1."
// (the file the writer wrote) and an empty OutputPath the bare name.
std::string First_page_path(const GallerySettings& settings);

// Hands the first thumbnail page to the desktop's open action. It does not
// check that the page exists and ignores what the opener does with it.
void Open_first_page(const GallerySettings& settings, Desktop& desktop);

// The buttons that open the gallery: Open_first_page when the first page is
// a file; otherwise a warning that there is no gallery yet, and nothing opened.
void Show_first_page(const GallerySettings& settings, Desktop& desktop);

// The warning of Show_first_page for the first page's path.
std::string NoGalleryYetMessage(const std::string& firstPage);

// Copies the contents of AdditionalPath into OutputPath: every file replaces
// one of its name, every folder is copied with all it holds. Entries of
// AdditionalPath whose names begin with "." are left out. A failure on one
// entry is ignored and the next one is taken. Pumps the desktop once per file.
// Folders reached through symbolic links are copied as long as they do not
// lead back into a folder being copied or into OutputPath itself, and a file
// is never copied onto itself. Does nothing when AdditionalPath is empty.
void Copy_additional_elements(const GallerySettings& settings, Desktop& desktop);

// Where Copy_additional_elements puts the files and folders it copies; an
// update writes only what differs and notes what it wrote.
class AdditionalElementsTarget {
 public:
  virtual ~AdditionalElementsTarget() = default;
  // Puts the content of the file source at target, replacing a file there.
  virtual void CopyFile(const std::string& source, const std::string& target) = 0;
  // Makes the folder target unless one is there; true when target is a folder afterwards.
  virtual bool MakeFolder(const std::string& target) = 0;
};

// Copy_additional_elements with every file and folder put through target.
void Copy_additional_elements(const GallerySettings& settings, Desktop& desktop, AdditionalElementsTarget& target);

// Empties OutputPath after asking the user, with No as the question's
// default and the number of entries that would go. Nothing happens (and
// nothing is asked) when OutputPath is empty, missing, not a folder or holds
// nothing but entries whose names begin with ".". On Yes every entry whose
// name does not begin with "." is deleted for good, folders with all their
// contents, read-only entries included. A symbolic link is removed itself,
// never followed. A failure on one entry is ignored. Pumps the desktop once
// per file deleted.
void Clear_output_folder(const GallerySettings& settings, Desktop& desktop);

// What Clear_output_folder would delete: the entries of the folder whose
// names do not begin with "." and everything below them, a symbolic link
// counted as one file and never followed. A folder that cannot be listed
// counts as one folder.
struct EntryCount {
  long long Files = 0;  // everything that is not a folder
  long long Folders = 0;
};
EntryCount CountEntriesToClear(const std::string& folder);

// The question Clear_output_folder asks for folder (a "/" is appended when
// missing) and what it would delete:
//   Output folder "/srv/web/" is not empty. Do you want to go on and delete it ?
//   (a blank line)
//   737 files and 3 folders will be deleted for good.
std::string ClearOutputFolderQuestion(const std::string& folder, const EntryCount& count);

}  // namespace fotoloom
