// Page 3 of the wizard: the four page colours with their preview, the title and the thumbnail grid.
#pragma once

#include <QString>
#include <QWidget>

#include "app/SettingsBinding.h"

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace fotoloom {

class WizardDialogs;

class TFrame_Step_3 : public QWidget {
  Q_OBJECT
 public:
  // programFolder (ending in "/") is where "preview.html" is written.
  TFrame_Step_3(GallerySettings& settings, WizardDialogs& dialogs, QString programFolder, QWidget* parent = nullptr);

  // Writes "preview.html" from the four colours and shows it. A file that
  // cannot be written raises the file-creation error and the view keeps what
  // it showed.
  void Create_preview();

 private:
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QFrame* Panel1 = nullptr;
  QTextBrowser* WebBrowser1 = nullptr;
  QLineEdit* Edt_title = nullptr;
  QLineEdit* edt_num_columns = nullptr;
  QLineEdit* edt_num_row = nullptr;
  QGroupBox* RG_Subtitle = nullptr;
  QButtonGroup* RG_Subtitle_items = nullptr;

  // Button1Click .. Button4Click: the colour chooser for one colour field.
  void ChooseColor(Color (GallerySettings::*get)() const, void (GallerySettings::*set)(Color));
  void Redraw(SettingsField field);

  GallerySettings& settings_;
  WizardDialogs& dialogs_;
  QString programFolder_;
  SettingsBinding binding_;
};

}  // namespace fotoloom
