// Tests of the main window: layout, navigation and captions, the Next rule, settings files, About, closing.
#include "app/Un_Utama.h"

#include <sys/stat.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <new>
#include <system_error>
#include <utility>

#include "app/ProgramFolder.h"
#include "app/Un_About.h"
#include "app/WizardTestSupport.h"
#include "core/Desktop.h"
#include "core/FolderLock.h"
#include "core/SettingsFile.h"
#include "run/GenerationRun.h"
#include "run/OutputFolder.h"
#include "support/TempDir.h"

using namespace fotoloom;

namespace {

// A main window with scripted choosers and its program folder in a temp folder.
struct Wizard {
  test::TempDir folder;
  test::FakeDialogs* dialogs = new test::FakeDialogs;
  Tfrm_utama window{std::unique_ptr<WizardDialogs>(dialogs), QString::fromStdString(folder.str() + "/")};

  QWidget* Page(int n) const { return test::Find(&window, QStringLiteral("Frame_Step_%1").arg(n)); }
  // The control named name on page n.
  template <typename T>
  T* On(int n, const QString& name) const {
    return test::Find<T>(Page(n), name);
  }
  QPushButton* Button(const char* name) const { return test::Find<QPushButton>(&window, name); }
  QProgressBar* Bar(int n) const { return On<QProgressBar>(6, QStringLiteral("ProgressBar%1").arg(n)); }
  QString Header() const { return test::Find<QLabel>(&window, "pnl_header")->text(); }
  TAboutBox* About() const { return test::Find<TAboutBox>(&window, "AboutBox"); }
  int VisiblePage() const {
    int shown = 0;
    for (int n = 1; n <= 6; ++n)
      if (Page(n)->isVisible()) shown = shown ? -1 : n;  // -1: more than one
    return shown;
  }
  // Which of Back, Next, Load, Save, About, Help are shown, as a word of six letters.
  QString Buttons() const {
    QString s;
    for (const char* name : {"btn_back", "btn_next", "bit_load", "bit_save", "bit_about", "bit_help"})
      s += Button(name)->isVisible() ? 'x' : '-';
    return s;
  }
};

// Records the URLs the desktop's open action receives instead of starting a browser.
class OpenRecorder : public QObject {
  Q_OBJECT
 public:
  OpenRecorder() {
    QDesktopServices::setUrlHandler("file", this, "Open");
    QDesktopServices::setUrlHandler("http", this, "Open");
  }
  ~OpenRecorder() override {
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("http");
  }
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

// A desktop whose services fail the way the machine can make them fail: the
// pump raises a std::system_error (as starting a worker thread does when none
// can be had) and the question raises std::bad_alloc, while armed.
class FailingDesktop : public Desktop {
 public:
  bool pumpFails = true;
  bool questionFails = true;
  int pumps = 0;
  void ShowMessage(Icon, const std::string&) override {}
  bool AskYesNo(Icon, const std::string&) override {
    if (questionFails) throw std::bad_alloc();
    return true;
  }
  void OpenDocument(const std::string&) override {}
  void ProcessPendingEvents() override {
    ++pumps;
    if (pumpFails) throw ThreadError();
  }
  static std::system_error ThreadError() {
    return std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                             "Cannot start a worker thread");
  }
};

// Options for a run over in/ into out/ of the wizard's folder, then steps to page 5.
void PrepareRun(Wizard& w, int photos, bool autoBrowser) {
  QVERIFY(test::MakeJpegs(w.folder / "in", photos));
  w.window.Settings().SetInputPath(w.folder / "in");
  w.window.Settings().SetOutputPath(w.folder / "out");
  w.window.Settings().SetAutoBrowserStart(autoBrowser);
  for (int step = 2; step <= 5; ++step) w.Button("btn_next")->click();
}

// A shown wizard on page 5, ready for a run into the existing folder out/.
void PrepareRunIntoOut(Wizard& w, int photos, bool autoBrowser) {
  w.window.show();
  PrepareRun(w, photos, autoBrowser);
  QDir().mkpath(QString::fromStdString(w.folder / "out"));
}

// An added check box on page 5: shown, off, inside the page and over no
// other shown control.
void VerifyShownUncheckedInFreeSpace(const Wizard& w, const QCheckBox* box) {
  QVERIFY(box->isVisible());
  QVERIFY(!box->isChecked());
  QVERIFY(w.Page(5)->rect().contains(box->geometry()));
  for (const QWidget* other : w.Page(5)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (other != box && other->isVisible())
      QVERIFY2(!other->geometry().intersects(box->geometry()), qPrintable(other->objectName()));
}

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
    // It can be made larger, never smaller.
    QCOMPARE(w.window.minimumSize(), QSize(645, 476));
    QVERIFY(w.window.maximumSize().width() > 2000 && w.window.maximumSize().height() > 2000);
    QCOMPARE(w.Header(), QString("Step 1 of 5"));
    QCOMPARE(w.VisiblePage(), 1);
    QCOMPARE(w.Buttons(), QString("-xxxxx"));
    QVERIFY(!w.Button("btn_next")->isEnabled());
    QCOMPARE(w.Button("bit_load")->text(), QString("&Load Settings..."));
    QCOMPARE(w.Button("bit_save")->text(), QString("&Save Settings..."));
    QCOMPARE(w.Button("btn_next")->geometry(), QRect(561, 6, 75, 25));
    QCOMPARE(w.Button("bit_help")->geometry(), QRect(324, 6, 75, 25));
    QCOMPARE(w.Page(6)->geometry(), QRect(11, 50, 634, 389));
    QCOMPARE(w.On<QTabWidget>(4, "t")->currentIndex(), 0);
    QCOMPARE(w.On<QLabel>(6, "lbl_input_path")->text(), QString("Input Path : "));
    QCOMPARE(w.On<QLabel>(6, "lbl_found")->text(), QString("Found :"));
    // The preview was written into the program folder when the window was first shown.
    QVERIFY(test::ReadFile(w.folder / "preview.html").starts_with("<HTML>\r\n"));
  }

