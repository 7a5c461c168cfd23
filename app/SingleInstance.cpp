// Keeps one copy of the wizard running per user: a lock file named "Fotoloom" in the runtime folder.
#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace fotoloom {

QString SingleInstanceLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder + QStringLiteral("/Fotoloom");
}

std::unique_ptr<QLockFile> TakeSingleInstanceLock(const QString& path) {
  auto lock = std::make_unique<QLockFile>(path);
  // A lock of a living copy never goes stale with age; one whose process has
  // died is recognised by its process id and removed by tryLock.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

}  // namespace fotoloom
