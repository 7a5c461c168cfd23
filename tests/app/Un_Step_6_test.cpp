// Tests of the progress page's ends: a finished run, a stopped one, and the next run going.
#include "app/Un_Step_6.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/WizardTestSupport.h"

using namespace fotoloom;

class Step6Test : public QObject {
  Q_OBJECT
 private slots:
  void each_end_shows_its_line_and_buttons() {
    TFrame_Step_6 page;
    page.resize(634, 389);
    page.show();
    auto* summary = test::Find<QLabel>(&page, "lbl_summary");
    auto* open = test::Find<QPushButton>(&page, "btn_open_gallery");
    auto* cancel = test::Find<QPushButton>(&page, "btn_cancel");
    QVERIFY(!summary->isVisible());
    QVERIFY(!open->isVisible());
    QCOMPARE(cancel->text(), QString("Cancel"));

    page.ShowFinished("24 photos, 2 thumbnail pages, 24 image pages in 3.1 s");
    QCOMPARE(summary->text(), QString("24 photos, 2 thumbnail pages, 24 image pages in 3.1 s"));
    QVERIFY(summary->isVisible() && open->isVisible() && cancel->isVisible());
    QCOMPARE(cancel->text(), QString("Back to the first step"));
    // Side by side under the summary, which is under the bars.
    QVERIFY(open->geometry().top() >= summary->geometry().bottom());
    QVERIFY(!open->geometry().intersects(cancel->geometry()));
    QSignalSpy opened(&page, &TFrame_Step_6::OpenGalleryRequested);
    QSignalSpy back(&page, &TFrame_Step_6::CancelRequested);
    open->click();
    cancel->click();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(back.size(), 1);

    page.ShowStopped("'x' is not a valid integer value.");
    QCOMPARE(summary->text(), QString("'x' is not a valid integer value."));
    QVERIFY(!open->isVisible());
    QCOMPARE(cancel->text(), QString("Back to the first step"));
    QVERIFY(cancel->geometry().top() >= summary->geometry().bottom());

    page.ShowRunGoing();
    QVERIFY(!summary->isVisible());
    QVERIFY(!open->isVisible());
    QCOMPARE(cancel->text(), QString("Cancel"));
    QCOMPARE(cancel->geometry(), QRect(270, 312, 75, 25));
  }
};

QTEST_MAIN(Step6Test)
#include "Un_Step_6_test.moc"
