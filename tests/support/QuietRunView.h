// A run view for tests that shows nothing and notes only what an update found up to date.
#pragma once

#include <string>
#include <vector>

#include "run/RunView.h"

namespace fotoloom::test {

class QuietRunView : public RunView {
 public:
  // Each ShowImagesUpToDate, as "3 of 5".
  std::vector<std::string> UpToDate;

  void SetInputPathLabel(const std::string&) override {}
  void SetFoundLabel(const std::string&) override {}
  void SetBarMaximum(RunBar, int) override {}
  void SetBarPosition(RunBar, int) override {}
  void Return_to_first_page() override {}
  void ShowBottomButtons() override {}
  void CloseMainWindow() override {}
  void ShowImagesUpToDate(int upToDate, int total) override {
    UpToDate.push_back(std::to_string(upToDate) + " of " + std::to_string(total));
  }
};

}  // namespace fotoloom::test
