// Tests of page 1: folder choosers and the working folder, the page-name boxes, binding to the record.
#include "app/Un_Step_1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/WizardTestSupport.h"
#include "support/TempDir.h"

using namespace fotoloom;

class Step1Test : public QObject {
  Q_OBJECT
 private slots:
  void start_up_texts() {
    GallerySettings settings;
    test::FakeDialogs dialogs;
    TFrame_Step_1 page(settings, dialogs);
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_input")->text(), QString(""));
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_thumbnail")->text(), QString("page"));
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_image")->text(), QString("image"));
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_ext")->currentText(), QString(".htm"));
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_ext")->count(), 2);
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_ext")->itemText(1), QString(".html"));
  }

  void typing_goes_to_the_record_and_emptied_names_come_back() {
    GallerySettings settings;
    test::FakeDialogs dialogs;
    TFrame_Step_1 page(settings, dialogs);
    QSignalSpy folders(&page, &TFrame_Step_1::FolderTextsChanged);
    QTest::keyClicks(test::Find<QLineEdit>(&page, "edt_input"), "/in");
    QCOMPARE(settings.InputPath(), std::string("/in"));
    QCOMPARE(folders.count(), 3);
    test::Find<QLineEdit>(&page, "edt_thumbnail")->clear();
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_thumbnail")->text(), QString("page"));
    QCOMPARE(settings.ThumbPagesName(), std::string("page"));
    test::Find<QLineEdit>(&page, "edt_image")->selectAll();
    QTest::keyClick(test::Find<QLineEdit>(&page, "edt_image"), Qt::Key_Delete);
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_image")->text(), QString("image"));
    test::Find<QComboBox>(&page, "cmb_ext")->setEditText("shtml");
    QCOMPARE(settings.WebSiteExtension(), std::string("shtml"));
  }

  void record_changes_show_on_the_page() {
    GallerySettings settings;
    test::FakeDialogs dialogs;
    TFrame_Step_1 page(settings, dialogs);
    settings.SetOutputPath("/out");
    settings.SetAdditionalPath("/extra");
    settings.SetWebSiteExtension(".html");
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_output")->text(), QString("/out"));
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_optional")->text(), QString("/extra"));
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_ext")->currentText(), QString(".html"));
  }

  // The albums switch sits under the input folder, in the gap above the
  // output folder's caption, and follows the record both ways.
  void the_albums_check_box_is_bound_to_the_record_under_the_input_folder() {
    GallerySettings settings;
    test::FakeDialogs dialogs;
    TFrame_Step_1 page(settings, dialogs);
    auto* albums = test::Find<QCheckBox>(&page, "Check_albums");
    QCOMPARE(albums->text(), QString("Include subfolders as albums"));
    QVERIFY(!albums->isChecked());
    const QRect input = test::Find<QLineEdit>(&page, "edt_input")->geometry();
    const QRect output = test::Find<QLineEdit>(&page, "edt_output")->geometry();
    QVERIFY(albums->geometry().top() >= input.bottom());
    QVERIFY(albums->geometry().bottom() < output.top() - 16);  // the output caption's 16 pixels stay free
    albums->click();
    QVERIFY(settings.IncludeSubfolders());
    settings.SetIncludeSubfolders(false);
    QVERIFY(!albums->isChecked());
  }

  void folder_chooser_starts_in_and_changes_the_working_folder() {
    test::TempDir dir;
    const QString first = QString::fromStdString(dir / "first");
    const QString second = QString::fromStdString(dir / "second");
    QDir().mkpath(first);
    QDir().mkpath(second);
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.str()));
    GallerySettings settings;
    test::FakeDialogs dialogs;
    TFrame_Step_1 page(settings, dialogs);
    dialogs.folders = {first, std::nullopt, second};
    test::Find<QPushButton>(&page, "btn_brw_input")->click();
    test::Find<QPushButton>(&page, "btn_brw_optional")->click();  // cancelled
    test::Find<QPushButton>(&page, "btn_brw_output")->click();
    QDir::setCurrent(before);

    QCOMPARE(dialogs.folderCaptions,
             (QStringList{"Select input folder", "Select Additionel elements folder", "Select output folder"}));
    QCOMPARE(dialogs.folderStarts, (QStringList{QString::fromStdString(dir.str()), first, first}));
    QCOMPARE(settings.InputPath(), first.toStdString());
    QCOMPARE(settings.AdditionalPath(), std::string(""));
    QCOMPARE(settings.OutputPath(), second.toStdString());
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_output")->text(), second);
  }
};

QTEST_MAIN(Step1Test)
#include "Un_Step_1_test.moc"
