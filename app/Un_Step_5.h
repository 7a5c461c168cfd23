// Page 5 of the wizard: what a run creates, and the two output folder buttons.
#pragma once

#include <QWidget>

#include "app/SettingsBinding.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;

namespace fotoloom {

// The buttons' actions belong to the main window, which connects to them.
class TFrame_Step_5 : public QWidget {
  Q_OBJECT
 public:
  explicit TFrame_Step_5(GallerySettings& settings, QWidget* parent = nullptr);

  QPushButton* btn_Clear = nullptr;
  QCheckBox* Check_show_first_page = nullptr;
  QGroupBox* Rg_Elements = nullptr;
  QButtonGroup* Rg_Elements_items = nullptr;
  QPushButton* Button1 = nullptr;

 private:
  void Redraw(SettingsField field);

  GallerySettings& settings_;
  SettingsBinding binding_;
};

}  // namespace fotoloom
