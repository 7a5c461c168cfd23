// Page 5 of the wizard: what a run creates, and the two output folder buttons.
#pragma once

#include <QWidget>

#include "app/SettingsBinding.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;

namespace fotoloom {

// The buttons' actions belong to the main window: the page only says what the user asked for.
class TFrame_Step_5 : public QWidget {
  Q_OBJECT
 public:
  explicit TFrame_Step_5(GallerySettings& settings, QWidget* parent = nullptr);

 signals:
  // "Clear Output Folder" was pressed.
  void ClearOutputFolderRequested();
  // "Show first page in Webbrowser" was pressed.
  void OpenFirstPageRequested();

 private:
  void Redraw(SettingsField field);

  QPushButton* btn_Clear = nullptr;
  QCheckBox* Check_show_first_page = nullptr;
  QGroupBox* Rg_Elements = nullptr;
  QButtonGroup* Rg_Elements_items = nullptr;
  QPushButton* Button1 = nullptr;
  QCheckBox* Check_only_changed = nullptr;
  QCheckBox* Check_skip_bad_photos = nullptr;
  QCheckBox* Check_sharp_thumbnails = nullptr;
  QCheckBox* Check_webp = nullptr;
  QCheckBox* Check_zip = nullptr;
  GallerySettings& settings_;
  SettingsBinding binding_;
};

}  // namespace fotoloom
