// Tests of the single-instance lock and channel: a second copy hands its folder to the first one and ends, a
// crashed copy's lock and socket are taken over.
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

#include "support/TempDir.h"

using namespace fotoloom;

class SingleInstanceTest : public QObject {
  Q_OBJECT
 private slots:
  void second_lock_fails_while_the_first_is_held() {
    test::TempDir dir;
    const QString path = QString::fromStdString(dir / "Fotoloom");
    auto first = TakeSingleInstanceLock(path);
    QVERIFY(first);
    QVERIFY(!TakeSingleInstanceLock(path));
    first.reset();
    QVERIFY(TakeSingleInstanceLock(path));
  }

  void lock_of_a_dead_process_is_taken_over() {
    test::TempDir dir;
    const QString path = QString::fromStdString(dir / "Fotoloom");
    // A process that has ended leaves its id behind, as a crashed copy would.
    QProcess gone;
    gone.start("true", {});
    QVERIFY(gone.waitForFinished(30000));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(gone.processId() ? gone.processId() : 999999) + "\nfotoloom\n" +
               QSysInfo::machineHostName().toUtf8() + "\n");
    file.close();
    QVERIFY(TakeSingleInstanceLock(path));
  }

  void lock_lives_in_the_runtime_folder() {
    qputenv("XDG_RUNTIME_DIR", "/run/user/4242");
    QCOMPARE(SingleInstanceLockPath(), QString("/run/user/4242/Fotoloom"));
    QCOMPARE(SingleInstanceSocketPath(), QString("/run/user/4242/Fotoloom.socket"));
  }

  // The real program, started while the lock is held and the channel
  // listened to, hands over its folder (made absolute) and ends.
  void second_program_hands_its_folder_to_the_first() {
    test::TempDir dir;
    QFile::setPermissions(QString::fromStdString(dir.str()), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto held = TakeSingleInstanceLock(QString::fromStdString(dir / "Fotoloom"));
    QVERIFY(held);
    // A socket file a crashed copy left is replaced.
    test::WriteFile(dir / "Fotoloom.socket", "");
    SingleInstanceServer server;
    QVERIFY(server.Listen(QString::fromStdString(dir / "Fotoloom.socket")));
    QSignalSpy requests(&server, &SingleInstanceServer::Requested);
    const auto start = [&](const QStringList& arguments) {
      QProcess second;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.str()));
      env.insert("QT_QPA_PLATFORM", "offscreen");
      second.setProcessEnvironment(env);
      second.setWorkingDirectory(QString::fromStdString(dir.str()));
      second.start(QStringLiteral(FOTOLOOM_EXECUTABLE), arguments);
      // The request arrives while the second copy waits for it to be taken.
      while (second.state() != QProcess::NotRunning) QTest::qWait(10);
      QCOMPARE(second.exitCode(), 0);
    };
    start({"photos"});
    start({});
    QTRY_COMPARE(requests.size(), 2);
    QCOMPARE(requests[0][0].toString(), QString::fromStdString(dir / "photos"));
    QCOMPARE(requests[1][0].toString(), QString());
  }

  // A request without its end, or longer than the longest taken, is dropped.
  void broken_requests_are_dropped() {
    test::TempDir dir;
    const QString path = QString::fromStdString(dir / "Fotoloom.socket");
    SingleInstanceServer server;
    QVERIFY(server.Listen(path));
    QSignalSpy requests(&server, &SingleInstanceServer::Requested);
    QLocalSocket unfinished;
    unfinished.connectToServer(path);
    QVERIFY(unfinished.waitForConnected(5000));
    unfinished.write("/photos");
    unfinished.flush();
    unfinished.disconnectFromServer();
    QLocalSocket tooLong;
    tooLong.connectToServer(path);
    QVERIFY(tooLong.waitForConnected(5000));
    tooLong.write(QByteArray(SingleInstanceServer::kMaxRequest + 10, 'a') + '\0');
    QTRY_VERIFY(tooLong.state() == QLocalSocket::UnconnectedState);
    QLocalSocket good;
    good.connectToServer(path);
    QVERIFY(good.waitForConnected(5000));
    good.write(QByteArray("/photos/ok") + '\0');
    QTRY_COMPARE(requests.size(), 1);
    QCOMPARE(requests[0][0].toString(), QString("/photos/ok"));
  }

  // With the lock held and nobody listening, the real program ends at once without a window.
  void second_program_exits_silently() {
    test::TempDir dir;
    QFile::setPermissions(QString::fromStdString(dir.str()), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto held = TakeSingleInstanceLock(QString::fromStdString(dir / "Fotoloom"));
    QVERIFY(held);
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.str()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(FOTOLOOM_EXECUTABLE), {});
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstance_test.moc"
