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

// Empties OutputPath after asking the user. Nothing happens (and nothing is
// asked) when OutputPath is empty, missing, not a folder or holds nothing.
// On Yes every entry whose name does not begin with "." is deleted for good,
// folders with all their contents, read-only entries included. A symbolic
// link is removed itself, never followed. A failure on one entry is ignored.
// Pumps the desktop once per file deleted.
void Clear_output_folder(const GallerySettings& settings, Desktop& desktop);

// The question Clear_output_folder asks for folder (a "/" is appended when missing).
std::string ClearOutputFolderQuestion(const std::string& folder);

}  // namespace fotoloom
