// Tests of page 4: the template editors bound to the record, the macro reference grids and the template set choice.
#include "app/Un_Step_4.h"

#include <QAction>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "app/Un_Utama.h"
#include "app/WizardTestSupport.h"
#include "core/DefaultTemplates.h"
#include "core/ResponsiveTemplates.h"
#include "core/SettingsFile.h"
#include "support/TempDir.h"

using namespace fotoloom;
using test::SeenBox;

namespace {

// Answers every message box shown while it lives with "&No" and keeps what it saw.
class NoToEveryBox {
 public:
  NoToEveryBox() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      SeenBox s{box->windowTitle(), box->text(), box->icon(), {}};
      QAbstractButton* no = nullptr;
      for (QAbstractButton* b : box->buttons()) {
        s.buttons << b->text();
        if (b->text() == "&No") no = b;
      }
      seen.push_back(s);
      if (no)
        no->click();
      else
        box->reject();
    });
    timer_.start();
  }
  std::vector<SeenBox> seen;

 private:
  QTimer timer_;
};

// The names of the checked template set items ("Classic", "Responsive"), in menu order.
QStringList Checked(const TFrame_Step_4& page) {
  QStringList names;
  for (const char* name : {"TemplateSetClassic", "TemplateSetResponsive"}) {
    auto* item = page.findChild<QAction*>(name);
    if (item != nullptr && item->isChecked()) names << item->text();
  }
  return names;
}

QAction* Item(const TFrame_Step_4& page, const char* name) { return test::Find<QAction>(&page, name); }

}  // namespace

