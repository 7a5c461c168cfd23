// The generation run: from the options record to the finished gallery in the output folder.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Desktop.h"
#include "core/GallerySettings.h"
#include "core/Un_MyFindFile.h"
#include "run/GalleryUpdate.h"
#include "run/RunPlan.h"
#include "run/RunSummary.h"
#include "run/RunView.h"

namespace fotoloom {

class timage_page;
struct GalleryAlbum;

// How a run ended when Start returned normally.
enum class RunOutcome {
  NotStarted,  // bad input folder, or the missing output folder was not created
  NoImages,    // the input folder holds no "*.jp*g" file
  Cancelled,   // Cancel was called while the run was going
  Finished,    // every stage ran to its end
  Busy,        // another run holds the output folder: nothing was written
};

// Owns the five run components (the search, the page writer, the copy of the
// originals, the scaled-image writer and the thumbnail writer) and the image
// entries of a run, and drives them on the caller's thread: folder checks,
// search, order, pages, then (by ElementsMode) originals, additional elements,
// scaled images and thumbnails, and finally the first page when
// AutoBrowserStart is set. With IncludeSubfolders the search goes on into
// the subfolders (AlbumSearch), and each folder that holds photos becomes an
// album written into the same folder below the output folder; the albums
// share the bars, the image stages and the cancel flag of the one run. Each
// stage is one method that returns whether the run goes on; Create_gallery
// lists them in order, and a new step of a run is one more stage there. All
// five components read one cancel flag. It reads the options record when a
// run starts and never writes it.
//
// Everything the user sees goes through Desktop (messages, questions,
// opening the first page, pumping events) and RunView (labels, bars, page
// changes), so that the wizard and the command-line runner show the same run.
// The desktop is pumped once per file found, page written, original copied
// and image written, and often while an image is resampled; a Cancel() made
// from inside a pump stops the running stage at its next test and skips
// every later stage. Nothing already written is removed.
class GenerationRun {
 public:
  // The three objects must outlive the run.
  GenerationRun(const GallerySettings& settings, Desktop& desktop, RunView& view);
  ~GenerationRun();
  GenerationRun(const GenerationRun&) = delete;
  GenerationRun& operator=(const GenerationRun&) = delete;

  // Images the scaled-image and thumbnail writers work on at once; the files
  // are the same for every value. Defaults to the number of hardware threads.
  int Jobs;

  // The clock an update dates photos by (GalleryUpdate); empty: the real
  // time. Tests set their own.
  UpdateClock UpdateNow;

  // Runs one whole generation and returns when it has ended. Problems the
  // user is told about in a message box (bad input folder, input and output
  // the same folder or the input inside the output, no images, another run
  // writing to the output folder) end the run with the outcomes above.
  // Other failures are raised as fotoloom::Error with the message to show:
  // before anything is written, a page name that leaves the output folder
  // or a number out of its range (RunFaultMessage: "RowsCount: 'x' is not a
  // valid integer value", "RowsCount x ColsCount is 0: Division by zero");
  // the output folder cannot be created ("Invalid filename", "File access
  // denied", "File not found", "I/O error <errno>"); and any error of a
  // writer. Warnings (a damaged photo, a photo left out, an update state
  // that cannot be used) go to the view and do not stop the run. A writing
  // run holds the output folder's lock (FolderLock) from before its first
  // write to its end. The run is idle again when Start returns or raises,
  // and its image list is released; what the stages wrote stays. Calling
  // Start while a run is going raises an error.
  RunOutcome Start();

  // A dry run: does what Start does before it writes anything (the folder
  // checks and the question, the search, the order, the grid and the image
  // bounds), with the same messages, outcomes and errors, and then reads
  // the header of each photo whose images would be written instead of
  // writing. Fills plan when it returns Finished. Creates no folder and
  // writes no file; a missing output folder the user agrees to create is
  // checked for whether it could be made. Takes no lock. A photo whose
  // header cannot be read is noted in the plan, not raised; with
  // SkipBadPhotos the photos that cannot be read are left out as in a run.
  // Pumps the desktop once per file found and per header read.
  RunOutcome Plan(RunPlan& plan);

