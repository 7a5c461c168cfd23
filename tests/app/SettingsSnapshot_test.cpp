// Tests of the settings snapshot: every field a settings file keeps counts, ElementsMode does not.
#include "app/SettingsSnapshot.h"

#include <QTest>
#include <functional>

#include "core/SettingsFile.h"

using namespace fotoloom;

class SettingsSnapshotTest : public QObject {
  Q_OBJECT
 private slots:
  // One change of each kind of key, and of each optional section and template.
  void every_kept_field_counts() {
    const std::vector<std::pair<const char*, std::function<void(GallerySettings&)>>> changes = {
        {"text", [](GallerySettings& s) { s.SetAdditionalPath("/extra"); }},
        {"integer", [](GallerySettings& s) { s.SetQualityImages(50); }},
        {"yes/no", [](GallerySettings& s) { s.SetUseFilter(true); }},
        {"colour", [](GallerySettings& s) { s.SetLinkColor(Rgb(1, 2, 3)); }},
        {"thumbnail size", [](GallerySettings& s) { s.SetThumbSizeChoice(0); }},
        {"browser start", [](GallerySettings& s) { s.SetAutoBrowserStart(false); }},
        {"update", [](GallerySettings& s) { s.SetUpdateOnlyChanged(true); }},
        {"thumbnail template", [](GallerySettings& s) { s.SetHTMLThumbnails({"<p>"}); }},
        {"image template line",
         [](GallerySettings& s) {
           std::vector<std::string> lines = s.HTMLImages();
           lines.back() += " ";
           s.SetHTMLImages(lines);
         }},
    };
    for (const auto& [what, change] : changes) {
      GallerySettings settings;
      const SettingsSnapshot snapshot(settings);
      QVERIFY2(!snapshot.Differs(settings), what);
      change(settings);
      QVERIFY2(snapshot.Differs(settings), what);
    }
  }

  // A template line moved from one template to the other is a change, and
  // a change undone is none.
  void templates_count_apart_and_undone_changes_do_not() {
    GallerySettings settings;
    settings.SetHTMLThumbnails({"a", "b"});
    settings.SetHTMLImages({});
    SettingsSnapshot snapshot(settings);
    settings.SetHTMLThumbnails({"a"});
    settings.SetHTMLImages({"b"});
    QVERIFY(snapshot.Differs(settings));
    settings.SetHTMLThumbnails({"a", "b"});
    settings.SetHTMLImages({});
    QVERIFY(!snapshot.Differs(settings));

    settings.SetElementsMode(2);  // not kept in a settings file
    QVERIFY(!snapshot.Differs(settings));
    settings.SetTitle("New");
    snapshot.Take(settings);
    QVERIFY(!snapshot.Differs(settings));
  }
};

QTEST_MAIN(SettingsSnapshotTest)
#include "SettingsSnapshot_test.moc"
