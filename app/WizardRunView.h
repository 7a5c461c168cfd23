// The wizard's side of a generation run: labels, bars and page changes on the main window.
#pragma once

#include "run/RunView.h"

namespace fotoloom {

class ProgressDisplay;
class Tfrm_utama;

// Forwards what the run shows to the progress page and the page changes to the main window.
class WizardRunView : public RunView {
 public:
  WizardRunView(Tfrm_utama& window, ProgressDisplay& progress) : window_(window), progress_(progress) {}

  void SetInputPathLabel(const std::string& text) override;
  void SetFoundLabel(const std::string& text) override;
  void SetBarMaximum(RunBar bar, int maximum) override;
  void SetBarPosition(RunBar bar, int position) override;
  void ShowWarning(const std::string& text) override;
  void Return_to_first_page() override;
  void ShowBottomButtons() override;
  // The window closes once the run has returned, never under it.
  void CloseMainWindow() override;

 private:
  Tfrm_utama& window_;
  ProgressDisplay& progress_;
};

}  // namespace fotoloom
