// The one line that sums up a finished run, shown by the wizard's finish page and printed by fotoloom-cli.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fotoloom {

class GenerationRun;

// The progress page's header once a run has ended with the wizard open (a
// cancelled run goes back to the first page).
inline constexpr std::string_view kFinishedCaption = "Finished";
inline constexpr std::string_view kFailedCaption = "Stopped by an error";

// What an update did, counted while it went.
struct UpdateCounts {
  int UpToDate = 0;  // photos whose images needed nothing made again
  int Written = 0;   // files written: images, copies, pages and additional elements whose content differed
  int Deleted = 0;   // files and folders deleted because a full run would no longer leave them
};

// The facts of one finished run.
struct RunSummary {
  int Photos = 0;  // photos found, one image page each
  int ThumbnailPages = 0;
  int ImagesFor = 0;                   // photos whose images the run writes (all, those of the first page, or none)
  double Seconds = 0;                  // from the search to the end
  std::optional<UpdateCounts> Update;  // set when the run only updated what changed
  int LeftOut = 0;                     // photos left out because they cannot be read (not among Photos)
};

// The summary of the last run of run, read from its getters once Start has returned Finished.
RunSummary SummaryOf(const GenerationRun& run);

// One line, no full stop:
//   "24 photos, 2 thumbnail pages, 24 image pages in 3.1 s"
//   "24 photos (images for 12), 2 thumbnail pages, 24 image pages in 1.2 s"
//   "24 photos (pages only), 2 thumbnail pages, 24 image pages in 0.3 s"
// and for an update
//   "239 of 239 images up to date, nothing written in 0.4 s"
//   "236 of 239 images up to date, 9 files written, 2 deleted in 1.8 s"
// (an update of pages only starts "24 photos (pages only), "). Photos left
// out follow the photos ("22 photos, 2 left out, 2 thumbnail pages, ...")
// or an update's images ("20 of 22 images up to date, 2 photos left out,
// ..."). It does not say where the gallery is: the caller shows the first
// page itself.
std::string RunSummaryText(const RunSummary& summary);

// A duration as the summary says it: "3.1 s" under a minute, "6 min 52 s"
// under an hour, "2 h 05 min" beyond.
std::string DurationText(double seconds);

}  // namespace fotoloom
