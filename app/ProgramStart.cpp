// What a start of the wizard sets up: the application's names and icon, and the folder given on its command line.
#include "app/ProgramStart.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

namespace fotoloom {

void SetApplicationIdentity() {
  QApplication::setApplicationName(QStringLiteral("Fotoloom"));
  QApplication::setApplicationDisplayName(QStringLiteral("Fotoloom"));
  QApplication::setDesktopFileName(QStringLiteral("org.fotoloom.Fotoloom"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/fotoloom.png")));
}

QString FolderArgument(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument.isEmpty() || argument.startsWith(QLatin1Char('-'))) continue;
    return QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
  }
  return {};
}

}  // namespace fotoloom