  // Sets the one cancel flag all five components read. The caller then
  // returns to page 1 itself. Also allowed when no run is going; the next run
  // starts afresh.
  void Cancel();

  // True from the start of Start until it returns (the components are in use).
  bool Running() const { return running_; }

  // The input image the last failed image stage was working on ("" when the
  // last error did not concern one image, or Start has not failed).
  const std::string& FailedImage() const { return failedImage_; }

  // The photos the last run left out because they cannot be read
  // (SkipBadPhotos), in gallery order.
  const std::vector<std::string>& LeftOut() const { return leftOut_; }

  // Facts of the last run, for the progress page and for tests.
  const std::vector<ImageEntry>& ImageEntries() const { return entries_; }
  int ImageCount() const { return imageCount_; }
  int ElementsCount() const { return elementsCount_; }
  int ThumbPageCount() const { return thumbPageCount_; }
  // Seconds from the start of the search to the end of the last run.
  double Seconds() const { return seconds_; }
  // What the last run did as an update; empty when it was not one (and after a dry run).
  const std::optional<UpdateCounts>& LastUpdate() const { return lastUpdate_; }

 private:
  struct Components;
  struct Context;
  // One step of a run; returns whether the run goes on (when it does not,
  // it has set the outcome).
  using Stage = bool (GenerationRun::*)();

  // Start and Plan: the folder checks, then the search, which ends in
  // Create_gallery or, in a dry run, in Plan_gallery.
  RunOutcome Go(RunPlan* plan);
  // Before anything is written: the folders (a message and page 1 when the
  // input folder is missing or the gallery would harm the photos), then the
  // page names and numbers (raised with the run's message), then the output
  // folder's creation after asking, then its lock (a message when another
  // run holds it; a dry run takes none).
  bool CheckFolders();
  void RefuseBadOptions();
  bool MakeOutputFolder();
  bool LockOutputFolder();
  // An update's state, and the one line that says why it could not be used.
  void StartUpdate();
  void EndRun();
  // The search's handlers: one entry per file found; the rest of the run when the search ends.
  void Add_found_image(TMyFindFile& Sender, const std::string& Folder, const FoundFile& File, bool& Cancelled);
  // The album search's handler of a photo found in a subfolder.
  void Add_found_album_image();
  void Create_gallery(TMyFindFile& Sender);
  void Plan_gallery();
  bool RunStages(std::span<const Stage> stages);

  // The stages, in the order they run.
  bool FindAlbums();
  bool ReadMetadata();
  bool OrderPhotos();
  // With SkipBadPhotos: the photos that cannot be read go, each with a warning.
  bool LeaveOutUnreadablePhotos();
  bool CheckAlbums();
  // When a template shows image sizes: the sizes of the photos' images, from their headers.
  bool MeasurePhotos();
  // With albums: every album's folder, before anything is written into one.
  bool MakeAlbumFolders();
  // With Zip: the ZIP of all originals, before the pages that show its size.
  bool WriteZip();
  bool WritePages();
  bool DecideUpdate();  // an update's decisions, also in a dry run
  bool CopyOriginals();
  // After the copies: how many carry a GPS position, and those not made for
  // want of a way to remove it.
  void TellAboutLocations();
  bool CopyAdditionalElements();
  bool WriteScaledImages();
  bool WriteThumbnails();
  bool DeleteUnwanted();
  void Finish();
  // A dry run's stages in place of the writers.
  bool PlanPhotos();
  bool PlanUpdate();

