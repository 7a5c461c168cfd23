// Page 6 of the wizard: the progress of a generation run, its Cancel button and how the run ended.
#pragma once

#include <QWidget>
#include <array>

#include "app/ProgressDisplay.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace fotoloom {

class TFrame_Step_6 : public QWidget, public ProgressDisplay {
  Q_OBJECT
 public:
  explicit TFrame_Step_6(QWidget* parent = nullptr);

  void ShowInputPath(const QString& text) override;
  void ShowFound(const QString& text) override;
  void SetBarMaximum(RunBar bar, int maximum) override;
  void SetBarPosition(RunBar bar, int position) override;
  // The run's warnings stay in a box under the Cancel button, and under the
  // buttons of the run's end once it has ended.
  void ShowWarning(const QString& text) override;
  // Empties the warnings of the last run and hides their box.
  void ClearWarnings();

  // While a run goes: the Cancel button, and below it only the run's warnings.
  void ShowRunGoing();
  // After a finished run: the summary line below the bars, "Open gallery"
  // and "Back to the first step", which has the focus.
  void ShowFinished(const QString& summary);
  // After a run an error stopped: what stopped it below the bars, and
  // "Back to the first step".
  void ShowStopped(const QString& reason);

 signals:
  // Cancel, or after a run "Back to the first step", was pressed (the main
  // window stops the run and goes back to page 1).
  void CancelRequested();
  // "Open gallery" was pressed.
  void OpenGalleryRequested();

 private:
  // The Cancel button's caption and place; after a run it leads back to page 1.
  void ShowCancelButton(const QString& caption, const QRect& place);
  // The end of a run: line below the bars, "Back to the first step", and
  // "Open gallery" (with the focus) when gallery is set.
  void ShowEnd(const QString& line, bool gallery);
  // Places what is shown below the bars: while a run goes, the warnings
  // under Cancel; once it has ended, its line as high as its text, the
  // buttons under it and the warnings below them, down to the page's foot.
  void PlaceBelowBars();

  QProgressBar* Bar(RunBar bar) const { return bars_.at(static_cast<std::size_t>(bar)); }

  QLabel* lbl_input_path = nullptr;
  QLabel* lbl_found = nullptr;
  QPushButton* btn_cancel = nullptr;
  QLabel* lbl_summary = nullptr;
  QPushButton* btn_open_gallery = nullptr;
  QPlainTextEdit* mem_warnings = nullptr;
  std::array<QProgressBar*, kRunBars.size()> bars_{};
};

}  // namespace fotoloom
