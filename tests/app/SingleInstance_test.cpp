// Tests of the single-instance lock: a second copy ends at once, a crashed copy's lock is taken over.
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
  }

  // The real program, started while the lock is held, ends at once without a window.
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
