// The wizard's keys beyond each control's own: Enter goes on, Alt+Left and Alt+Right go back and on.
#pragma once

#include <QObject>
#include <functional>

class QPushButton;
class QWidget;

namespace fotoloom {

// Watches the main window. Enter (Return or the keypad's Enter) that no
// control took for itself presses the focused push button or tool button,
// or else Next; a multi-line editor takes Enter itself, so there it starts
// a new line. In an editable drop-down box (the window's, when WizardKeys
// is made) Enter presses Next as in a text box, unless its list is open.
// Alt+Left presses Back and Alt+Right Next. A button is pressed only while
// it is shown and enabled; nothing is pressed while busy() says a run is
// going, nor by a key held down (its repeats), so that a long press cannot
// start a run or walk through the pages.
class WizardKeys : public QObject {
 public:
  WizardKeys(QWidget* window, QPushButton* back, QPushButton* next, std::function<bool()> busy);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Presses button when it is shown and enabled and no run is going.
  void Press(QPushButton* button);

  QWidget* window_;
  QPushButton* back_;
  QPushButton* next_;
  std::function<bool()> busy_;
};

}  // namespace fotoloom
