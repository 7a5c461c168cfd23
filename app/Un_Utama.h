// The main window: header, six stacked pages, bottom buttons, navigation, settings files and the run's GUI side.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "app/CheckBeforeRun.h"
#include "app/SettingsSnapshot.h"
#include "app/WizardDialogs.h"
#include "core/Desktop.h"
#include "core/GallerySettings.h"

class QFrame;
class QLabel;
class QPushButton;

namespace fotoloom {

class GenerationRun;
class TAboutBox;
class WizardRunView;
class TFrame_Step_1;
class TFrame_Step_2;
class TFrame_Step_3;
class TFrame_Step_4;
class TFrame_Step_5;
class TFrame_Step_6;

class Tfrm_utama : public QWidget {
  Q_OBJECT
 public:
  // dialogs answers the file, folder and colour choosers (Qt's own when null);
  // programFolder (ending in "/") holds the preview (ProgramFolder() when
  // empty); the settings dialogs open in the folder of the settings file
  // last loaded or saved, at first in DocumentsFolder(); desktop shows the run's
  // messages, opens documents and pumps events (a QtDesktop on this window
  // when null).
  explicit Tfrm_utama(std::unique_ptr<WizardDialogs> dialogs = nullptr, QString programFolder = QString(),
                      std::unique_ptr<Desktop> desktop = nullptr);
  ~Tfrm_utama() override;

  GallerySettings& Settings() { return settings_; }
  int CurrentStep() const { return currentStep_; }
  // True from Next on page 5 until the run has returned.
  bool RunGoing() const { return runGoing_; }
  // The run components, for the tests.
  GenerationRun& Run() { return *run_; }

  void btn_nextClick();
  void btn_backClick();
  // Shows the bottom buttons, shows page 1 and its caption; used while page 6 is shown.
  void Return_to_first_page();
  // Next is enabled exactly while both folder texts of page 1 are non-empty
  // and the page names and the extension can be used in file names.
  void Frame_Step_11edt_inputChange();
  void bit_loadClick();
  void bit_saveClick();
  // Asks for a settings file and writes the options to it; true when they
  // were written (not when the user cancelled or writing failed).
  bool SaveSettings();
  // True while the options differ from those at start-up or last loaded or saved.
  bool SettingsChanged() const { return snapshot_.Differs(settings_); }
  void bit_aboutClick();
  void bit_helpClick();
  // Cancel on page 6: sets every cancel flag of the run and returns to page 1.
  void Frame_Step_61btn_cancelClick();
  // Shows or hides Back, Next, Load, Save, About and Help together.
  void ShowBottomButtons(bool show);
  // Closes the window at the end of a run (the first page was opened): now,
  // or once the running run has returned. Unsaved settings are offered for
  // saving first, without the choice to cancel; when they are then not
  // saved after all, the window stays open with the finished run.
  void CloseAfterRun();
  // Another start of the program asked for this window: shows it in front
  // and active, and takes folder (when not empty) as the input folder.
  void RaiseForSecondStart(const QString& folder);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormShow();
  void ShowStep(int step);
  // Puts the focus on the first control of page that is not a button when
  // it was on a page (now hidden), so that Enter and Tab go on from the
  // page shown.
  void FocusFirstControl(QWidget* page);
  // Shows on page 6 how the run that has just returned ended.
  void ShowRunEnd(bool finished, const QString& error);
  // Whether the window may close now: true when the settings are unchanged,
  // or the user saved them or chose not to.
  bool AgreeToClose(bool canCancel);
  // Runs action and shows any std::exception it raises in the application's
  // error box; false when it raised.
  bool Guarded(const std::function<void()>& action);
  // Where the Load and Save Settings dialogs open.
  QString SettingsDialogFolder() const;
  void StartGenerationRun();
  // Shows page step (1 to 5) with its caption and the bottom buttons.
  void GoToStep(int step);
  // When the check finds something to refuse: says why, shows its page and
  // focuses its box, and returns false.
  bool PassesCheck(const std::optional<RefusedValue>& refused);

  GallerySettings settings_;
  std::unique_ptr<WizardDialogs> dialogs_;
  QString programFolder_;
  QString settingsFolder_;  // of the settings file last loaded or saved; empty before the first
  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<WizardRunView> runView_;
  std::unique_ptr<GenerationRun> run_;
  SettingsSnapshot snapshot_{settings_};
  QLabel* pnl_header = nullptr;
  QFrame* pnl_bottom = nullptr;
  QPushButton* bit_load = nullptr;
  QPushButton* bit_save = nullptr;
  QPushButton* bit_about = nullptr;
  QPushButton* bit_help = nullptr;
  QPushButton* btn_back = nullptr;
  QPushButton* btn_next = nullptr;
  TFrame_Step_1* Frame_Step_1 = nullptr;
  TFrame_Step_2* Frame_Step_2 = nullptr;
  TFrame_Step_3* Frame_Step_3 = nullptr;
  TFrame_Step_4* Frame_Step_4 = nullptr;
  TFrame_Step_5* Frame_Step_5 = nullptr;
  TFrame_Step_6* Frame_Step_6 = nullptr;
  TAboutBox* AboutBox = nullptr;
  int currentStep_ = 1;
  std::array<QWidget*, 7> pages_{};  // index 1..6
  bool shown_ = false;
  bool runGoing_ = false;
  bool closeAfterRun_ = false;
  bool closeIsRunEnd_ = false;  // the close comes from a run that opened the first page
};

}  // namespace fotoloom
