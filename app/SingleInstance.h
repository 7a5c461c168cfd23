// Keeps one copy of the wizard running per user: a lock file named "Fotoloom" in the runtime folder.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace fotoloom {

// The lock file's path: "Fotoloom" in the user's runtime folder (the temp folder when there is none).
QString SingleInstanceLockPath();

// Takes the lock without waiting. Returns it held, or null when another
// running copy holds it. A lock left behind by a copy that crashed is taken
// over. The lock is held until the returned object is destroyed.
std::unique_ptr<QLockFile> TakeSingleInstanceLock(const QString& path);

}  // namespace fotoloom
