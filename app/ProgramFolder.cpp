// The program folder: where the settings dialogs open and the colour preview is written.
#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace fotoloom {
namespace {

QString WithSlash(const QString& folder) { return folder.endsWith('/') ? folder : folder + '/'; }

}  // namespace

QString ChooseProgramFolder(const QString& executableFolder, const QString& fallback) {
  const QFileInfo info(executableFolder);
  if (info.isDir() && info.isWritable()) return WithSlash(executableFolder);
  QDir().mkpath(fallback);
  return WithSlash(fallback);
}

QString ProgramFolder() {
  return ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString ManualPath(const QString& executableFolder) {
  const QString beside = WithSlash(executableFolder) + QStringLiteral("manual.html");
  const QString installed =
      QDir::cleanPath(WithSlash(executableFolder) + QStringLiteral("../share/fotoloom/manual.html"));
  if (QFileInfo::exists(beside)) return beside;
  if (QFileInfo::exists(installed)) return installed;
  return beside;
}

}  // namespace fotoloom
