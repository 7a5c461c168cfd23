// Page 2 of the wizard: export options of the scaled images and thumbnails, order and pixel format.
#pragma once

#include <QWidget>

#include "app/SettingsBinding.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace fotoloom {

class TFrame_Step_2 : public QWidget {
  Q_OBJECT
 public:
  explicit TFrame_Step_2(GallerySettings& settings, QWidget* parent = nullptr);

 private:
  QSlider* Track_quality = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* Edt_max_width = nullptr;
  QLineEdit* edt_max_height = nullptr;
  QComboBox* cmb_filter = nullptr;
  QCheckBox* use_filter = nullptr;
  QSlider* Track_Quality_1 = nullptr;
  QLabel* Label11 = nullptr;
  QGroupBox* RG_Thumb_Size = nullptr;
  QButtonGroup* RG_Thumb_Size_items = nullptr;
  QLineEdit* edt_user_size = nullptr;
  QGroupBox* RG_Img_Sort = nullptr;
  QButtonGroup* RG_Img_Sort_items = nullptr;
  QCheckBox* Check_EXIF = nullptr;
  QCheckBox* Check_copy_org = nullptr;
  QCheckBox* Check_strip_location = nullptr;
  QCheckBox* is_grayscale = nullptr;
  QComboBox* cmb_pixel = nullptr;
  QCheckBox* Check_other_formats = nullptr;

  void Redraw(SettingsField field);

  GallerySettings& settings_;
  SettingsBinding binding_;
};

}  // namespace fotoloom
