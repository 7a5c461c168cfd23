// Page 2 of the wizard: export options of the scaled images and thumbnails, order and pixel format.
#include "app/Un_Step_2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "app/RadioGroup.h"
#include "imaging/resample.h"

namespace fotoloom {
namespace {

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, int w = 150) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, w, 18);
  return label;
}

QLineEdit* SizeEdit(QWidget* parent, const char* name, int maxLength, int x, int y) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(maxLength);
  edit->setGeometry(x, y, 50, 22);
  return edit;
}

// A quality slider with its end words and its number label, at y inside parent.
QSlider* QualitySlider(QWidget* parent, const char* name, const char* labelName, QLabel*& number, int y) {
  Caption(parent, QStringLiteral("JPEG Quality"), 10, y);
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(QString::fromLatin1(name));
  slider->setRange(1, 100);
  slider->setSingleStep(1);
  slider->setPageStep(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(99);  // a tick at each end only
  slider->setGeometry(10, y + 18, 260, 24);
  Caption(parent, QStringLiteral("lowest"), 10, y + 42, 60);
  auto* highest = Caption(parent, QStringLiteral("highest"), 210, y + 42, 60);
  highest->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  number = Caption(parent, QString(), 280, y + 20, 36);
  number->setObjectName(QString::fromLatin1(labelName));
  return slider;
}

void FillCombo(QComboBox* combo, const auto& names) {
  for (std::string_view n : names) combo->addItem(QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size())));
}

}  // namespace

TFrame_Step_2::TFrame_Step_2(GallerySettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), binding_(settings, [this](SettingsField f) { Redraw(f); }) {
  setObjectName(QStringLiteral("Frame_Step_2"));

  auto* image = new QGroupBox(QStringLiteral("Image Export Options"), this);
  image->setGeometry(0, 0, 329, 161);
  Track_quality = QualitySlider(image, "Track_quality", "Label4", Label4, 18);
  Caption(image, QStringLiteral("Maximum Image Width"), 10, 82);
  Edt_max_width = SizeEdit(image, "Edt_max_width", 4, 160, 80);
  Caption(image, QStringLiteral("Maximum Image Height"), 10, 106);
  edt_max_height = SizeEdit(image, "edt_max_height", 4, 160, 104);
  Caption(image, QStringLiteral("Filter for Resampling"), 10, 132);
  cmb_filter = new QComboBox(image);
  cmb_filter->setObjectName(QStringLiteral("cmb_filter"));
  for (const FilterEntry& filter : FilterTable) cmb_filter->addItem(QString::fromLatin1(filter.Caption));
  cmb_filter->setGeometry(130, 130, 112, 22);
  use_filter = new QCheckBox(QStringLiteral("Use Filter"), image);
  use_filter->setObjectName(QStringLiteral("use_filter"));
  use_filter->setGeometry(248, 131, 78, 20);

  auto* thumbs = new QGroupBox(QStringLiteral("Thumbnail Export Options"), this);
  thumbs->setGeometry(0, 168, 329, 217);
  Track_Quality_1 = QualitySlider(thumbs, "Track_Quality_1", "Label11", Label11, 18);
  RG_Thumb_Size = new QGroupBox(QStringLiteral("Maximum Thumbnail Size "), thumbs);
  RG_Thumb_Size->setGeometry(10, 84, 309, 122);
  RG_Thumb_Size_items = MakeRadioGroup(RG_Thumb_Size, "RG_Thumb_Size", kThumbSizeChoiceNames);
  RG_Thumb_Size_items->button(3)->setFixedWidth(170);
  edt_user_size = SizeEdit(RG_Thumb_Size, "edt_user_size", 3, 185, 92);

  auto* other = new QGroupBox(QStringLiteral("Other Options"), this);
  other->setGeometry(335, 0, 297, 385);
  RG_Img_Sort = new QGroupBox(QStringLiteral("Sort Image according to"), other);
  RG_Img_Sort->setGeometry(10, 22, 277, 122);
  RG_Img_Sort_items = MakeRadioGroup(RG_Img_Sort, "RG_Img_Sort", kSortingMethodNames);
  const auto check = [other](const char* name, const QString& text, int y) {
    auto* box = new QCheckBox(text, other);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(10, y, 282, 20);
    return box;
  };
  Check_EXIF = check("Check_EXIF", QStringLiteral("use EXIF fileinfo for sorting by date if available"), 156);
  Check_copy_org = check("Check_copy_org", QStringLiteral("copy also images in original sizes"), 184);
  // Belongs to the copies: indented under their check box, usable only while it is ticked.
  Check_strip_location = check("Check_strip_location", QStringLiteral("Remove location from copied originals"), 212);
  Check_strip_location->setGeometry(28, 212, 264, 20);
  is_grayscale = check("is_grayscale", QStringLiteral("Convert to grayscale"), 240);
  Caption(other, QStringLiteral("Pixel Format"), 10, 274);
  cmb_pixel = new QComboBox(other);
  cmb_pixel->setObjectName(QStringLiteral("cmb_pixel"));
  FillCombo(cmb_pixel, kPixelformatNames);
  cmb_pixel->setGeometry(10, 294, 120, 22);
  // At the bottom of the group, where it was empty: no control moves.
  Check_other_formats = check("Check_other_formats", QStringLiteral("also HEIC, AVIF, PNG and WebP photos"), 356);

  for (int f = 0; f < kSettingsFieldCount; ++f) Redraw(static_cast<SettingsField>(f));

  // Track_qualityChange, Track_Quality_1Change: the number label follows via the record.
  connect(Track_quality, &QSlider::valueChanged, this, [this](int v) { settings_.SetQualityImages(v); });
  connect(Track_Quality_1, &QSlider::valueChanged, this, [this](int v) { settings_.SetQualityThumbnails(v); });
  // Edt_max_widthChange: an empty box or "0" turns into "10" through the record.
  connect(Edt_max_width, &QLineEdit::textChanged, this, [this](const QString& t) { settings_.SetMaxWidthImage(S(t)); });
  connect(edt_max_height, &QLineEdit::textChanged, this,
          [this](const QString& t) { settings_.SetMaxHeightImage(S(t)); });
  connect(edt_user_size, &QLineEdit::textChanged, this,
          [this](const QString& t) { settings_.SetMaxSizeThumbnails(S(t)); });
  connect(cmb_filter, &QComboBox::currentIndexChanged, this, [this](int i) { settings_.SetFilterIndex(i); });
  connect(use_filter, &QCheckBox::toggled, this, [this](bool on) { settings_.SetUseFilter(on); });
  connect(RG_Thumb_Size_items, &QButtonGroup::idClicked, this, [this](int id) { settings_.SetThumbSizeChoice(id); });
  connect(RG_Img_Sort_items, &QButtonGroup::idClicked, this, [this](int id) { settings_.SetSortingMethodIndex(id); });
  connect(Check_EXIF, &QCheckBox::toggled, this, [this](bool on) { settings_.SetUseExif(on); });
  connect(Check_copy_org, &QCheckBox::toggled, this, [this](bool on) { settings_.SetCopyOrgSizedImages(on); });
  connect(Check_strip_location, &QCheckBox::toggled, this, [this](bool on) { settings_.SetStripLocation(on); });
  connect(is_grayscale, &QCheckBox::toggled, this, [this](bool on) { settings_.Setisgrayscale(on); });
  connect(cmb_pixel, &QComboBox::currentIndexChanged, this, [this](int i) { settings_.SetPixelformat(i); });
  connect(Check_other_formats, &QCheckBox::toggled, this, [this](bool on) { settings_.SetOtherFormats(on); });
}

