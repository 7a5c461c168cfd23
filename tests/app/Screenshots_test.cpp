// Writes screenshots of the six pages and the About box into the build's screenshots folder, for review by eye:
// with the desktop's light palette and with a dark one, and (with FOTOLOOM_TEST_FALLBACK_FONTS=1, run with a font
// configuration without Times-compatible fonts) into its fallback-fonts/ subfolder. It also walks a first gallery
// for the manual's pictures (screenshots/manual/), and checks that the manual shows pictures of the window as it is.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/Un_About.h"
#include "app/Un_Utama.h"
#include "app/WizardTestSupport.h"
#include "support/TempDir.h"

using namespace fotoloom;

class ScreenshotsTest : public QObject {
  Q_OBJECT
  const QString dir_ = QStringLiteral(FOTOLOOM_SCREENSHOT_DIR) +
                       (qEnvironmentVariableIntValue("FOTOLOOM_TEST_FALLBACK_FONTS") == 1 ? "/fallback-fonts" : "");
  test::TempDir store_;

  void Save(QWidget* widget, const QString& name) {
    const QImage image = widget->grab().toImage();
    QVERIFY(!image.isNull());
    QVERIFY(image.save(dir_ + "/" + name));
  }

  // Shoots pages 1 to 6 (page 4 with each of its tabs) and the About box, each name starting with prefix.
  void ShootAll(const QString& prefix) {
    test::TempDir folder;
    Tfrm_utama window(std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/"));
    QVERIFY(test::MakeJpegs(folder / "Holiday 2026", 13));
    QDir().mkpath(QString::fromStdString(folder / "holiday"));
    window.Settings().SetInputPath(folder / "Holiday 2026");
    window.Settings().SetOutputPath(folder / "holiday");
    window.Settings().SetAutoBrowserStart(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Save(&window, prefix + "page1.png");
    for (int step = 2; step <= 5; ++step) {
      window.btn_nextClick();
      Save(&window, prefix + QStringLiteral("page%1.png").arg(step));
    }
    window.btn_backClick();
    // The template set menu, open over page 4.
    auto* templateSets = test::Find<QToolButton>(&window, "TemplateSetButton");
    templateSets->menu()->popup(templateSets->mapToGlobal(QPoint(0, templateSets->height())));
    QVERIFY(QTest::qWaitForWindowExposed(templateSets->menu()));
    Save(templateSets->menu(), prefix + "page4_template_set_menu.png");
    templateSets->menu()->hide();
    test::Find<QTabWidget>(&window, "t")->setCurrentIndex(1);
    Save(&window, prefix + "page4_macros.png");
    test::Find<QTabWidget>(&window, "t")->setCurrentIndex(3);
    Save(&window, prefix + "page4_image_macros.png");
    window.btn_nextClick();

    // Page 6 as a finished run leaves it, and as an error stops it.
    window.btn_nextClick();
    Save(&window, prefix + "page6.png");
    window.btn_backClick();
    test::WriteFile(folder / "Holiday 2026/photo14.jpg", "not a photo");
    test::AnswerNextBox("OK", nullptr);
    window.btn_nextClick();
    Save(&window, prefix + "page6_stopped.png");
    window.Frame_Step_61btn_cancelClick();
    // Finished with the bad photo left out: the warnings under the buttons.
    window.Settings().SetSkipBadPhotos(true);
    for (int step = 2; step <= 6; ++step) window.btn_nextClick();
    Save(&window, prefix + "page6_warnings.png");
    window.Frame_Step_61btn_cancelClick();

    window.bit_aboutClick();
    auto* about = test::Find<TAboutBox>(&window, "AboutBox");
    QVERIFY(QTest::qWaitForWindowExposed(about));
    Save(about, prefix + "about.png");
  }

 private slots:
  void initTestCase() {
    QVERIFY(QDir().mkpath(dir_));
    // A machine-wide store that asks for the support link, so the shot shows every label.
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, QString::fromStdString(store_.str()));
    QDir().mkpath(QString::fromStdString(store_ / "Fotoloom"));
    test::WriteFile(store_ / "Fotoloom/Fotoloom.ini", "[General]\nwebsite_exist=1\nwebsite_address=www.example.org\n");
  }

  void pages_and_about_box() { ShootAll(QString()); }

  void pages_and_about_box_with_a_dark_palette() {
    const test::ScopedPalette dark(test::DarkPalette());
    ShootAll(QStringLiteral("dark_"));
  }

  // The manual's walk through a first gallery: step1.png ... step6.png, the
  // light theme, folders named as a user would name them (relative to the
  // current folder, so that no temporary path shows).
  void first_gallery_for_the_manual() {
    if (qEnvironmentVariableIntValue("FOTOLOOM_TEST_FALLBACK_FONTS") == 1) QSKIP("the manual shows the usual fonts");
    const QString shots = dir_ + "/manual";
    QVERIFY(QDir().mkpath(shots));
    test::TempDir folder;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(folder.str())));
    {
      Tfrm_utama window(std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/"));
      QVERIFY(test::MakeJpegs("Holiday 2026", 24));
      window.Settings().SetInputPath("Holiday 2026");
      window.Settings().SetOutputPath("Holiday 2026 gallery");
      window.Settings().SetTitle("Holiday 2026");
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      Save(&window, "manual/step1.png");
      for (int step = 2; step <= 5; ++step) {
        window.btn_nextClick();
        if (step == 5) test::Find<QCheckBox>(&window, "Check_show_first_page")->click();
        Save(&window, QStringLiteral("manual/step%1.png").arg(step));
      }
      test::AnswerNextBox("&Yes", nullptr);  // create the output folder
      window.btn_nextClick();
      Save(&window, "manual/step6.png");
    }
    QVERIFY(QDir::setCurrent(before));

    // Every picture of the manual is one of these, of the same size; the
    // manual's copies are renewed by scripts/update-manual-screenshots.sh.
    QFile manual(QStringLiteral(FOTOLOOM_SOURCE_DIR "/docs/manual.html"));
    QVERIFY(manual.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(manual.readAll());
    QStringList shown;
    for (const QRegularExpressionMatch& m : QRegularExpression("<img src=\"screenshots/([^\"]+)\"").globalMatch(html))
      shown << m.captured(1);
    QStringList made = QDir(shots).entryList({"*.png"}, QDir::Files, QDir::Name);
    // The pictures of a gallery in a browser are the browser test's, made
    // beside these (where Chromium is installed).
    const QString galleries = QStringLiteral(FOTOLOOM_SCREENSHOT_DIR);
    const QStringList galleryPictures = {"responsive_desktop.png", "responsive_phone.png"};
    made << galleryPictures;
    made.sort();
    shown.sort();
    QCOMPARE(shown, made);
    for (const QString& name : made) {
      const QImage copy(QStringLiteral(FOTOLOOM_SOURCE_DIR "/docs/screenshots/") + name);
      QVERIFY2(!copy.isNull(), qPrintable(name + " is missing from docs/screenshots"));
      const QString original = (galleryPictures.contains(name) ? galleries : shots) + "/" + name;
      if (galleryPictures.contains(name) && !QFileInfo::exists(original)) continue;
      QVERIFY2(copy.size() == QImage(original).size(),
               qPrintable(name + " in docs/screenshots is out of date: run scripts/update-manual-screenshots.sh"));
    }
  }
};

QTEST_MAIN(ScreenshotsTest)
#include "Screenshots_test.moc"
