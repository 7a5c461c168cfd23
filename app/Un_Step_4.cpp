// Page 4 of the wizard: the two page template editors, their macro reference grids and the template set choice.
#include "app/Un_Step_4.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/MessageBoxes.h"
#include "app/WizardFonts.h"
#include "core/TemplateSets.h"
#include "pages/MacroReference.h"

namespace fotoloom {
namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QPlainTextEdit* Editor(QWidget* tab, const char* name, const QFont& font) {
  auto* memo = new QPlainTextEdit(tab);
  memo->setObjectName(QString::fromLatin1(name));
  // Tab and Shift+Tab leave the editor like any other control; a tab
  // character is typed with Ctrl+Tab (TFrame_Step_4::eventFilter).
  memo->setTabChangesFocus(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setFont(font);
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(memo);
  return memo;
}

QTableWidget* Grid(QWidget* tab, const char* name, int rows, int firstWidth, int secondWidth, const QFont& font) {
  auto* grid = new QTableWidget(rows, 2, tab);
  grid->setObjectName(QString::fromLatin1(name));
  grid->setFont(font);
  grid->verticalHeader()->hide();  // no fixed column
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid->horizontalHeader()->setFont(font);
  grid->setColumnWidth(0, firstWidth);
  grid->setColumnWidth(1, secondWidth);
  grid->setShowGrid(true);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid->verticalHeader()->setDefaultSectionSize(20);
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid);
  return grid;
}

template <std::size_t N>
void FillGrid(QTableWidget* grid, const std::array<MacroReferenceRow, N>& rows) {
  grid->setHorizontalHeaderLabels({QStringLiteral("Macro"), QStringLiteral("Description")});
  grid->setRowCount(static_cast<int>(N));
  for (std::size_t i = 0; i < N; ++i) {
    grid->setItem(static_cast<int>(i), 0, new QTableWidgetItem(Text(rows[i].macro)));
    grid->setItem(static_cast<int>(i), 1, new QTableWidgetItem(Text(rows[i].description)));
  }
}

}  // namespace

std::vector<std::string> EditorLines(const QString& text) {
  std::vector<std::string> lines;
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
  return lines;
}

QString EditorText(const std::vector<std::string>& lines) {
  QStringList parts;
  for (const std::string& line : lines) parts << QString::fromStdString(line);
  return parts.join(QLatin1Char('\n'));
}