  void unwritable_preview_is_reported_and_the_colour_kept() {
    auto* dialogs = new test::FakeDialogs;
    Tfrm_utama window(std::unique_ptr<WizardDialogs>(dialogs), "/nonexistent-program-folder/");
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    window.show();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Fotoloom"));
    QVERIFY(seen[0].text.startsWith("Cannot create file \"/nonexistent-program-folder/preview.html\". "));
    dialogs->colors = {QColor(0, 255, 0)};
    test::AnswerNextBox("OK", &seen);
    test::Find<QPushButton>(test::Find(&window, "Frame_Step_3"), "Button1")->click();
    QCOMPARE(seen.size(), std::size_t{2});
    QCOMPARE(window.Settings().BackgroundColor(), Rgb(0, 255, 0));
  }

  void next_is_enabled_only_with_both_folder_texts() {
    Wizard w;
    w.window.show();
    QTest::keyClicks(w.On<QLineEdit>(1, "edt_input"), "in");
    QVERIFY(!w.Button("btn_next")->isEnabled());
    QTest::keyClicks(w.On<QLineEdit>(1, "edt_output"), "o");
    QVERIFY(w.Button("btn_next")->isEnabled());
    QTest::keyClick(w.On<QLineEdit>(1, "edt_output"), Qt::Key_Backspace);
    QVERIFY(!w.Button("btn_next")->isEnabled());
    QTest::keyClicks(w.On<QLineEdit>(1, "edt_output"), " ");
    QVERIFY(w.Button("btn_next")->isEnabled());  // a blank counts as text
  }

