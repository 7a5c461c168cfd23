// Keeps one copy of the wizard running per user: a lock file named "Fotoloom" in the runtime folder, and a
// local socket beside it through which another start asks the running copy to come to the front.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace fotoloom {

// The lock file's path: "Fotoloom" in the user's runtime folder (the temp folder when there is none).
QString SingleInstanceLockPath();

// Takes the lock without waiting. Returns it held, or null when another
// running copy holds it. A lock left behind by a copy that crashed is taken
// over. The lock is held until the returned object is destroyed.
std::unique_ptr<QLockFile> TakeSingleInstanceLock(const QString& path);

// The socket of the running copy: the lock file's path with ".socket".
QString SingleInstanceSocketPath();

// The running copy's end: listens at a socket path that only this user may
// use, and emits Requested once for every request another start sends.
class SingleInstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstanceServer(QObject* parent = nullptr);
  ~SingleInstanceServer() override;

  // Starts listening at path, replacing a socket a crashed copy left there
  // (call it only while holding the lock). False when it cannot listen.
  bool Listen(const QString& path);

  // The longest request taken, in bytes; a longer one is dropped.
  static constexpr qint64 kMaxRequest = 64 * 1024;

 signals:
  // Another start asked to see the window; folder is the one given on its
  // command line, or empty.
  void Requested(const QString& folder);

 private:
  void Accept();

  QLocalServer* server_;
};

// Another start's end: asks the copy listening at path to come to the front
// and hands it folder (may be empty). Tries to reach it for up to timeoutMs
// (the running copy may be starting still). True when the request was
// delivered; false when no copy took it.
bool AskRunningInstance(const QString& path, const QString& folder, int timeoutMs);

}  // namespace fotoloom
