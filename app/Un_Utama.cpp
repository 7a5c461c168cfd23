// The main window: header, six stacked pages, bottom buttons, navigation, settings files and the run's GUI side.
#include "app/Un_Utama.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "app/MessageBoxes.h"
#include "app/ProgramFolder.h"
#include "app/QtDesktop.h"
#include "app/Un_About.h"
#include "app/Un_Step_1.h"
#include "app/Un_Step_2.h"
#include "app/Un_Step_3.h"
#include "app/Un_Step_4.h"
#include "app/Un_Step_5.h"
#include "app/Un_Step_6.h"
#include "app/WizardDialogs.h"
#include "app/WizardFonts.h"
#include "app/WizardKeys.h"
#include "app/WizardRunView.h"
#include "core/ScopeExit.h"
#include "core/SettingsFile.h"
#include "run/GenerationRun.h"
#include "run/OutputFolder.h"
#include "run/RunSummary.h"

namespace fotoloom {
namespace {

QPushButton* BottomButton(QWidget* parent, const char* name, const QString& text, int x, int w, QIcon icon = {}) {
  auto* button = new QPushButton(icon, text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(x, 6, w, 25);
  button->setCursor(Qt::PointingHandCursor);
  button->setIconSize(QSize(14, 14));
  return button;
}

QString StepCaption(int step) { return QStringLiteral("Step %1 of 5").arg(step); }

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The window's size as the layout was made; it may be made larger, not smaller.
constexpr int kWidth = 645;
constexpr int kHeight = 476;

}  // namespace

Tfrm_utama::Tfrm_utama(std::unique_ptr<WizardDialogs> dialogs, QString programFolder, std::unique_ptr<Desktop> desktop)
    : QWidget(nullptr, Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtWizardDialogs>()),
      programFolder_(programFolder.isEmpty() ? ProgramFolder() : std::move(programFolder)),
      desktop_(desktop ? std::move(desktop) : std::make_unique<QtDesktop>(this)) {
  setObjectName(QStringLiteral("frm_utama"));
  setWindowTitle(QStringLiteral("Fotoloom"));
  // Larger, the template editors and macro grids grow; every other control keeps its place.
  setMinimumSize(kWidth, kHeight);
  resize(kWidth, kHeight);
  const QFont font = SerifFont(11, true);
  setFont(font);

  pnl_header = new QLabel(StepCaption(1), this);
  pnl_header->setObjectName(QStringLiteral("pnl_header"));
  pnl_header->setGeometry(0, 0, kWidth, 49);
  pnl_header->setAlignment(Qt::AlignCenter);
  pnl_header->setFrameStyle(QFrame::Panel | QFrame::Raised);
  QFont headerFont = font;
  headerFont.setPixelSize(32);
  pnl_header->setFont(headerFont);

  Frame_Step_1 = new TFrame_Step_1(settings_, *dialogs_, this);
  Frame_Step_2 = new TFrame_Step_2(settings_, this);
  Frame_Step_3 = new TFrame_Step_3(settings_, *dialogs_, programFolder_, this);
  Frame_Step_4 = new TFrame_Step_4(settings_, this);
  Frame_Step_5 = new TFrame_Step_5(settings_, this);
  Frame_Step_6 = new TFrame_Step_6(this);
  pages_ = {nullptr, Frame_Step_1, Frame_Step_2, Frame_Step_3, Frame_Step_4, Frame_Step_5, Frame_Step_6};
  Frame_Step_1->setGeometry(1, 50, 641, 389);
  for (int i = 2; i <= 5; ++i) pages_[i]->setGeometry(1, 50, 634, 389);
  Frame_Step_6->setGeometry(11, 50, 634, 389);
  for (int i = 2; i <= 6; ++i) pages_[i]->hide();

  auto* bottom = pnl_bottom = new QFrame(this);
  bottom->setObjectName(QStringLiteral("pnl_bottom"));
  bottom->setFrameStyle(QFrame::Panel | QFrame::Raised);
  bottom->setGeometry(0, kHeight - 34, kWidth, 34);
  QStyle* st = style();
  bit_load = BottomButton(bottom, "bit_load", QStringLiteral("&Load Settings..."), 6, 120,
                          st->standardIcon(QStyle::SP_DialogOpenButton));
  bit_save = BottomButton(bottom, "bit_save", QStringLiteral("&Save Settings..."), 127, 120,
                          st->standardIcon(QStyle::SP_DialogSaveButton));
  bit_about = BottomButton(bottom, "bit_about", QStringLiteral("About"), 248, 75,
                           st->standardIcon(QStyle::SP_MessageBoxInformation));
  bit_help =
      BottomButton(bottom, "bit_help", QStringLiteral("Help"), 324, 75, st->standardIcon(QStyle::SP_DialogHelpButton));
  // Alt+B and Alt+N press them, as do Alt+Left and Alt+Right (WizardKeys).
  btn_back = BottomButton(bottom, "btn_back", QStringLiteral("&Back"), 481, 75);
  btn_next = BottomButton(bottom, "btn_next", QStringLiteral("&Next"), 561, 75);
  btn_back->hide();
  btn_next->setEnabled(false);

  AboutBox = new TAboutBox(*desktop_, this);
  new WizardKeys(this, btn_back, btn_next, [this] { return runGoing_; });

  connect(btn_next, &QPushButton::clicked, this, &Tfrm_utama::btn_nextClick);
  connect(btn_back, &QPushButton::clicked, this, &Tfrm_utama::btn_backClick);
  connect(bit_load, &QPushButton::clicked, this, &Tfrm_utama::bit_loadClick);
  connect(bit_save, &QPushButton::clicked, this, &Tfrm_utama::bit_saveClick);
  connect(bit_about, &QPushButton::clicked, this, &Tfrm_utama::bit_aboutClick);
  connect(bit_help, &QPushButton::clicked, this, &Tfrm_utama::bit_helpClick);
  connect(Frame_Step_1, &TFrame_Step_1::FolderTextsChanged, this, &Tfrm_utama::Frame_Step_11edt_inputChange);
  connect(Frame_Step_1, &TFrame_Step_1::PageNamesChanged, this, &Tfrm_utama::Frame_Step_11edt_inputChange);
  connect(Frame_Step_6, &TFrame_Step_6::CancelRequested, this, &Tfrm_utama::Frame_Step_61btn_cancelClick);
  connect(Frame_Step_6, &TFrame_Step_6::OpenGalleryRequested, this,
          [this] { Guarded([this] { Show_first_page(settings_, *desktop_); }); });
  connect(Frame_Step_5, &TFrame_Step_5::ClearOutputFolderRequested, this,
          [this] { Guarded([this] { Clear_output_folder(settings_, *desktop_); }); });
  connect(Frame_Step_5, &TFrame_Step_5::OpenFirstPageRequested, this,
          [this] { Guarded([this] { Show_first_page(settings_, *desktop_); }); });
  // Without a font of the widths the layout was made for, smaller captions rather than cut ones.
  ShrinkTextToFit(this);
}

Tfrm_utama::~Tfrm_utama() {
  // The pages unsubscribe from the record as they go; the run goes first.
  run_.reset();
  // QWidget would delete the pages only after settings_ is gone, so they
  // would unsubscribe from a freed record: delete them while it exists.
  for (QWidget*& page : pages_) {
    delete page;
    page = nullptr;
  }
}

bool Tfrm_utama::Guarded(const std::function<void()>& action) { return ShowingErrors(this, action); }

void Tfrm_utama::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void Tfrm_utama::FormShow() {
  currentStep_ = 1;
  // The run components live from the first showing to the window's end.
  runView_ = std::make_unique<WizardRunView>(*this, *Frame_Step_6);
  run_ = std::make_unique<GenerationRun>(settings_, *desktop_, *runView_);
  Frame_Step_4->ShowFirstTab();
  Guarded([this] { Frame_Step_3->Create_preview(); });
}

void Tfrm_utama::ShowBottomButtons(bool show) {
  for (QPushButton* b : {btn_back, btn_next, bit_load, bit_save, bit_about, bit_help}) b->setVisible(show);
}

void Tfrm_utama::ShowStep(int step) {
  // Hiding the page that holds the focus hands it to the next control
  // shown, a bottom button; the new page's first control takes it instead.
  QWidget* focus = focusWidget();
  bool focusOnPage = false;
  for (int i = 1; i <= 6; ++i) focusOnPage = focusOnPage || (focus && pages_[i]->isAncestorOf(focus));
  for (int i = 1; i <= 6; ++i)
    if (i != step) pages_[i]->hide();
  pages_[step]->show();
  if (focusOnPage || !focus || !focus->isVisible()) FocusFirstControl(pages_[step]);
}

void Tfrm_utama::FocusFirstControl(QWidget* page) {
  // The first control that is not a push button (Enter would press it
  // instead of Next), else the first of any kind.
  QWidget* first = nullptr;
  for (QWidget* w = page->nextInFocusChain(); w != page && page->isAncestorOf(w); w = w->nextInFocusChain()) {
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled()) continue;
    if (!qobject_cast<QPushButton*>(w) && !qobject_cast<QToolButton*>(w)) {
      first = w;
      break;
    }
    if (!first) first = w;
  }
  if (first) first->setFocus(Qt::TabFocusReason);
}

void Tfrm_utama::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!pnl_bottom) return;  // not built yet
  const int grow = width() - kWidth;
  pnl_header->setGeometry(0, 0, width(), 49);
  pnl_bottom->setGeometry(0, height() - 34, width(), 34);
  // Back and Next keep their distance to the right edge.
  btn_back->move(481 + grow, 6);
  btn_next->move(561 + grow, 6);
  Frame_Step_4->setGeometry(1, 50, 634 + grow, 389 + height() - kHeight);
}

