#include "core/SettingsFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DefaultTemplates.h"
#include "core/Error.h"
#include "core/IniFile.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

// Loads the text as a settings file into a start-up record.
GallerySettings Load(const std::string& text) {
  TempDir dir;
  WriteFile(dir / "s.fl", text);
  GallerySettings s;
  Read_settings_file(dir / "s.fl", s);
  return s;
}

TEST(SettingsFile, the_start_up_record_is_saved_line_by_line) {
  TempDir dir;
  Write_settings_file(dir / "s.fl", GallerySettings());
  // A section a row.
  // clang-format off
  std::vector<std::string> expected = {
      "[Step1]", "InputPath=", "OutputPath=", "AdditionalPath=", "ThumbPagesName=page", "ImagePagesName=image",
                 "WebSiteExtension=.htm",
      "[Step2]", "QualityImages=90", "MaxWidthImage=800", "MaxHeightImage=600", "FilterIndex=5", "Usefilter=0",
                 "QualityThumbnails=90", "MaxSizeThumbnails=160", "SortingMethodIndex=0", "UseExif=0",
                 "CopyOrgSizedImages=0", "isgrayscale=0", "Pixelformat=0",
      "[Step3]", "BackgroundColor=clWindow", "TextColor=clBlack", "LinkColor=clBlue", "VisitedLinkColor=clPurple",
                 "RowsCount=3", "ColsCount=4", "Title=Place your gallery title here", "SubtitleIndex=2",
      "[Step5]", "AutoBrowserStart=1",
      "[HTMLThumbnails]"};
  // clang-format on
  for (std::size_t i = 0; i < DefaultThumbnailTemplate().size(); ++i)
    expected.push_back("Line" + std::to_string(i) + "=d" + DefaultThumbnailTemplate()[i]);
  expected.push_back("[HTMLImages]");
  for (std::size_t i = 0; i < DefaultImageTemplate().size(); ++i)
    expected.push_back("Line" + std::to_string(i) + "=d" + DefaultImageTemplate()[i]);
  ASSERT_EQ(expected.size(), 32u + 85u + 1u + 62u);

  const std::string text = ReadFile(dir / "s.fl");
  EXPECT_EQ(text, CrLf(expected));
  // Spot checks of the template lines, literal.
  EXPECT_NE(text.find("\r\n[HTMLThumbnails]\r\nLine0=d<!DOCTYPE HTML PUBLIC"), std::string::npos);
  EXPECT_NE(text.find("\r\nLine3=d  <head>\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nLine10=d\t      color:@text_color@;\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nLine84=d</html>\r\n[HTMLImages]\r\nLine0=d<!DOCTYPE"), std::string::npos);
  EXPECT_TRUE(text.ends_with("\r\nLine61=d\r\n"));
  EXPECT_FALSE(text.starts_with("\xEF\xBB\xBF"));
}