void TFrame_Step_2::Redraw(SettingsField field) {
  const auto showCheck = [](QCheckBox* box, bool on) {
    if (box->isChecked() != on) box->setChecked(on);
  };
  const auto showSlider = [](QSlider* slider, QLabel* number, int value) {
    if (slider->value() != value) slider->setValue(value);
    number->setText(QString::number(value));
  };
  switch (field) {
    case SettingsField::QualityImages: showSlider(Track_quality, Label4, settings_.QualityImages()); break;
    case SettingsField::QualityThumbnails: showSlider(Track_Quality_1, Label11, settings_.QualityThumbnails()); break;
    case SettingsField::MaxWidthImage: ShowText(Edt_max_width, settings_.MaxWidthImage()); break;
    case SettingsField::MaxHeightImage: ShowText(edt_max_height, settings_.MaxHeightImage()); break;
    case SettingsField::FilterIndex:
    case SettingsField::UseFilter: {
      if (cmb_filter->currentIndex() != settings_.FilterIndex()) cmb_filter->setCurrentIndex(settings_.FilterIndex());
      showCheck(use_filter, settings_.UseFilter());
      // Window colour while usable, scroll-bar colour (the window face) while not.
      cmb_filter->setEnabled(settings_.FilterEditable());
      QPalette palette = cmb_filter->palette();
      palette.setColor(QPalette::Base,
                       QWidget::palette().color(settings_.FilterEditable() ? QPalette::Base : QPalette::Window));
      palette.setColor(QPalette::Button,
                       QWidget::palette().color(settings_.FilterEditable() ? QPalette::Base : QPalette::Window));
      cmb_filter->setPalette(palette);
      break;
    }
    case SettingsField::ThumbSizeChoice:
    case SettingsField::MaxSizeThumbnails:
      ShowChoice(RG_Thumb_Size_items, settings_.ThumbSizeChoice());
      ShowText(edt_user_size, settings_.MaxSizeThumbnails());
      edt_user_size->setReadOnly(!settings_.ThumbSizeEditable());
      break;
    case SettingsField::SortingMethodIndex:
    case SettingsField::UseExif:
      ShowChoice(RG_Img_Sort_items, settings_.SortingMethodIndex());
      showCheck(Check_EXIF, settings_.UseExif());
      Check_EXIF->setEnabled(settings_.UseExifEditable());
      break;
    case SettingsField::CopyOrgSizedImages:
    case SettingsField::StripLocation:
      showCheck(Check_copy_org, settings_.CopyOrgSizedImages());
      showCheck(Check_strip_location, settings_.StripLocation());
      Check_strip_location->setEnabled(settings_.StripLocationEditable());
      break;
    case SettingsField::isgrayscale: showCheck(is_grayscale, settings_.isgrayscale()); break;
    case SettingsField::OtherFormats: showCheck(Check_other_formats, settings_.OtherFormats()); break;
    case SettingsField::Pixelformat:
      if (cmb_pixel->currentIndex() != settings_.Pixelformat()) cmb_pixel->setCurrentIndex(settings_.Pixelformat());
      break;
    default: break;
  }
}

}  // namespace fotoloom
