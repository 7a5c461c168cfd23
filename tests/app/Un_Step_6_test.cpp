// Tests of the progress page's ends: a finished run, a stopped one, and the next run going.
#include "app/Un_Step_6.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/WizardTestSupport.h"

using namespace fotoloom;

namespace {

// The warnings' box inside the page, at least a line high and over none of
// the other controls below the bars.
void VerifyWarningsApart(const TFrame_Step_6& page, const QPlainTextEdit* warnings) {
  QVERIFY(warnings->isVisible());
  QVERIFY(page.rect().contains(warnings->geometry()));
  QVERIFY(warnings->height() >= warnings->fontMetrics().lineSpacing());
  for (const char* name : {"lbl_summary", "btn_open_gallery", "btn_cancel"}) {
    const auto* other = test::Find<QWidget>(&page, name);
    if (other->isVisible()) QVERIFY2(!other->geometry().intersects(warnings->geometry()), name);
  }
}

}  // namespace

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

  // A run's warnings stay in view under Cancel while it goes and under the
  // buttons once it has ended, and the summary or the reason keeps its lines.
  void warnings_stay_below_the_other_controls() {
    TFrame_Step_6 page;
    page.resize(634, 389);
    page.show();
    auto* warnings = test::Find<QPlainTextEdit>(&page, "mem_warnings");
    auto* summary = test::Find<QLabel>(&page, "lbl_summary");
    auto* cancel = test::Find<QPushButton>(&page, "btn_cancel");
    QVERIFY(!warnings->isVisible());

    page.ShowWarning("p1.jpg is damaged: premature end of data; the missing part shows grey");
    page.ShowWarning("p2.jpg is left out: it cannot be read: JPEG error #53");
    VerifyWarningsApart(page, warnings);
    QVERIFY(warnings->geometry().top() >= cancel->geometry().bottom());
    QCOMPARE(warnings->toPlainText().count('\n'), 1);

    page.ShowFinished("22 photos, 2 left out, 2 thumbnail pages, 22 image pages in 3.1 s");
    VerifyWarningsApart(page, warnings);
    QVERIFY(warnings->geometry().top() >= cancel->geometry().bottom());
    QVERIFY(cancel->geometry().top() >= summary->geometry().bottom());
    QVERIFY(summary->height() >= summary->heightForWidth(summary->width()));

    // A reason of two lines, the photo's path and the error.
    page.ShowStopped(
        "/home/anna/Pictures/Holiday 2026/IMG_2034.jpg:\nJPEG error #53: Not a JPEG file: starts with "
        "0x89 0x50.");
    VerifyWarningsApart(page, warnings);
    QVERIFY(cancel->geometry().top() >= summary->geometry().bottom());
    QVERIFY(summary->height() >= summary->heightForWidth(summary->width()));

    page.ClearWarnings();
    page.ShowRunGoing();
    QVERIFY(!warnings->isVisible());
    QVERIFY(warnings->toPlainText().isEmpty());
  }
};

QTEST_MAIN(Step6Test)
#include "Un_Step_6_test.moc"
