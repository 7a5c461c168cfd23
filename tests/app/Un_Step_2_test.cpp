// Tests of page 2: sliders, the "10" rule of the size boxes, thumbnail size, filter, EXIF and location switches.
#include "app/Un_Step_2.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "app/WizardTestSupport.h"

using namespace fotoloom;

class Step2Test : public QObject {
  Q_OBJECT
 private slots:
  void start_up_values() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    QCOMPARE(test::Find<QSlider>(&page, "Track_quality")->value(), 90);
    QCOMPARE(test::Find<QLabel>(&page, "Label4")->text(), QString("90"));
    QCOMPARE(test::Find<QLabel>(&page, "Label11")->text(), QString("90"));
    QCOMPARE(test::Find<QLineEdit>(&page, "Edt_max_width")->text(), QString("800"));
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_max_height")->text(), QString("600"));
    QCOMPARE(test::Find<QLineEdit>(&page, "Edt_max_width")->maxLength(), 4);
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_user_size")->maxLength(), 3);
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_filter")->currentText(), QString("Lanczos3Filter"));
    QVERIFY(!test::Find<QComboBox>(&page, "cmb_filter")->isEnabled());
    QVERIFY(!test::Find<QCheckBox>(&page, "use_filter")->isChecked());
    QCOMPARE(test::Find<QButtonGroup>(&page, "RG_Thumb_Size_items")->checkedId(), 3);
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_user_size")->text(), QString("160"));
    QVERIFY(!test::Find<QLineEdit>(&page, "edt_user_size")->isReadOnly());
    QCOMPARE(test::Find<QButtonGroup>(&page, "RG_Img_Sort_items")->checkedId(), 0);
    QVERIFY(!test::Find<QCheckBox>(&page, "Check_EXIF")->isChecked() &&
            !test::Find<QCheckBox>(&page, "Check_copy_org")->isChecked() &&
            !test::Find<QCheckBox>(&page, "is_grayscale")->isChecked());
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_pixel")->currentText(), QString("Device"));
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_pixel")->itemText(1), QString("  1 Bit "));
  }

  void sliders_write_label_and_record() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    test::Find<QSlider>(&page, "Track_quality")->setFocus();
    QTest::keyClick(test::Find<QSlider>(&page, "Track_quality"), Qt::Key_Left);
    QCOMPARE(test::Find<QLabel>(&page, "Label4")->text(), QString("89"));
    QCOMPARE(settings.QualityImages(), 89);
    QTest::keyClick(test::Find<QSlider>(&page, "Track_quality"), Qt::Key_PageDown);
    QCOMPARE(settings.QualityImages(), 88);
    test::Find<QSlider>(&page, "Track_Quality_1")->setValue(1);
    QCOMPARE(test::Find<QLabel>(&page, "Label11")->text(), QString("1"));
    QCOMPARE(settings.QualityThumbnails(), 1);
  }

  void size_boxes_turn_empty_or_zero_into_ten() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    test::Find<QLineEdit>(&page, "Edt_max_width")->clear();
    QCOMPARE(test::Find<QLineEdit>(&page, "Edt_max_width")->text(), QString("10"));
    test::Find<QLineEdit>(&page, "Edt_max_width")->setText("0");
    QCOMPARE(test::Find<QLineEdit>(&page, "Edt_max_width")->text(), QString("10"));
    QCOMPARE(settings.MaxWidthImage(), std::string("10"));
    test::Find<QLineEdit>(&page, "edt_max_height")->setText("00");
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_max_height")->text(), QString("00"));
    test::Find<QLineEdit>(&page, "edt_max_height")->setText("0800");
    QCOMPARE(settings.MaxHeightImage(), std::string("0800"));
    test::Find<QLineEdit>(&page, "edt_user_size")->clear();
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_user_size")->text(), QString("10"));
    test::Find<QLineEdit>(&page, "edt_user_size")->setText("x1");
    QCOMPARE(settings.MaxSizeThumbnails(), std::string("x1"));
  }

  void fixed_thumbnail_sizes_fill_the_box_read_only() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    test::Find<QButtonGroup>(&page, "RG_Thumb_Size_items")->button(1)->click();
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_user_size")->text(), QString("140"));
    QVERIFY(test::Find<QLineEdit>(&page, "edt_user_size")->isReadOnly());
    QCOMPARE(settings.ThumbSizeChoice(), 1);
    test::Find<QButtonGroup>(&page, "RG_Thumb_Size_items")->button(3)->click();
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_user_size")->text(), QString("140"));
    QVERIFY(!test::Find<QLineEdit>(&page, "edt_user_size")->isReadOnly());
    QCOMPARE(settings.ThumbSizeChoice(), 3);
  }

  void filter_box_follows_use_filter() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    test::Find<QCheckBox>(&page, "use_filter")->click();
    QVERIFY(settings.UseFilter());
    QVERIFY(test::Find<QComboBox>(&page, "cmb_filter")->isEnabled());
    test::Find<QComboBox>(&page, "cmb_filter")->setCurrentIndex(0);
    QCOMPARE(settings.FilterIndex(), 0);
    test::Find<QCheckBox>(&page, "use_filter")->click();
    QVERIFY(!test::Find<QComboBox>(&page, "cmb_filter")->isEnabled());
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_filter")->currentText(), QString("BoxFilter"));
  }

  void name_orders_disable_exif_and_keep_its_tick() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    test::Find<QCheckBox>(&page, "Check_EXIF")->click();
    test::Find<QButtonGroup>(&page, "RG_Img_Sort_items")->button(3)->click();
    QCOMPARE(settings.SortingMethodIndex(), 3);
    QVERIFY(!test::Find<QCheckBox>(&page, "Check_EXIF")->isEnabled());
    QVERIFY(test::Find<QCheckBox>(&page, "Check_EXIF")->isChecked());
    test::Find<QButtonGroup>(&page, "RG_Img_Sort_items")->button(1)->click();
    QVERIFY(test::Find<QCheckBox>(&page, "Check_EXIF")->isEnabled());
    QVERIFY(settings.UseExif());
  }

  void location_box_sits_indented_under_the_copies_and_is_usable_only_with_them() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    auto* copy = test::Find<QCheckBox>(&page, "Check_copy_org");
    auto* strip = test::Find<QCheckBox>(&page, "Check_strip_location");
    QCOMPARE(strip->text(), QString("Remove location from copied originals"));
    QVERIFY(strip->parentWidget() == copy->parentWidget());
    QVERIFY(strip->x() > copy->x());
    QVERIFY(strip->y() >= copy->geometry().bottom());
    QVERIFY(strip->geometry().bottom() < test::Find<QCheckBox>(&page, "is_grayscale")->y());
    QVERIFY(!strip->isEnabled() && !strip->isChecked());
    copy->click();
    QVERIFY(strip->isEnabled());
    strip->click();
    QVERIFY(settings.StripLocation());
    // Clearing the copies keeps the tick, as a name order keeps the EXIF one.
    copy->click();
    QVERIFY(!strip->isEnabled());
    QVERIFY(strip->isChecked());
    QVERIFY(settings.StripLocation());
    settings.SetStripLocation(false);
    QVERIFY(!strip->isChecked());
  }

  void record_changes_show_on_the_page() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    settings.SetQualityImages(42);
    settings.SetThumbSizeChoice(0);
    settings.SetPixelformat(6);
    settings.SetFilterIndex(-1);
    settings.Setisgrayscale(true);
    QCOMPARE(test::Find<QSlider>(&page, "Track_quality")->value(), 42);
    QCOMPARE(test::Find<QLabel>(&page, "Label4")->text(), QString("42"));
    QCOMPARE(test::Find<QButtonGroup>(&page, "RG_Thumb_Size_items")->checkedId(), 0);
    QCOMPARE(test::Find<QLineEdit>(&page, "edt_user_size")->text(), QString("120"));
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_pixel")->currentText(), QString("24 Bit"));
    QCOMPARE(test::Find<QComboBox>(&page, "cmb_filter")->currentIndex(), -1);
    QVERIFY(test::Find<QCheckBox>(&page, "is_grayscale")->isChecked());
    settings.SetSortingMethodIndex(-1);
    QCOMPARE(test::Find<QButtonGroup>(&page, "RG_Img_Sort_items")->checkedId(), -1);
  }

  void other_formats_box_sits_last_in_other_options_and_follows_the_record() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    auto* box = test::Find<QCheckBox>(&page, "Check_other_formats");
    QCOMPARE(box->text(), QString("also HEIC, AVIF, PNG and WebP photos"));
    QVERIFY(!box->isChecked());
    // In the "Other Options" group, below every control it had before.
    QCOMPARE(box->parentWidget(), test::Find<QCheckBox>(&page, "is_grayscale")->parentWidget());
    QVERIFY(box->geometry().top() > test::Find<QComboBox>(&page, "cmb_pixel")->geometry().bottom());
    QVERIFY(box->geometry().bottom() < box->parentWidget()->height());
    box->click();
    QVERIFY(settings.OtherFormats());
    settings.SetOtherFormats(false);
    QVERIFY(!box->isChecked());
  }
};

QTEST_MAIN(Step2Test)
#include "Un_Step_2_test.moc"