TFrame_Step_4::TFrame_Step_4(GallerySettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), binding_(settings, [this](SettingsField f) { Redraw(f); }) {
  setObjectName(QStringLiteral("Frame_Step_4"));
  const QFont regular = SerifFont(11, false);

  t = new QTabWidget(this);
  t->setObjectName(QStringLiteral("t"));
  t->setGeometry(0, 0, 634, 389);
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  TabSheet4 = new QWidget;
  t->addTab(TabSheet1, QStringLiteral("HTML Thumbnailpages"));
  t->addTab(TabSheet2, QStringLiteral("Macros for Thumbnailpages"));
  t->addTab(TabSheet3, QStringLiteral("HTML Imagepages"));
  t->addTab(TabSheet4, QStringLiteral("Macros for Imagepages"));
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
  Memo1 = Editor(TabSheet1, "Memo1", regular);
  Memo2 = Editor(TabSheet3, "Memo2", regular);
  Memo1->installEventFilter(this);
  Memo2->installEventFilter(this);
  StringGrid1 = Grid(TabSheet2, "StringGrid1", 17, 100, 402, regular);
  StringGrid2 = Grid(TabSheet4, "StringGrid2", 21, 115, 375, regular);

  // The choice of a built-in template set sits in the tab row's free right
  // end, so the tabs and the editors keep their places.
  templateSetButton_ = new QToolButton(t);
  templateSetButton_->setObjectName(QStringLiteral("TemplateSetButton"));
  templateSetButton_->setText(QStringLiteral("&Template set"));
  // In the Tab order like the tabs, and reached with Alt+T.
  templateSetButton_->setFocusPolicy(Qt::StrongFocus);
  templateSetButton_->setPopupMode(QToolButton::InstantPopup);
  templateSetButton_->setAutoRaise(true);
  templateSetButton_->setCursor(Qt::PointingHandCursor);
  auto* menu = new QMenu(templateSetButton_);
  menu->setObjectName(QStringLiteral("TemplateSetMenu"));
  menu->setFont(font());  // a popup window does not take its font from the page
  auto* group = new QActionGroup(menu);
  group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (std::size_t i = 0; i < TemplateSets().size(); ++i) {
    const QString name = Text(TemplateSets()[i].name);
    QAction* item = menu->addAction(name);
    item->setObjectName(QStringLiteral("TemplateSet") + name);
    item->setCheckable(true);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, i] { TemplateSetChosen(i); });
    templateSetItems_.push_back(item);
  }
  templateSetButton_->setMenu(menu);
  t->setCornerWidget(templateSetButton_, Qt::TopRightCorner);

  Redraw(SettingsField::HTMLThumbnails);
  Redraw(SettingsField::HTMLImages);

  connect(Memo1, &QPlainTextEdit::textChanged, this,
          [this] { settings_.SetHTMLThumbnails(EditorLines(Memo1->toPlainText())); });
  connect(Memo2, &QPlainTextEdit::textChanged, this,
          [this] { settings_.SetHTMLImages(EditorLines(Memo2->toPlainText())); });
  connect(t, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == 1) TabSheet2Show();
    if (index == 3) TabSheet4Show();
  });
}

void TFrame_Step_4::ShowFirstTab() { t->setCurrentIndex(0); }

void TFrame_Step_4::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The tabs fill the page, so a larger window gives the editors and grids the room.
  t->setGeometry(rect());
}

bool TFrame_Step_4::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == Memo1 || watched == Memo2) && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
      static_cast<QPlainTextEdit*>(watched)->insertPlainText(QStringLiteral("\t"));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFrame_Step_4::TabSheet2Show() { FillGrid(StringGrid1, kThumbnailMacroReference); }

void TFrame_Step_4::TabSheet4Show() { FillGrid(StringGrid2, kImageMacroReference); }

void TFrame_Step_4::Redraw(SettingsField field) {
  const auto show = [](QPlainTextEdit* memo, const std::vector<std::string>& lines) {
    const QString text = EditorText(lines);
    if (memo->toPlainText() != text) memo->setPlainText(text);
  };
  if (field == SettingsField::HTMLThumbnails) show(Memo1, settings_.HTMLThumbnails());
  if (field == SettingsField::HTMLImages) show(Memo2, settings_.HTMLImages());
  if (field == SettingsField::HTMLThumbnails || field == SettingsField::HTMLImages) ShowTemplateSet();
}

void TFrame_Step_4::TemplateSetChosen(std::size_t index) {
  const std::optional<std::size_t> current = TemplateSetOf(settings_.HTMLThumbnails(), settings_.HTMLImages());
  if (current == index) return ShowTemplateSet();
  const QString question =
      QStringLiteral("Replace both templates with the %1 set?").arg(Text(TemplateSets()[index].name));
  if (!current && !AskStandardQuestion(this, true, question)) return ShowTemplateSet();
  UseTemplateSet(settings_, index);
}

void TFrame_Step_4::ShowTemplateSet() {
  const std::optional<std::size_t> current = TemplateSetOf(settings_.HTMLThumbnails(), settings_.HTMLImages());
  for (std::size_t i = 0; i < templateSetItems_.size(); ++i) templateSetItems_[i]->setChecked(current == i);
  templateSetButton_->setToolTip(current ? QStringLiteral("Template set: ") + templateSetItems_[*current]->text()
                                         : QStringLiteral("Template set: none (the templates were edited)"));
}

}  // namespace fotoloom