void Tfrm_utama::Frame_Step_11edt_inputChange() {
  btn_next->setEnabled(!settings_.InputPath().empty() && !settings_.OutputPath().empty() &&
                       Frame_Step_1->PageNamesUsable());
}

void Tfrm_utama::GoToStep(int step) {
  ShowBottomButtons(true);
  currentStep_ = step;
  pnl_header->setText(StepCaption(step));
  btn_back->setVisible(step > 1);
  ShowStep(step);
}

bool Tfrm_utama::PassesCheck(const std::optional<RefusedValue>& refused) {
  if (!refused) return true;
  desktop_->ShowMessage(Desktop::Icon::Warning, refused->Message.toStdString());
  GoToStep(refused->Box.Page);
  if (auto* box = pages_[refused->Box.Page]->findChild<QWidget*>(refused->Box.Name)) box->setFocus();
  return false;
}

void Tfrm_utama::btn_nextClick() {
  // Page 1 warns of its folders at once; the run's start checks everything
  // it would refuse before anything is written.
  if (currentStep_ == 1 && !PassesCheck(CheckFolders(settings_))) return;
  if (currentStep_ >= 5 && !PassesCheck(CheckBeforeRun(settings_))) return;
  if (currentStep_ == 6) {
    // After a finished run there is no page beyond the progress page: Next
    // starts a new run with the same options.
    currentStep_ = 5;
  }
  ++currentStep_;
  if (currentStep_ <= 5) {
    pnl_header->setText(StepCaption(currentStep_));
    btn_back->show();
  }
  ShowStep(currentStep_);
  if (currentStep_ == 6) {
    ShowBottomButtons(false);
    pnl_header->setText(QStringLiteral("Please Wait ..."));
    StartGenerationRun();
  }
}

