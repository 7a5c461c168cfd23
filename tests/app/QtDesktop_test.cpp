// Tests of the desktop services: standard dialogs with their answers, the open action's URLs, the pump's spacing.
#include "app/QtDesktop.h"

#include <QTest>

#include "app/WizardTestSupport.h"

using namespace fotoloom;
using test::AnswerNextBox;
using test::SeenBox;

class QtDesktopTest : public QObject {
  Q_OBJECT
 private slots:
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

  void a_question_whose_yes_destroys_data_defaults_to_no() {
    QtDesktop desktop(nullptr);
    std::vector<SeenBox> seen;
    test::OnNextBox(&seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    QVERIFY(!desktop.AskYesNoDefaultNo(Desktop::Icon::Warning, "Delete ?"));
    AnswerNextBox("&Yes", &seen);
    QVERIFY(desktop.AskYesNoDefaultNo(Desktop::Icon::Warning, "Delete ?"));
    QCOMPARE(seen[0].defaultButton, QString("&No"));
    QCOMPARE(seen[0].buttons, (QStringList{"&Yes", "&No"}));
  }

  void pump_processes_events_at_most_once_per_15_ms() {
    qint64 now = 1000;
    QtDesktop desktop(nullptr, [&now] { return now; });
    int handled = 0;
    const auto post = [&] {
      QMetaObject::invokeMethod(
          qApp, [&] { ++handled; }, Qt::QueuedConnection);
    };
    post();
    desktop.ProcessPendingEvents();  // the first call always pumps
    QCOMPARE(handled, 1);
    post();
    now += 14;
    desktop.ProcessPendingEvents();
    QCOMPARE(handled, 1);
    now += 1;
    desktop.ProcessPendingEvents();
    QCOMPARE(handled, 2);
  }

  void open_action_gets_file_urls_for_paths_and_web_urls_for_addresses() {
    QCOMPARE(DocumentUrl("/tmp/out/page1.htm"), QUrl::fromLocalFile("/tmp/out/page1.htm"));
    QCOMPARE(DocumentUrl("out dir/page1.htm"), QUrl::fromLocalFile("out dir/page1.htm"));
    QCOMPARE(DocumentUrl("http://www.example.org"), QUrl("http://www.example.org"));
  }
};

QTEST_MAIN(QtDesktopTest)
#include "QtDesktop_test.moc"
