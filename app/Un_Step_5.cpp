// Page 5 of the wizard: what a run creates (also the extra files), and the two output folder buttons.
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

  // The files written beside the gallery's own, in the rest of the free
  // space below (page 2, where the image options are, has no room left).
  const auto extraFiles = [this](const char* name, const char* text, int y) {
    auto* box = new QCheckBox(QString::fromUtf8(text), this);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(16, y, 602, 20);
    box->setCursor(Qt::PointingHandCursor);
    return box;
  };
  Check_sharp_thumbnails = extraFiles("Check_sharp_thumbnails", "Sharp thumbnails for high-resolution screens", 314);
  Check_webp = extraFiles("Check_webp", "Also write WebP images (smaller files, JPEG kept for old browsers)", 338);
  Check_zip = extraFiles("Check_zip", "Download of all originals as one ZIP file", 362);

  for (SettingsField field :
       {SettingsField::AutoBrowserStart, SettingsField::ElementsMode, SettingsField::UpdateOnlyChanged,
        SettingsField::SkipBadPhotos, SettingsField::Thumbnails2x, SettingsField::WebP, SettingsField::Zip})
    Redraw(field);
  connect(Check_show_first_page, &QCheckBox::toggled, this, [this](bool on) { settings_.SetAutoBrowserStart(on); });
  connect(Check_only_changed, &QCheckBox::toggled, this, [this](bool on) { settings_.SetUpdateOnlyChanged(on); });
  connect(Check_skip_bad_photos, &QCheckBox::toggled, this, [this](bool on) { settings_.SetSkipBadPhotos(on); });
  connect(Check_sharp_thumbnails, &QCheckBox::toggled, this, [this](bool on) { settings_.SetThumbnails2x(on); });
  connect(Check_webp, &QCheckBox::toggled, this, [this](bool on) { settings_.SetWebP(on); });
  connect(Check_zip, &QCheckBox::toggled, this, [this](bool on) { settings_.SetZip(on); });
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
  const auto show = [field](SettingsField shown, QCheckBox* box, bool on) {
    if (field == shown && box->isChecked() != on) box->setChecked(on);
  };
  show(SettingsField::Thumbnails2x, Check_sharp_thumbnails, settings_.Thumbnails2x());
  show(SettingsField::WebP, Check_webp, settings_.WebP());
  show(SettingsField::Zip, Check_zip, settings_.Zip());
}

}  // namespace fotoloom
