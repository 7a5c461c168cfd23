// Page 6 of the wizard: the progress of a generation run and its Cancel button.
#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QProgressBar;
class QPushButton;

namespace fotoloom {

class TFrame_Step_6 : public QWidget {
  Q_OBJECT
 public:
  explicit TFrame_Step_6(QWidget* parent = nullptr);

  // Sets bar (1..5)'s maximum or position.
  void SetBarMaximum(int bar, int maximum);
  void SetBarPosition(int bar, int position);
  QProgressBar* Bar(int bar) const { return bars_.at(static_cast<std::size_t>(bar - 1)); }

  QLabel* lbl_input_path = nullptr;
  QLabel* lbl_found = nullptr;
  QPushButton* btn_cancel = nullptr;

 private:
  std::array<QProgressBar*, 5> bars_{};
};

}  // namespace fotoloom
