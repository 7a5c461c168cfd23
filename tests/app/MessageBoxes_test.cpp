// Tests of the message boxes: titles, icons, button texts, answers, and the error box's full stop.
#include <QTest>

#include "app/MessageBoxes.h"
#include "app/QtDesktop.h"
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

  void desktop_messages_and_questions_use_the_standard_dialog() {
    QtDesktop desktop(nullptr);
    std::vector<SeenBox> seen;
    AnswerNextBox("OK", &seen);
    desktop.ShowMessage(Desktop::Icon::Warning, "Incorrect path for input : /x");
    AnswerNextBox("&Yes", &seen);
    QVERIFY(desktop.AskYesNo(Desktop::Icon::Warning, "Create it ?"));
    AnswerNextBox("&No", &seen);
    QVERIFY(!desktop.AskYesNo(Desktop::Icon::Error, "Really ?"));
    // Closing the box (no button pressed) counts as No.
    AnswerNextBox("", &seen);
    QVERIFY(!desktop.AskYesNo(Desktop::Icon::Warning, "Closed ?"));

    QCOMPARE(seen.size(), std::size_t{4});
    QCOMPARE(seen[0].title, QString("Warning"));
    QCOMPARE(seen[0].icon, QMessageBox::Warning);
    QCOMPARE(seen[0].text, QString("Incorrect path for input : /x"));
    QCOMPARE(seen[0].buttons, QStringList{"OK"});
    QCOMPARE(seen[1].buttons, (QStringList{"&Yes", "&No"}));
    QCOMPARE(seen[2].title, QString("Error"));
    QCOMPARE(seen[2].icon, QMessageBox::Critical);
  }

  void open_action_gets_file_urls_for_paths_and_web_urls_for_addresses() {
    QCOMPARE(DocumentUrl("/tmp/out/page1.htm"), QUrl::fromLocalFile("/tmp/out/page1.htm"));
    QCOMPARE(DocumentUrl("out dir/page1.htm"), QUrl::fromLocalFile("out dir/page1.htm"));
    QCOMPARE(DocumentUrl("http://www.example.org"), QUrl("http://www.example.org"));
  }
};

QTEST_MAIN(MessageBoxesTest)
#include "MessageBoxes_test.moc"
