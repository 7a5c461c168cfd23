// Every caption (and every row of tabs) of every page and of the About box fits its control, with the installed fonts
// and (run again with FOTOLOOM_TEST_FALLBACK_FONTS=1 and a font configuration without any Times-compatible font) with
// the fallback.
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/Un_About.h"
#include "app/Un_Utama.h"
#include "app/WizardFonts.h"
#include "app/WizardTestSupport.h"
#include "support/TempDir.h"

using namespace fotoloom;

namespace {

bool FallbackRun() { return qEnvironmentVariableIntValue("FOTOLOOM_TEST_FALLBACK_FONTS") == 1; }

// The rectangle (in the control's coordinates) its text needs, measured with
// Qt's own size hints where they measure the text, or nothing for a control
// without text.
std::optional<QRect> NeededRect(const QWidget& w) {
  if (const auto* label = qobject_cast<const QLabel*>(&w)) {
    if (label->text().isEmpty()) return std::nullopt;
    if (label->wordWrap()) return QRect(0, 0, label->width(), label->heightForWidth(label->width()));
    return QStyle::alignedRect(label->layoutDirection(), label->alignment(), label->sizeHint(), label->rect());
  }
  if (qobject_cast<const QCheckBox*>(&w) || qobject_cast<const QRadioButton*>(&w))
    return QRect(QPoint(0, 0), w.sizeHint());
  if (const auto* button = qobject_cast<const QPushButton*>(&w)) {
    // The style widens the hint of a push button to a minimum; measure its label instead.
    if (button->text().isEmpty()) return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    QSize size = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (!button->icon().isNull()) size.rwidth() += button->iconSize().width() + 4;
    return QStyle::alignedRect(button->layoutDirection(), Qt::AlignCenter, size, contents);
  }
  if (const auto* box = qobject_cast<const QGroupBox*>(&w)) {
    if (box->title().isEmpty()) return std::nullopt;
    return QRect(0, 0, box->minimumSizeHint().width(), box->fontMetrics().height());
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(&w)) return QRect(QPoint(0, 0), combo->sizeHint());
  if (const auto* bar = qobject_cast<const QTabBar*>(&w)) {
    // All tabs side by side, with no scroll buttons, beside the controls in
    // the tab control's corners (a hidden page's tab bar is not laid out yet).
    const auto* tabs = qobject_cast<const QTabWidget*>(bar->parentWidget());
    if (bar->count() == 0 || !tabs) return std::nullopt;
    int room = tabs->width();
    for (Qt::Corner corner : {Qt::TopLeftCorner, Qt::TopRightCorner})
      if (const QWidget* inCorner = tabs->cornerWidget(corner)) room -= inCorner->sizeHint().width();
    if (bar->sizeHint().width() > room) return QRect(0, 0, bar->sizeHint().width(), bar->height());
    return QRect();
  }
  return std::nullopt;
}

QString Describe(const QWidget& w);

// What is wrong with the text of w ("" when it fits): larger than the
// control, sticking out of its parent, or covered by a control beside it.
QString Misfit(const QWidget& w) {
  const std::optional<QRect> needed = NeededRect(w);
  if (!needed || needed->isNull()) return {};
  if (!w.rect().contains(*needed))
    return QStringLiteral("needs %1x%2, has %3x%4")
        .arg(needed->width())
        .arg(needed->height())
        .arg(w.width())
        .arg(w.height());
  const QWidget* parent = w.parentWidget();
  if (!parent || w.isWindow()) return {};
  const QRect inParent = needed->translated(w.pos());
  if (!parent->rect().contains(inParent)) return QStringLiteral("sticks out of its parent");
  for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other == &w || !other->isVisibleTo(parent) || other->isWindow()) continue;
    // A label takes only the room of its text; any other control its whole rectangle.
    QRect taken = other->geometry();
    if (qobject_cast<const QLabel*>(other)) taken = NeededRect(*other).value_or(QRect()).translated(other->pos());
    if (taken.intersects(inParent)) return QStringLiteral("meets ") + Describe(*other);
  }
  return {};
}

QString Describe(const QWidget& w) {
  QString text;
  if (const auto* label = qobject_cast<const QLabel*>(&w)) text = label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) text = button->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(&w)) text = box->title();
  if (const auto* combo = qobject_cast<const QComboBox*>(&w)) text = combo->currentText();
  if (const auto* bar = qobject_cast<const QTabBar*>(&w)) text = bar->tabText(bar->count() - 1);
  return QStringLiteral("%1 \"%2\" (%3, %4 px)")
      .arg(w.metaObject()->className(), text, QFontInfo(w.font()).family())
      .arg(QFontInfo(w.font()).pixelSize());
}

}  // namespace

