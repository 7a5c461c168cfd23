// Page 3 of the wizard: the four page colours with their preview, the title and the thumbnail grid.
#include "app/Un_Step_3.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/ColorPreview.h"
#include "app/MessageBoxes.h"
#include "app/QColorConversion.h"
#include "app/RadioGroup.h"
#include "app/WizardDialogs.h"
#include "app/WizardFonts.h"

namespace fotoloom {
namespace {

QLineEdit* Swatch(QWidget* parent, const char* name, int y) {
  auto* swatch = new QLineEdit(parent);
  swatch->setObjectName(QString::fromLatin1(name));
  swatch->setGeometry(124, y + 2, 20, 21);
  swatch->setEnabled(false);
  swatch->setAutoFillBackground(true);
  return swatch;
}

QPushButton* ColorButton(QWidget* parent, const char* name, const QString& text, int y) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(16, y, 100, 25);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

void ShowSwatch(QLineEdit* swatch, Color color) {
  // The swatch is disabled, so colour the disabled and the active base alike.
  QPalette palette = swatch->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, ToQColor(color));
  swatch->setPalette(palette);
}

}  // namespace

TFrame_Step_3::TFrame_Step_3(GallerySettings& settings, WizardDialogs& dialogs, QString programFolder, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      binding_(settings, [this](SettingsField f) { Redraw(f); }) {
  setObjectName(QStringLiteral("Frame_Step_3"));

  auto* colors = new QGroupBox(QStringLiteral("Color Options"), this);
  colors->setGeometry(0, 0, 634, 193);
  Button1 = ColorButton(colors, "Button1", QStringLiteral("Background"), 26);
  Button2 = ColorButton(colors, "Button2", QStringLiteral("Text"), 66);
  Button3 = ColorButton(colors, "Button3", QStringLiteral("Link"), 106);
  Button4 = ColorButton(colors, "Button4", QStringLiteral("Visited Link"), 146);
  Edit1 = Swatch(colors, "Edit1", 26);
  Edit2 = Swatch(colors, "Edit2", 66);
  Edit3 = Swatch(colors, "Edit3", 106);
  Edit4 = Swatch(colors, "Edit4", 146);

  auto* caption = new QLabel(QStringLiteral("Colors preview"), colors);
  caption->setGeometry(260, 26, 217, 18);
  Panel1 = new QFrame(colors);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setGeometry(260, 46, 217, 121);
  WebBrowser1 = new QTextBrowser(Panel1);
  WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
  WebBrowser1->setFrameStyle(QFrame::NoFrame);
  WebBrowser1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  WebBrowser1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QFont previewFont(SerifFamily(), 12);
  previewFont.setBold(false);
  WebBrowser1->setFont(previewFont);
  auto* layout = new QVBoxLayout(Panel1);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(WebBrowser1);
  // The user cannot click into the preview.
  Panel1->setEnabled(false);

  auto* grid = new QGroupBox(QStringLiteral("Thumbnailpage Options"), this);
  grid->setGeometry(0, 198, 634, 189);
  auto* titleCaption = new QLabel(QStringLiteral("Title for Thumbnailpages"), grid);
  titleCaption->setGeometry(16, 26, 300, 18);
  Edt_title = new QLineEdit(grid);
  Edt_title->setObjectName(QStringLiteral("Edt_title"));
  Edt_title->setGeometry(16, 46, 380, 22);
  auto* colsCaption = new QLabel(QStringLiteral("Number of Columns"), grid);
  colsCaption->setGeometry(16, 86, 130, 18);
  edt_num_columns = new QLineEdit(grid);
  edt_num_columns->setObjectName(QStringLiteral("edt_num_columns"));
  edt_num_columns->setGeometry(16, 106, 60, 22);
  auto* rowsCaption = new QLabel(QStringLiteral("Number of Rows"), grid);
  rowsCaption->setGeometry(160, 86, 130, 18);
  edt_num_row = new QLineEdit(grid);
  edt_num_row->setObjectName(QStringLiteral("edt_num_row"));
  edt_num_row->setGeometry(160, 106, 60, 22);
  RG_Subtitle = new QGroupBox(QStringLiteral("Subtitle for Thumbnails"), grid);
  RG_Subtitle->setGeometry(414, 20, 208, 150);
  RG_Subtitle_items = MakeRadioGroup(RG_Subtitle, "RG_Subtitle", kSubtitleNames);

  for (int f = 0; f < kSettingsFieldCount; ++f) Redraw(static_cast<SettingsField>(f));

  connect(Button1, &QPushButton::clicked, this,
          [this] { ChooseColor(&GallerySettings::BackgroundColor, &GallerySettings::SetBackgroundColor); });
  connect(Button2, &QPushButton::clicked, this,
          [this] { ChooseColor(&GallerySettings::TextColor, &GallerySettings::SetTextColor); });
  connect(Button3, &QPushButton::clicked, this,
          [this] { ChooseColor(&GallerySettings::LinkColor, &GallerySettings::SetLinkColor); });
  connect(Button4, &QPushButton::clicked, this,
          [this] { ChooseColor(&GallerySettings::VisitedLinkColor, &GallerySettings::SetVisitedLinkColor); });
  connect(Edt_title, &QLineEdit::textChanged, this, [this](const QString& t) { settings_.SetTitle(S(t)); });
  connect(edt_num_columns, &QLineEdit::textChanged, this, [this](const QString& t) { settings_.SetColsCount(S(t)); });
  connect(edt_num_row, &QLineEdit::textChanged, this, [this](const QString& t) { settings_.SetRowsCount(S(t)); });
  connect(RG_Subtitle_items, &QButtonGroup::idClicked, this, [this](int id) { settings_.SetSubtitleIndex(id); });
}

void TFrame_Step_3::ChooseColor(Color (GallerySettings::*get)() const, void (GallerySettings::*set)(Color)) {
  const std::optional<QColor> chosen = dialogs_.ChooseColor(this, ToQColor((settings_.*get)()));
  if (!chosen) return;
  (settings_.*set)(FromQColor(*chosen));
  ShowingErrors(window(), [this] { Create_preview(); });
}

void TFrame_Step_3::Create_preview() {
  const std::string path = WritePreviewFile(S(programFolder_), settings_);
  QFile file(Q(path));
  if (!file.open(QIODevice::ReadOnly)) return;  // just written; a vanished file leaves the view as it was
  // The file is 8-bit text in the system code page; Latin-1 keeps every byte.
  WebBrowser1->setHtml(NormalizeForTextView(QString::fromLatin1(file.readAll())));
}

void TFrame_Step_3::Redraw(SettingsField field) {
  switch (field) {
    case SettingsField::BackgroundColor: ShowSwatch(Edit1, settings_.BackgroundColor()); break;
    case SettingsField::TextColor: ShowSwatch(Edit2, settings_.TextColor()); break;
    case SettingsField::LinkColor: ShowSwatch(Edit3, settings_.LinkColor()); break;
    case SettingsField::VisitedLinkColor: ShowSwatch(Edit4, settings_.VisitedLinkColor()); break;
    case SettingsField::Title: ShowText(Edt_title, settings_.Title()); break;
    case SettingsField::ColsCount: ShowText(edt_num_columns, settings_.ColsCount()); break;
    case SettingsField::RowsCount: ShowText(edt_num_row, settings_.RowsCount()); break;
    case SettingsField::SubtitleIndex: ShowChoice(RG_Subtitle_items, settings_.SubtitleIndex()); break;
    default: break;
  }
}

}  // namespace fotoloom
