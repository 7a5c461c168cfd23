// An update of a gallery: what to redo, writing only what differs, deleting what a full run would not leave.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "imaging/ImageStages.h"
#include "imaging/Un_Copy_File.h"
#include "pages/ScreenMarkup.h"
#include "run/OutputFolder.h"
#include "run/UpdateRules.h"
#include "run/UpdateState.h"

namespace fotoloom {

// The clock an update reads "now" from, as the file system dates files;
// empty: the system's real-time clock.
using UpdateClock = std::function<FileTime()>;

// What an update does with the outputs of one photo whose images the run
// writes.
struct PhotoDecision {
  // The photo as the update saw it when it decided; every file made from it
  // is recorded with this.
  PhotoIdentity Photo;
  OriginalCopy Copy = OriginalCopy::Skip;  // its "b_" copy (Skip when copies are off)
  PhotoNeeds Images;                       // which of its "n_" and "t_" files are encoded again
  // The recipes its "n_", "t_" and "b_" files are made with (OutputRecipeOf;
  // "copy" for a byte copy of the original, LocationFreeCopyRecipe for a
  // copy without its location, FullSizeRecipe for the full-size JPEG of a
  // photo of another format).
  std::string ScaledRecipe;
  std::string ThumbRecipe;
  std::string CopyRecipe;

  // Nothing of it is made again.
  bool UpToDate() const { return Copy == OriginalCopy::Skip && !Images.ScaledImage && !Images.Thumbnail; }
};

// An update's decisions for the photos whose images the run writes, in
// gallery order, with the recipes of the "n_" and "t_" files they were made
// for. The run carries them out; a dry run prints them.
struct UpdateDecisions {
  std::vector<PhotoDecision> Photos;
  std::string ScaledRecipe;
  std::string ThumbRecipe;

  int UpToDate() const;
  // The copy of the originals' action and the image stages' needs, by photo.
  std::vector<OriginalCopy> CopyActions() const;
  std::vector<PhotoNeeds> Needs() const;
};

// The files of a photo named fileName that its "n_" recipe makes, with the
// images written beside the JPEG ones: the "n_" file, and its WebP file
// with extra.Webp.
std::vector<std::string> ScaledImageFileNames(const std::string& fileName, const ExtraImages& extra);
// Those its "t_" recipe makes: the "t_" file, then with extra.Webp its WebP
// file, then with extra.SharpThumbnails the "t2_" file (and its WebP).
std::vector<std::string> ThumbnailFileNames(const std::string& fileName, const ExtraImages& extra);

// What an update does with the ZIP of all originals.
struct ZipDecision {
  bool Write = true;   // written again (false: the file there is up to date)
  std::string Recipe;  // what it is made of, recorded once it is written
};

// The state of one output folder while a run updates it (or a dry run plans
// an update). The run tells it every file a full run with the same settings
// would leave (Want, and every page and additional element it puts through
// here); at the end of a finished run DeleteUnwanted removes the files the
// state recorded that are not among them, if unchanged since. A state that
// is missing, unreadable, damaged, of another version or of another folder
// counts as none: every file is then made as a full run makes it, and only
// files this run writes are recorded. Nothing here raises for the state.
class GalleryUpdate : public AdditionalElementsTarget {
 public:
  // Reads the state of outputFolder. A writing update starts the state file
  // anew from what it read; a planning one (write false) writes nothing.
  GalleryUpdate(std::string outputFolder, bool write, UpdateClock now = {});
  ~GalleryUpdate() override;
  GalleryUpdate(const GalleryUpdate&) = delete;
  GalleryUpdate& operator=(const GalleryUpdate&) = delete;

  // Whether a usable state was found.
  bool HadState() const { return hadState_; }
  // Why no state could be used (Missing for a first update).
  StateTrouble Trouble() const { return trouble_; }

  // Called with a line the user should read: a "b_" file that is kept
  // because nothing proves Fotoloom wrote it while it differs from its photo.
  std::function<void(const std::string&)> OnWarning;

  // The photo at path as it is now (its facts followed through a link).
  PhotoIdentity Observe(const std::string& photoPath) const;

  // The files written beside the "n_" and "t_" files; set before the photos are decided.
  ExtraImages Companions;
  // ScaledImageFileNames and ThumbnailFileNames with Companions.
  std::vector<std::string> ScaledImageNames(const std::string& fileName) const {
    return ScaledImageFileNames(fileName, Companions);
  }
  std::vector<std::string> ThumbnailNames(const std::string& fileName) const {
    return ThumbnailFileNames(fileName, Companions);
  }

  // Decides whether the ZIP of an album's originals, name ("photos.zip" or
  // "2024/photos.zip"), is written again: not when the state records the
  // file there, unchanged since, made with the same settings (settingsRecipe) from the same photos, in the
  // same order, each as it was then (size, time and inode; for a photo
  // changed within the file system's clock tick of now also its content;
  // once past the tick such a photo is told by its facts alone, which
  // writes the ZIP once more).
  // Marks it wanted. Writes nothing.
  ZipDecision DecideZip(const std::string& name, const std::vector<std::string>& photoPaths,
                        const std::string& settingsRecipe);

