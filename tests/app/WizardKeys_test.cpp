// The wizard by keyboard alone: Enter, the mnemonics and Alt+arrows on every page, Tab through the template editors.
#include "app/WizardKeys.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/Un_Utama.h"
#include "app/WizardTestSupport.h"
#include "support/TempDir.h"

using namespace fotoloom;

namespace {

struct Wizard {
  test::TempDir folder;
  Tfrm_utama window{std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/")};

  Wizard() {
    window.show();
    QApplication::setActiveWindow(&window);
  }
  QString Header() const { return test::Find<QLabel>(&window, "pnl_header")->text(); }
  QWidget* Focus() const { return QApplication::focusWidget(); }
  template <typename T = QWidget>
  T* Named(const char* name) const {
    return test::Find<T>(&window, name);
  }
  // Presses Tab until the control named name has the focus; false when Tab never gets there.
  bool TabTo(const char* name) {
    for (int i = 0; i < 60; ++i) {
      if (Focus() && Focus()->objectName() == name) return true;
      QTest::keyClick(Focus(), Qt::Key_Tab);
    }
    return false;
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focus(), Qt::Key(key), modifiers);
  }
};

}  // namespace

class WizardKeysTest : public QObject {
  Q_OBJECT
 private slots:
  // From page 1 to a finished run with keys only: type the folders, Enter on
  // every page, the question of the missing output folder answered by Enter.
  void the_whole_wizard_by_keys() {
    Wizard w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QVERIFY(test::MakeJpegs(w.folder / "in", 3));
    QVERIFY(w.TabTo("edt_input"));
    QTest::keyClicks(w.Focus(), QString::fromStdString(w.folder / "in"));
    QVERIFY(w.TabTo("edt_output"));
    QTest::keyClicks(w.Focus(), QString::fromStdString(w.folder / "out"));
    for (int step = 2; step <= 5; ++step) {
      w.Key(Qt::Key_Return);
      QCOMPARE(w.Header(), QString("Step %1 of 5").arg(step));
      // The focus is on the page shown, not on a bottom button Enter would press.
      QVERIFY2(w.Named(qPrintable(QStringLiteral("Frame_Step_%1").arg(step)))->isAncestorOf(w.Focus()),
               qPrintable(w.Focus()->objectName()));
    }
    // Page 5: tick off the browser start, so the window stays.
    QVERIFY(w.TabTo("Check_show_first_page"));
    w.Key(Qt::Key_Space);
    QVERIFY(!w.window.Settings().AutoBrowserStart());
    std::vector<test::SeenBox> seen;
    test::OnNextBox(&seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    w.Key(Qt::Key_Return);
    QCOMPARE(seen.size(), std::size_t{1});  // "Output folder ... is not exist. Do you want to create it now ?"
    QCOMPARE(seen[0].defaultButton, QString("&Yes"));
    QCOMPARE(w.Header(), QString("Finished"));
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/t_photo3.jpg")));
    // The window manager gives the activation back once the question has closed.
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QCOMPARE(w.Focus(), w.Named("btn_open_gallery"));

    // Alt+B and Alt+Left go back, Alt+N and Alt+Right on (a mnemonic
    // presses its button a moment later, as a click shown).
    w.Key(Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(w.Header(), QString("Step 5 of 5"));
    w.Key(Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(w.Header(), QString("Step 4 of 5"));
    w.Key(Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(w.Header(), QString("Step 5 of 5"));
    w.Key(Qt::Key_Left, Qt::AltModifier);
    w.Key(Qt::Key_Left, Qt::AltModifier);
    w.Key(Qt::Key_Left, Qt::AltModifier);
    w.Key(Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(w.Header(), QString("Step 1 of 5"));
    w.Key(Qt::Key_Left, Qt::AltModifier);  // no Back on page 1
    QCOMPARE(w.Header(), QString("Step 1 of 5"));
    w.Key(Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(w.Header(), QString("Step 2 of 5"));
  }

  // Enter presses the focused button, goes nowhere with Next disabled, and
  // a held-down Enter (its repeats) presses nothing.
  void enter_presses_the_focused_button_or_next() {
    Wizard w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QVERIFY(w.TabTo("edt_input"));
    w.Key(Qt::Key_Return);
    QCOMPARE(w.Header(), QString("Step 1 of 5"));  // Next is disabled
    // Next on page 1 checks that the input folder exists.
    QDir().mkpath(QString::fromStdString(w.folder / "in"));
    w.window.Settings().SetInputPath(w.folder / "in");
    w.window.Settings().SetOutputPath(w.folder / "out");
    w.Key(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.Header(), QString("Step 2 of 5"));
    w.window.btn_backClick();
    QVERIFY(w.TabTo("cmb_ext"));  // the extension's box, whose text is edited too
    w.Key(Qt::Key_Return);
    QCOMPARE(w.Header(), QString("Step 2 of 5"));
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QApplication::sendEvent(w.Focus(), &repeat);
    QCOMPARE(w.Header(), QString("Step 2 of 5"));
    w.Named<QPushButton>("btn_back")->setFocus();
    w.Key(Qt::Key_Return);
    QCOMPARE(w.Header(), QString("Step 1 of 5"));
  }

  // Tab and Shift+Tab leave the template editors without typing into them;
  // Ctrl+Tab types a tab, Enter a new line; the Template set button is in
  // the Tab order and Alt+T opens its menu.
  void template_editors_let_tab_move_on() {
    Wizard w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QDir().mkpath(QString::fromStdString(w.folder / "in"));
    w.window.Settings().SetInputPath(w.folder / "in");
    w.window.Settings().SetOutputPath(w.folder / "out");
    for (int step = 2; step <= 4; ++step) w.window.btn_nextClick();
    QCOMPARE(w.Header(), QString("Step 4 of 5"));
    auto* memo = w.Named<QPlainTextEdit>("Memo1");
    const QString text = memo->toPlainText();
    memo->setFocus();
    w.Key(Qt::Key_Tab);
    QCOMPARE(memo->toPlainText(), text);
    QCOMPARE(w.Focus(), w.Named("TemplateSetButton"));
    w.Key(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(w.Focus(), memo);
    QCOMPARE(memo->toPlainText(), text);

    memo->moveCursor(QTextCursor::Start);
    w.Key(Qt::Key_Tab, Qt::ControlModifier);
    w.Key(Qt::Key_Return);
    QCOMPARE(memo->toPlainText(), "\t\n" + text);
    QCOMPARE(w.Header(), QString("Step 4 of 5"));
    QCOMPARE(w.window.Settings().HTMLThumbnails().front(), std::string("\t"));

    auto* button = w.Named<QToolButton>("TemplateSetButton");
    QCOMPARE(button->text(), QString("&Template set"));
    bool menuShown = false;
    QTimer::singleShot(50, [&] {
      menuShown = button->menu()->isVisible();
      button->menu()->close();
    });
    w.Key(Qt::Key_T, Qt::AltModifier);
    QTRY_VERIFY(menuShown);
  }
};

QTEST_MAIN(WizardKeysTest)
#include "WizardKeys_test.moc"