void Tfrm_utama::btn_backClick() {
  --currentStep_;
  if (currentStep_ > 1) {
    pnl_header->setText(StepCaption(currentStep_));
    btn_back->show();
  } else {
    pnl_header->setText(StepCaption(1));
    btn_back->hide();
  }
  ShowStep(currentStep_);
}

void Tfrm_utama::Return_to_first_page() {
  ShowBottomButtons(true);
  currentStep_ = 1;
  ShowStep(1);
  pnl_header->setText(StepCaption(1));
  // Back has no place on page 1.
  btn_back->hide();
}

void Tfrm_utama::Frame_Step_61btn_cancelClick() {
  // The run (when one is going) sees the flags at its next test and unwinds.
  if (run_) run_->Cancel();
  Return_to_first_page();
}

QString Tfrm_utama::SettingsDialogFolder() const {
  return settingsFolder_.isEmpty() ? DocumentsFolder() : settingsFolder_;
}

void Tfrm_utama::bit_loadClick() {
  const std::optional<QString> path = dialogs_->ChooseSettingsToLoad(this, SettingsDialogFolder());
  if (!path) return;
  bool known = true;
  if (Guarded([&] {
        known = Read_settings_file(path->toStdString(), settings_, [this] { Frame_Step_3->Create_preview(); });
      })) {
    settingsFolder_ = QFileInfo(*path).absolutePath();
    snapshot_.Take(settings_);
  }
  if (!known) desktop_->ShowMessage(Desktop::Icon::Warning, NoSettingsReadWarning(path->toStdString()));
}

