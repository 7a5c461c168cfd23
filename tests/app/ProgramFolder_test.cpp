// Tests of the program folder choice and of where Help finds the manual.
#include "app/ProgramFolder.h"

#include <QDir>
#include <QTest>

#include "support/TempDir.h"

using namespace fotoloom;

class ProgramFolderTest : public QObject {
  Q_OBJECT
 private slots:
  void writable_program_folder_is_used() {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.str());
    QCOMPARE(ChooseProgramFolder(folder, folder + "/fallback"), folder + "/");
    QVERIFY(!QDir(folder + "/fallback").exists());
  }

  void unusable_program_folder_falls_back_to_the_data_folder() {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.str());
    QCOMPARE(ChooseProgramFolder(folder + "/missing", folder + "/data/Fotoloom"), folder + "/data/Fotoloom/");
    QVERIFY(QDir(folder + "/data/Fotoloom").exists());
  }

  // Not even root, who may write there, gets the preview in an installed copy's bin folder.
  void installed_copy_writes_into_the_data_folder() {
    test::TempDir dir;
    const QString prefix = QString::fromStdString(dir.str());
    QDir().mkpath(prefix + "/bin");
    QDir().mkpath(prefix + "/share/fotoloom");
    test::WriteFile(dir / "share/fotoloom/manual.html", "<html></html>");
    QCOMPARE(ChooseProgramFolder(prefix + "/bin", prefix + "/data"), prefix + "/data/");
  }

  void manual_beside_the_program_or_in_the_installed_data_folder() {
    test::TempDir dir;
    const QString prefix = QString::fromStdString(dir.str());
    QDir().mkpath(prefix + "/bin");
    QCOMPARE(ManualPath(prefix + "/bin"), prefix + "/bin/manual.html");  // neither exists
    QDir().mkpath(prefix + "/share/fotoloom");
    test::WriteFile(dir / "share/fotoloom/manual.html", "<html></html>");
    QCOMPARE(ManualPath(prefix + "/bin"), prefix + "/share/fotoloom/manual.html");
    test::WriteFile(dir / "bin/manual.html", "<html></html>");
    QCOMPARE(ManualPath(prefix + "/bin/"), prefix + "/bin/manual.html");
  }
};

QTEST_MAIN(ProgramFolderTest)
#include "ProgramFolder_test.moc"
