// Tests of page 4: the template editors bound to the record and the macro reference grids.
#include "app/Un_Step_4.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "app/WizardTestSupport.h"
#include "core/DefaultTemplates.h"

using namespace fotoloom;

class Step4Test : public QObject {
  Q_OBJECT
 private slots:
  void editors_show_the_default_templates() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    QCOMPARE(test::Find<QTabWidget>(&page, "t")->count(), 4);
    QCOMPARE(test::Find<QTabWidget>(&page, "t")->tabText(0), QString("HTML Thumbnailpages"));
    QCOMPARE(test::Find<QTabWidget>(&page, "t")->tabText(3), QString("Macros for Imagepages"));
    QCOMPARE(EditorLines(test::Find<QPlainTextEdit>(&page, "Memo1")->toPlainText()), DefaultThumbnailTemplate());
    QCOMPARE(EditorLines(test::Find<QPlainTextEdit>(&page, "Memo2")->toPlainText()), DefaultImageTemplate());
  }

  void editing_writes_the_template_and_loading_redraws() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    test::Find<QPlainTextEdit>(&page, "Memo1")->setPlainText("<p>@cp@</p>\n  <b>@tp@</b>\n");
    QCOMPARE(settings.HTMLThumbnails(), (std::vector<std::string>{"<p>@cp@</p>", "  <b>@tp@</b>", ""}));
    test::Find<QPlainTextEdit>(&page, "Memo2")->clear();
    QVERIFY(settings.HTMLImages().empty());
    settings.SetHTMLImages({"a", "", "b"});
    QCOMPARE(test::Find<QPlainTextEdit>(&page, "Memo2")->toPlainText(), QString("a\n\nb"));
  }

  void reference_grids_fill_when_their_tab_is_shown() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(1);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->rowCount(), 17);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->horizontalHeaderItem(0)->text(), QString("Macro"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->horizontalHeaderItem(1)->text(), QString("Description"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->item(16, 0)->text(), QString("@title@"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->item(16, 1)->text(),
             QString("a title for thumbnail pages"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->columnWidth(1), 402);
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(3);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->rowCount(), 21);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->item(20, 0)->text(), QString("@exifcomment@"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->item(20, 1)->text(),
             QString("the contents of comment section of the images exifinformation"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->columnWidth(0), 115);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->editTriggers(), QAbstractItemView::NoEditTriggers);
    // A cell changed by hand comes back when the tab is shown again.
    test::Find<QTableWidget>(&page, "StringGrid2")->item(0, 0)->setText("changed");
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(0);
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(3);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->item(0, 0)->text(), QString("@cp@"));
  }
};

QTEST_MAIN(Step4Test)
#include "Un_Step_4_test.moc"
