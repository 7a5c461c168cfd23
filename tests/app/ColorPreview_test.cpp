// Tests of the colour preview: the file's 20 lines, the view normalisation, and the four colours on screen.
#include "app/ColorPreview.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include "app/Un_Step_3.h"
#include "app/WizardTestSupport.h"
#include "core/Error.h"
#include "core/SystemColors.h"
#include "support/TempDir.h"

using namespace fotoloom;

class ColorPreviewTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { InstallSystemColorResolver({}); }

  void start_up_record_gives_the_twenty_lines() {
    InstallSystemColorResolver([](int) { return Rgb(0xF0, 0xF1, 0xF2); });
    GallerySettings settings;
    const std::vector<std::string> lines = PreviewLines(settings);
    QCOMPARE(lines.size(), std::size_t{20});
    QCOMPARE(lines[0], "<HTML>");
    QCOMPARE(lines[5], "<style type=\"text/css\" media=\"screen\">");
    QCOMPARE(lines[6], "body {  background-color:F0F1F2;");
    QCOMPARE(lines[7], "font-family:verdana,sans-serif;");
    QCOMPARE(lines[14], "<font color=\"#000000\">Text Color</font>");
    QCOMPARE(lines[15], "<u><font color=\"#0000FF\">normal Link</font></u>");
    QCOMPARE(lines[16], "<u><font color=\"#800080\">visited Link</font></u>");
    QCOMPARE(lines[19], "</HTML>");
  }

  void preview_file_is_written_with_crlf_lines() {
    test::TempDir dir;
    GallerySettings settings;
    settings.SetTextColor(Rgb(255, 0, 0));
    const std::string path = WritePreviewFile(dir.str() + "/", settings);
    QCOMPARE(path, dir.str() + "/preview.html");
    const std::string bytes = test::ReadFile(path);
    QVERIFY(bytes.starts_with("<HTML>\r\n<HEAD>\r\n"));
    QVERIFY(bytes.find("<font color=\"#FF0000\">Text Color</font>\r\n") != std::string::npos);
    QVERIFY(bytes.ends_with("</BODY>\r\n</HTML>\r\n"));
  }

  void unwritable_folder_raises_the_file_creation_error() {
    GallerySettings settings;
    try {
      WritePreviewFile("/nonexistent-folder-for-preview/", settings);
      QFAIL("no error raised");
    } catch (const Error& e) {
      QVERIFY(QString(e.what()).startsWith("Cannot create file \"/nonexistent-folder-for-preview/preview.html\". "));
    }
  }

  void normalisation_adds_the_hash_and_unwraps_the_comment() {
    QCOMPARE(NormalizeForTextView("body {  background-color:F0F1F2;"), QString("body {  background-color:#F0F1F2;"));
    QCOMPARE(NormalizeForTextView("p { color: 00ff00 }"), QString("p { color: #00ff00 }"));
    // Already hashed, too long, or not after "color:": left alone.
    QCOMPARE(NormalizeForTextView("a { color:#123456; }"), QString("a { color:#123456; }"));
    QCOMPARE(NormalizeForTextView("a { color:1234567; }"), QString("a { color:1234567; }"));
    QCOMPARE(NormalizeForTextView("<p>ABCDEF</p>"), QString("<p>ABCDEF</p>"));
    // The line break right after <pre> goes (a browser ignores it); others stay.
    QCOMPARE(NormalizeForTextView("<BODY>\r\n<pre>\r\n<font>A</font>\r\n</pre>"),
             QString("<BODY>\r\n<pre><font>A</font>\r\n</pre>"));
    QCOMPARE(NormalizeForTextView("<PRE class=x>\nA\n"), QString("<PRE class=x>A\n"));
    QCOMPARE(NormalizeForTextView("<prefix>\nA"), QString("<prefix>\nA"));
    QCOMPARE(NormalizeForTextView("<style>\n<!--\nbody { color:#111111; }\n-->\n</style><!-- kept -->"),
             QString("<style>\n\nbody { color:#111111; }\n\n</style><!-- kept -->"));
  }

  // The view must really paint all four colours, the hashless background included.
  void view_shows_all_four_colours() {
    test::TempDir dir;
    GallerySettings settings;
    test::FakeDialogs dialogs;
    TFrame_Step_3 page(settings, dialogs, QString::fromStdString(dir.str() + "/"));
    settings.SetBackgroundColor(Rgb(0xFF, 0xFF, 0x00));   // yellow
    settings.SetTextColor(Rgb(0xFF, 0x00, 0x00));         // red
    settings.SetLinkColor(Rgb(0x00, 0x00, 0xFF));         // blue
    settings.SetVisitedLinkColor(Rgb(0x00, 0x99, 0x00));  // green
    page.Create_preview();
    page.resize(634, 389);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QImage shot = test::Find<QFrame>(&page, "Panel1")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QDir().mkpath(QStringLiteral(FOTOLOOM_SCREENSHOT_DIR));
    shot.save(QStringLiteral(FOTOLOOM_SCREENSHOT_DIR "/page3_preview_panel.png"));
    const auto count = [&](QRgb want, int tolerance) {
      int n = 0;
      for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
          const QRgb p = shot.pixel(x, y);
          if (qAbs(qRed(p) - qRed(want)) <= tolerance && qAbs(qGreen(p) - qGreen(want)) <= tolerance &&
              qAbs(qBlue(p) - qBlue(want)) <= tolerance)
            ++n;
        }
      return n;
    };
    const int area = shot.width() * shot.height();
    QVERIFY2(count(qRgb(255, 255, 0), 0) > area / 2, "background is not yellow");
    QVERIFY2(count(qRgb(255, 0, 0), 40) > 10, "no red text");
    QVERIFY2(count(qRgb(0, 0, 255), 40) > 10, "no blue link");
    QVERIFY2(count(qRgb(0, 0x99, 0), 40) > 10, "no green visited link");
    // All three lines stand fully inside the panel, the last one clear of its bottom edge.
    auto* view = test::Find<QTextBrowser>(&page, "WebBrowser1");
    const QRect inside = view->viewport()->rect();
    QStringList lines;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
      if (block.text().trimmed().isEmpty()) continue;
      lines << block.text().trimmed();
      const QRectF box = view->document()->documentLayout()->blockBoundingRect(block);
      QVERIFY2(inside.contains(box.toAlignedRect()), qPrintable(block.text()));
    }
    QCOMPARE(lines, (QStringList{"Text Color", "normal Link", "visited Link"}));
    int lowestGreen = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (qAbs(qGreen(shot.pixel(x, y)) - 0x99) <= 40 && qRed(shot.pixel(x, y)) < 60) lowestGreen = y;
    QVERIFY2(lowestGreen < shot.height() - 10, qPrintable(QString::number(lowestGreen)));
  }
};

QTEST_MAIN(ColorPreviewTest)
#include "ColorPreview_test.moc"
