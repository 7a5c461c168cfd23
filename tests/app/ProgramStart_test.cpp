// Tests of what a start sets up: names matching the desktop entry, the folder argument.
#include "app/ProgramStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTest>

using namespace fotoloom;

class ProgramStartTest : public QObject {
  Q_OBJECT
 private slots:
  // Desktops match a window to its entry by the class (the application's
  // name on X11) and by the desktop file name (the app id on Wayland).
  void identity_matches_the_desktop_entry() {
    SetApplicationIdentity();
    const QString entryPath = QStringLiteral(FOTOLOOM_SOURCE_DIR "/packaging/org.fotoloom.Fotoloom.desktop");
    QFile entry(entryPath);
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    QVERIFY(lines.contains("StartupWMClass=" + QCoreApplication::applicationName()));
    QCOMPARE(QGuiApplication::desktopFileName() + ".desktop", QFileInfo(entryPath).fileName());
    QCOMPARE(QCoreApplication::applicationName(), QString("Fotoloom"));
    QVERIFY(!QGuiApplication::windowIcon().isNull());
  }

  void folder_argument_is_the_first_folder_made_absolute() {
    QCOMPARE(FolderArgument({"fotoloom"}), QString());
    QCOMPARE(FolderArgument({"fotoloom", "/photos/summer/"}), QString("/photos/summer"));
    QCOMPARE(FolderArgument({"fotoloom", "--verbose", "", "summer", "winter"}),
             QDir::current().absoluteFilePath("summer"));
    QCOMPARE(FolderArgument({"fotoloom", "a/../b"}), QDir::current().absoluteFilePath("b"));
  }
};

QTEST_MAIN(ProgramStartTest)
#include "ProgramStart_test.moc"
