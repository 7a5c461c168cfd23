// The progress of a run on a console: one line per stage, live on a terminal.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "run/RunView.h"

namespace fotoloom::cli {

// Shows the labels and bars of the progress page as lines of text:
//   Input Path : photos
//   Found : 6
//   Creating Thumbnailpage 1/1, Creating Imagepage 6/6
//   Creating Scaling Image 6/6
//   Creating Thumbnail Image 6/6
// On a terminal (live) the line of the running stage is rewritten in place
// as its counts move; otherwise each line is written once, when its stage
// ends. Quiet shows nothing. Page changes mean nothing on a console.
class ConsoleView : public RunView {
 public:
  ConsoleView(std::FILE* out, bool live, bool quiet);

  void SetInputPathLabel(const std::string& text) override;
  void SetFoundLabel(const std::string& text) override;
  void SetBarMaximum(RunBar bar, int maximum) override;
  void SetBarPosition(RunBar bar, int position) override;
  void Return_to_first_page() override {}
  void ShowBottomButtons() override {}
  void CloseMainWindow() override {}

  // Ends the line of the running stage; call it when the run has returned.
  void Finish();

 private:
  enum class Line { None, InputPath, Found, Pages, Originals, ScaledImages, Thumbnails };
  static Line LineOf(RunBar bar);
  std::string BarText(RunBar bar) const;
  void Show(Line line, const std::string& text);

  std::FILE* out_;
  bool live_;
  bool quiet_;
  Line current_ = Line::None;
  std::string text_;
  std::string inputLabel_;
  std::array<int, 5> maximum_{};
  std::array<int, 5> position_{};
};

}  // namespace fotoloom::cli