class TextFitsTest : public QObject {
  Q_OBJECT
  test::TempDir store_;

  // Checks every text control that root shows (hidden pages included), and
  // returns the smallest pixel size among them.
  int CheckAll(const QWidget& root) {
    int smallest = 1000;
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    for (const QWidget* w : widgets) {
      if (w->window() != root.window() || !NeededRect(*w)) continue;
      // Explicitly hidden controls (and those inside them) show nothing.
      bool shown = true;
      for (const QWidget* p = w; p && p != &root; p = p->parentWidget())
        if (p->isHidden() && !p->objectName().startsWith("Frame_Step_")) shown = false;
      if (!shown) continue;
      const QString misfit = Misfit(*w);
      if (!misfit.isEmpty()) QTest::qFail(qPrintable(Describe(*w) + ": " + misfit), __FILE__, __LINE__);
      smallest = std::min(smallest, QFontInfo(w->font()).pixelSize());
    }
    return smallest;
  }

 private slots:
  void initTestCase() {
    // A machine-wide store that asks for the support link, so the About box shows every label.
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, QString::fromStdString(store_.str()));
    QDir().mkpath(QString::fromStdString(store_ / "Fotoloom"));
    test::WriteFile(store_ / "Fotoloom/Fotoloom.ini", "[General]\nwebsite_exist=1\nwebsite_address=www.example.org\n");
  }

  void the_fonts_in_use() {
    const QString family = QFontInfo(SerifFont(11, true)).family();
    if (FallbackRun()) {
      // The test's font configuration really has no Times-compatible family.
      QCOMPARE(SerifFamily(), QString("serif"));
      QVERIFY2(!TimesCompatibleFamilies().contains(family), qPrintable(family));
    } else {
      QCOMPARE(family, QString("Liberation Serif"));
      QCOMPARE(QFontInfo(SansFont(11, false)).family(), QString("Liberation Sans"));
    }
  }

  void every_caption_of_every_page_fits() {
    test::TempDir folder;
    Tfrm_utama window(std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int smallest = CheckAll(window);
    if (QTest::currentTestFailed()) return;
    if (FallbackRun()) {
      // The wider fallback font needs smaller captions somewhere, never below the floor.
      QVERIFY2(smallest < 11, qPrintable(QString::number(smallest)));
      QVERIFY(smallest >= kSmallestTextPixelSize);
    } else {
      // With the fonts the layout was made for, nothing is made smaller.
      QCOMPARE(smallest, 11);
    }
  }

  // The progress page after a finished run (its summary line, Open gallery,
  // Back to the first step) and after one an error stopped (the reason).
  void every_caption_of_the_finish_page_fits() {
    test::TempDir folder;
    QVERIFY(test::MakeJpegs(folder / "in", 13));
    QDir().mkpath(QString::fromStdString(folder / "out"));
    Tfrm_utama window(std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/"));
    window.Settings().SetInputPath(folder / "in");
    window.Settings().SetOutputPath(folder / "out");
    window.Settings().SetAutoBrowserStart(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int step = 2; step <= 6; ++step) window.btn_nextClick();
    QCOMPARE(test::Find<QLabel>(&window, "pnl_header")->text(), QString("Finished"));
    CheckAll(window);
    window.btn_backClick();
    test::WriteFile(folder / "in/photo14.jpg", "not a photo");
    test::AnswerNextBox("OK", nullptr);
    window.btn_nextClick();
    QCOMPARE(test::Find<QLabel>(&window, "pnl_header")->text(), QString("Stopped by an error"));
    CheckAll(window);
  }

  void every_caption_of_the_about_box_fits() {
    test::TempDir folder;
    Tfrm_utama window(std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/"));
    window.show();
    window.bit_aboutClick();
    auto* about = test::Find<TAboutBox>(&window, "AboutBox");
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QVERIFY(test::Find<QLabel>(about, "Label1")->isVisible());
    const int smallest = CheckAll(*about);
    // The 8-point link is 11 pixels high at 96 dpi; nothing is smaller.
    if (!FallbackRun()) QCOMPARE(smallest, 11);
  }
};

QTEST_MAIN(TextFitsTest)
#include "TextFits_test.moc"
