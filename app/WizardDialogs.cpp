// The file, folder and colour choosers of the wizard, behind one seam so tests can answer them.
#include "app/WizardDialogs.h"

#include <QColorDialog>
#include <QFileDialog>

namespace fotoloom {
namespace {

std::optional<QString> RunFileDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

void ConfigureFolderDialog(QFileDialog& dialog, const QString& caption, const QString& start) {
  dialog.setWindowTitle(caption);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setOption(QFileDialog::ReadOnly, true);  // no new-folder button
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDirectory(start);
}

void ConfigureSettingsDialog(QFileDialog& dialog, bool save, const QString& folder) {
  dialog.setNameFilter(QStringLiteral("FL Settingsfiles (*.fl)"));
  dialog.setDefaultSuffix(QStringLiteral("fl"));
  dialog.setDirectory(folder);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  } else {
    // A mistyped name must not pass: loading a missing file resets every option.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
}

std::optional<QString> QtWizardDialogs::ChooseFolder(QWidget* parent, const QString& caption, const QString& start) {
  QFileDialog dialog(parent);
  ConfigureFolderDialog(dialog, caption, start);
  return RunFileDialog(dialog);
}

std::optional<QColor> QtWizardDialogs::ChooseColor(QWidget* parent, const QColor& initial) {
  const QColor chosen = QColorDialog::getColor(initial, parent);
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

std::optional<QString> QtWizardDialogs::ChooseSettingsToLoad(QWidget* parent, const QString& folder) {
  QFileDialog dialog(parent);
  ConfigureSettingsDialog(dialog, false, folder);
  return RunFileDialog(dialog);
}

std::optional<QString> QtWizardDialogs::ChooseSettingsToSave(QWidget* parent, const QString& folder) {
  QFileDialog dialog(parent);
  ConfigureSettingsDialog(dialog, true, folder);
  return RunFileDialog(dialog);
}

}  // namespace fotoloom
