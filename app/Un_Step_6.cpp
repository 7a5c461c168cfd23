// Page 6 of the wizard: the progress of a generation run, its Cancel button and how the run ended.
#include "app/Un_Step_6.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "app/WizardFonts.h"
#include "run/RunView.h"

namespace fotoloom {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, w, 18);
  return label;
}

// Below the bars, while a run goes: Cancel, and the warnings under it.
const QRect kCancelPlace(270, 312, 75, 25);
const QRect kWarningsPlace(0, 344, 614, 42);
// Once it has ended, from the top down: the summary line, the buttons side
// by side (or "Back to the first step" alone) and the warnings.
constexpr int kBelowBars = 296;
constexpr int kPageFoot = 388;
constexpr int kSummaryWidth = 614;
constexpr int kSummaryMaxHeight = 44;   // three lines, for a reason naming a long path
constexpr int kWarningsMinHeight = 30;  // one line, the rest scrolls
constexpr int kGap = 4;
// Their places without warnings and with a one-line summary; the warnings
// and the summary's lines move them up or down.
const QRect kOpenGalleryPlace(130, 318, 170, 25);
const QRect kFirstStepPlace(314, 318, 170, 25);
const QRect kFirstStepAlonePlace(222, 318, 170, 25);

}  // namespace

TFrame_Step_6::TFrame_Step_6(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Frame_Step_6"));

  auto* reading = new QGroupBox(Q(kReadingImageCaption), this);
  reading->setGeometry(0, 0, 614, 76);
  lbl_input_path = Label(reading, Q(kInputPathLabel), 16, 24, 590);
  lbl_input_path->setObjectName(QStringLiteral("lbl_input_path"));
  lbl_found = Label(reading, Q(kFoundLabel), 16, 48, 590);
  lbl_found->setObjectName(QStringLiteral("lbl_found"));

  const auto bar = [this](QWidget* box, RunBar which, int y) {
    const int index = static_cast<int>(which) + 1;
    Label(box, Q(RunBarCaption(which)), 16, y, 170);
    auto* progress = new QProgressBar(box);
    progress->setObjectName(QStringLiteral("ProgressBar%1").arg(index));
    progress->setGeometry(190, y, 404, 18);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    bars_[static_cast<std::size_t>(which)] = progress;
  };
  auto* pages = new QGroupBox(Q(kCreatingWebpageCaption), this);
  pages->setGeometry(0, 84, 614, 86);
  bar(pages, RunBar::ThumbnailPages, 26);
  bar(pages, RunBar::ImagePages, 54);
  auto* images = new QGroupBox(Q(kProcessingImageCaption), this);
  images->setGeometry(0, 178, 614, 114);
  bar(images, RunBar::Originals, 26);
  bar(images, RunBar::ScaledImages, 54);
  bar(images, RunBar::Thumbnails, 82);

  btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
  btn_cancel->setObjectName(QStringLiteral("btn_cancel"));
  btn_cancel->setGeometry(kCancelPlace);
  btn_cancel->setCursor(Qt::PointingHandCursor);
  connect(btn_cancel, &QPushButton::clicked, this, &TFrame_Step_6::CancelRequested);

  lbl_summary = new QLabel(this);
  lbl_summary->setObjectName(QStringLiteral("lbl_summary"));
  lbl_summary->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lbl_summary->setWordWrap(true);
  lbl_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lbl_summary->hide();

  btn_open_gallery = new QPushButton(QStringLiteral("Open gallery"), this);
  btn_open_gallery->setObjectName(QStringLiteral("btn_open_gallery"));
  btn_open_gallery->setGeometry(kOpenGalleryPlace);
  btn_open_gallery->setCursor(Qt::PointingHandCursor);
  btn_open_gallery->hide();
  connect(btn_open_gallery, &QPushButton::clicked, this, &TFrame_Step_6::OpenGalleryRequested);

  // Under the Cancel button, where the page was empty; shown once a run warns.
  mem_warnings = new QPlainTextEdit(this);
  mem_warnings->setObjectName(QStringLiteral("mem_warnings"));
  mem_warnings->setGeometry(kWarningsPlace);
  mem_warnings->setReadOnly(true);
  // Wrapped, so that a long line shows whole rather than scrolled to its end.
  mem_warnings->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  mem_warnings->hide();
}

void TFrame_Step_6::ShowWarning(const QString& text) {
  mem_warnings->appendPlainText(text);
  mem_warnings->show();
  PlaceBelowBars();
}

void TFrame_Step_6::ClearWarnings() {
  mem_warnings->clear();
  mem_warnings->hide();
}

void TFrame_Step_6::ShowCancelButton(const QString& caption, const QRect& place) {
  btn_cancel->setText(caption);
  btn_cancel->setGeometry(place);
  PlaceBelowBars();
  // The font is chosen anew for each caption: a smaller one only where this caption needs it.
  btn_cancel->setFont(QFont());
  ShrinkTextToFit(btn_cancel);
}

void TFrame_Step_6::ShowRunGoing() {
  lbl_summary->hide();
  btn_open_gallery->hide();
  ShowCancelButton(QStringLiteral("Cancel"), kCancelPlace);
}

void TFrame_Step_6::ShowEnd(const QString& line, bool gallery) {
  lbl_summary->setText(line);
  lbl_summary->show();
  btn_open_gallery->setVisible(gallery);
  ShowCancelButton(QStringLiteral("Back to the first step"), gallery ? kFirstStepPlace : kFirstStepAlonePlace);
  (gallery ? btn_open_gallery : btn_cancel)->setFocus(Qt::OtherFocusReason);
}

void TFrame_Step_6::PlaceBelowBars() {
  if (lbl_summary->isHidden()) {
    mem_warnings->setGeometry(kWarningsPlace);
    return;
  }
  int lineHeight = std::min(lbl_summary->heightForWidth(kSummaryWidth), kSummaryMaxHeight);
  // The warnings keep a line of their own; a reason too long for the rest
  // still shows its first lines, and its whole text is in the error box.
  const int buttonHeight = btn_cancel->height();
  if (!mem_warnings->isHidden())
    lineHeight = std::min(lineHeight, kPageFoot - kWarningsMinHeight - 2 * kGap - buttonHeight - kBelowBars);
  lbl_summary->setGeometry(0, kBelowBars, kSummaryWidth, lineHeight);
  const int buttonsTop = kBelowBars + lineHeight + kGap;
  btn_open_gallery->move(btn_open_gallery->x(), buttonsTop);
  btn_cancel->move(btn_cancel->x(), buttonsTop);
  const int warningsTop = buttonsTop + buttonHeight + kGap;
  mem_warnings->setGeometry(0, warningsTop, kSummaryWidth, kPageFoot - warningsTop);
}

void TFrame_Step_6::ShowFinished(const QString& summary) { ShowEnd(summary, true); }

void TFrame_Step_6::ShowStopped(const QString& reason) { ShowEnd(reason, false); }

void TFrame_Step_6::ShowInputPath(const QString& text) { lbl_input_path->setText(text); }

void TFrame_Step_6::ShowFound(const QString& text) { lbl_found->setText(text); }

void TFrame_Step_6::SetBarMaximum(RunBar bar, int maximum) { Bar(bar)->setMaximum(maximum); }

void TFrame_Step_6::SetBarPosition(RunBar bar, int position) { Bar(bar)->setValue(position); }

}  // namespace fotoloom
