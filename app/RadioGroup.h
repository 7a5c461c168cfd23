// A titled group of radio buttons, one per item, standing for one index field.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <string_view>

namespace fotoloom {

// Tab reaches the group at its checked button (at the first one while none is
// checked) and the next Tab leaves the group; the arrow keys move between the
// buttons, as on other desktops. Only the button Tab may land on takes tab focus.
inline void TabToCheckedButton(QButtonGroup* group) {
  const auto update = [group] {
    const QList<QAbstractButton*> buttons = group->buttons();
    QAbstractButton* target = group->checkedButton();
    if (!target && !buttons.isEmpty()) target = buttons.front();
    for (QAbstractButton* b : buttons) b->setFocusPolicy(b == target ? Qt::StrongFocus : Qt::ClickFocus);
  };
  QObject::connect(group, &QButtonGroup::buttonToggled, group, update);
  update();
}

// Builds a group box named name with one radio button per item (ids 0..n-1),
// items from top, spaced step pixels apart, with TabToCheckedButton. Returns
// the button group.
template <typename Items>
QButtonGroup* MakeRadioGroup(QGroupBox* box, const char* name, const Items& items, int top = 22, int step = 24) {
  box->setObjectName(QString::fromLatin1(name));
  auto* group = new QButtonGroup(box);
  group->setObjectName(QString::fromLatin1(name) + QStringLiteral("_items"));
  int id = 0;
  for (std::string_view item : items) {
    auto* radio = new QRadioButton(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())), box);
    radio->setGeometry(10, top + id * step, box->width() - 20, 20);
    group->addButton(radio, id++);
  }
  TabToCheckedButton(group);
  return group;
}

// Checks the button of index, or none when index is -1.
inline void ShowChoice(QButtonGroup* group, int index) {
  if (QAbstractButton* b = group->button(index)) {
    if (!b->isChecked()) b->setChecked(true);
  } else if (QAbstractButton* checked = group->checkedButton()) {
    group->setExclusive(false);
    checked->setChecked(false);
    group->setExclusive(true);
  }
}

}  // namespace fotoloom
