// The wizard's side of a generation run: labels, bars and page changes on the main window.
#include "app/WizardRunView.h"

#include <QLabel>

#include "app/Un_Step_6.h"
#include "app/Un_Utama.h"

namespace fotoloom {

int BarNumber(RunBar bar) {
  switch (bar) {
    case RunBar::ThumbnailPages: return 1;
    case RunBar::ImagePages: return 2;
    case RunBar::Originals: return 3;
    case RunBar::ScaledImages: return 4;
    case RunBar::Thumbnails: return 5;
  }
  return 1;
}

void WizardRunView::SetInputPathLabel(const std::string& text) {
  window_.Frame_Step_6->lbl_input_path->setText(QString::fromStdString(text));
}

void WizardRunView::SetFoundLabel(const std::string& text) {
  window_.Frame_Step_6->lbl_found->setText(QString::fromStdString(text));
}

void WizardRunView::SetBarMaximum(RunBar bar, int maximum) {
  window_.Frame_Step_6->SetBarMaximum(BarNumber(bar), maximum);
}

void WizardRunView::SetBarPosition(RunBar bar, int position) {
  window_.Frame_Step_6->SetBarPosition(BarNumber(bar), position);
}

void WizardRunView::Return_to_first_page() { window_.Return_to_first_page(); }

void WizardRunView::ShowBottomButtons() { window_.ShowBottomButtons(true); }

void WizardRunView::CloseMainWindow() { window_.CloseAfterRun(); }

}  // namespace fotoloom