class Step4Test : public QObject {
  Q_OBJECT
 private slots:
  void editors_show_the_default_templates() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    QCOMPARE(test::Find<QTabWidget>(&page, "t")->count(), 4);
    QCOMPARE(test::Find<QTabWidget>(&page, "t")->tabText(0), QString("HTML Thumbnailpages"));
    QCOMPARE(test::Find<QTabWidget>(&page, "t")->tabText(3), QString("Macros for Imagepages"));
    QCOMPARE(EditorLines(test::Find<QPlainTextEdit>(&page, "Memo1")->toPlainText()), DefaultThumbnailTemplate());
    QCOMPARE(EditorLines(test::Find<QPlainTextEdit>(&page, "Memo2")->toPlainText()), DefaultImageTemplate());
  }

  void editing_writes_the_template_and_loading_redraws() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    test::Find<QPlainTextEdit>(&page, "Memo1")->setPlainText("<p>@cp@</p>\n  <b>@tp@</b>\n");
    QCOMPARE(settings.HTMLThumbnails(), (std::vector<std::string>{"<p>@cp@</p>", "  <b>@tp@</b>", ""}));
    test::Find<QPlainTextEdit>(&page, "Memo2")->clear();
    QVERIFY(settings.HTMLImages().empty());
    settings.SetHTMLImages({"a", "", "b"});
    QCOMPARE(test::Find<QPlainTextEdit>(&page, "Memo2")->toPlainText(), QString("a\n\nb"));
  }

  void reference_grids_fill_when_their_tab_is_shown() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(1);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->rowCount(), 25);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->horizontalHeaderItem(0)->text(), QString("Macro"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->horizontalHeaderItem(1)->text(), QString("Description"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->item(16, 0)->text(), QString("@title@"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->item(16, 1)->text(),
             QString("a title for thumbnail pages"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid1")->columnWidth(1), 402);
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(3);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->rowCount(), 36);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->item(20, 0)->text(), QString("@exifcomment@"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->item(21, 0)->text(), QString("@datetaken@"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->item(20, 1)->text(),
             QString("the contents of comment section of the images exifinformation"));
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->columnWidth(0), 115);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->editTriggers(), QAbstractItemView::NoEditTriggers);
    // A cell changed by hand comes back when the tab is shown again.
    test::Find<QTableWidget>(&page, "StringGrid2")->item(0, 0)->setText("changed");
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(0);
    test::Find<QTabWidget>(&page, "t")->setCurrentIndex(3);
    QCOMPARE(test::Find<QTableWidget>(&page, "StringGrid2")->item(0, 0)->text(), QString("@cp@"));
  }

  void template_set_choice_shows_the_set_both_templates_equal() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    QCOMPARE(Checked(page), QStringList{"Classic"});
    settings.SetHTMLImages(ResponsiveImageTemplate());  // one of each: no set
    QCOMPARE(Checked(page), QStringList{});
    settings.SetHTMLThumbnails(ResponsiveThumbnailTemplate());
    QCOMPARE(Checked(page), QStringList{"Responsive"});
    QCOMPARE(test::Find<QToolButton>(&page, "TemplateSetButton")->toolTip(), QString("Template set: Responsive"));
    test::Find<QPlainTextEdit>(&page, "Memo2")->appendPlainText("<!-- mine -->");
    QCOMPARE(Checked(page), QStringList{});
    // A loaded settings file writes both fields; the choice follows.
    settings.SetHTMLThumbnails(DefaultThumbnailTemplate());
    settings.SetHTMLImages(DefaultImageTemplate());
    QCOMPARE(Checked(page), QStringList{"Classic"});
  }

  void choosing_a_set_replaces_both_templates_and_asks_only_over_edits() {
    GallerySettings settings;
    TFrame_Step_4 page(settings);
    {
      NoToEveryBox boxes;
      Item(page, "TemplateSetResponsive")->trigger();  // classic -> responsive: nothing is lost
      QCOMPARE(boxes.seen.size(), std::size_t{0});
    }
    QCOMPARE(settings.HTMLThumbnails(), ResponsiveThumbnailTemplate());
    QCOMPARE(settings.HTMLImages(), ResponsiveImageTemplate());
    QCOMPARE(EditorLines(test::Find<QPlainTextEdit>(&page, "Memo1")->toPlainText()), ResponsiveThumbnailTemplate());
    QCOMPARE(Checked(page), QStringList{"Responsive"});

    test::Find<QPlainTextEdit>(&page, "Memo1")->setPlainText("<p>my own page @cp@</p>");
    const std::vector<std::string> edited = settings.HTMLThumbnails();
    {
      NoToEveryBox boxes;
      Item(page, "TemplateSetClassic")->trigger();
      QCOMPARE(boxes.seen.size(), std::size_t{1});
      QCOMPARE(boxes.seen[0].text, QString("Replace both templates with the Classic set?"));
      QCOMPARE(boxes.seen[0].buttons, (QStringList{"&Yes", "&No"}));
    }
    QCOMPARE(settings.HTMLThumbnails(), edited);  // No keeps both texts
    QCOMPARE(settings.HTMLImages(), ResponsiveImageTemplate());
    QCOMPARE(Checked(page), QStringList{});  // and the item the user clicked is not left checked

    std::vector<SeenBox> seen;
    test::AnswerNextBox("&Yes", &seen);
    Item(page, "TemplateSetClassic")->trigger();
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(settings.HTMLThumbnails(), DefaultThumbnailTemplate());
    QCOMPARE(settings.HTMLImages(), DefaultImageTemplate());
    QCOMPARE(Checked(page), QStringList{"Classic"});
  }

  void in_the_wizard_the_button_fits_beside_the_tabs_and_follows_a_loaded_file() {
    test::TempDir folder;
    auto* dialogs = new test::FakeDialogs;
    Tfrm_utama window(std::unique_ptr<WizardDialogs>(dialogs), QString::fromStdString(folder.str() + "/"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* page = test::Find<TFrame_Step_4>(&window, "Frame_Step_4");
    page->show();
    auto* tabs = test::Find<QTabWidget>(page, "t");
    auto* button = test::Find<QToolButton>(page, "TemplateSetButton");
    QCOMPARE(tabs->geometry(), QRect(0, 0, 634, 389));
    // Every tab is shown whole, left of the button, with no scroll arrows.
    QTabBar* bar = tabs->tabBar();
    QVERIFY(bar->tabRect(3).right() < bar->width());
    QVERIFY(bar->mapTo(tabs, bar->tabRect(3).topRight()).x() < button->x());
    QVERIFY(button->geometry().right() < tabs->width());
    QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width());
    // The editor begins below the tab row, as without the button.
    QVERIFY(test::Find<QPlainTextEdit>(page, "Memo1")->mapTo(tabs, QPoint(0, 0)).y() > button->geometry().bottom());

    GallerySettings responsive;
    responsive.SetHTMLThumbnails(ResponsiveThumbnailTemplate());
    responsive.SetHTMLImages(ResponsiveImageTemplate());
    Write_settings_file(folder / "responsive.fl", responsive);
    dialogs->files.push_back(QString::fromStdString(folder / "responsive.fl"));
    test::Find<QPushButton>(&window, "bit_load")->click();
    QCOMPARE(Checked(*page), QStringList{"Responsive"});
  }
};

QTEST_MAIN(Step4Test)
#include "Un_Step_4_test.moc"
