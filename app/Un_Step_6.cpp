// Page 6 of the wizard: the progress of a generation run and its Cancel button.
#include "app/Un_Step_6.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "run/RunView.h"

namespace fotoloom {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, w, 18);
  return label;
}

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
  btn_cancel->setGeometry(270, 312, 75, 25);
  btn_cancel->setCursor(Qt::PointingHandCursor);
  connect(btn_cancel, &QPushButton::clicked, this, &TFrame_Step_6::CancelRequested);

  // Under the Cancel button, where the page was empty; shown once a run warns.
  mem_warnings = new QPlainTextEdit(this);
  mem_warnings->setObjectName(QStringLiteral("mem_warnings"));
  mem_warnings->setGeometry(0, 344, 614, 42);
  mem_warnings->setReadOnly(true);
  mem_warnings->setLineWrapMode(QPlainTextEdit::NoWrap);
  mem_warnings->hide();
}

void TFrame_Step_6::ShowWarning(const QString& text) {
  mem_warnings->appendPlainText(text);
  mem_warnings->show();
}

void TFrame_Step_6::ClearWarnings() {
  mem_warnings->clear();
  mem_warnings->hide();
}

void TFrame_Step_6::ShowInputPath(const QString& text) { lbl_input_path->setText(text); }

void TFrame_Step_6::ShowFound(const QString& text) { lbl_found->setText(text); }

void TFrame_Step_6::SetBarMaximum(RunBar bar, int maximum) { Bar(bar)->setMaximum(maximum); }

void TFrame_Step_6::SetBarPosition(RunBar bar, int position) { Bar(bar)->setValue(position); }

}  // namespace fotoloom
