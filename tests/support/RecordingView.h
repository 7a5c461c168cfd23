// A run view for tests: records what a generation run shows on the progress page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "run/RunView.h"

namespace fotoloom::test {

// Records what the run shows: the page changes and each bar's maximum as
// short lines ("max 2 = 30", "first page", "buttons", "close"), the labels,
// every bar's last maximum and position, an update's "N of M" line and
// the warnings.
// OnBar runs after every bar move.
class RecordingView : public RunView {
 public:
  std::vector<std::string> Calls;
  std::string InputLabel;
  std::string FoundLabel;
  int Maximum[5] = {-1, -1, -1, -1, -1};
  int Position[5] = {-1, -1, -1, -1, -1};
  std::vector<std::string> UpToDate;
  std::vector<std::string> Warnings;
  std::function<void(RunBar, int)> OnBar;

  void SetInputPathLabel(const std::string& text) override { InputLabel = text; }
  void SetFoundLabel(const std::string& text) override { FoundLabel = text; }
  void SetBarMaximum(RunBar bar, int maximum) override {
    Maximum[int(bar)] = maximum;
    Calls.push_back("max " + std::to_string(int(bar) + 1) + " = " + std::to_string(maximum));
  }
  void SetBarPosition(RunBar bar, int position) override {
    Position[int(bar)] = position;
    if (OnBar) OnBar(bar, position);
  }
  void Return_to_first_page() override { Calls.push_back("first page"); }
  void ShowBottomButtons() override { Calls.push_back("buttons"); }
  void CloseMainWindow() override { Calls.push_back("close"); }
  void ShowImagesUpToDate(int upToDate, int total) override {
    UpToDate.push_back(std::to_string(upToDate) + " of " + std::to_string(total));
  }
  void ShowWarning(const std::string& text) override { Warnings.push_back(text); }
};

}  // namespace fotoloom::test
