// The progress page as the wizard's run view sees it: two labels and five bars.
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
  // Adds one warning line of the run under the bars.
  virtual void ShowWarning(const QString& text) = 0;

 protected:
  ~ProgressDisplay() = default;
};

}  // namespace fotoloom
