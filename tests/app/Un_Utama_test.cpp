// Tests of the main window: layout, navigation and captions, the Next rule, settings files, About, closing.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include "app/Un_About.h"
#include "app/Un_Step_1.h"
#include "app/Un_Step_2.h"
#include "app/Un_Step_3.h"
#include "app/Un_Step_4.h"
#include "app/Un_Step_5.h"
#include "app/Un_Step_6.h"
#include "app/Un_Utama.h"
#include "app/WizardTestSupport.h"
#include "core/SettingsFile.h"
#include "support/TempDir.h"

using namespace fotoloom;

namespace {

// A main window with scripted choosers and its program folder in a temp folder.
struct Wizard {
  test::TempDir folder;
  test::FakeDialogs* dialogs = new test::FakeDialogs;
  Tfrm_utama window{std::unique_ptr<WizardDialogs>(dialogs), QString::fromStdString(folder.str() + "/")};

  QWidget* Page(int n) const {
    QWidget* pages[] = {nullptr, window.Frame_Step_1, window.Frame_Step_2, window.Frame_Step_3,
                        window.Frame_Step_4, window.Frame_Step_5, window.Frame_Step_6};
    return pages[n];
  }
  int VisiblePage() const {
    int shown = 0;
    for (int n = 1; n <= 6; ++n)
      if (Page(n)->isVisible()) shown = shown ? -1 : n;  // -1: more than one
    return shown;
  }
  // Which of Back, Next, Load, Save, About, Help are shown, as a word of six letters.
  QString Buttons() const {
    QString s;
    for (QPushButton* b : {window.btn_back, window.btn_next, window.bit_load, window.bit_save, window.bit_about,
                           window.bit_help})
      s += b->isVisible() ? 'x' : '-';
    return s;
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void start_up_layout() {
    Wizard w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QCOMPARE(w.window.windowTitle(), QString("Fotoloom"));
    QCOMPARE(w.window.size(), QSize(645, 476));
    QCOMPARE(w.window.minimumSize(), w.window.maximumSize());
    QCOMPARE(w.window.pnl_header->text(), QString("Step 1 of 5"));
    QCOMPARE(w.VisiblePage(), 1);
    QCOMPARE(w.Buttons(), QString("-xxxxx"));
    QVERIFY(!w.window.btn_next->isEnabled());
    QCOMPARE(w.window.bit_load->text(), QString("&Load Settings..."));
    QCOMPARE(w.window.bit_save->text(), QString("&Save Settings..."));
    QCOMPARE(w.window.btn_next->geometry(), QRect(561, 6, 75, 25));
    QCOMPARE(w.window.bit_help->geometry(), QRect(324, 6, 75, 25));
    QCOMPARE(w.window.Frame_Step_6->geometry(), QRect(11, 50, 634, 389));
    QCOMPARE(w.window.Frame_Step_4->t->currentIndex(), 0);
    // The preview was written into the program folder when the window was first shown.
    QVERIFY(test::ReadFile(w.folder / "preview.html").starts_with("<HTML>\r\n"));
  }

  void next_is_enabled_only_with_both_folder_texts() {
    Wizard w;
    w.window.show();
    QTest::keyClicks(w.window.Frame_Step_1->edt_input, "in");
    QVERIFY(!w.window.btn_next->isEnabled());
    QTest::keyClicks(w.window.Frame_Step_1->edt_output, "o");
    QVERIFY(w.window.btn_next->isEnabled());
    QTest::keyClick(w.window.Frame_Step_1->edt_output, Qt::Key_Backspace);
    QVERIFY(!w.window.btn_next->isEnabled());
    QTest::keyClicks(w.window.Frame_Step_1->edt_output, " ");
    QVERIFY(w.window.btn_next->isEnabled());  // a blank counts as text
  }

  void next_and_back_walk_the_five_option_pages() {
    Wizard w;
    w.window.show();
    w.window.Settings().SetInputPath("in");
    w.window.Settings().SetOutputPath("out");
    for (int step = 2; step <= 5; ++step) {
      w.window.btn_next->click();
      QCOMPARE(w.window.CurrentStep(), step);
      QCOMPARE(w.window.pnl_header->text(), QString("Step %1 of 5").arg(step));
      QCOMPARE(w.VisiblePage(), step);
      QCOMPARE(w.Buttons(), QString("xxxxxx"));
    }
    for (int step = 4; step >= 1; --step) {
      w.window.btn_back->click();
      QCOMPARE(w.window.pnl_header->text(), QString("Step %1 of 5").arg(step));
      QCOMPARE(w.VisiblePage(), step);
    }
    QCOMPARE(w.Buttons(), QString("-xxxxx"));
  }

  void loaded_settings_show_on_every_page() {
    Wizard w;
    w.window.show();
    GallerySettings saved;
    saved.SetInputPath("/photos/in");
    saved.SetOutputPath("/photos/out");
    saved.SetImagePagesName("bild");
    saved.SetQualityImages(55);
    saved.SetThumbSizeChoice(1);
    saved.SetSortingMethodIndex(2);
    saved.SetUseExif(true);
    saved.SetTextColor(Rgb(255, 0, 0));
    saved.SetRowsCount("5");
    saved.SetTitle("Holiday");
    saved.SetAutoBrowserStart(false);
    saved.SetHTMLThumbnails({"<p>@title@</p>"});
    const std::string file = w.folder / "holiday.fl";
    Write_settings_file(file, saved);

    w.dialogs->files = {QString::fromStdString(file)};
    w.window.bit_load->click();
    QCOMPARE(w.dialogs->fileFolders, QStringList{QString::fromStdString(w.folder.str() + "/")});
    QCOMPARE(w.window.Frame_Step_1->edt_input->text(), QString("/photos/in"));
    QCOMPARE(w.window.Frame_Step_1->edt_image->text(), QString("bild"));
    QVERIFY(w.window.btn_next->isEnabled());
    QCOMPARE(w.window.Frame_Step_2->Label4->text(), QString("55"));
    QCOMPARE(w.window.Frame_Step_2->edt_user_size->text(), QString("140"));
    QVERIFY(w.window.Frame_Step_2->edt_user_size->isReadOnly());
    QVERIFY(!w.window.Frame_Step_2->Check_EXIF->isEnabled());
    QCOMPARE(w.window.Frame_Step_3->edt_num_row->text(), QString("5"));
    QCOMPARE(w.window.Frame_Step_3->Edt_title->text(), QString("Holiday"));
    QCOMPARE(w.window.Frame_Step_3->Edit2->palette().color(QPalette::Disabled, QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(w.window.Frame_Step_4->Memo1->toPlainText(), QString("<p>@title@</p>"));
    QVERIFY(!w.window.Frame_Step_5->Check_show_first_page->isChecked());
    // The preview was renewed with the loaded colours.
    QVERIFY(test::ReadFile(w.folder / "preview.html").find("#FF0000") != std::string::npos);
  }

  void saving_writes_the_record_and_cancel_writes_nothing() {
    Wizard w;
    w.window.show();
    w.window.Settings().SetTextColor(Rgb(255, 0, 0));
    const std::string file = w.folder / "out.fl";
    w.dialogs->files = {std::nullopt, QString::fromStdString(file)};
    w.window.bit_save->click();
    QVERIFY(test::ReadFile(file).empty());
    w.window.bit_save->click();
    const std::string text = test::ReadFile(file);
    QVERIFY(text.starts_with("[Step1]\r\nInputPath=\r\n"));
    QVERIFY(text.find("TextColor=clRed\r\n") != std::string::npos);
  }

  void failed_save_shows_the_error_box() {
    Wizard w;
    w.window.show();
    w.dialogs->files = {QString("/nonexistent-folder-for-save/x.fl")};
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    w.window.bit_save->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Fotoloom"));
    QVERIFY(seen[0].text.startsWith("Cannot create file \"/nonexistent-folder-for-save/x.fl\". "));
  }

  void colour_choice_renews_swatch_and_preview_and_cancel_changes_nothing() {
    Wizard w;
    w.window.show();
    w.dialogs->colors = {std::nullopt, QColor(255, 0, 0)};
    w.window.Frame_Step_3->Button2->click();
    QCOMPARE(w.window.Settings().TextColor(), kClBlack);
    w.window.Frame_Step_3->Button2->click();
    QCOMPARE(w.window.Settings().TextColor(), Rgb(255, 0, 0));
    QVERIFY(test::ReadFile(w.folder / "preview.html").find("<font color=\"#FF0000\">Text Color</font>") !=
            std::string::npos);
  }

  void about_opens_one_window_without_blocking() {
    Wizard w;
    w.window.show();
    w.window.bit_about->click();
    w.window.bit_about->click();
    QVERIFY(w.window.AboutBox->isVisible());
    QVERIFY(!w.window.AboutBox->isModal());
    QCOMPARE(w.window.findChildren<TAboutBox*>().size(), 1);
  }

  void closing_outside_a_run_closes() {
    Wizard w;
    w.window.show();
    QVERIFY(w.window.close());
    QVERIFY(!w.window.isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "Un_Utama_test.moc"