  void next_and_back_walk_the_five_option_pages() {
    Wizard w;
    w.window.show();
    w.window.Settings().SetInputPath(w.folder.str());
    w.window.Settings().SetOutputPath("out");
    for (int step = 2; step <= 5; ++step) {
      w.Button("btn_next")->click();
      QCOMPARE(w.window.CurrentStep(), step);
      QCOMPARE(w.Header(), QString("Step %1 of 5").arg(step));
      QCOMPARE(w.VisiblePage(), step);
      QCOMPARE(w.Buttons(), QString("xxxxxx"));
    }
    for (int step = 4; step >= 1; --step) {
      w.Button("btn_back")->click();
      QCOMPARE(w.Header(), QString("Step %1 of 5").arg(step));
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
    w.Button("bit_load")->click();
    QCOMPARE(w.dialogs->fileFolders, QStringList{DocumentsFolder()});
    QCOMPARE(w.On<QLineEdit>(1, "edt_input")->text(), QString("/photos/in"));
    QCOMPARE(w.On<QLineEdit>(1, "edt_image")->text(), QString("bild"));
    QVERIFY(w.Button("btn_next")->isEnabled());
    QCOMPARE(w.On<QLabel>(2, "Label4")->text(), QString("55"));
    QCOMPARE(w.On<QLineEdit>(2, "edt_user_size")->text(), QString("140"));
    QVERIFY(w.On<QLineEdit>(2, "edt_user_size")->isReadOnly());
    QVERIFY(!w.On<QCheckBox>(2, "Check_EXIF")->isEnabled());
    QCOMPARE(w.On<QLineEdit>(3, "edt_num_row")->text(), QString("5"));
    QCOMPARE(w.On<QLineEdit>(3, "Edt_title")->text(), QString("Holiday"));
    QCOMPARE(w.On<QLineEdit>(3, "Edit2")->palette().color(QPalette::Disabled, QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(w.On<QPlainTextEdit>(4, "Memo1")->toPlainText(), QString("<p>@title@</p>"));
    QVERIFY(!w.On<QCheckBox>(5, "Check_show_first_page")->isChecked());
    // The preview was renewed with the loaded colours.
    QVERIFY(test::ReadFile(w.folder / "preview.html").find("#FF0000") != std::string::npos);
  }

  void saving_writes_the_record_and_cancel_writes_nothing() {
    Wizard w;
    w.window.show();
    w.window.Settings().SetTextColor(Rgb(255, 0, 0));
    const std::string file = w.folder / "out.fl";
    w.dialogs->files = {std::nullopt, QString::fromStdString(file)};
    w.Button("bit_save")->click();
    QVERIFY(test::ReadFile(file).empty());
    w.Button("bit_save")->click();
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
    w.Button("bit_save")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Fotoloom"));
    QVERIFY(seen[0].text.startsWith("Cannot create file \"/nonexistent-folder-for-save/x.fl\". "));
  }

  void colour_choice_renews_swatch_and_preview_and_cancel_changes_nothing() {
    Wizard w;
    w.window.show();
    w.dialogs->colors = {std::nullopt, QColor(255, 0, 0)};
    w.On<QPushButton>(3, "Button2")->click();
    QCOMPARE(w.window.Settings().TextColor(), kClBlack);
    w.On<QPushButton>(3, "Button2")->click();
    QCOMPARE(w.window.Settings().TextColor(), Rgb(255, 0, 0));
    QVERIFY(test::ReadFile(w.folder / "preview.html").find("<font color=\"#FF0000\">Text Color</font>") !=
            std::string::npos);
  }

  void about_opens_one_window_without_blocking() {
    Wizard w;
    w.window.show();
    w.Button("bit_about")->click();
    w.Button("bit_about")->click();
    QVERIFY(w.About()->isVisible());
    QVERIFY(!w.About()->isModal());
    QCOMPARE(w.window.findChildren<TAboutBox*>().size(), 1);
  }

  // The update check box sits in the free part of page 5 and is saved only
  // when on; a second run with it keeps the unchanged images and fills the bars.
  void only_update_check_box_updates_the_next_run() {
    Wizard w;
    w.window.show();
    PrepareRun(w, 3, false);
    QCheckBox* box = w.On<QCheckBox>(5, "Check_only_changed");
    QCOMPARE(box->text(), QString("Only update what has changed"));
    VerifyShownUncheckedInFreeSpace(w, box);

    const std::string off = w.folder / "off.fl";
    const std::string on = w.folder / "on.fl";
    w.dialogs->files = {QString::fromStdString(off), QString::fromStdString(on)};
    w.Button("bit_save")->click();
    box->click();
    QVERIFY(w.window.Settings().UpdateOnlyChanged());
    w.Button("bit_save")->click();
    QVERIFY(test::ReadFile(off).find("[Update]") == std::string::npos);
    QVERIFY(test::ReadFile(on).ends_with("[Update]\r\nOnlyChanged=yes\r\n"));

    QDir().mkpath(QString::fromStdString(w.folder / "out"));
    w.Button("btn_next")->click();
    const std::string image = w.folder / "out/n_photo2.jpg";
    struct stat first {};
    QCOMPARE(::stat(image.c_str(), &first), 0);
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/.fotoloom-update-state")));
    w.Button("btn_back")->click();
    w.Button("btn_next")->click();
    struct stat second {};
    QCOMPARE(::stat(image.c_str(), &second), 0);
    QCOMPARE(second.st_ino, first.st_ino);
    QCOMPARE(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
    QCOMPARE(second.st_mtim.tv_sec, first.st_mtim.tv_sec);
    for (int bar : {4, 5}) {
      QCOMPARE(w.Bar(bar)->maximum(), 3);
      QCOMPARE(w.Bar(bar)->value(), 3);
    }

    // A file without the section loads with the box off.
    w.dialogs->files = {QString::fromStdString(off)};
    w.Button("bit_load")->click();
    QVERIFY(!box->isChecked());
    QVERIFY(!w.window.Settings().UpdateOnlyChanged());
  }

  void run_from_page_5_fills_the_bars_and_stays_on_page_6() {
    Wizard w;
    w.window.show();
    PrepareRun(w, 13, false);
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("&Yes", &seen);  // create the missing output folder
    w.Button("btn_next")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QVERIFY(seen[0].text.startsWith("Output folder \""));
    QVERIFY(!w.window.RunGoing());
    QCOMPARE(w.VisiblePage(), 6);
    QCOMPARE(w.Header(), QString("Finished"));
    QCOMPARE(w.Buttons(), QString("xxxxxx"));
    QCOMPARE(w.On<QLabel>(6, "lbl_found")->text(), QString("Found : 13"));
    QCOMPARE(w.On<QLabel>(6, "lbl_input_path")->text(), QString::fromStdString("Input Path : " + (w.folder / "in")));
    // 13 photos on a 3 x 4 grid: two thumbnail pages.
    QCOMPARE(w.Bar(1)->maximum(), 2);
    QCOMPARE(w.Bar(1)->value(), 2);
    for (int bar : {2, 4, 5}) {
      QCOMPARE(w.Bar(bar)->maximum(), 13);
      QCOMPARE(w.Bar(bar)->value(), 13);
    }
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/page2.htm")));
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/t_photo13.jpg")));

    // Back leads to page 5; from there Next runs again.
    w.Button("btn_back")->click();
    QCOMPARE(w.VisiblePage(), 5);
    QCOMPARE(w.Header(), QString("Step 5 of 5"));
    w.Button("btn_next")->click();
    QCOMPARE(w.VisiblePage(), 6);
    QCOMPARE(w.Buttons(), QString("xxxxxx"));
    // Next on the finished progress page starts a new run too.
    QFile::remove(QString::fromStdString(w.folder / "out/page1.htm"));
    w.Button("btn_next")->click();
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/page1.htm")));
    QCOMPARE(w.VisiblePage(), 6);
    // Cancel after the run returns to page 1.
    w.On<QPushButton>(6, "btn_cancel")->click();
    QCOMPARE(w.VisiblePage(), 1);
    QCOMPARE(w.Buttons(), QString("-xxxxx"));
  }

  void run_with_auto_browser_opens_the_first_page_and_closes() {
    OpenRecorder recorder;
    Wizard w;
    w.window.show();
    PrepareRun(w, 2, true);
    QDir().mkpath(QString::fromStdString(w.folder / "out"));
    // The folders set are unsaved settings: the wizard asks before it closes.
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("Do&n't Save", &seen);
    w.Button("btn_next")->click();
    QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(w.folder / "out/page1.htm"))});
    QVERIFY(!w.window.isVisible());
    QCOMPARE(seen.size(), std::size_t{1});
  }

  void missing_input_folder_warns_and_returns_to_page_1() {
    Wizard w;
    w.window.show();
    // Page 1 would stop at the missing folder: it goes missing on the way.
    const test::TempDir photos;
    w.window.Settings().SetInputPath(photos.str());
    w.window.Settings().SetOutputPath(w.folder.str());
    for (int step = 2; step <= 5; ++step) w.Button("btn_next")->click();
    w.window.Settings().SetInputPath(w.folder / "nothing");
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    w.Button("btn_next")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Warning"));
    QCOMPARE(seen[0].text, QString::fromStdString("Incorrect path for input : " + (w.folder / "nothing")));
    QCOMPARE(w.VisiblePage(), 1);
    QCOMPARE(w.Buttons(), QString("-xxxxx"));
    QCOMPARE(w.Header(), QString("Step 1 of 5"));
  }

  // Values the run would refuse are refused on Next before anything is
  // written: one warning naming the box, then its page with the box focused.
  void bad_values_are_refused_on_their_page_before_the_run() {
    const struct {
      void (GallerySettings::*set)(std::string);
      std::string text;
      int page;
      const char* box;
      QString message;
    } cases[] = {
        {&GallerySettings::SetRowsCount, "x", 3, "edt_num_row",
         "Number of Rows: 'x' is not a whole number between 1 and 1000"},
        {&GallerySettings::SetMaxWidthImage, "abc", 2, "Edt_max_width",
         "Maximum Image Width: 'abc' is not a whole number between 1 and 65500"},
        {&GallerySettings::SetMaxHeightImage, "-5", 2, "edt_max_height",
         "Maximum Image Height: '-5' is not a whole number between 1 and 65500"},
        {&GallerySettings::SetColsCount, "0", 3, "edt_num_columns",
         "Number of Columns: '0' is not a whole number between 1 and 1000"},
    };
    for (const auto& c : cases) {
      Wizard w;
      w.window.show();
      PrepareRun(w, 1, false);
      (w.window.Settings().*c.set)(c.text);
      std::vector<test::SeenBox> seen;
      test::AnswerNextBox("OK", &seen);
      w.Button("btn_next")->click();
      QCOMPARE(seen.size(), std::size_t{1});
      QCOMPARE(seen[0].title, QString("Warning"));
      QCOMPARE(seen[0].text, c.message);
      QCOMPARE(w.VisiblePage(), c.page);
      QCOMPARE(w.Header(), QString("Step %1 of 5").arg(c.page));
      QCOMPARE(w.Buttons(), QString("xxxxxx"));
      QCOMPARE(w.window.focusWidget(), w.On<QLineEdit>(c.page, c.box));
      QVERIFY(!QFile::exists(QString::fromStdString(w.folder / "out")));
    }
  }

  // The folders are checked on page 1's Next and again before the run.
  void folders_that_would_harm_the_photos_are_refused_on_page_1() {
    Wizard w;
    w.window.show();
    QDir().mkpath(QString::fromStdString(w.folder / "in/sub"));
    const struct {
      std::string input;
      std::string output;
      const char* box;
      std::string message;
    } cases[] = {
        {w.folder / "nothing", w.folder / "out", "edt_input", "Incorrect path for input : " + (w.folder / "nothing")},
        {w.folder / "in", w.folder / "in/sub/..", "edt_output",
         "The output folder \"" + (w.folder / "in/sub/..") + "\" is the input folder \"" + (w.folder / "in") +
             "\": the gallery's images would overwrite the photos. Choose another output folder."},
        {w.folder / "in/sub", w.folder / "in", "edt_output",
         "The input folder \"" + (w.folder / "in/sub") + "\" is inside the output folder \"" + (w.folder / "in") +
             "\": a run could overwrite or delete the photos. Choose another output folder."},
    };
    for (const auto& c : cases) {
      w.window.Settings().SetInputPath(c.input);
      w.window.Settings().SetOutputPath(c.output);
      std::vector<test::SeenBox> seen;
      test::AnswerNextBox("OK", &seen);
      w.Button("btn_next")->click();
      QCOMPARE(seen.size(), std::size_t{1});
      QCOMPARE(seen[0].title, QString("Warning"));
      QCOMPARE(seen[0].text, QString::fromStdString(c.message));
      QCOMPARE(w.window.CurrentStep(), 1);
      QCOMPARE(w.window.focusWidget(), w.On<QLineEdit>(1, c.box));
    }
    // An output folder inside the input folder is fine.
    w.window.Settings().SetInputPath(w.folder / "in");
    w.window.Settings().SetOutputPath(w.folder / "in/sub");
    w.Button("btn_next")->click();
    QCOMPARE(w.window.CurrentStep(), 2);
  }

  // A page name or extension with a "/" (or "..") keeps Next disabled, with
  // the reason under the boxes of page 1; settings files and typing alike.
  void page_names_that_leave_the_output_folder_disable_next() {
    Wizard w;
    w.window.show();
    w.window.Settings().SetInputPath(w.folder.str());
    w.window.Settings().SetOutputPath(w.folder / "out");
    auto* reason = w.On<QLabel>(1, "lbl_name_problem");
    QVERIFY(w.Button("btn_next")->isEnabled());
    QVERIFY(!reason->isVisible());
    QTest::keyClicks(w.On<QLineEdit>(1, "edt_thumbnail"), "/../escaped");
    QVERIFY(!w.Button("btn_next")->isEnabled());
    QVERIFY(reason->isVisible());
    QCOMPARE(reason->text(), QString("Name of Thumbnail Websites: 'page/../escaped' cannot be used: it holds \"/\", "
                                     "which would lead into another folder"));
    QVERIFY(w.Page(1)->rect().contains(reason->geometry().translated(reason->parentWidget()->pos())));
    w.On<QLineEdit>(1, "edt_thumbnail")->setText("page");
    QVERIFY(w.Button("btn_next")->isEnabled());
    QVERIFY(!reason->isVisible());

    GallerySettings saved;
    saved.SetInputPath(w.folder.str());
    saved.SetOutputPath(w.folder / "out");
    saved.SetWebSiteExtension("/../../x");
    const std::string file = w.folder / "bad.fl";
    Write_settings_file(file, saved);
    w.dialogs->files = {QString::fromStdString(file)};
    w.Button("bit_load")->click();
    QVERIFY(!w.Button("btn_next")->isEnabled());
    QVERIFY(reason->text().startsWith("Extension of Websites: '/../../x' cannot be used: "));
  }

  // Another run writing to the output folder: the wizard says so, writes
  // nothing and stays on page 5 so the user can try again.
  void a_run_into_a_folder_another_run_writes_to_stays_on_page_5() {
    Wizard w;
    w.window.show();
    PrepareRun(w, 1, false);
    QVERIFY(QDir().mkpath(QString::fromStdString(w.folder / "out")));
    FolderLock other;
    QVERIFY(other.TryLock(w.folder / "out") == FolderLock::Result::Locked);
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    w.Button("btn_next")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Warning"));
    QCOMPARE(seen[0].text, QString::fromStdString("Another Fotoloom run is writing to " + (w.folder / "out")));
    QCOMPARE(w.window.CurrentStep(), 5);
    QCOMPARE(w.Buttons(), QString("xxxxxx"));
    QVERIFY(
        QDir(QString::fromStdString(w.folder / "out")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    other.Release();
    w.Button("btn_next")->click();
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/page1.htm")));
  }

  void a_settings_file_without_any_known_key_is_loaded_with_a_warning() {
    Wizard w;
    w.window.show();
    w.window.Settings().SetTitle("Before");
    const std::string file = w.folder / "utf16.fl";
    test::WriteFile(file, std::string("\xFF\xFE[\0S\0", 6));
    w.dialogs->files = {QString::fromStdString(file)};
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    w.Button("bit_load")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Warning"));
    QCOMPARE(seen[0].text, QString::fromStdString(NoSettingsReadWarning(file)));
    // Loading went on as for any file: the fallbacks are in.
    QCOMPARE(w.window.Settings().Title(), std::string("Place your gallery title here"));
  }

  void skip_bad_photos_check_box_sits_in_free_space_and_is_saved_only_when_on() {
    Wizard w;
    w.window.show();
    PrepareRun(w, 1, false);
    QCheckBox* box = w.On<QCheckBox>(5, "Check_skip_bad_photos");
    QCOMPARE(box->text(), QString("Skip photos that cannot be read"));
    VerifyShownUncheckedInFreeSpace(w, box);
    const std::string on = w.folder / "on.fl";
    w.dialogs->files = {QString::fromStdString(on)};
    box->click();
    QVERIFY(w.window.Settings().SkipBadPhotos());
    w.Button("bit_save")->click();
    QVERIFY(test::ReadFile(on).ends_with("[Run]\r\nSkipBadPhotos=1\r\n"));
    w.window.Settings().SetSkipBadPhotos(false);
    QVERIFY(!box->isChecked());
  }

  void extra_file_check_boxes_sit_in_free_space_and_are_saved_only_when_on() {
    Wizard w;
    w.window.show();
    PrepareRun(w, 1, false);
    const struct {
      const char* name;
      const char* text;
      bool (GallerySettings::*get)() const;
      void (GallerySettings::*set)(bool);
      const char* line;
    } boxes[] = {
        {"Check_sharp_thumbnails", "Sharp thumbnails for high-resolution screens", &GallerySettings::Thumbnails2x,
         &GallerySettings::SetThumbnails2x, "Thumbnails2x=1"},
        {"Check_webp", "Also write WebP images (smaller files, JPEG kept for old browsers)", &GallerySettings::WebP,
         &GallerySettings::SetWebP, "WebP=1"},
        {"Check_zip", "Download of all originals as one ZIP file", &GallerySettings::Zip, &GallerySettings::SetZip,
         "Zip=1"},
    };
    GallerySettings& settings = w.window.Settings();
    for (const auto& b : boxes) {
      QCheckBox* box = w.On<QCheckBox>(5, b.name);
      QCOMPARE(box->text(), QString(b.text));
      VerifyShownUncheckedInFreeSpace(w, box);
      QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) + 24 <= box->width());
      const std::string on = w.folder / (std::string(b.name) + ".fl");
      w.dialogs->files = {QString::fromStdString(on)};
      box->click();
      QVERIFY((settings.*b.get)());
      w.Button("bit_save")->click();
      QVERIFY(test::ReadFile(on).ends_with("[Screens]\r\n" + std::string(b.line) + "\r\n"));
      (settings.*b.set)(false);
      QVERIFY(!box->isChecked());
      (settings.*b.set)(true);  // a loaded file ticks it
      QVERIFY(box->isChecked());
      (settings.*b.set)(false);
    }
  }

  // Failures that are not fotoloom::Error (a thread that cannot be started, memory
  // running out) reach the error box, not Qt's event loop, and the window is
  // ready for the next run.
  void system_errors_are_shown_and_leave_the_wizard_usable() {
    test::TempDir folder;
    auto* desktop = new FailingDesktop;
    Tfrm_utama window(std::make_unique<test::FakeDialogs>(), QString::fromStdString(folder.str() + "/"),
                      std::unique_ptr<Desktop>(desktop));
    window.show();
    QVERIFY(test::MakeJpegs(folder / "in", 3));
    QDir().mkpath(QString::fromStdString(folder / "out"));
    test::WriteFile(folder / "out/old.htm", "old");
    window.Settings().SetInputPath(folder / "in");
    window.Settings().SetOutputPath(folder / "out");
    window.Settings().SetAutoBrowserStart(false);
    for (int step = 2; step <= 5; ++step) window.btn_nextClick();

    // Page 5's Clear button: the question raises std::bad_alloc.
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    test::Find<QPushButton>(test::Find(&window, "Frame_Step_5"), "btn_Clear")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Fotoloom"));
    QCOMPARE(seen[0].text, QString("std::bad_alloc."));
    QVERIFY(QFile::exists(QString::fromStdString(folder / "out/old.htm")));

    // The run: its first pump raises the std::system_error.
    test::AnswerNextBox("OK", &seen);
    window.btn_nextClick();
    QCOMPARE(seen.size(), std::size_t{2});
    QCOMPARE(seen[1].text, QString::fromStdString(FailingDesktop::ThreadError().what()) + ".");
    QVERIFY(desktop->pumps > 0);
    QVERIFY(!window.RunGoing());
    QVERIFY(!window.Run().Running());
    QCOMPARE(window.CurrentStep(), 6);
    test::Find<QPushButton>(test::Find(&window, "Frame_Step_6"), "btn_cancel")->click();
    QCOMPARE(window.CurrentStep(), 1);

    // The next run goes through.
    desktop->pumpFails = false;
    for (int step = 2; step <= 6; ++step) window.btn_nextClick();
    QVERIFY(!window.RunGoing());
    QVERIFY(QFile::exists(QString::fromStdString(folder / "out/page1.htm")));
    QCOMPARE(seen.size(), std::size_t{2});
  }

  void cancel_during_a_run_stops_it_on_page_1() {
    Wizard w;
    w.window.show();
    PrepareRun(w, 5, false);
    QDir().mkpath(QString::fromStdString(w.folder / "out"));
    // Pressed from the run's first pump, while the search goes.
    QTimer::singleShot(0, w.On<QPushButton>(6, "btn_cancel"), &QPushButton::click);
    w.Button("btn_next")->click();
    QVERIFY(!w.window.RunGoing());
    QCOMPARE(w.VisiblePage(), 1);
    QCOMPARE(w.Buttons(), QString("-xxxxx"));
    for (int bar = 1; bar <= 5; ++bar) QCOMPARE(w.Bar(bar)->value(), 0);
    QCOMPARE(QDir(QString::fromStdString(w.folder / "out")).entryList(QDir::Files), QStringList{});
  }

  void closing_during_a_run_cancels_then_closes() {
    Wizard w;
    w.window.show();
    PrepareRun(w, 5, false);
    QDir().mkpath(QString::fromStdString(w.folder / "out"));
    bool closedWhileRunning = true;
    QTimer::singleShot(0, &w.window, [&] { closedWhileRunning = w.window.close(); });
    test::AnswerNextBox("Do&n't Save", nullptr);  // the folders set are unsaved settings
    w.Button("btn_next")->click();
    QVERIFY(!closedWhileRunning);    // the close inside the run is put off...
    QVERIFY(!w.window.isVisible());  // ...and done once the run has returned
    QVERIFY(!w.window.RunGoing());
    QCOMPARE(QDir(QString::fromStdString(w.folder / "out")).entryList(QDir::Files), QStringList{});
  }

  // The dialogs start in the documents folder, then where the last settings
  // file was loaded or saved; a failed load or save does not move them.
  void settings_dialogs_open_where_the_last_file_was() {
    Wizard w;
    w.window.show();
    const QString documents = DocumentsFolder();
    QVERIFY(!documents.isEmpty() && QDir(documents).exists());
    QDir().mkpath(QString::fromStdString(w.folder / "a"));
    QDir().mkpath(QString::fromStdString(w.folder / "b"));
    const QString saved = QString::fromStdString(w.folder / "a/one.fl");
    std::vector<test::SeenBox> seen;
    w.dialogs->files = {std::nullopt, saved, QString("/nonexistent-folder-for-save/x.fl"),
                        QString::fromStdString(w.folder / "b/bad.fl"), saved};
    test::WriteFile(w.folder / "b/bad.fl", "[Step3]\r\nTextColor=no colour\r\n");
    w.Button("bit_load")->click();  // cancelled
    w.Button("bit_save")->click();
    test::AnswerNextBox("OK", &seen);
    w.Button("bit_save")->click();  // fails
    test::AnswerNextBox("OK", &seen);
    w.Button("bit_load")->click();  // fails: not a colour
    w.Button("bit_load")->click();
    QCOMPARE(seen.size(), std::size_t{2});
    const QString a = QString::fromStdString(w.folder / "a");
    QCOMPARE(w.dialogs->fileFolders, (QStringList{documents, documents, a, a, a}));
    // The preview stays in the program folder.
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "preview.html")));
    QVERIFY(!QFile::exists(a + "/preview.html"));
  }

  // Symbolic colours resolve through the classic table, not the desktop's
  // palette: a dark theme gives the same preview and pages as a light one.
  void dark_palette_writes_the_same_preview_and_pages() {
    test::TempDir photos;
    QVERIFY(test::MakeJpegs(photos / "in", 2));
    // Runs a gallery into out; returns the preview file and the background swatch's colour.
    const auto run = [&](const std::string& out) {
      Wizard w;
      w.window.show();
      w.window.Settings().SetInputPath(photos / "in");
      w.window.Settings().SetOutputPath(photos / out);
      w.window.Settings().SetAutoBrowserStart(false);
      QDir().mkpath(QString::fromStdString(photos / out));
      for (int step = 2; step <= 6; ++step) w.Button("btn_next")->click();
      return std::make_pair(test::ReadFile(w.folder / "preview.html"),
                            w.On<QLineEdit>(3, "Edit1")->palette().color(QPalette::Disabled, QPalette::Base));
    };
    const auto light = run("light");
    std::pair<std::string, QColor> dark;
    {
      const test::ScopedPalette scoped(test::DarkPalette());
      dark = run("dark");
    }
    QCOMPARE(dark.first, light.first);
    QVERIFY(light.first.find("background-color:FFFFFF;") != std::string::npos);
    QCOMPARE(dark.second, QColor(Qt::white));
    QCOMPARE(light.second, QColor(Qt::white));
    for (const std::string page : {"page1.htm", "image1.htm", "image2.htm"})
      QCOMPARE(test::ReadFile(photos / ("dark/" + page)), test::ReadFile(photos / ("light/" + page)));
    QVERIFY(test::ReadFile(photos / "light/page1.htm").find("FFFFFF") != std::string::npos);
  }

  // Tab into a radio group lands on its checked button and the next Tab leaves
  // the group; the arrow keys still move the choice.
  void tab_into_a_radio_group_lands_on_the_checked_button() {
    Wizard w;
    w.window.Settings().SetInputPath(w.folder.str());
    w.window.Settings().SetOutputPath("out");
    w.window.Settings().SetSortingMethodIndex(2);
    w.window.show();
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    struct Group {
      int page;
      const char* name;
      int checked;
    };
    for (const Group& g :
         {Group{2, "RG_Thumb_Size_items", 3}, Group{2, "RG_Img_Sort_items", 2}, Group{3, "RG_Subtitle_items", 2}}) {
      while (w.window.CurrentStep() < g.page) w.Button("btn_next")->click();
      auto* group = w.On<QButtonGroup>(g.page, g.name);
      const QList<QAbstractButton*> buttons = group->buttons();
      // The control before the group in the tab order.
      QWidget* before = buttons.front()->previousInFocusChain();
      while (!(before->focusPolicy() & Qt::TabFocus) || !before->isVisible() || !before->isEnabled())
        before = before->previousInFocusChain();
      before->setFocus(Qt::TabFocusReason);
      QTest::keyClick(before, Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), group->button(g.checked));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QVERIFY2(!buttons.contains(qobject_cast<QAbstractButton*>(QApplication::focusWidget())), g.name);
    }
    auto* subtitle = w.On<QButtonGroup>(3, "RG_Subtitle_items");
    subtitle->button(2)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(subtitle->button(2), Qt::Key_Down);
    QCOMPARE(w.window.Settings().SubtitleIndex(), 3);
    // Tab now lands on the new choice.
    QWidget* before = w.On<QLineEdit>(3, "edt_num_row");
    before->setFocus(Qt::TabFocusReason);
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), subtitle->button(3));
  }

  void help_opens_the_manual() {
    OpenRecorder recorder;
    Wizard w;
    w.window.show();
    w.Button("bit_help")->click();
    QCOMPARE(recorder.opened.size(), 1);
    QVERIFY(recorder.opened[0].isLocalFile());
    QCOMPARE(QFileInfo(recorder.opened[0].toLocalFile()).fileName(), QString("manual.html"));
  }

  // Closing by hand asks only when the options differ from those at start-up
  // or last loaded or saved; Save is the default and opens the Save dialog.
  void closing_asks_to_save_changed_settings() {
    Wizard w;
    w.window.show();
    w.window.Settings().SetElementsMode(2);  // not kept in a settings file: no change
    QVERIFY(!w.window.SettingsChanged());
    w.window.Settings().SetTitle("Summer");
    QVERIFY(w.window.SettingsChanged());

    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("&Cancel", &seen);
    QVERIFY(!w.window.close());
    QVERIFY(w.window.isVisible());
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].text, QString("Save the settings of this gallery?"));
    seen[0].buttons.sort();
    QCOMPARE(seen[0].buttons, (QStringList{"&Cancel", "&Save", "Do&n't Save"}));
    QCOMPARE(seen[0].defaultButton, QString("&Save"));

    // Save, then the Save dialog cancelled: nothing saved, the window stays.
    w.dialogs->files = {std::nullopt};
    test::AnswerNextBox("&Save", &seen);
    QVERIFY(!w.window.close());
    QVERIFY(w.window.isVisible());

    // Save into a file: the window closes, and the file holds the title.
    const std::string file = w.folder / "summer.fl";
    w.dialogs->files = {QString::fromStdString(file)};
    test::AnswerNextBox("&Save", &seen);
    QVERIFY(w.window.close());
    QCOMPARE(seen.size(), std::size_t{3});
    QVERIFY(test::ReadFile(file).find("Title=Summer\r\n") != std::string::npos);
  }

  // A load or a save is what closing compares with; Don't Save closes.
  void loading_and_saving_are_what_closing_compares_with() {
    Wizard w;
    w.window.show();
    GallerySettings other;
    other.SetTitle("Loaded");
    const std::string file = w.folder / "loaded.fl";
    Write_settings_file(file, other);
    w.dialogs->files = {QString::fromStdString(file)};
    w.Button("bit_load")->click();
    QVERIFY(!w.window.SettingsChanged());
    w.window.Settings().SetRowsCount("7");
    QVERIFY(w.window.SettingsChanged());
    w.window.Settings().SetRowsCount("3");  // back as loaded
    QVERIFY(!w.window.SettingsChanged());
    w.window.Settings().SetRowsCount("7");
    w.dialogs->files = {QString::fromStdString(w.folder / "saved.fl")};
    w.Button("bit_save")->click();
    QVERIFY(!w.window.SettingsChanged());

    w.window.Settings().SetHTMLImages({"<p>edited</p>"});
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("Do&n't Save", &seen);
    QVERIFY(w.window.close());
    QCOMPARE(seen.size(), std::size_t{1});
  }

  // A run that opens the first page and closes the window offers to save
  // without Cancel; when the settings are then not saved after all, the
  // window stays with the finished run.
  void closing_after_a_run_asks_without_cancel() {
    OpenRecorder recorder;
    Wizard w;
    PrepareRunIntoOut(w, 2, true);
    std::vector<test::SeenBox> seen;
    w.dialogs->files = {std::nullopt};
    test::AnswerNextBox("&Save", &seen);
    w.Button("btn_next")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].text, QString("Save the settings of this gallery?"));
    seen[0].buttons.sort();
    QCOMPARE(seen[0].buttons, (QStringList{"&Save", "Do&n't Save"}));
    QCOMPARE(seen[0].defaultButton, QString("&Save"));
    QCOMPARE(recorder.opened.size(), 1);
    QVERIFY(w.window.isVisible());
    QCOMPARE(w.Header(), QString("Finished"));
    QCOMPARE(w.Buttons(), QString("xxxxxx"));

    // Unchanged settings (saved just now) close at once after the next run.
    w.dialogs->files = {QString::fromStdString(w.folder / "g.fl")};
    w.Button("bit_save")->click();
    w.Button("btn_next")->click();
    QCOMPARE(recorder.opened.size(), 2);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(seen.size(), std::size_t{1});
  }

  // The finish page: its caption, the summary below the bars, "Open gallery"
  // and "Back to the first step"; an update that found everything up to date
  // says so.
  void finished_run_shows_its_summary_and_opens_the_gallery() {
    OpenRecorder recorder;
    Wizard w;
    PrepareRunIntoOut(w, 5, false);
    w.Button("btn_next")->click();
    QCOMPARE(w.Header(), QString("Finished"));
    auto* summary = w.On<QLabel>(6, "lbl_summary");
    QVERIFY(summary->isVisible());
    QVERIFY2(QRegularExpression("^5 photos, 1 thumbnail page, 5 image pages in \\d+\\.\\d s$")
                 .match(summary->text())
                 .hasMatch(),
             qPrintable(summary->text()));
    auto* open = w.On<QPushButton>(6, "btn_open_gallery");
    auto* back = w.On<QPushButton>(6, "btn_cancel");
    QVERIFY(open->isVisible());
    QCOMPARE(open->text(), QString("Open gallery"));
    QCOMPARE(back->text(), QString("Back to the first step"));
    QCOMPARE(w.window.focusWidget(), open);
    open->click();
    QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(w.folder / "out/page1.htm"))});

    // An update with nothing changed.
    w.window.Settings().SetUpdateOnlyChanged(true);
    w.Button("btn_next")->click();  // Next on the finish page runs again
    w.Button("btn_next")->click();
    QCOMPARE(w.Header(), QString("Finished"));
    QVERIFY2(summary->text().startsWith("5 of 5 images up to date, nothing written in "), qPrintable(summary->text()));

    back->click();
    QCOMPARE(w.VisiblePage(), 1);
    QCOMPARE(w.Header(), QString("Step 1 of 5"));
  }

  // A run stopped by an error says so and why, and leads back to step 1;
  // a cancelled run is back on step 1 at once, and the next run shows no
  // summary of an earlier one while it goes.
  void stopped_and_cancelled_runs_leave_no_finished_page() {
    Wizard w;
    PrepareRunIntoOut(w, 1, false);
    test::WriteFile(w.folder / "in/photo2.jpg", "not a photo");
    test::AnswerNextBox("OK", nullptr);
    w.Button("btn_next")->click();
    QCOMPARE(w.Header(), QString("Stopped by an error"));
    // The photo, then the error box's message.
    const QString reason = w.On<QLabel>(6, "lbl_summary")->text();
    QVERIFY2(reason.startsWith(QString::fromStdString(w.folder / "in/photo2.jpg") + ":\nJPEG error #"),
             qPrintable(reason));
    QVERIFY(reason.endsWith('.'));
    QVERIFY(!w.On<QPushButton>(6, "btn_open_gallery")->isVisible());
    QCOMPARE(w.On<QPushButton>(6, "btn_cancel")->text(), QString("Back to the first step"));
    QCOMPARE(w.Buttons(), QString("------"));
    w.On<QPushButton>(6, "btn_cancel")->click();
    QCOMPARE(w.VisiblePage(), 1);

    QFile::remove(QString::fromStdString(w.folder / "in/photo2.jpg"));
    for (int step = 2; step <= 5; ++step) w.Button("btn_next")->click();
    // Looked at, and cancelled, where the new run sets the bars back to 0:
    // the pump may let a short run end before any timer fires.
    QVERIFY(w.Bar(1)->value() > 0);
    QString captionWhileRunning;
    bool summaryWhileRunning = true;
    bool looked = false;
    QObject::connect(w.Bar(1), &QProgressBar::valueChanged, &w.window, [&] {
      if (std::exchange(looked, true)) return;
      captionWhileRunning = w.On<QPushButton>(6, "btn_cancel")->text();
      summaryWhileRunning = w.On<QLabel>(6, "lbl_summary")->isVisible();
      w.On<QPushButton>(6, "btn_cancel")->click();
    });
    w.Button("btn_next")->click();
    QVERIFY(looked);
    QCOMPARE(captionWhileRunning, QString("Cancel"));
    QVERIFY(!summaryWhileRunning);
    QCOMPARE(w.VisiblePage(), 1);
    QCOMPARE(w.Header(), QString("Step 1 of 5"));
  }

  // Photos left out by "Skip photos that cannot be read": the finish page
  // counts them in its line and keeps the run's warnings under its buttons;
  // the next run starts without them.
  void finished_run_keeps_its_warnings_under_the_buttons() {
    Wizard w;
    PrepareRunIntoOut(w, 2, false);
    const QString bad = QString::fromStdString(w.folder / "in/photo3.jpg");
    test::WriteFile(bad.toStdString(), "not a photo");
    w.On<QCheckBox>(5, "Check_skip_bad_photos")->click();
    w.Button("btn_next")->click();
    QCOMPARE(w.Header(), QString("Finished"));
    auto* summary = w.On<QLabel>(6, "lbl_summary");
    QVERIFY2(summary->text().startsWith("2 photos, 1 left out, 1 thumbnail page, 2 image pages in "),
             qPrintable(summary->text()));
    auto* warnings = w.On<QPlainTextEdit>(6, "mem_warnings");
    QVERIFY(warnings->isVisible());
    QVERIFY2(warnings->toPlainText().startsWith(bad + " is left out: it cannot be read"),
             qPrintable(warnings->toPlainText()));
    QVERIFY(warnings->geometry().top() >= w.On<QPushButton>(6, "btn_open_gallery")->geometry().bottom());
    QVERIFY(warnings->geometry().top() >= w.On<QPushButton>(6, "btn_cancel")->geometry().bottom());

    QFile::remove(bad);
    w.Button("btn_next")->click();  // Next on the finish page runs again
    QCOMPARE(w.Header(), QString("Finished"));
    QVERIFY2(summary->text().startsWith("2 photos, 1 thumbnail page, "), qPrintable(summary->text()));
    QVERIFY(!warnings->isVisible());
  }

  void show_first_page_without_a_gallery_says_so() {
    OpenRecorder recorder;
    Wizard w;
    w.window.show();
    w.window.Settings().SetOutputPath(w.folder / "empty");
    std::vector<test::SeenBox> seen;
    test::AnswerNextBox("OK", &seen);
    w.On<QPushButton>(5, "Button1")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].title, QString("Warning"));
    QCOMPARE(seen[0].text, QString::fromStdString(NoGalleryYetMessage(w.folder / "empty/page1.htm")));
    QVERIFY(recorder.opened.isEmpty());
  }

  // Enter answers Clear Output Folder's question with No; the question says how much would go.
  void clear_output_folder_defaults_to_no() {
    Wizard w;
    w.window.show();
    QDir().mkpath(QString::fromStdString(w.folder / "out/nav"));
    test::WriteFile(w.folder / "out/page1.htm", "x");
    test::WriteFile(w.folder / "out/nav/next.gif", "x");
    w.window.Settings().SetOutputPath(w.folder / "out");
    std::vector<test::SeenBox> seen;
    test::OnNextBox(&seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    w.On<QPushButton>(5, "btn_Clear")->click();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].defaultButton, QString("&No"));
    QVERIFY(seen[0].text.endsWith("\n\n2 files and 1 folder will be deleted for good."));
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/page1.htm")));
    QVERIFY(QFile::exists(QString::fromStdString(w.folder / "out/nav/next.gif")));
  }

  // Made larger, the window gives the room to the template editors and grids;
  // Back and Next stay at the right edge, every other control where it was.
  void a_larger_window_grows_the_templates_only() {
    Wizard w;
    w.window.show();
    QDir().mkpath(QString::fromStdString(w.folder / "in"));  // Next on page 1 checks it
    w.window.Settings().SetInputPath(w.folder / "in");
    w.window.Settings().SetOutputPath(w.folder / "out");
    for (int step = 2; step <= 4; ++step) w.Button("btn_next")->click();
    QCOMPARE(w.window.CurrentStep(), 4);
    auto* memo = w.On<QPlainTextEdit>(4, "Memo1");
    const QSize memoBefore = memo->size();
    const QRect inputBefore = w.On<QLineEdit>(1, "edt_input")->geometry();
    const QRect page5Before = w.Page(5)->geometry();
    w.window.resize(845, 676);
    QCoreApplication::processEvents();
    QCOMPARE(memo->size(), memoBefore + QSize(200, 200));
    QCOMPARE(w.Page(4)->geometry(), QRect(1, 50, 834, 589));
    QCOMPARE(w.Button("btn_next")->geometry(), QRect(761, 6, 75, 25));
    QCOMPARE(w.Button("btn_back")->geometry(), QRect(681, 6, 75, 25));
    QCOMPARE(w.Button("bit_help")->geometry(), QRect(324, 6, 75, 25));
    QCOMPARE(test::Find(&w.window, "pnl_bottom")->geometry(), QRect(0, 642, 845, 34));
    QCOMPARE(test::Find<QLabel>(&w.window, "pnl_header")->width(), 845);
    QCOMPARE(w.On<QLineEdit>(1, "edt_input")->geometry(), inputBefore);
    QCOMPARE(w.Page(5)->geometry(), page5Before);
    w.On<QTabWidget>(4, "t")->setCurrentIndex(1);
    QCOMPARE(w.On<QTableWidget>(4, "StringGrid1")->size(), memo->size());
  }

  // Another start of the program brings the window to the front, active,
  // with the folder it was given as the input folder.
  void second_start_raises_the_window_with_its_folder() {
    Wizard w;
    w.window.show();
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    w.window.showMinimized();
    w.window.RaiseForSecondStart("/photos/summer");
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QVERIFY(!w.window.isMinimized());
    QCOMPARE(w.On<QLineEdit>(1, "edt_input")->text(), QString("/photos/summer"));
    w.window.RaiseForSecondStart(QString());  // no folder: the input folder stays
    QCOMPARE(w.window.Settings().InputPath(), std::string("/photos/summer"));
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
