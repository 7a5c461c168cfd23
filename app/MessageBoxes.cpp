// The wizard's modal message boxes: the application's error box and the standard warning/error dialogs.
#include "app/MessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>
#include <exception>

namespace fotoloom {
namespace {

void Prepare(QMessageBox& box, bool warning, const QString& text) {
  box.setIcon(warning ? QMessageBox::Warning : QMessageBox::Critical);
  box.setWindowTitle(warning ? QStringLiteral("Warning") : QStringLiteral("Error"));
  box.setText(text);
}

}  // namespace

QString ErrorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back().isLetterOrNumber()) return message + QLatin1Char('.');
  return message;
}

void ShowErrorBox(QWidget* parent, const QString& message) {
  QMessageBox box(parent);
  box.setIcon(QMessageBox::Critical);
  box.setWindowTitle(QStringLiteral("Fotoloom"));
  box.setText(ErrorBoxText(message));
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

bool ShowingErrors(QWidget* parent, const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    ShowErrorBox(parent, QString::fromStdString(e.what()));
    return false;
  }
}

void ShowStandardMessage(QWidget* parent, bool warning, const QString& text) {
  QMessageBox box(parent);
  Prepare(box, warning, text);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

bool AskStandardQuestion(QWidget* parent, bool warning, const QString& text, bool defaultNo) {
  QMessageBox box(parent);
  Prepare(box, warning, text);
  QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
  box.setDefaultButton(defaultNo ? no : yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

SaveAnswer AskToSaveSettings(QWidget* parent, bool canCancel) {
  QMessageBox box(parent);
  Prepare(box, true, QString::fromLatin1(kSaveSettingsQuestion));
  QPushButton* save = box.addButton(QStringLiteral("&Save"), QMessageBox::AcceptRole);
  QPushButton* dontSave = box.addButton(QStringLiteral("Do&n't Save"), QMessageBox::DestructiveRole);
  QPushButton* cancel = canCancel ? box.addButton(QStringLiteral("&Cancel"), QMessageBox::RejectRole) : nullptr;
  box.setDefaultButton(save);
  if (cancel) box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return SaveAnswer::Save;
  if (box.clickedButton() == dontSave) return SaveAnswer::DontSave;
  return SaveAnswer::Cancel;
}

}  // namespace fotoloom