TEST(SettingsFile, fixed_thumbnail_choices_and_colours_are_written_as_their_texts) {
  TempDir dir;
  GallerySettings s;
  s.SetThumbSizeChoice(1);
  s.SetBackgroundColor(Rgb(0x40, 0x80, 0xC0));
  s.SetFilterIndex(-1);
  s.SetHTMLThumbnails({});
  s.SetHTMLImages({"", "x"});
  Write_settings_file(dir / "s.fl", s);
  const std::string text = ReadFile(dir / "s.fl");
  EXPECT_NE(text.find("\r\nMaxSizeThumbnails=140\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nBackgroundColor=$00C08040\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nFilterIndex=-1\r\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("[HTMLThumbnails]\r\n[HTMLImages]\r\nLine0=d\r\nLine1=dx\r\n"));
}

TEST(SettingsFile, saving_and_loading_gives_back_every_field) {
  GallerySettings s;
  s.SetInputPath("/photos/in");
  s.SetOutputPath("/www/out dir");
  s.SetAdditionalPath("/extra");
  s.SetThumbPagesName("index");
  s.SetImagePagesName("photo");
  s.SetWebSiteExtension("html");
  s.SetQualityImages(77);
  s.SetMaxWidthImage("00");
  s.SetMaxHeightImage("abc");
  s.SetFilterIndex(2);
  s.SetUseFilter(true);
  s.SetQualityThumbnails(33);
  s.SetMaxSizeThumbnails("200");
  s.SetSortingMethodIndex(3);
  s.SetUseExif(true);  // kept under a name order
  s.SetCopyOrgSizedImages(true);
  s.Setisgrayscale(true);
  s.SetPixelformat(7);
  s.SetBackgroundColor(Rgb(1, 2, 3));
  s.SetTextColor(SystemColor(8));
  s.SetLinkColor(0x1FFFFFFF);
  s.SetVisitedLinkColor(kClBlack);
  s.SetRowsCount("-2");
  s.SetColsCount("x");
  s.SetTitle("My = Gallery");
  s.SetSubtitleIndex(-1);
  s.SetAutoBrowserStart(false);
  s.SetHTMLThumbnails({"\t<p>", "  two", "", "=d"});
  s.SetHTMLImages({"one"});

  TempDir dir;
  Write_settings_file(dir / "s.fl", s);
  GallerySettings r;
  r.SetElementsMode(2);
  Read_settings_file(dir / "s.fl", r);
  EXPECT_EQ(r.InputPath(), "/photos/in");
  EXPECT_EQ(r.OutputPath(), "/www/out dir");
  EXPECT_EQ(r.AdditionalPath(), "/extra");
  EXPECT_EQ(r.ThumbPagesName(), "index");
  EXPECT_EQ(r.ImagePagesName(), "photo");
  EXPECT_EQ(r.WebSiteExtension(), "html");
  EXPECT_EQ(r.QualityImages(), 77);
  EXPECT_EQ(r.MaxWidthImage(), "00");
  EXPECT_EQ(r.MaxHeightImage(), "abc");
  EXPECT_EQ(r.FilterIndex(), 2);
  EXPECT_TRUE(r.UseFilter());
  EXPECT_EQ(r.QualityThumbnails(), 33);
  EXPECT_EQ(r.ThumbSizeChoice(), 3);
  EXPECT_EQ(r.MaxSizeThumbnails(), "200");
  EXPECT_EQ(r.SortingMethodIndex(), 3);
  EXPECT_TRUE(r.UseExif());
  EXPECT_TRUE(r.CopyOrgSizedImages());
  EXPECT_TRUE(r.isgrayscale());
  EXPECT_EQ(r.Pixelformat(), 7);
  EXPECT_EQ(r.BackgroundColor(), Rgb(1, 2, 3));
  EXPECT_EQ(r.TextColor(), SystemColor(8));
  EXPECT_EQ(r.LinkColor(), 0x1FFFFFFFu);
  EXPECT_EQ(r.VisitedLinkColor(), kClBlack);
  EXPECT_EQ(r.RowsCount(), "-2");
  EXPECT_EQ(r.ColsCount(), "x");
  EXPECT_EQ(r.Title(), "My = Gallery");
  EXPECT_EQ(r.SubtitleIndex(), -1);
  EXPECT_FALSE(r.AutoBrowserStart());
  EXPECT_THAT(r.HTMLThumbnails(), ElementsAre("\t<p>", "  two", "", "=d"));
  EXPECT_THAT(r.HTMLImages(), ElementsAre("one"));
  EXPECT_EQ(r.ElementsMode(), 2);  // not part of the file
}

TEST(SettingsFile, the_default_templates_survive_a_round_trip) {
  TempDir dir;
  Write_settings_file(dir / "s.fl", GallerySettings());
  GallerySettings r;
  r.SetHTMLThumbnails({});
  r.SetHTMLImages({});
  Read_settings_file(dir / "s.fl", r);
  EXPECT_EQ(r.HTMLThumbnails(), DefaultThumbnailTemplate());
  EXPECT_EQ(r.HTMLImages(), DefaultImageTemplate());
}

TEST(SettingsFile, a_round_trip_normalises_sizes_and_trims_texts) {
  GallerySettings s;
  s.SetMaxSizeThumbnails("0150");
  s.SetTitle("  \"Quoted\"\t");
  s.SetHTMLImages({"  kept leading, lost trailing \t "});
  TempDir dir;
  Write_settings_file(dir / "s.fl", s);
  GallerySettings r;
  Read_settings_file(dir / "s.fl", r);
  EXPECT_EQ(r.ThumbSizeChoice(), 3);
  EXPECT_EQ(r.MaxSizeThumbnails(), "150");
  EXPECT_EQ(r.Title(), "Quoted");
  EXPECT_THAT(r.HTMLImages(), ElementsAre("  kept leading, lost trailing"));

  s.SetMaxSizeThumbnails("140");  // user defined, but one of the fixed sizes
  Write_settings_file(dir / "s.fl", s);
  Read_settings_file(dir / "s.fl", r);
  EXPECT_EQ(r.ThumbSizeChoice(), 1);
  EXPECT_EQ(r.MaxSizeThumbnails(), "140");
}

TEST(SettingsFile, numbers_are_read_with_fallbacks_and_clamped) {
  EXPECT_EQ(Load("[Step2]\r\nQualityImages=0x20\r\n").QualityImages(), 32);
  EXPECT_EQ(Load("[Step2]\r\nQualityImages=0\r\n").QualityImages(), 1);
  EXPECT_EQ(Load("[Step2]\r\nQualityImages=abc\r\n").QualityImages(), 90);
  EXPECT_EQ(Load("[Step2]\r\nQualityThumbnails=500\r\n").QualityThumbnails(), 100);
  EXPECT_EQ(Load("[Step3]\r\nSubtitleIndex=7\r\n").SubtitleIndex(), 4);
  EXPECT_EQ(Load("[Step2]\r\nFilterIndex=-1\r\n").FilterIndex(), -1);
  EXPECT_EQ(Load("[Step2]\r\nFilterIndex=9\r\n").FilterIndex(), -1);
  EXPECT_EQ(Load("[Step2]\r\nSortingMethodIndex=$2\r\n").SortingMethodIndex(), 2);
}

TEST(SettingsFile, the_thumbnail_size_rule_picks_the_choice_from_the_number) {
  const auto check = [](const std::string& value, int choice, const std::string& text) {
    const GallerySettings s = Load("[Step2]\r\nMaxSizeThumbnails=" + value + "\r\n");
    EXPECT_EQ(s.ThumbSizeChoice(), choice) << value;
    EXPECT_EQ(s.MaxSizeThumbnails(), text) << value;
  };
  check("120", 0, "120");
  check("140", 1, "140");
  check("160", 2, "160");
  check("abc", 2, "160");
  check("0150", 3, "150");
  check("0", 3, "10");
  check("-5", 3, "-5");
  check("0x20", 3, "32");
  EXPECT_EQ(Load("").ThumbSizeChoice(), 2);
}

TEST(SettingsFile, texts_follow_the_record_rules) {
  const GallerySettings s = Load(
      "[Step1]\r\nThumbPagesName=\r\nImagePagesName=\r\nInputPath=\r\n"
      "[Step2]\r\nMaxWidthImage=0\r\nMaxHeightImage=\r\n");
  EXPECT_EQ(s.ThumbPagesName(), "page");
  EXPECT_EQ(s.ImagePagesName(), "image");
  EXPECT_EQ(s.InputPath(), "");
  EXPECT_EQ(s.MaxWidthImage(), "10");
  EXPECT_EQ(s.MaxHeightImage(), "10");
}

TEST(SettingsFile, the_filter_switch_is_found_in_any_letter_case) {
  for (const char* key : {"Usefilter", "USEFILTER", "UseFilter"})
    EXPECT_TRUE(Load(std::string("[STEP2]\r\n") + key + "=1\r\n").UseFilter()) << key;
  EXPECT_FALSE(Load("[Step2]\r\nUseFilter=2\r\n").UseFilter());
}

TEST(SettingsFile, missing_keys_turn_the_switches_on_and_the_colours_to_the_window_colour) {
  const GallerySettings s = Load("[Step2]\r\nQualityImages=50\r\n");
  EXPECT_TRUE(s.UseExif());
  EXPECT_TRUE(s.CopyOrgSizedImages());
  EXPECT_TRUE(s.isgrayscale());
  EXPECT_FALSE(s.UseFilter());
  EXPECT_EQ(s.BackgroundColor(), kClWindow);
  EXPECT_EQ(s.TextColor(), kClWindow);
  EXPECT_EQ(s.LinkColor(), kClWindow);
  EXPECT_EQ(s.VisitedLinkColor(), kClWindow);
}

TEST(SettingsFile, template_lines_lose_the_prefix_of_their_position_not_of_their_key) {
  const GallerySettings s = Load("[HTMLThumbnails]\r\nLine0=dA\r\nLine10=dB\r\n[HTMLImages]\r\nLine0=\r\nX=d\r\n");
  EXPECT_THAT(s.HTMLThumbnails(), ElementsAre("A", "dB"));
  EXPECT_THAT(s.HTMLImages(), ElementsAre("", ""));
}

TEST(SettingsFile, long_values_and_long_templates_are_read_in_full) {
  GallerySettings s;
  const std::string longTitle(3000, 't');
  s.SetTitle(longTitle);
  std::vector<std::string> lines;
  for (int i = 0; i < 2500; ++i) lines.push_back("<p>" + std::to_string(i) + "</p>");
  s.SetHTMLThumbnails(lines);
  TempDir dir;
  Write_settings_file(dir / "s.fl", s);
  GallerySettings r;
  Read_settings_file(dir / "s.fl", r);
  EXPECT_EQ(r.Title(), longTitle);
  EXPECT_EQ(r.HTMLThumbnails(), lines);
}

TEST(SettingsFile, a_missing_file_resets_every_field_to_its_fallback_and_empties_the_templates) {
  GallerySettings s;
  s.SetTitle("Old");
  s.SetElementsMode(1);
  s.SetTextColor(kClBlue);
  s.SetQualityImages(10);
  int previews = 0;
  TempDir dir;
  Read_settings_file(dir / "none.fl", s, [&] { ++previews; });
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(s.Title(), "Place your gallery title here");
  EXPECT_EQ(s.QualityImages(), 90);
  EXPECT_EQ(s.TextColor(), kClWindow);
  EXPECT_EQ(s.ThumbSizeChoice(), 2);
  EXPECT_TRUE(s.UseExif());
  EXPECT_TRUE(s.AutoBrowserStart());
  EXPECT_TRUE(s.HTMLThumbnails().empty());
  EXPECT_TRUE(s.HTMLImages().empty());
  EXPECT_EQ(s.ElementsMode(), 1);
}

TEST(SettingsFile, a_bad_colour_stops_the_load_and_keeps_what_was_read_before_it) {
  GallerySettings s;
  s.SetTitle("Old title");
  s.SetRowsCount("7");
  s.SetHTMLImages({"old"});
  std::vector<SettingsField> notified;
  s.Subscribe([&](SettingsField f) { notified.push_back(f); });
  TempDir dir;
  WriteFile(dir / "s.fl",
            "[Step1]\r\nInputPath=/new\r\n[Step2]\r\nQualityImages=50\r\n[Step3]\r\nBackgroundColor=clRed\r\n"
            "TextColor=  reddish \r\nLinkColor=clLime\r\nRowsCount=9\r\nTitle=New title\r\n"
            "[HTMLImages]\r\nLine0=dnew\r\n");
  int previews = 0;
  try {
    Read_settings_file(dir / "s.fl", s, [&] { ++previews; });
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'reddish' is not a valid integer value");
  }
  EXPECT_EQ(s.InputPath(), "/new");
  EXPECT_EQ(s.QualityImages(), 50);
  EXPECT_EQ(s.BackgroundColor(), 0x0000FFu);
  EXPECT_EQ(s.TextColor(), kClBlack);
  EXPECT_EQ(s.LinkColor(), kClBlue);
  EXPECT_EQ(s.RowsCount(), "7");
  EXPECT_EQ(s.Title(), "Old title");
  EXPECT_THAT(s.HTMLImages(), ElementsAre("old"));
  EXPECT_EQ(previews, 0);
  EXPECT_EQ(notified.back(), SettingsField::BackgroundColor);
}

TEST(SettingsFile, a_file_that_cannot_be_created_raises_the_reason_and_writes_nothing) {
  TempDir dir;
  const std::string path = dir / "missing/s.fl";
  try {
    Write_settings_file(path, GallerySettings());
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(SettingsKeys, are_found_in_any_letter_case_and_leave_out_the_template_lines) {
  ASSERT_EQ(SettingsKeys().size(), 27u);
  EXPECT_EQ(FindSettingsKey("UseFilter"), FindSettingsKey("usefilter"));
  ASSERT_NE(FindSettingsKey("USEFILTER"), nullptr);
  EXPECT_EQ(FindSettingsKey("USEFILTER")->Name, "Usefilter");
  EXPECT_EQ(FindSettingsKey("backgroundcolor")->Kind, SettingsValueKind::ColorValue);
  EXPECT_EQ(FindSettingsKey("MaxSizeThumbnails")->Kind, SettingsValueKind::ThumbnailSize);
  EXPECT_EQ(FindSettingsKey("Line0"), nullptr);
  EXPECT_EQ(FindSettingsKey("HTMLThumbnails"), nullptr);
  EXPECT_EQ(FindSettingsKey("ElementsMode"), nullptr);
  EXPECT_EQ(FindSettingsKey(""), nullptr);
}

// Storing one value into a loaded record gives the record that loading the
// file with that one line changed gives; a value not taken changes nothing.
TEST(SettingsKeys, storing_a_value_is_loading_a_file_with_that_line) {
  TempDir dir;
  Write_settings_file(dir / "base.fl", GallerySettings());
  const std::string base = ReadFile(dir / "base.fl");
  struct Case {
    std::string_view key;
    std::string line;  // the value as it stands after "=" in the file
    bool taken;
  };
  const Case cases[] = {
      {"QualityImages", "0x20", true},
      {"QualityImages", "500", true},
      {"qualityimages", " 42 ", true},
      {"QualityImages", "abc", false},
      {"QualityImages", "", false},
      {"QualityImages", "4 2", false},
      {"Usefilter", "1", true},
      {"UseFilter", "2", true},
      {"UseExif", "$1", true},
      {"Usefilter", "yes", false},
      {"MaxSizeThumbnails", "140", true},
      {"MaxSizeThumbnails", "0150", true},
      {"MaxSizeThumbnails", "big", false},
      {"FilterIndex", "9", true},
      {"SubtitleIndex", "-3", true},
      {"BackgroundColor", "clblack", true},
      {"TextColor", "$00C08040", true},
      {"LinkColor", "-1", true},
      {"VisitedLinkColor", "reddish", false},
      {"Title", "'A quoted title'", true},
      {"Title", "", true},
      {"ThumbPagesName", "", true},
      {"MaxWidthImage", "abc", true},
      {"RowsCount", " 0 ", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.line);
    const SettingsKey* key = FindSettingsKey(c.key);
    ASSERT_NE(key, nullptr);
    GallerySettings stored;
    Read_settings_file(dir / "base.fl", stored);
    EXPECT_EQ(StoreSettingsValue(*key, IniValueText(c.line), stored), c.taken);
    Write_settings_file(dir / "stored.fl", stored);
    if (!c.taken) {
      EXPECT_EQ(ReadFile(dir / "stored.fl"), base);
      continue;
    }
    const std::string name = "\r\n" + std::string(key->Name) + "=";
    std::string edited = base;
    const std::size_t at = edited.find(name) + name.size();
    edited.replace(at, edited.find("\r\n", at) - at, c.line);
    WriteFile(dir / "edited.fl", edited);
    GallerySettings loaded;
    Read_settings_file(dir / "edited.fl", loaded);
    Write_settings_file(dir / "loaded.fl", loaded);
    EXPECT_EQ(ReadFile(dir / "stored.fl"), ReadFile(dir / "loaded.fl"));
  }
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

TEST(SettingsFile, the_update_switch_is_a_section_of_its_own_written_only_when_on) {
  test::TempDir dir;
  GallerySettings s;
  Write_settings_file(dir / "off.fl", s);
  s.SetUpdateOnlyChanged(true);
  Write_settings_file(dir / "on.fl", s);
  const std::string off = test::ReadFile(dir / "off.fl");
  EXPECT_EQ(test::ReadFile(dir / "on.fl"), off + "[Update]\r\nOnlyChanged=yes\r\n");
  EXPECT_EQ(off.find("Update"), std::string::npos);

  GallerySettings loaded;
  Read_settings_file(dir / "on.fl", loaded);
  EXPECT_TRUE(loaded.UpdateOnlyChanged());
  Read_settings_file(dir / "off.fl", loaded);
  EXPECT_FALSE(loaded.UpdateOnlyChanged());
  for (const auto& [value, on] : std::vector<std::pair<std::string, bool>>{
           {"YES", true}, {"1", true}, {"no", false}, {"2", false}, {"maybe", false}}) {
    test::WriteFile(dir / "x.fl", off + "[update]\r\nonlychanged=" + value + "\r\n");
    Read_settings_file(dir / "x.fl", loaded);
    EXPECT_EQ(loaded.UpdateOnlyChanged(), on) << value;
  }
  // Not among the keys --set takes: the run's --update is its command-line form.
  EXPECT_EQ(FindSettingsKey("OnlyChanged"), nullptr);
  ASSERT_EQ(OptionalSettingsKeys().size(), 8u);
  EXPECT_EQ(OptionalSettingsKeys()[0].Section, "Update");
}

TEST(SettingsFile, albums_are_a_section_written_only_when_on_and_set_by_its_name) {
  test::TempDir dir;
  GallerySettings s;
  Write_settings_file(dir / "off.fl", s);
  s.SetIncludeSubfolders(true);
  Write_settings_file(dir / "on.fl", s);
  const std::string off = test::ReadFile(dir / "off.fl");
  EXPECT_EQ(test::ReadFile(dir / "on.fl"), off + "[Albums]\r\nEnabled=1\r\n");
  s.SetUpdateOnlyChanged(true);
  Write_settings_file(dir / "both.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "both.fl"), off + "[Update]\r\nOnlyChanged=yes\r\n[Albums]\r\nEnabled=1\r\n");
  // With the location switch the sections follow in their table's order.
  s.SetStripLocation(true);
  Write_settings_file(dir / "all.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "all.fl"), off +
                                                "[Update]\r\nOnlyChanged=yes\r\n[Privacy]\r\nStripLocation=1\r\n"
                                                "[Albums]\r\nEnabled=1\r\n");
  s.SetOtherFormats(true);
  Write_settings_file(dir / "formats.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "formats.fl"),
            off +
                "[Update]\r\nOnlyChanged=yes\r\n[Privacy]\r\nStripLocation=1\r\n[Formats]\r\nOtherFormats=1\r\n"
                "[Albums]\r\nEnabled=1\r\n");

  GallerySettings loaded;
  Read_settings_file(dir / "formats.fl", loaded);
  EXPECT_TRUE(loaded.OtherFormats() && loaded.IncludeSubfolders());
  Read_settings_file(dir / "on.fl", loaded);
  EXPECT_TRUE(loaded.IncludeSubfolders());
  Read_settings_file(dir / "off.fl", loaded);
  EXPECT_FALSE(loaded.IncludeSubfolders());
  for (const auto& [value, on] : std::vector<std::pair<std::string, bool>>{
           {"yes", true}, {"1", true}, {"NO", false}, {"0", false}, {"2", false}, {"", false}}) {
    test::WriteFile(dir / "x.fl", off + "[albums]\r\nenabled=" + value + "\r\n");
    Read_settings_file(dir / "x.fl", loaded);
    EXPECT_EQ(loaded.IncludeSubfolders(), on) << value;
  }
  // --set finds the switch by its section's name, not by its key.
  const SettingsKey* albums = FindSettingsKey("albums");
  ASSERT_NE(albums, nullptr);
  EXPECT_EQ(albums->Section, "Albums");
  EXPECT_EQ(SettingsKeyCommandName(*albums), "Albums");
  EXPECT_EQ(SettingsKeyCommandName(*FindSettingsKey("usefilter")), "Usefilter");
  EXPECT_EQ(FindSettingsKey("Enabled"), nullptr);
  EXPECT_EQ(FindSettingsKey("Update"), nullptr);
}

TEST(SettingsFile, the_location_switch_is_a_privacy_section_written_only_when_on) {
  test::TempDir dir;
  GallerySettings s;
  Write_settings_file(dir / "off.fl", s);
  const std::string off = test::ReadFile(dir / "off.fl");
  s.SetStripLocation(true);
  Write_settings_file(dir / "on.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "on.fl"), off + "[Privacy]\r\nStripLocation=1\r\n");
  s.SetUpdateOnlyChanged(true);
  Write_settings_file(dir / "both.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "both.fl"), off + "[Update]\r\nOnlyChanged=yes\r\n[Privacy]\r\nStripLocation=1\r\n");

  GallerySettings loaded;
  for (const auto& [value, on] : std::vector<std::pair<std::string, bool>>{
           {"1", true}, {"yes", true}, {"YES", true}, {"0", false}, {"no", false}, {"2", false}, {"maybe", false}}) {
    test::WriteFile(dir / "x.fl", off + "[privacy]\r\nstriplocation=" + value + "\r\n");
    Read_settings_file(dir / "x.fl", loaded);
    EXPECT_EQ(loaded.StripLocation(), on) << value;
  }
  Read_settings_file(dir / "on.fl", loaded);
  EXPECT_TRUE(loaded.StripLocation());
  Read_settings_file(dir / "off.fl", loaded);
  EXPECT_FALSE(loaded.StripLocation());
  // --set takes it, as it takes the keys of the fixed sections.
  const SettingsKey* key = FindSettingsKey("striplocation");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->Name, "StripLocation");
  EXPECT_TRUE(StoreSettingsValue(*key, "1", loaded));
  EXPECT_TRUE(loaded.StripLocation());
}

TEST(SettingsFile, skipping_bad_photos_is_a_run_section_written_only_when_on) {
  test::TempDir dir;
  GallerySettings s;
  Write_settings_file(dir / "off.fl", s);
  s.SetSkipBadPhotos(true);
  Write_settings_file(dir / "on.fl", s);
  const std::string off = test::ReadFile(dir / "off.fl");
  EXPECT_EQ(test::ReadFile(dir / "on.fl"), off + "[Run]\r\nSkipBadPhotos=1\r\n");
  s.SetUpdateOnlyChanged(true);
  Write_settings_file(dir / "both.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "both.fl"), off + "[Update]\r\nOnlyChanged=yes\r\n[Run]\r\nSkipBadPhotos=1\r\n");

  GallerySettings loaded;
  EXPECT_TRUE(Read_settings_file(dir / "both.fl", loaded));
  EXPECT_TRUE(loaded.SkipBadPhotos());
  EXPECT_TRUE(loaded.UpdateOnlyChanged());
  Read_settings_file(dir / "off.fl", loaded);
  EXPECT_FALSE(loaded.SkipBadPhotos());
  test::WriteFile(dir / "x.fl", off + "[run]\r\nskipbadphotos=yes\r\n");
  Read_settings_file(dir / "x.fl", loaded);
  EXPECT_TRUE(loaded.SkipBadPhotos());
  EXPECT_EQ(FindSettingsKey("SkipBadPhotos"), nullptr);
}

// The three screen switches share one section, written only with a switch on
// and holding only the keys that are on, in the table's order.
TEST(SettingsFile, the_screen_switches_share_one_section_written_only_when_on) {
  test::TempDir dir;
  GallerySettings s;
  Write_settings_file(dir / "off.fl", s);
  const std::string off = test::ReadFile(dir / "off.fl");
  s.SetZip(true);
  Write_settings_file(dir / "zip.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "zip.fl"), off + "[Screens]\r\nZip=1\r\n");
  s.SetThumbnails2x(true);
  s.SetWebP(true);
  s.SetOtherFormats(true);
  Write_settings_file(dir / "all.fl", s);
  EXPECT_EQ(test::ReadFile(dir / "all.fl"),
            off + "[Formats]\r\nOtherFormats=1\r\n[Screens]\r\nThumbnails2x=1\r\nWebP=1\r\nZip=1\r\n");

  GallerySettings loaded;
  ASSERT_TRUE(Read_settings_file(dir / "all.fl", loaded));
  EXPECT_TRUE(loaded.Thumbnails2x());
  EXPECT_TRUE(loaded.WebP());
  EXPECT_TRUE(loaded.Zip());
  // A copy of the record keeps them.
  EXPECT_TRUE(GallerySettings(loaded).WebP());
  Read_settings_file(dir / "off.fl", loaded);
  EXPECT_FALSE(loaded.Thumbnails2x() || loaded.WebP() || loaded.Zip());
  test::WriteFile(dir / "x.fl", off + "[screens]\r\nwebp=yes\r\nzip=2\r\n");
  Read_settings_file(dir / "x.fl", loaded);
  EXPECT_FALSE(loaded.Thumbnails2x());
  EXPECT_TRUE(loaded.WebP());
  EXPECT_FALSE(loaded.Zip());

  // --set takes each of them.
  for (const std::string_view name : {"thumbnails2x", "WEBP", "zip"}) {
    const SettingsKey* key = FindSettingsKey(name);
    ASSERT_NE(key, nullptr) << name;
    EXPECT_EQ(key->Section, "Screens");
    EXPECT_TRUE(StoreSettingsValue(*key, "yes", loaded));
  }
  EXPECT_TRUE(loaded.Thumbnails2x() && loaded.WebP() && loaded.Zip());
}

// Files from which no known key can be read load the fallbacks as before, and say so.
TEST(SettingsFile, tells_whether_any_known_key_was_read) {
  test::TempDir dir;
  Write_settings_file(dir / "saved.fl", GallerySettings());
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[Step1]\r\nInputPath=/photos\r\n")) utf16 += std::string{c, '\0'};
  const struct {
    std::string name;
    std::string bytes;
    bool known;
  } cases[] = {
      {"empty.fl", "", false},
      {"utf16.fl", utf16, false},
      {"binary.fl", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), false},
      {"nul-in-key.fl", std::string("[Step1]\r\nInput\0Path=/photos\r\n", 29), false},
      {"foreign.fl", "[Other]\r\nInputPath=/photos\r\n", false},
      {"one-key.fl", "[step3]\r\ntitle=Trip\r\n", true},
      {"template-only.fl", "[HTMLImages]\r\nLine0=d<p>\r\n", true},
      {"update-only.fl", "[Update]\r\nOnlyChanged=no\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteFile(dir / c.name, c.bytes);
    GallerySettings loaded;
    EXPECT_EQ(Read_settings_file(dir / c.name, loaded), c.known);
  }
  GallerySettings loaded;
  EXPECT_FALSE(Read_settings_file(dir / "missing.fl", loaded));
  EXPECT_TRUE(Read_settings_file(dir / "saved.fl", loaded));
  EXPECT_EQ(NoSettingsReadWarning("/x/a.fl"),
            "No setting could be read from \"/x/a.fl\": it is empty or not a settings file. Every option takes its "
            "value for a missing key.");
}

}  // namespace
}  // namespace fotoloom
