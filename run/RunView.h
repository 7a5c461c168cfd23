// What the progress page shows of a generation run; the wizard and the command-line runner each provide it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fotoloom {

// The five progress bars of the progress page, in screen order.
enum class RunBar { ThumbnailPages, ImagePages, Originals, ScaledImages, Thumbnails };

inline constexpr std::array<RunBar, 5> kRunBars = {RunBar::ThumbnailPages, RunBar::ImagePages, RunBar::Originals,
                                                   RunBar::ScaledImages, RunBar::Thumbnails};

// The captions of the progress page.
inline constexpr std::string_view kReadingImageCaption = "Reading Image";
inline constexpr std::string_view kCreatingWebpageCaption = "Creating Webpage";
inline constexpr std::string_view kProcessingImageCaption = "Processing Image";
// The two labels as they read before the first run.
inline constexpr std::string_view kInputPathLabel = "Input Path : ";
inline constexpr std::string_view kFoundLabel = "Found :";

// The caption beside a bar ("Creating Thumbnailpage", ..., "Creating Thumbnail Image").
std::string_view RunBarCaption(RunBar bar);
// The caption of the group that holds a bar ("Creating Webpage" or "Processing Image").
std::string_view RunBarGroupCaption(RunBar bar);

// One album of a run as the progress lists it.
struct AlbumSummary {
  std::string Folder;             // below the input folder ("2024/Rome"); "" for the top album
  std::int64_t Photos = 0;        // its own
  std::int64_t PhotosInTree = 0;  // with those of its sub-albums
};

// The run's side of the progress page and of the main window. The run calls
// these on the thread that started it; none of them may start or cancel a run.
// Pumping events and asking questions go through Desktop, not through here.
class RunView {
 public:
  virtual ~RunView() = default;

  // The first label: "Input Path : " followed by the input folder as typed.
  virtual void SetInputPathLabel(const std::string& text) = 0;
  // The second label: "Found : " followed by the number of files found so far.
  virtual void SetFoundLabel(const std::string& text) = 0;
  // A bar's maximum (its minimum is always 0), set just before its stage starts.
  virtual void SetBarMaximum(RunBar bar, int maximum) = 0;
  virtual void SetBarPosition(RunBar bar, int position) = 0;
  // Shows the six bottom buttons, goes back to page 1 and its caption.
  virtual void Return_to_first_page() = 0;
  // Shows the six bottom buttons again and stays on the progress page.
  virtual void ShowBottomButtons() = 0;
  // Closes the main window (after a run that opened the first page); the
  // window must not be destroyed before the run has returned.
  virtual void CloseMainWindow() = 0;
  // An update found upToDate of the total photos whose images it would
  // write with nothing to make again (they count as done on the bars).
  virtual void ShowImagesUpToDate(int /*upToDate*/, int /*total*/) {}
  // Something the user should know that does not stop the run, as one line
  // ("<photo> is damaged: premature end of data; ..."). A view shows every
  // warning, also one that otherwise shows nothing (quiet).
  virtual void ShowWarning(const std::string& /*text*/) {}
  // The albums a run with subfolders found, in tree order (the top album
  // first), once the search has ended.
  virtual void ShowAlbums(const std::vector<AlbumSummary>& /*albums*/) {}
};

}  // namespace fotoloom
