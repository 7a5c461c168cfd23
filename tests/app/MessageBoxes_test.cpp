// Tests of the message boxes: the error box's title, button and full stop.
#include "app/MessageBoxes.h"

#include <QTest>

#include "app/WizardTestSupport.h"

using namespace fotoloom;
using test::AnswerNextBox;
using test::SeenBox;

class MessageBoxesTest : public QObject {
  Q_OBJECT
 private slots:
  void error_box_text_gets_a_full_stop_after_a_letter_or_digit() {
    QCOMPARE(ErrorBoxText("'x' is not a valid integer value"), QString("'x' is not a valid integer value."));
    QCOMPARE(ErrorBoxText("I/O error 7"), QString("I/O error 7."));
    QCOMPARE(ErrorBoxText("Invalid data type for 'website_exist'"), QString("Invalid data type for 'website_exist'"));
    QCOMPARE(ErrorBoxText("Done."), QString("Done."));
    QCOMPARE(ErrorBoxText(""), QString(""));
  }

  void error_box_is_titled_fotoloom_with_one_ok() {
    std::vector<SeenBox> seen;
    AnswerNextBox("OK", &seen);
    ShowErrorBox(nullptr, "Division by zero");
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Fotoloom"));
    QCOMPARE(seen[0].text, QString("Division by zero."));
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
    QCOMPARE(seen[0].buttons, QStringList{"OK"});
  }
};

QTEST_MAIN(MessageBoxesTest)
#include "MessageBoxes_test.moc"
