// The program folder, where the colour preview is written, and the other folders the wizard starts in.
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
  // An installed copy (its manual in <prefix>/share/fotoloom) never writes
  // into its bin folder, not even when root runs it.
  const bool installed = ManualPath(executableFolder) != WithSlash(executableFolder) + QStringLiteral("manual.html");
  if (!installed && info.isDir() && info.isWritable()) return WithSlash(executableFolder);
  QDir().mkpath(fallback);
  return WithSlash(fallback);
}

QString ProgramFolder() {
  return ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString DocumentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
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
