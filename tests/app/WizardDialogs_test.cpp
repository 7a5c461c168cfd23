// Tests of how the wizard's file and folder dialogs are set up.
#include "app/WizardDialogs.h"

#include <QFileDialog>
#include <QTest>

#include "support/TempDir.h"

using namespace fotoloom;

class WizardDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void load_dialog_accepts_only_an_existing_settings_file() {
    test::TempDir dir;
    QFileDialog dialog;
    ConfigureSettingsDialog(dialog, false, QString::fromStdString(dir.str()));
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.nameFilters(), QStringList{"FL Settingsfiles (*.fl)"});
    QCOMPARE(dialog.defaultSuffix(), QString("fl"));
    QCOMPARE(dialog.directory().absolutePath(), QString::fromStdString(dir.str()));
  }

  void save_dialog_adds_the_extension_and_asks_before_replacing() {
    test::TempDir dir;
    QFileDialog dialog;
    ConfigureSettingsDialog(dialog, true, QString::fromStdString(dir.str()));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog.defaultSuffix(), QString("fl"));
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(dialog.nameFilters(), QStringList{"FL Settingsfiles (*.fl)"});
  }

  void folder_dialog_offers_folders_only() {
    test::TempDir dir;
    QFileDialog dialog;
    ConfigureFolderDialog(dialog, "Select input folder", QString::fromStdString(dir.str()));
    QCOMPARE(dialog.windowTitle(), QString("Select input folder"));
    QCOMPARE(dialog.fileMode(), QFileDialog::Directory);
    QVERIFY(dialog.testOption(QFileDialog::ShowDirsOnly));
    QVERIFY(dialog.testOption(QFileDialog::ReadOnly));
    QCOMPARE(dialog.directory().absolutePath(), QString::fromStdString(dir.str()));
  }
};

QTEST_MAIN(WizardDialogsTest)
#include "WizardDialogs_test.moc"
