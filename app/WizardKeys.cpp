// The wizard's keys beyond each control's own: Enter goes on, Alt+Left and Alt+Right go back and on.
#include "app/WizardKeys.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace fotoloom {
namespace {

bool Usable(const QWidget* w) { return w && w->isVisible() && w->isEnabled(); }

}  // namespace

WizardKeys::WizardKeys(QWidget* window, QPushButton* back, QPushButton* next, std::function<bool()> busy)
    : QObject(window), window_(window), back_(back), next_(next), busy_(std::move(busy)) {
  window_->installEventFilter(this);
  // An editable drop-down box keeps Enter for itself; in the wizard it goes on as from a text box.
  for (QComboBox* combo : window_->findChildren<QComboBox*>()) {
    if (!combo->isEditable()) continue;
    combo->installEventFilter(this);
    if (combo->lineEdit()) combo->lineEdit()->installEventFilter(this);
  }
  auto* backKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), window_);
  auto* nextKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), window_);
  backKey->setAutoRepeat(false);
  nextKey->setAutoRepeat(false);
  connect(backKey, &QShortcut::activated, this, [this] { Press(back_); });
  connect(nextKey, &QShortcut::activated, this, [this] { Press(next_); });
}

void WizardKeys::Press(QPushButton* button) {
  if (Usable(button) && !busy_()) button->click();
}

bool WizardKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  if (watched != window_) {
    // An editable drop-down box (or its text); its open list keeps Enter to pick an item.
    auto* combo = qobject_cast<QComboBox*>(watched);
    if (!combo) combo = qobject_cast<QComboBox*>(static_cast<QWidget*>(watched)->parentWidget());
    if (!combo || combo->view()->isVisible()) return false;
    if (!key->isAutoRepeat()) Press(next_);
    return true;
  }
  // Key presses reach the window itself only when the focused control and
  // every page between did not take them.
  if (key->isAutoRepeat() || busy_()) return true;
  QWidget* focus = window_->focusWidget();
  if (auto* tool = qobject_cast<QToolButton*>(focus); Usable(tool)) {
    if (tool->menu())
      tool->showMenu();
    else
      tool->click();
    return true;
  }
  if (auto* button = qobject_cast<QPushButton*>(focus); Usable(button)) {
    button->click();
    return true;
  }
  Press(next_);
  return true;
}

}  // namespace fotoloom
