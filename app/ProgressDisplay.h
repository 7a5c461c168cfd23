// The progress page as the wizard's run view sees it: two labels, five bars and the notices.
#pragma once

#include <QString>

#include "run/RunView.h"

namespace fotoloom {

// Implemented by the progress page; the run view reaches the page only through this.
class ProgressDisplay {
 public:
  virtual void ShowInputPath(const QString& text) = 0;
  virtual void ShowFound(const QString& text) = 0;
  // A bar's maximum (its minimum is always 0) and its position.
  virtual void SetBarMaximum(RunBar bar, int maximum) = 0;
  virtual void SetBarPosition(RunBar bar, int position) = 0;
  // Adds a line to the notices under the bars; ClearNotices empties them
  // (the main window does so before each run).
  virtual void ShowNotice(const QString& line) = 0;
  virtual void ClearNotices() = 0;

 protected:
  ~ProgressDisplay() = default;
};

}  // namespace fotoloom
