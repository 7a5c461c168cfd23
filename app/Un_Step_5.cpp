// Page 5 of the wizard: what a run creates, and the two output folder buttons.
#include "app/Un_Step_5.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "app/RadioGroup.h"

namespace fotoloom {

TFrame_Step_5::TFrame_Step_5(GallerySettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), binding_(settings, [this](SettingsField f) { Redraw(f); }) {
  setObjectName(QStringLiteral("Frame_Step_5"));
  btn_Clear = new QPushButton(QStringLiteral("Clear Output Folder"), this);
  btn_Clear->setObjectName(QStringLiteral("btn_Clear"));
  btn_Clear->setGeometry(16, 20, 180, 25);
  btn_Clear->setCursor(Qt::PointingHandCursor);

  // Shown, so that the user can keep the wizard open after a run: with it
  // ticked the run opens the first page and closes the window.
  Check_show_first_page = new QCheckBox(QStringLiteral("Show first page after creation automaticly in browser"), this);
  Check_show_first_page->setObjectName(QStringLiteral("Check_show_first_page"));
  Check_show_first_page->setGeometry(16, 56, 600, 20);
  Check_show_first_page->setCursor(Qt::PointingHandCursor);

  Rg_Elements = new QGroupBox(QStringLiteral("What elements shall be created"), this);
  Rg_Elements->setGeometry(16, 88, 602, 110);
  Rg_Elements_items = MakeRadioGroup(Rg_Elements, "Rg_Elements", kElementsModeNames, 24, 26);

  Button1 = new QPushButton(QStringLiteral("Show first page in Webbrowser"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(16, 218, 220, 25);
  Button1->setCursor(Qt::PointingHandCursor);

  // Below the choice of what to create and its button, where the page was empty.
  Check_only_changed = new QCheckBox(QStringLiteral("Only update what has changed"), this);
  Check_only_changed->setObjectName(QStringLiteral("Check_only_changed"));
  Check_only_changed->setGeometry(16, 258, 602, 20);
  Check_only_changed->setCursor(Qt::PointingHandCursor);

  // Below the update's box, in the same free space.
  Check_skip_bad_photos = new QCheckBox(QStringLiteral("Skip photos that cannot be read"), this);
  Check_skip_bad_photos->setObjectName(QStringLiteral("Check_skip_bad_photos"));
  Check_skip_bad_photos->setGeometry(16, 286, 602, 20);
  Check_skip_bad_photos->setCursor(Qt::PointingHandCursor);

  Redraw(SettingsField::AutoBrowserStart);
  Redraw(SettingsField::ElementsMode);
  Redraw(SettingsField::UpdateOnlyChanged);
  Redraw(SettingsField::SkipBadPhotos);
  connect(Check_show_first_page, &QCheckBox::toggled, this, [this](bool on) { settings_.SetAutoBrowserStart(on); });
  connect(Check_only_changed, &QCheckBox::toggled, this, [this](bool on) { settings_.SetUpdateOnlyChanged(on); });
  connect(Check_skip_bad_photos, &QCheckBox::toggled, this, [this](bool on) { settings_.SetSkipBadPhotos(on); });
  connect(Rg_Elements_items, &QButtonGroup::idClicked, this, [this](int id) { settings_.SetElementsMode(id); });
  connect(btn_Clear, &QPushButton::clicked, this, &TFrame_Step_5::ClearOutputFolderRequested);
  connect(Button1, &QPushButton::clicked, this, &TFrame_Step_5::OpenFirstPageRequested);
}

void TFrame_Step_5::Redraw(SettingsField field) {
  if (field == SettingsField::AutoBrowserStart && Check_show_first_page->isChecked() != settings_.AutoBrowserStart())
    Check_show_first_page->setChecked(settings_.AutoBrowserStart());
  if (field == SettingsField::ElementsMode) ShowChoice(Rg_Elements_items, settings_.ElementsMode());
  if (field == SettingsField::UpdateOnlyChanged && Check_only_changed->isChecked() != settings_.UpdateOnlyChanged())
    Check_only_changed->setChecked(settings_.UpdateOnlyChanged());
  if (field == SettingsField::SkipBadPhotos && Check_skip_bad_photos->isChecked() != settings_.SkipBadPhotos())
    Check_skip_bad_photos->setChecked(settings_.SkipBadPhotos());
}

}  // namespace fotoloom