void Tfrm_utama::bit_saveClick() { SaveSettings(); }

bool Tfrm_utama::SaveSettings() {
  const std::optional<QString> path = dialogs_->ChooseSettingsToSave(this, SettingsDialogFolder());
  if (!path) return false;
  if (!Guarded([&] { Write_settings_file(path->toStdString(), settings_); })) return false;
  settingsFolder_ = QFileInfo(*path).absolutePath();
  snapshot_.Take(settings_);
  return true;
}

void Tfrm_utama::bit_aboutClick() {
  AboutBox->show();
  AboutBox->raise();
  AboutBox->activateWindow();
}

void Tfrm_utama::bit_helpClick() {
  Guarded([this] { desktop_->OpenDocument(ManualPath(QApplication::applicationDirPath()).toStdString()); });
}

void Tfrm_utama::closeEvent(QCloseEvent* event) {
  if (runGoing_) {
    // The close arrives inside the run's pump: cancel, let the run unwind,
    // and close once it has returned.
    Frame_Step_61btn_cancelClick();
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  const bool runEnd = closeIsRunEnd_;
  closeIsRunEnd_ = false;
  if (!AgreeToClose(!runEnd)) {
    event->ignore();
    return;
  }
  AboutBox->hide();
  event->accept();
}

bool Tfrm_utama::AgreeToClose(bool canCancel) {
  if (!SettingsChanged()) return true;
  switch (AskToSaveSettings(this, canCancel)) {
    case SaveAnswer::Save: return SaveSettings();
    case SaveAnswer::DontSave: return true;
    case SaveAnswer::Cancel: return false;
  }
  return false;
}

void Tfrm_utama::CloseAfterRun() {
  closeIsRunEnd_ = true;
  if (runGoing_) {
    closeAfterRun_ = true;
    return;
  }
  close();
}

void Tfrm_utama::RaiseForSecondStart(const QString& folder) {
  if (!folder.isEmpty()) settings_.SetInputPath(folder.toStdString());
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void Tfrm_utama::StartGenerationRun() {
  // The whole run happens inside this call; the Cancel button and a close of
  // the window are handled while it pumps events.
  runGoing_ = true;
  closeAfterRun_ = false;
  closeIsRunEnd_ = false;
  Frame_Step_6->ClearWarnings();
  Frame_Step_6->ShowRunGoing();
  RunOutcome outcome = RunOutcome::NotStarted;
  QString error;
  {
    // The run is over on every way out of this block, an exception included.
    const ScopeExit idle([this] { runGoing_ = false; });
    try {
      outcome = run_->Start();
    } catch (const std::exception& e) {
      // Page 6 stays with its bottom buttons hidden; Cancel leads back to page 1.
      error = QString::fromStdString(e.what());
      if (!closeAfterRun_) ShowErrorBox(this, error);
    }
  }
  // Another run writes to the output folder: it said so; nothing was written.
  if (outcome == RunOutcome::Busy && !closeAfterRun_) GoToStep(5);
  ShowRunEnd(outcome == RunOutcome::Finished, error);
  if (closeAfterRun_) close();
}

void Tfrm_utama::ShowRunEnd(bool finished, const QString& error) {
  // A run cancelled, refused or without photos has gone back to page 1 already.
  if (currentStep_ != 6) return;
  if (finished) {
    pnl_header->setText(Q(kFinishedCaption));
    // Also when the run meant to close the window and it stays open.
    ShowBottomButtons(true);
    Frame_Step_6->ShowFinished(QString::fromStdString(RunSummaryText(SummaryOf(*run_))));
  } else if (!error.isEmpty()) {
    pnl_header->setText(Q(kFailedCaption));
    QString reason = ErrorBoxText(error);
    if (!run_->FailedImage().empty()) reason = QString::fromStdString(run_->FailedImage()) + ":\n" + reason;
    Frame_Step_6->ShowStopped(reason);
  }
}

}  // namespace fotoloom
