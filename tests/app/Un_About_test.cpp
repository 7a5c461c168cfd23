// Tests of the About window: the machine-wide store decides the notice, support caption and link.
#include "app/Un_About.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <chrono>
#include <filesystem>

#include "app/WizardTestSupport.h"
#include "core/Desktop.h"
#include "support/TempDir.h"

using namespace fotoloom;

namespace {

class RecordingDesktop : public Desktop {
 public:
  void ShowMessage(Icon, const std::string&) override {}
  bool AskYesNo(Icon, const std::string&) override { return false; }
  void OpenDocument(const std::string& what) override { opened.push_back(what); }
  void ProcessPendingEvents() override {}
  std::vector<std::string> opened;
};

}  // namespace

class AboutTest : public QObject {
  Q_OBJECT
  test::TempDir store_;

  int writes_ = 0;

  // Writes the machine-wide store's INI file ("" values are left out). QSettings
  // keeps a parsed file while its size and modification time stay the same, and
  // two writes of equal size can land in one millisecond, so every write gets a
  // modification time of its own.
  void WriteStore(const QString& body) {
    QDir().mkpath(QString::fromStdString(store_ / "Fotoloom"));
    const std::string path = store_ / "Fotoloom/Fotoloom.ini";
    test::WriteFile(path, "[General]\n" + body.toStdString());
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() + std::chrono::seconds(++writes_));
  }

 private slots:
  void initTestCase() {
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, QString::fromStdString(store_.str()));
  }

  void without_store_no_link_is_shown() {
    WriteStore("");
    RecordingDesktop desktop;
    TAboutBox box(desktop);
    box.show();
    QCOMPARE(box.windowTitle(), QString("About"));
    QCOMPARE(box.size(), QSize(298, 213));
    QCOMPARE(test::Find<QLabel>(&box, "ProductName")->text(), QString("Fotoloom"));
    QCOMPARE(test::Find<QLabel>(&box, "Version")->text(), QString("Version 1.0"));
    QVERIFY(!test::Find<QLabel>(&box, "Support")->isVisible());
    QVERIFY(!test::Find<QLabel>(&box, "Label1")->isVisible());
    QVERIFY(!test::Find<QLabel>(&box, "Copyright")->text().contains("www."));
    WriteStore("website_exist=0\nwebsite_address=www.example.org\n");
    box.hide();
    box.show();
    QVERIFY(!test::Find<QLabel>(&box, "Label1")->isVisible());
  }

  void stored_address_is_the_link_and_opens_on_click() {
    WriteStore("website_exist=1\nwebsite_address=www.example.org\n");
    RecordingDesktop desktop;
    TAboutBox box(desktop);
    box.show();
    QVERIFY(test::Find<QLabel>(&box, "Support")->isVisible());
    QCOMPARE(test::Find<QLabel>(&box, "Support")->text(), QString("Support/Contact Details :"));
    QVERIFY(test::Find<QLabel>(&box, "Label1")->isVisible());
    QCOMPARE(test::Find<QLabel>(&box, "Label1")->text(), QString("http://www.example.org"));
    QVERIFY(test::Find<QLabel>(&box, "Copyright")->text().section('\n', 0, 0).endsWith("www.example.org"));
    QTest::mouseClick(test::Find<QLabel>(&box, "Label1"), Qt::LeftButton);
    QCOMPARE(desktop.opened, std::vector<std::string>{"http://www.example.org"});
    // The store is read again only when the window is shown again.
    WriteStore("website_exist=1\nwebsite_address=\n");
    QCOMPARE(test::Find<QLabel>(&box, "Label1")->text(), QString("http://www.example.org"));
    box.hide();
    box.show();
    QCOMPARE(test::Find<QLabel>(&box, "Label1")->text(), "http://" + DefaultWebAddress());
    QCOMPARE(DefaultWebAddress(), QString("www.Fotoloom.org"));
  }

  void wrong_value_type_is_reported_and_labels_stay() {
    WriteStore("website_exist=1\nwebsite_address=www.example.org\n");
    RecordingDesktop desktop;
    TAboutBox box(desktop);
    box.show();
    box.hide();
    WriteStore("website_exist=yes\n");
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    box.show();
    QTRY_COMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Fotoloom"));
    QCOMPARE(seen[0].text, QString("Invalid data type for 'website_exist'"));
    QVERIFY(box.isVisible());
    QCOMPARE(test::Find<QLabel>(&box, "Label1")->text(), QString("http://www.example.org"));
    QVERIFY(test::Find<QLabel>(&box, "Label1")->isVisible());

    box.hide();
    WriteStore("website_exist=1\nwebsite_address=a, b\n");
    test::AnswerNextBox("OK", &seen);
    box.show();
    QTRY_COMPARE(seen.size(), std::size_t{2});
    QCOMPARE(seen[1].text, QString("Invalid data type for 'website_address'"));
  }

  // Black on a light theme, light on a dark one; blue under the mouse.
  void link_is_in_the_window_text_colour_of_the_palette() {
    WriteStore("website_exist=1\nwebsite_address=www.example.org\n");
    for (const QPalette& palette : {QApplication::palette(), test::DarkPalette()}) {
      const test::ScopedPalette scoped(palette);
      RecordingDesktop desktop;
      TAboutBox box(desktop);
      box.show();
      auto* link = test::Find<QLabel>(&box, "Label1");
      const QColor text = palette.color(QPalette::WindowText);
      QCOMPARE(link->palette().color(QPalette::WindowText), text);
      QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
      QApplication::sendEvent(link, &enter);
      QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
      QEvent leave(QEvent::Leave);
      QApplication::sendEvent(link, &leave);
      QCOMPARE(link->palette().color(QPalette::WindowText), text);
    }
    QCOMPARE(QApplication::palette().color(QPalette::WindowText), QColor(Qt::black));
  }

  void ok_hides_the_window() {
    WriteStore("");
    RecordingDesktop desktop;
    TAboutBox box(desktop);
    box.show();
    test::Find<QPushButton>(&box, "OKButton")->click();
    QVERIFY(!box.isVisible());
  }
};

QTEST_MAIN(AboutTest)
#include "Un_About_test.moc"
