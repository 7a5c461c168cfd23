// Page 6 of the wizard: the progress of a generation run and its Cancel button.
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
  void ShowWarning(const QString& text) override;
  // Empties the warnings of the last run and hides their box.
  void ClearWarnings();

 signals:
  // Cancel was pressed (the main window stops the run and goes back to page 1).
  void CancelRequested();

 private:
  QProgressBar* Bar(RunBar bar) const { return bars_.at(static_cast<std::size_t>(bar)); }

  QLabel* lbl_input_path = nullptr;
  QLabel* lbl_found = nullptr;
  QPushButton* btn_cancel = nullptr;
  QPlainTextEdit* mem_warnings = nullptr;
  std::array<QProgressBar*, kRunBars.size()> bars_{};
};

}  // namespace fotoloom
