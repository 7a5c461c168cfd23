// Keeps one copy of the wizard running per user: a lock file named "Fotoloom" in the runtime folder, and a
// local socket beside it through which another start asks the running copy to come to the front.
#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <memory>
#include <optional>

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

QString SingleInstanceSocketPath() { return SingleInstanceLockPath() + QStringLiteral(".socket"); }

// A request is the folder's bytes in the file system's encoding, ended by a
// NUL byte, which no path holds.

SingleInstanceServer::SingleInstanceServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstanceServer::Accept);
}

SingleInstanceServer::~SingleInstanceServer() = default;

bool SingleInstanceServer::Listen(const QString& path) {
  QLocalServer::removeServer(path);
  return server_->listen(path);
}

void SingleInstanceServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // What the socket has sent so far; emptied once its request is taken.
    auto received = std::make_shared<std::optional<QByteArray>>(QByteArray());
    const auto read = [this, socket, received] {
      if (!*received) return;
      **received += socket->readAll();
      const qsizetype end = (*received)->indexOf('\0');
      if (end < 0 && (*received)->size() <= kMaxRequest) return;  // more to come
      const bool taken = end >= 0 && end <= kMaxRequest;
      const std::optional<QByteArray> request =
          taken ? std::optional<QByteArray>((*received)->left(end)) : std::nullopt;
      received->reset();
      socket->disconnectFromServer();
      if (request) emit Requested(QFile::decodeName(*request));
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    read();
  }
}

bool AskRunningInstance(const QString& path, const QString& folder, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  QLocalSocket socket;
  for (;;) {
    socket.connectToServer(path);
    if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime())))) break;
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);
  }
  socket.write(QFile::encodeName(folder) + '\0');
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime())))) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
  return true;
}

}  // namespace fotoloom
