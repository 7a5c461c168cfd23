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

  // Enter answers with the default button: Yes, or No for a question whose Yes destroys data.
  void enter_answers_a_question_with_its_default() {
    std::vector<SeenBox> seen;
    const auto enter = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); };
    test::OnNextBox(&seen, enter);
    QVERIFY(AskStandardQuestion(nullptr, true, "Create it ?"));
    test::OnNextBox(&seen, enter);
    QVERIFY(!AskStandardQuestion(nullptr, true, "Delete it ?", true));
    QCOMPARE(seen.size(), std::size_t{2});
    QCOMPARE(seen[0].defaultButton, QString("&Yes"));
    QCOMPARE(seen[1].defaultButton, QString("&No"));
  }

  // Save by Enter; Escape cancels when Cancel is offered, and is no answer otherwise.
  void save_question_answers() {
    std::vector<SeenBox> seen;
    test::OnNextBox(&seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    QCOMPARE(AskToSaveSettings(nullptr, true), SaveAnswer::Save);
    test::OnNextBox(&seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(AskToSaveSettings(nullptr, true), SaveAnswer::Cancel);
    test::AnswerNextBox("Do&n't Save", &seen);
    QCOMPARE(AskToSaveSettings(nullptr, true), SaveAnswer::DontSave);
    bool stillOpen = false;
    test::OnNextBox(&seen, [&stillOpen](QMessageBox* box) {
      QTest::keyClick(box, Qt::Key_Escape);
      stillOpen = box->isVisible();
      test::AnswerNextBox("Do&n't Save", nullptr);
    });
    QCOMPARE(AskToSaveSettings(nullptr, false), SaveAnswer::DontSave);
    QVERIFY(stillOpen);
    QCOMPARE(seen[0].title, QString("Warning"));
    QCOMPARE(seen[0].text, QString("Save the settings of this gallery?"));
    // The style orders the buttons; all of them are there.
    seen[0].buttons.sort();
    seen[3].buttons.sort();
    QCOMPARE(seen[0].buttons, (QStringList{"&Cancel", "&Save", "Do&n't Save"}));
    QCOMPARE(seen[3].buttons, (QStringList{"&Save", "Do&n't Save"}));
  }
};

QTEST_MAIN(MessageBoxesTest)
#include "MessageBoxes_test.moc"