  // Decides what becomes of the outputs of the photo at photoPath, whose
  // images a full run writes into subfolder of the output folder ("" for
  // the output folder itself): its "b_" file when copyRecipe is not empty
  // (made when missing, replaced when Fotoloom's and its photo or its
  // recipe changed), and which of its "n_" and "t_" files are encoded
  // again, given their recipes (an empty one: made again). The names are
  // those of ImageFileName. Marks them as wanted, so that they are not deleted,
  // and leaves them to the stages that write them: an additional element of
  // one of their names is not copied over them. A "b_" file of its name that
  // is not Fotoloom's is forgotten. Writes no file.
  PhotoDecision DecidePhoto(const std::string& photoPath, const std::string& subfolder, const std::string& copyRecipe,
                            const std::string& scaledRecipe, const std::string& thumbRecipe);

  // Marks the file name as one the full run leaves.
  void Want(const std::string& name);

  // Writes a page unless the file already holds exactly text, and records
  // it. name is relative to the output folder and may lead into an album's
  // folder ("2024/page1.htm"). The page writer's output in an update.
  void WritePage(const std::string& name, const std::string& text);

  // After the run wrote the "n_", "t_" or "b_" file name from photo with
  // recipe: records it as it is now on disk.
  void Written(const std::string& name, const PhotoIdentity& photo, const std::string& recipe);
  // The "b_" file name is not Fotoloom's: forgets any entry of it.
  void NotOurs(const std::string& name);

  // The additional elements: each file written only when its content
  // differs; folders made are recorded. A file of the name of an "n_" or
  // "t_" file decided here is left to the image stages, which write it after
  // the additional elements (or keep it) as a full run leaves it.
  void CopyFile(const std::string& source, const std::string& target) override;
  bool MakeFolder(const std::string& target) override;
  // An album's folder: made as MakeFolder makes a folder, and one that is
  // there already, a plain folder the state has no entry of, is recorded as
  // Fotoloom's too (a gallery first written without an update, or by a run
  // that lost its state, made it). So once the album is gone, the files the
  // state records in it are deleted when unchanged, and the folder when
  // nothing else is left in it; what anyone else put there keeps it.
  bool MakeAlbumFolder(const std::string& target);

  // The files and folders the state recorded, that nothing wanted, and
  // that are still as Fotoloom left them: what DeleteUnwanted deletes. A
  // file goes only when its size, time, inode and content are those
  // recorded, a file made from a photo only under an "n_", "t_" or "b_"
  // name, and a file in a subfolder only when Fotoloom made every folder on
  // its way; a folder only when empty.
  std::vector<std::string> Unwanted() const;
  // Deletes those, files first and folders (when empty) after, calling
  // pump after each; returns how many it deleted.
  int DeleteUnwanted(const std::function<void()>& pump);

  // Files written so far (pages and additional elements whose content
  // differed, and the images and copies the run reported through Written)
  // and files and folders deleted by DeleteUnwanted.
  int FilesWritten() const { return written_; }
  int FilesDeleted() const { return deleted_; }

  // Writes the state whole: every entry whose file is still the one
  // recorded. Also done by the destructor.
  void Finish();

  // The state as it stands, for tests.
  const UpdateState& State() const { return state_; }

 private:
  OriginalCopy DecideCopy(const PhotoIdentity& photo, const std::string& subfolder, const std::string& recipe);
  PhotoNeeds DecideImages(const PhotoIdentity& photo, const std::string& subfolder, const std::string& scaledRecipe,
                          const std::string& thumbRecipe);
  // Whether the files names, all made with recipe from photo, are made
  // again; marks them wanted and left to the image stages.
  bool MustMakeAgain(const std::vector<std::string>& names, const PhotoIdentity& photo, const std::string& recipe);
  std::string PathOf(const std::string& name) const;
  // name relative to the output folder for a path inside it; "" when it is
  // outside or not a plain relative name (such files are never recorded).
  std::string NameOf(const std::string& path) const;
  Ownership OwnershipOfName(const std::string& name) const;
  // Whether every folder on the way to name is one the state records as
  // made by Fotoloom, still the folder it made.
  bool InFoldersItMade(const std::string& name) const;
  bool MayDeleteFile(const std::string& name, const OwnedEntry& entry) const;
  const OwnedEntry* EntryOf(const std::string& name) const;
  // Whether the entry of name was made from photo as it is now; an entry
  // whose racy photo proves unchanged is recorded settled.
  bool FromSamePhoto(const std::string& name, const PhotoIdentity& photo);
  void Record(const std::string& name, const OwnedEntry& entry);
  // Records the folder at path, when it is a plain folder, as made by Fotoloom.
  void RecordFolder(const std::string& name, const std::string& path);
  void Forget(const std::string& name);

  std::string folder_;
  bool write_;
  UpdateClock now_;
  bool hadState_ = false;
  StateTrouble trouble_ = StateTrouble::None;
  UpdateState state_;
  std::set<std::string> wanted_;
  std::set<std::string> imageNames_;  // the "n_" and "t_" files decided, and the files beside them
  std::unique_ptr<UpdateStateFile> file_;
  bool finished_ = false;
  int written_ = 0;
  int deleted_ = 0;
};

// Whether name is a plain relative name inside a folder that the state may
// hold: the output folder's name rule for names that may lead into
// subfolders (not empty, not absolute, no part empty, "." or "..", no NUL,
// not the state's own name).
bool IsPlainRelativeName(const std::string& name);

// Whether the entry of name is of a kind a run writes under that name: a
// file made from photos is an "n_", "t_", "t2_" or "b_" file (or the WebP
// file of one) or the ZIP of all originals, of the output folder itself or
// of an album's folder below it ("2024/n_a.jpg"); pages and additional
// elements may have any name the rule allows.
bool OfItsKind(const std::string& name, const OwnedEntry& entry);

}  // namespace fotoloom
