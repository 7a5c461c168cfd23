// Tests of page 2: sliders, the "10" rule of the size boxes, thumbnail size, filter and EXIF switches.
#include "app/Un_Step_2.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace fotoloom;

class Step2Test : public QObject {
  Q_OBJECT
 private slots:
  void start_up_values() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    QCOMPARE(page.Track_quality->value(), 90);
    QCOMPARE(page.Label4->text(), QString("90"));
    QCOMPARE(page.Label11->text(), QString("90"));
    QCOMPARE(page.Edt_max_width->text(), QString("800"));
    QCOMPARE(page.edt_max_height->text(), QString("600"));
    QCOMPARE(page.Edt_max_width->maxLength(), 4);
    QCOMPARE(page.edt_user_size->maxLength(), 3);
    QCOMPARE(page.cmb_filter->currentText(), QString("Lanczos3Filter"));
    QVERIFY(!page.cmb_filter->isEnabled());
    QVERIFY(!page.use_filter->isChecked());
    QCOMPARE(page.RG_Thumb_Size_items->checkedId(), 3);
    QCOMPARE(page.edt_user_size->text(), QString("160"));
    QVERIFY(!page.edt_user_size->isReadOnly());
    QCOMPARE(page.RG_Img_Sort_items->checkedId(), 0);
    QVERIFY(!page.Check_EXIF->isChecked() && !page.Check_copy_org->isChecked() && !page.is_grayscale->isChecked());
    QCOMPARE(page.cmb_pixel->currentText(), QString("Device"));
    QCOMPARE(page.cmb_pixel->itemText(1), QString("  1 Bit "));
  }

  void sliders_write_label_and_record() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    page.Track_quality->setFocus();
    QTest::keyClick(page.Track_quality, Qt::Key_Left);
    QCOMPARE(page.Label4->text(), QString("89"));
    QCOMPARE(settings.QualityImages(), 89);
    QTest::keyClick(page.Track_quality, Qt::Key_PageDown);
    QCOMPARE(settings.QualityImages(), 88);
    page.Track_Quality_1->setValue(1);
    QCOMPARE(page.Label11->text(), QString("1"));
    QCOMPARE(settings.QualityThumbnails(), 1);
  }

  void size_boxes_turn_empty_or_zero_into_ten() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    page.Edt_max_width->clear();
    QCOMPARE(page.Edt_max_width->text(), QString("10"));
    page.Edt_max_width->setText("0");
    QCOMPARE(page.Edt_max_width->text(), QString("10"));
    QCOMPARE(settings.MaxWidthImage(), std::string("10"));
    page.edt_max_height->setText("00");
    QCOMPARE(page.edt_max_height->text(), QString("00"));
    page.edt_max_height->setText("0800");
    QCOMPARE(settings.MaxHeightImage(), std::string("0800"));
    page.edt_user_size->clear();
    QCOMPARE(page.edt_user_size->text(), QString("10"));
    page.edt_user_size->setText("x1");
    QCOMPARE(settings.MaxSizeThumbnails(), std::string("x1"));
  }

  void fixed_thumbnail_sizes_fill_the_box_read_only() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    page.RG_Thumb_Size_items->button(1)->click();
    QCOMPARE(page.edt_user_size->text(), QString("140"));
    QVERIFY(page.edt_user_size->isReadOnly());
    QCOMPARE(settings.ThumbSizeChoice(), 1);
    page.RG_Thumb_Size_items->button(3)->click();
    QCOMPARE(page.edt_user_size->text(), QString("140"));
    QVERIFY(!page.edt_user_size->isReadOnly());
    QCOMPARE(settings.ThumbSizeChoice(), 3);
  }

  void filter_box_follows_use_filter() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    page.use_filter->click();
    QVERIFY(settings.UseFilter());
    QVERIFY(page.cmb_filter->isEnabled());
    page.cmb_filter->setCurrentIndex(0);
    QCOMPARE(settings.FilterIndex(), 0);
    page.use_filter->click();
    QVERIFY(!page.cmb_filter->isEnabled());
    QCOMPARE(page.cmb_filter->currentText(), QString("BoxFilter"));
  }

  void name_orders_disable_exif_and_keep_its_tick() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    page.Check_EXIF->click();
    page.RG_Img_Sort_items->button(3)->click();
    QCOMPARE(settings.SortingMethodIndex(), 3);
    QVERIFY(!page.Check_EXIF->isEnabled());
    QVERIFY(page.Check_EXIF->isChecked());
    page.RG_Img_Sort_items->button(1)->click();
    QVERIFY(page.Check_EXIF->isEnabled());
    QVERIFY(settings.UseExif());
  }

  void record_changes_show_on_the_page() {
    GallerySettings settings;
    TFrame_Step_2 page(settings);
    settings.SetQualityImages(42);
    settings.SetThumbSizeChoice(0);
    settings.SetPixelformat(6);
    settings.SetFilterIndex(-1);
    settings.Setisgrayscale(true);
    QCOMPARE(page.Track_quality->value(), 42);
    QCOMPARE(page.Label4->text(), QString("42"));
    QCOMPARE(page.RG_Thumb_Size_items->checkedId(), 0);
    QCOMPARE(page.edt_user_size->text(), QString("120"));
    QCOMPARE(page.cmb_pixel->currentText(), QString("24 Bit"));
    QCOMPARE(page.cmb_filter->currentIndex(), -1);
    QVERIFY(page.is_grayscale->isChecked());
    settings.SetSortingMethodIndex(-1);
    QCOMPARE(page.RG_Img_Sort_items->checkedId(), -1);
  }
};

QTEST_MAIN(Step2Test)
#include "Un_Step_2_test.moc"
