// Page 1 of the wizard: the input, output and additional folders and the names of the pages.
#include "app/Un_Step_1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/CheckBeforeRun.h"
#include "app/WizardDialogs.h"

namespace fotoloom {
namespace {

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, int w) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, w, 16);
  return label;
}

QPushButton* BrowseButton(QWidget* parent, const char* name, int y) {
  auto* button = new QPushButton(QStringLiteral("..."), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(16, y, 25, 22);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

QLineEdit* Edit(QWidget* parent, const char* name, int x, int y, int w) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(x, y, w, 22);
  return edit;
}

}  // namespace

TFrame_Step_1::TFrame_Step_1(GallerySettings& settings, WizardDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      dialogs_(dialogs),
      binding_(settings, [this](SettingsField f) { Redraw(f); }) {
  setObjectName(QStringLiteral("Frame_Step_1"));
  auto* box = new QGroupBox(QStringLiteral("Folder Settings / Paths, Filename and Extensions of Output Files"), this);
  box->setGeometry(0, 0, 641, 389);

  Caption(box, QStringLiteral("Path of INPUT Folder"), 16, 30, 600);
  btn_brw_input = BrowseButton(box, "btn_brw_input", 48);
  edt_input = Edit(box, "edt_input", 48, 48, 577);
  // Right under the input folder it belongs to, in the gap above the output
  // folder's caption: no control of the page moves.
  Check_albums = new QCheckBox(QStringLiteral("Include subfolders as albums"), box);
  Check_albums->setObjectName(QStringLiteral("Check_albums"));
  Check_albums->setGeometry(48, 70, 577, 20);
  Check_albums->setCursor(Qt::PointingHandCursor);
  Caption(box, QStringLiteral("Path of OUTPUT Folder"), 16, 90, 600);
  btn_brw_output = BrowseButton(box, "btn_brw_output", 108);
  edt_output = Edit(box, "edt_output", 48, 108, 577);
  Caption(box,
          QStringLiteral("OPTIONAL : Path of additional graphics (background images, navigation graphics, logos etc.)"),
          16, 150, 610);
  btn_brw_optional = BrowseButton(box, "btn_brw_optional", 168);
  edt_optional = Edit(box, "edt_optional", 48, 168, 577);

  Caption(box, QStringLiteral("Name of Thumbnail Websites"), 16, 220, 190);
  edt_thumbnail = Edit(box, "edt_thumbnail", 16, 238, 180);
  Caption(box, QStringLiteral("Name Of Image Websites"), 226, 220, 190);
  edt_image = Edit(box, "edt_image", 226, 238, 180);
  Caption(box, QStringLiteral("Extension of Websites"), 436, 220, 190);
  cmb_ext = new QComboBox(box);
  cmb_ext->setObjectName(QStringLiteral("cmb_ext"));
  cmb_ext->setEditable(true);
  cmb_ext->setInsertPolicy(QComboBox::NoInsert);
  cmb_ext->addItems({QStringLiteral(".htm"), QStringLiteral(".html")});
  cmb_ext->setGeometry(436, 238, 120, 22);
  // Under the row of names, where the page was empty: no control moves.
  lbl_name_problem = new QLabel(box);
  lbl_name_problem->setObjectName(QStringLiteral("lbl_name_problem"));
  lbl_name_problem->setGeometry(16, 272, 610, 40);
  lbl_name_problem->setWordWrap(true);
  lbl_name_problem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lbl_name_problem->hide();

  for (SettingsField f : {SettingsField::InputPath, SettingsField::IncludeSubfolders, SettingsField::OutputPath,
                          SettingsField::AdditionalPath, SettingsField::ThumbPagesName, SettingsField::ImagePagesName,
                          SettingsField::WebSiteExtension})
    Redraw(f);

  connect(btn_brw_input, &QPushButton::clicked, this, &TFrame_Step_1::btn_brw_inputClick);
  connect(btn_brw_output, &QPushButton::clicked, this, &TFrame_Step_1::btn_brw_outputClick);
  connect(btn_brw_optional, &QPushButton::clicked, this, &TFrame_Step_1::btn_brw_optionalClick);
  connect(edt_input, &QLineEdit::textChanged, this, [this](const QString& t) {
    settings_.SetInputPath(S(t));
    emit FolderTextsChanged();
  });
  connect(edt_output, &QLineEdit::textChanged, this, [this](const QString& t) {
    settings_.SetOutputPath(S(t));
    emit FolderTextsChanged();
  });
  connect(Check_albums, &QCheckBox::toggled, this, [this](bool on) { settings_.SetIncludeSubfolders(on); });
  connect(edt_optional, &QLineEdit::textChanged, this, [this](const QString& t) { settings_.SetAdditionalPath(S(t)); });
  // An emptied name box gets "page" / "image" back from the record at once.
  connect(edt_thumbnail, &QLineEdit::textChanged, this,
          [this](const QString& t) { settings_.SetThumbPagesName(S(t)); });
  connect(edt_image, &QLineEdit::textChanged, this, [this](const QString& t) { settings_.SetImagePagesName(S(t)); });
  connect(cmb_ext, &QComboBox::currentTextChanged, this,
          [this](const QString& t) { settings_.SetWebSiteExtension(S(t)); });
}

void TFrame_Step_1::btn_brw_inputClick() {
  BrowseFolder(QStringLiteral("Select input folder"), &GallerySettings::SetInputPath);
}

void TFrame_Step_1::btn_brw_outputClick() {
  BrowseFolder(QStringLiteral("Select output folder"), &GallerySettings::SetOutputPath);
}

void TFrame_Step_1::btn_brw_optionalClick() {
  BrowseFolder(QStringLiteral("Select Additionel elements folder"), &GallerySettings::SetAdditionalPath);
}

void TFrame_Step_1::BrowseFolder(const QString& caption, void (GallerySettings::*store)(std::string)) {
  const std::optional<QString> folder = dialogs_.ChooseFolder(this, caption, QDir::currentPath());
  if (!folder) return;
  (settings_.*store)(S(QDir::toNativeSeparators(*folder)));
  QDir::setCurrent(*folder);
}

bool TFrame_Step_1::PageNamesUsable() const { return PageNameProblem(settings_).isEmpty(); }

void TFrame_Step_1::ShowNameProblem() {
  const QString problem = PageNameProblem(settings_);
  lbl_name_problem->setText(problem);
  lbl_name_problem->setVisible(!problem.isEmpty());
  emit PageNamesChanged();
}

void TFrame_Step_1::Redraw(SettingsField field) {
  if (field == SettingsField::ThumbPagesName || field == SettingsField::ImagePagesName ||
      field == SettingsField::WebSiteExtension)
    ShowNameProblem();
  switch (field) {
    case SettingsField::InputPath: ShowText(edt_input, settings_.InputPath()); break;
    case SettingsField::IncludeSubfolders:
      if (Check_albums->isChecked() != settings_.IncludeSubfolders())
        Check_albums->setChecked(settings_.IncludeSubfolders());
      break;
    case SettingsField::OutputPath: ShowText(edt_output, settings_.OutputPath()); break;
    case SettingsField::AdditionalPath: ShowText(edt_optional, settings_.AdditionalPath()); break;
    case SettingsField::ThumbPagesName: ShowText(edt_thumbnail, settings_.ThumbPagesName()); break;
    case SettingsField::ImagePagesName: ShowText(edt_image, settings_.ImagePagesName()); break;
    case SettingsField::WebSiteExtension:
      if (cmb_ext->currentText() != Q(settings_.WebSiteExtension()))
        cmb_ext->setEditText(Q(settings_.WebSiteExtension()));
      break;
    default: break;
  }
}

}  // namespace fotoloom
