// The progress of a run on a console: one line per stage, live on a terminal.
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "run/RunView.h"

namespace fotoloom::cli {

using ProgressClock = std::chrono::steady_clock;

// A stage's line on a terminal: counts (the plain line's text), then a bar
// of position out of maximum, the percentage and, once at least
// kEstimateAfter items are done and before the last, the time left at the
// pace so far (elapsed since the stage began), rounded up to whole seconds:
//   "Creating Scaling Image 3/6 [##########----------]  50% 0:12 left"
// A maximum of 0 adds nothing to counts. When columns is above 0 the line
// is kept shorter than columns (a full-width line makes the terminal wrap),
// leaving out the bar first and then the time left; counts always stay.
std::string ProgressLineText(const std::string& counts, int position, int maximum, ProgressClock::duration elapsed,
                             int columns = 0);

// An album's folder as a console line shows it: control characters (a
// line break in a folder's name) as "?".
std::string FolderShownOnConsole(std::string folder);

// The albums of a run, a heading line and one line per album, its folder
// (control characters shown as "?") and photo counts:
//   3 albums:
//     (top)       2 photos, 14 with its albums
//     2024        0 photos, 12 with its albums
//     2024/Rome  12 photos
std::string AlbumListText(const std::vector<AlbumSummary>& albums);

// Items a stage finishes before its time left is estimated: the first
// photos carry the start-up cost of the stage and would mislead.
inline constexpr int kEstimateAfter = 3;

// Shows the labels and bars of the progress page as lines of text:
//   Input Path : photos
//   Found : 6
//   Creating Thumbnailpage 1/1, Creating Imagepage 6/6
//   Creating Scaling Image 6/6
//   Creating Thumbnail Image 6/6
// On a terminal (live) the line of the running stage is rewritten in place
// as its counts move, with ProgressLineText's bar, percentage and time
// left; otherwise each line is written once, plain, when its stage ends.
// Quiet shows nothing but warnings. Page changes mean nothing on a console.
class ConsoleView : public RunView {
 public:
  ConsoleView(std::FILE* out, bool live, bool quiet);

  // The clock stages are timed by (steady_clock::now unless set) and the
  // terminal's width in columns (0, unknown, unless set).
  void SetClock(std::function<ProgressClock::time_point()> now) { now_ = std::move(now); }
  void SetColumns(int columns) { columns_ = columns; }

  void SetInputPathLabel(const std::string& text) override;
  void SetFoundLabel(const std::string& text) override;
  void SetBarMaximum(RunBar bar, int maximum) override;
  void SetBarPosition(RunBar bar, int position) override;
  void Return_to_first_page() override {}
  void ShowBottomButtons() override {}
  void CloseMainWindow() override {}
  // "N of M images up to date", on a line of its own.
  void ShowImagesUpToDate(int upToDate, int total) override;
  // The albums, one line each with its photos (AlbumListText).
  void ShowAlbums(const std::vector<AlbumSummary>& albums) override;
  // The warning on a line of its own, also when quiet; on a terminal the
  // running stage's line comes back under it.
  void ShowWarning(const std::string& text) override;

  // Ends the line of the running stage; call it when the run has returned.
  void Finish();

 private:
  enum class Line { None, InputPath, Found, Pages, Originals, ScaledImages, Thumbnails };
  static Line LineOf(RunBar bar);
  std::string BarText(RunBar bar) const;
  // Shows the line of bar's stage: plain text, and the live text on a terminal.
  void ShowBar(RunBar bar);
  void Show(Line line, const std::string& text, const std::string& liveText);

  std::FILE* out_;
  bool live_;
  bool quiet_;
  std::function<ProgressClock::time_point()> now_ = [] { return ProgressClock::now(); };
  int columns_ = 0;
  Line current_ = Line::None;
  std::string text_;
  std::string liveText_;  // the running stage's line as a terminal shows it
  std::string inputLabel_;
  std::array<int, 5> maximum_{};
  std::array<int, 5> position_{};
  std::array<ProgressClock::time_point, 5> started_{};
};

}  // namespace fotoloom::cli