  // Whether the run goes on: false, with the outcome Cancelled, once Cancel was called.
  bool NotCancelled();
  void ResetBars();
  // Lays the albums out on the grid and counts the thumbnail pages and the
  // photos with images, from the albums' photos.
  void CountPages();
  // "2 photos were left out: they cannot be read".
  std::string LeftOutSummary() const;
  // A photo that decoded with warnings, told once per run.
  void PhotoDamaged(int index, const std::string& damage);
  // The output folder of the album in subfolder ("" for the output folder).
  std::string AlbumFolderPath(const std::string& subfolder) const;
  // Makes the output folder of an album unless it is there (an update
  // records one it makes), and removes what a killed run left in it.
  void MakeAlbumFolder(const std::string& subfolder);
  // Whether the run writes images (ElementsMode is not 2).
  bool WritesImages() const;
  // Whether the run writes the ZIP of all originals (Zip, ElementsMode 0).
  bool WritesZip() const;
  // What decides the ZIP's bytes besides its photos (PhotoZipRecipe).
  std::string ZipRecipe() const;
  // Whether album has a ZIP: Zip is set and it has photos of its own.
  bool HasZip(const GalleryAlbum& album) const;
  // The path of the album's ZIP in its folder.
  std::string AlbumZipPath(const GalleryAlbum& album) const;
  // The paths of the album's own photos, in gallery order.
  std::vector<std::string> AlbumPhotos(const GalleryAlbum& album) const;
  // The ZIP of the album's own photos in its folder; done: the photos of
  // the ZIPs before it, for the bar.
  bool WriteAlbumZip(const GalleryAlbum& album, int done);
  // "@zip@" and "@zipsize@" of album: its ZIP, when there is one.
  void SetZipMacros(timage_page& pages, const GalleryAlbum& album) const;
  // The recipe of the "t_" file, standing for the "t2_" file too when that is made.
  std::string WithSharpThumbnail(std::string thumbRecipe) const;
  // Runs a stage's writer unless the run is cancelled; whether the run goes on after it.
  bool RunUnlessCancelled(const std::function<void()>& writer);
  // Runs one image writer, noting which image it failed on when it raises.
  void RunImageStage(const std::function<void()>& stage);
  // The image writers' progress: records what an update wrote, pumps, moves the bar.
  void ImageWritten(RunBar bar, int index, bool cancelled);
  // The recipes of the "n_" and "t_" files, set up as the image stages set them up.
  void SetImageRecipes(UpdateDecisions& decisions);
  // The bars' maxima are kept so that a position never goes beyond one.
  void SetBarMaximum(RunBar bar, int maximum);
  // Shows a warning of the writers, once per text and run.
  void Warn(const std::string& text);
  void MoveBar(RunBar bar, int position);

  const GallerySettings& settings_;
  Desktop& desktop_;
  RunView& view_;
  std::unique_ptr<Components> c_;
  std::unique_ptr<Context> run_;  // while a run is going
  std::vector<ImageEntry> entries_;
  int nextImage_ = 0;         // the image the running image writer works on
  int albumPhotosFound_ = 0;  // photos the album search found below the input folder
  // The album the page writer writes: where its pages and photos start on
  // the bars, and its number of photos.
  int albumPageOffset_ = 0;
  int albumPhotoOffset_ = 0;
  int albumPhotos_ = 0;
  std::array<int, 5> barMaximum_{};  // each bar's maximum, in RunBar order
  bool running_ = false;
  RunOutcome outcome_ = RunOutcome::NotStarted;
  std::string failedImage_;
  std::vector<std::string> leftOut_;
  int imageCount_ = 0;
  int elementsCount_ = 0;
  int thumbPageCount_ = 0;
  std::chrono::steady_clock::time_point searchStarted_;
  double seconds_ = 0;
  std::optional<UpdateCounts> lastUpdate_;
};

// "I/O error %d" and the other texts for an errno of creating the output folder.
std::string FolderCreationMessage(const std::string& folder, int err);

// The errno that creating folder (its last level only) would meet, found
// without creating it: the parent missing, not a folder or not writable, or
// something already there. 0 when nothing stands in the way.
int FolderCreationError(const std::string& folder);

}  // namespace fotoloom
