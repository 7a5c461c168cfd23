// The wizard's side of a generation run: labels, bars and page changes on the main window.
#include "app/WizardRunView.h"

#include "app/ProgressDisplay.h"
#include "app/Un_Utama.h"

namespace fotoloom {

void WizardRunView::SetInputPathLabel(const std::string& text) {
  progress_.ShowInputPath(QString::fromStdString(text));
}

void WizardRunView::SetFoundLabel(const std::string& text) { progress_.ShowFound(QString::fromStdString(text)); }

void WizardRunView::SetBarMaximum(RunBar bar, int maximum) { progress_.SetBarMaximum(bar, maximum); }

void WizardRunView::SetBarPosition(RunBar bar, int position) { progress_.SetBarPosition(bar, position); }

void WizardRunView::ShowWarning(const std::string& text) { progress_.ShowWarning(QString::fromStdString(text)); }

void WizardRunView::Return_to_first_page() { window_.Return_to_first_page(); }

void WizardRunView::ShowBottomButtons() { window_.ShowBottomButtons(true); }

void WizardRunView::CloseMainWindow() { window_.CloseAfterRun(); }

}  // namespace fotoloom
