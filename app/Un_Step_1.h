// Page 1 of the wizard: the input, output and additional folders and the names of the pages.
#pragma once

#include <QWidget>

#include "app/SettingsBinding.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace fotoloom {

class WizardDialogs;

class TFrame_Step_1 : public QWidget {
  Q_OBJECT
 public:
  TFrame_Step_1(GallerySettings& settings, WizardDialogs& dialogs, QWidget* parent = nullptr);

  // Whether the page names and the extension can be used in file names
  // (no "/", "..", NUL); when not, the reason shows under their boxes.
  bool PageNamesUsable() const;

 signals:
  // The input or the output folder text changed (the main window enables Next).
  void FolderTextsChanged();
  // A page name or the extension changed (the main window enables Next).
  void PageNamesChanged();

 private:
  QLineEdit* edt_input = nullptr;
  QCheckBox* Check_albums = nullptr;
  QLineEdit* edt_output = nullptr;
  QLineEdit* edt_optional = nullptr;
  QLineEdit* edt_thumbnail = nullptr;
  QLineEdit* edt_image = nullptr;
  QComboBox* cmb_ext = nullptr;
  QLabel* lbl_name_problem = nullptr;
  QPushButton* btn_brw_input = nullptr;
  QPushButton* btn_brw_output = nullptr;
  QPushButton* btn_brw_optional = nullptr;

  void btn_brw_inputClick();
  void btn_brw_outputClick();
  void btn_brw_optionalClick();
  // Opens the folder chooser in the current working folder; on confirmation
  // stores the folder through store and makes it the current working folder.
  void BrowseFolder(const QString& caption, void (GallerySettings::*store)(std::string));
  void Redraw(SettingsField field);
  void ShowNameProblem();

  GallerySettings& settings_;
  WizardDialogs& dialogs_;
  SettingsBinding binding_;
};

}  // namespace fotoloom
