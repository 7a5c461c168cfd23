// Writes screenshots of the six pages and the About box into the build's screenshots folder, for review by eye.
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
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
  const QString dir_ = QStringLiteral(FOTOLOOM_SCREENSHOT_DIR);
  test::TempDir store_;

  void Save(QWidget* widget, const QString& name) {
    const QImage image = widget->grab().toImage();
    QVERIFY(!image.isNull());
    QVERIFY(image.save(dir_ + "/" + name));
  }

 private slots:
  void initTestCase() {
    QVERIFY(QDir().mkpath(dir_));
    // A machine-wide store that asks for the support link, so the shot shows every label.
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, QString::fromStdString(store_.str()));
    QDir().mkpath(QString::fromStdString(store_ / "Fotoloom"));
    test::WriteFile(store_ / "Fotoloom/Fotoloom.ini", "[General]\nwebsite_exist=1\nwebsite_address=www.example.org\n");
  }

  void pages_and_about_box() {
    test::TempDir folder;
    Tfrm_utama window(std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/"));
    QVERIFY(test::MakeJpegs(folder / "Holiday 2026", 13));
    QDir().mkpath(QString::fromStdString(folder / "holiday"));
    window.Settings().SetInputPath(folder / "Holiday 2026");
    window.Settings().SetOutputPath(folder / "holiday");
    window.Settings().SetAutoBrowserStart(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Save(&window, "page1.png");
    for (int step = 2; step <= 5; ++step) {
      window.btn_nextClick();
      Save(&window, QStringLiteral("page%1.png").arg(step));
    }
    window.btn_backClick();
    // The template set menu, open over page 4.
    auto* templateSets = test::Find<QToolButton>(&window, "TemplateSetButton");
    templateSets->menu()->popup(templateSets->mapToGlobal(QPoint(0, templateSets->height())));
    QVERIFY(QTest::qWaitForWindowExposed(templateSets->menu()));
    Save(templateSets->menu(), "page4_template_set_menu.png");
    templateSets->menu()->hide();
    test::Find<QTabWidget>(&window, "t")->setCurrentIndex(1);
    Save(&window, "page4_macros.png");
    test::Find<QTabWidget>(&window, "t")->setCurrentIndex(3);
    Save(&window, "page4_image_macros.png");
    window.btn_nextClick();

    // Page 6 as a finished run leaves it.
    window.btn_nextClick();
    Save(&window, "page6.png");

    window.bit_aboutClick();
    auto* about = test::Find<TAboutBox>(&window, "AboutBox");
    QVERIFY(QTest::qWaitForWindowExposed(about));
    Save(about, "about.png");
  }
};

QTEST_MAIN(ScreenshotsTest)
#include "Screenshots_test.moc"
