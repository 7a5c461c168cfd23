// fotoloom-cli end to end: the program started as a user's script starts it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CliProcess.h"
#include "MetadataFixtures.h"
#include "core/GallerySettings.h"
#include "core/SettingsFile.h"
#include "core/TemplateSets.h"
#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "support/Photos.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::CliProcess;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Jpeg(int width, int height) {
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.pixel(x, y);
      p[0] = std::uint8_t(x);
      p[1] = std::uint8_t(y);
      p[2] = std::uint8_t(x ^ y);
    }
  JpegCodec codec;
  codec.Quality = 85;
  std::string jpeg;
  codec.Encode(image, jpeg);
  return jpeg;
}

// count photos as p001.jpg, p002.jpg, ...
void WritePhotos(const std::string& folder, int count, int width = 40, int height = 30) {
  test::WritePhotos(folder, count, {.NameFormat = "p%03d.jpg", .Width = width, .Height = height});
}

std::size_t Count(const std::string& folder, const std::string& prefix) {
  std::size_t n = 0;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().rfind(prefix, 0) == 0) ++n;
  return n;
}

TEST(fotoloom_cli, help_and_version_and_bad_usage) {
  const auto help = RunCli({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_THAT(help.Out, HasSubstr("fotoloom-cli run [SETTINGS.fl]"));
  const auto version = RunCli({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out, "fotoloom-cli 1.0\n");

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"build"},
                                             {"run", "--colour"},
                                             {"run", "a.fl", "b.fl"},
                                             {"run", "--jobs", "0"},
                                             {"run", "--output"},
                                             {"defaults"},
                                             {"resave", "a.fl"},
                                             {"resample", "a.jpg", "b.ppm", "--size", "10x10"}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.Status, 2) << ::testing::PrintToString(args);
    EXPECT_THAT(r.Err, EndsWith("Try 'fotoloom-cli --help'.\n"));
  }
}

TEST(fotoloom_cli, run_creates_a_missing_output_folder_only_with_yes) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 3);
  const std::string out = dir / "out";

  const auto refused = RunCli({"run", "--input", dir / "in", "--output", out});
  EXPECT_EQ(refused.Status, 1);
  EXPECT_THAT(refused.Err, StartsWith("Output folder \"" + out + "\" is not exist. Do you want to create it now ?\n"));
  EXPECT_FALSE(fs::exists(out));

  const auto made = RunCli({"run", "--input=" + dir / "in", "--output=" + out, "--yes", "--jobs", "2"});
  EXPECT_EQ(made.Status, 0) << made.Err;
  EXPECT_THAT(made.Err, HasSubstr("Found : 3\n"));
  EXPECT_THAT(made.Err, HasSubstr("Creating Thumbnailpage 1/1, Creating Imagepage 3/3\n"));
  EXPECT_THAT(made.Err, HasSubstr("Creating Scaling Image 3/3\nCreating Thumbnail Image 3/3\n"));
  EXPECT_THAT(made.Err, EndsWith("First page: " + out + "/page1.htm\n"));
  EXPECT_EQ(Count(out, "t_"), 3u);

  // Quiet prints nothing on success; --elements 2 writes only pages.
  const auto quiet =
      RunCli({"run", "--input", dir / "in", "--output", dir / "pages-only", "--yes", "--quiet", "--elements", "2"});
  EXPECT_EQ(quiet.Status, 0);
  EXPECT_EQ(quiet.Err, "");
  EXPECT_EQ(Count(dir / "pages-only", "image"), 3u);
  EXPECT_EQ(Count(dir / "pages-only", "n_"), 0u);
}

TEST(fotoloom_cli, run_reads_a_settings_file_and_lets_options_override_it) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "out");
  WritePhotos(dir / "in", 5);
  GallerySettings s;
  s.SetInputPath(dir / "nowhere");
  s.SetOutputPath(dir / "out");
  s.SetThumbPagesName("index");
  s.SetRowsCount("1");
  s.SetColsCount("2");
  s.SetAutoBrowserStart(true);  // ignored: only --open opens
  Write_settings_file(dir / "g.fl", s);

  // A fake opener on PATH records what it is asked to open.
  fs::create_directories(dir.path() / "bin");
  WriteFile(dir / "bin/xdg-open", "#!/bin/sh\necho \"$1\" >> \"" + dir / "opened" + "\"\n");
  ::chmod((dir / "bin/xdg-open").c_str(), 0755);

  const auto r = RunCli({"run", dir / "g.fl", "--input", dir / "in", "--elements", "1"}, dir / "bin");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Count(dir / "out", "index"), 3u);
  EXPECT_EQ(Count(dir / "out", "t_"), 2u);
  EXPECT_FALSE(fs::exists(dir / "opened"));

  const auto opened = RunCli({"run", dir / "g.fl", "--input", dir / "in", "--open", "--quiet"}, dir / "bin");
  EXPECT_EQ(opened.Status, 0) << opened.Err;
  EXPECT_EQ(ReadFile(dir / "opened"), dir / "out" + "/index1.htm\n");

  const auto missing = RunCli({"run", dir / "missing.fl"});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_THAT(missing.Err, StartsWith("Cannot open file \"" + dir / "missing.fl" + "\"."));
}

TEST(fotoloom_cli, run_fails_with_the_message_of_the_run) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "out");

  const auto noInput = RunCli({"run", "--input", dir / "nope", "--output", dir / "out"});
  EXPECT_EQ(noInput.Status, 1);
  EXPECT_EQ(noInput.Err, "Incorrect path for input : " + dir / "nope" + "\n");

  const auto noImages = RunCli({"run", "--input", dir / "in", "--output", dir / "out", "--quiet"});
  EXPECT_EQ(noImages.Status, 1);
  EXPECT_EQ(noImages.Err, "No Images Could be found\n");

  const auto noParent = RunCli({"run", "--input", dir / "in", "--output", dir / "a/b", "--yes", "--quiet"});
  EXPECT_EQ(noParent.Status, 1);
  EXPECT_EQ(noParent.Err, "Invalid filename\n");

  // A broken photo: its path on one line, the codec's message on the next.
  WritePhotos(dir / "in", 2);
  WriteFile(dir / "in/p002.jpg", "broken");
  const auto broken = RunCli({"run", "--input", dir / "in", "--output", dir / "out", "--quiet"});
  EXPECT_EQ(broken.Status, 1);
  EXPECT_THAT(broken.Err, StartsWith(dir / "in" + "/p002.jpg:\nJPEG error #"));
}

TEST(fotoloom_cli, ctrl_c_stops_the_run_and_keeps_what_was_written) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "out");
  WritePhotos(dir / "in", 60, 1600, 1200);
  // The filtered stretch makes each photo take a while, so the run is surely
  // still going when the signal arrives.
  GallerySettings s;
  s.SetUseFilter(true);
  Write_settings_file(dir / "slow.fl", s);

  CliProcess run({"run", dir / "slow.fl", "--input", dir / "in", "--output", dir / "out", "--jobs", "1"});
  // Wait until the scaled images are being written, then press Ctrl-C.
  const std::string first = dir / "out/n_p001.jpg";
  while (run.Running() && !fs::exists(first)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_TRUE(run.Running()) << "the run ended before it could be interrupted";
  run.Signal(SIGINT);
  EXPECT_EQ(run.Wait(), 130) << run.Err();
  EXPECT_THAT(run.Err(), EndsWith("Interrupted; what was written stays.\n"));
  EXPECT_TRUE(fs::exists(first));
  EXPECT_EQ(Count(dir / "out", "image"), 60u);
  EXPECT_LT(Count(dir / "out", "n_"), 60u);
  EXPECT_EQ(Count(dir / "out", "t_"), 0u);
  EXPECT_EQ(Count(dir / "out", "."), 0u);  // no temporary file of any kind is left
}

TEST(fotoloom_cli, defaults_and_resave_write_settings_files) {
  TempDir dir;
  EXPECT_EQ(RunCli({"defaults", dir / "start.fl"}).Status, 0);
  Write_settings_file(dir / "expected.fl", GallerySettings());
  EXPECT_EQ(ReadFile(dir / "start.fl"), ReadFile(dir / "expected.fl"));

  // A hand-edited file comes back in the program's own layout.
  std::string edited = ReadFile(dir / "start.fl");
  edited.replace(edited.find("RowsCount=3"), 11, "  rowscount = \"5\"");
  WriteFile(dir / "edited.fl", edited);
  EXPECT_EQ(RunCli({"resave", dir / "edited.fl", dir / "clean.fl"}).Status, 0);
  GallerySettings five;
  five.SetRowsCount("5");
  Write_settings_file(dir / "expected5.fl", five);
  EXPECT_EQ(ReadFile(dir / "clean.fl"), ReadFile(dir / "expected5.fl"));

  const auto missing = RunCli({"resave", dir / "none.fl", dir / "x.fl"});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_FALSE(fs::exists(dir / "x.fl"));
}

TEST(fotoloom_cli, defaults_writes_the_chosen_template_set) {
  TempDir dir;
  EXPECT_EQ(RunCli({"defaults", "--templates", "classic", dir / "classic.fl"}).Status, 0);
  Write_settings_file(dir / "expected.fl", GallerySettings());
  EXPECT_EQ(ReadFile(dir / "classic.fl"), ReadFile(dir / "expected.fl"));

  EXPECT_EQ(RunCli({"defaults", dir / "responsive.fl", "--templates=responsive"}).Status, 0);
  GallerySettings responsive;
  UseTemplateSet(responsive, 1);
  Write_settings_file(dir / "expected.fl", responsive);
  EXPECT_EQ(ReadFile(dir / "responsive.fl"), ReadFile(dir / "expected.fl"));

  const auto wrong = RunCli({"defaults", "--templates", "modern", dir / "modern.fl"});
  EXPECT_EQ(wrong.Status, 2);
  EXPECT_THAT(wrong.Err, HasSubstr("--templates needs classic or responsive, not 'modern'"));
  EXPECT_FALSE(fs::exists(dir / "modern.fl"));
}

TEST(fotoloom_cli, resample_writes_a_ppm_of_the_asked_size) {
  TempDir dir;
  // A flat grey PPM stays flat under the box filter.
  std::string ppm = "P6\n# grey\n4 2\n255\n" + std::string(4 * 2 * 3, char(100));
  WriteFile(dir / "in.ppm", ppm);
  const auto r = RunCli({"resample", dir / "in.ppm", dir / "out.ppm", "--filter", "0", "--size", "2x1"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadFile(dir / "out.ppm"), "P6\n2 1\n255\n" + std::string(6, char(100)));

  WriteFile(dir / "in.jpg", Jpeg(64, 48));
  EXPECT_EQ(RunCli({"resample", dir / "in.jpg", dir / "j.ppm", "--filter=5", "--size=16x12"}).Status, 0);
  EXPECT_THAT(ReadFile(dir / "j.ppm"), StartsWith("P6\n16 12\n255\n"));
  EXPECT_EQ(ReadFile(dir / "j.ppm").size(), 13u + 16 * 12 * 3);

  EXPECT_EQ(RunCli({"resample", dir / "in.jpg", dir / "k.ppm", "--filter", "7", "--size", "16x12"}).Status, 2);
  const auto broken = RunCli({"resample", dir / "out.ppm", dir / "k.ppm", "--filter", "1", "--size", "0x12"});
  EXPECT_EQ(broken.Status, 2);
  WriteFile(dir / "bad.jpg", "not a photo");
  const auto bad = RunCli({"resample", dir / "bad.jpg", dir / "k.ppm", "--filter", "1", "--size", "4x4"});
  EXPECT_EQ(bad.Status, 1);
  EXPECT_THAT(bad.Err, StartsWith("JPEG error #"));
}

// The width and height a JPEG file's header gives.
std::pair<int, int> SizeOf(const std::string& path) {
  JpegCodec codec;
  codec.Inspect(path);
  return {codec.StoredWidth(), codec.StoredHeight()};
}

TEST(fotoloom_cli, set_takes_every_kind_of_value_as_a_settings_file_does) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 3, 40, 30);
  const std::string out = dir / "out";
  const auto r = RunCli({"run", "--input", dir / "in", "--output", out, "--yes", "--quiet", "--set",
                         "MaxWidthImage=20",                    // a number
                         "--set", "backgroundcolor=clBlack",    // a colour name, in any letter case
                         "--set", "TextColor=$000000FF",        // a hexadecimal colour: red
                         "--set", "CopyOrgSizedImages=yes",     // yes/no
                         "--set", "Title=A trip to the sea"});  // a text with spaces
  EXPECT_EQ(r.Status, 0) << r.Err;
  const std::string page = ReadFile(out + "/page1.htm");
  EXPECT_THAT(page, HasSubstr("<title>A trip to the sea page 1 of 1</title>"));
  EXPECT_THAT(page, HasSubstr("background-color:#000000;"));
  EXPECT_THAT(page, HasSubstr(" color:#FF0000;"));
  EXPECT_EQ(SizeOf(out + "/n_p001.jpg"), std::make_pair(20, 15));
  EXPECT_EQ(Count(out, "b_"), 3u);

  // defaults and resave write what --set gave, as a settings file would have.
  EXPECT_EQ(RunCli({"defaults", dir / "d.fl", "--set", "QualityImages=0x20", "--set", "Usefilter=yes", "--set",
                    "VisitedLinkColor=255", "--set", "Title=\"Quoted, then trimmed\""})
                .Status,
            0);
  GallerySettings expected;
  expected.SetQualityImages(32);
  expected.SetUseFilter(true);
  expected.SetVisitedLinkColor(0x0000FF);
  expected.SetTitle("Quoted, then trimmed");
  Write_settings_file(dir / "expected.fl", expected);
  EXPECT_EQ(ReadFile(dir / "d.fl"), ReadFile(dir / "expected.fl"));
  EXPECT_EQ(
      RunCli({"resave", dir / "d.fl", dir / "r.fl", "--set", "usefilter=no", "--set", "MaxSizeThumbnails=140"}).Status,
      0);
  expected.SetUseFilter(false);
  expected.SetThumbSizeChoice(1);
  Write_settings_file(dir / "expected.fl", expected);
  EXPECT_EQ(ReadFile(dir / "r.fl"), ReadFile(dir / "expected.fl"));
}

TEST(fotoloom_cli, set_takes_the_location_switch_but_not_the_update_switch) {
  TempDir dir;
  EXPECT_EQ(RunCli({"defaults", dir / "on.fl", "--set", "StripLocation=yes"}).Status, 0);
  EXPECT_EQ(RunCli({"defaults", dir / "off.fl", "--set", "striplocation=0"}).Status, 0);
  EXPECT_EQ(ReadFile(dir / "on.fl"), ReadFile(dir / "off.fl") + "[Privacy]\r\nStripLocation=1\r\n");
  const auto update = RunCli({"defaults", dir / "u.fl", "--set", "OnlyChanged=yes"});
  EXPECT_EQ(update.Status, 2);
  EXPECT_THAT(update.Err, HasSubstr("'OnlyChanged' is not a key of the settings file"));
  EXPECT_THAT(RunCli({"--help"}).Out, HasSubstr("StripLocation"));
}

TEST(fotoloom_cli, set_comes_after_the_settings_file_and_before_input_and_output) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "out");
  WritePhotos(dir / "in", 2);
  GallerySettings s;
  s.SetInputPath(dir / "nowhere");
  s.SetOutputPath(dir / "out");
  s.SetTitle("From the file");
  Write_settings_file(dir / "g.fl", s);
  const auto r = RunCli({"run", dir / "g.fl", "--input", dir / "in", "--set", "InputPath=" + dir / "elsewhere", "--set",
                         "Title=First", "--set", "Title=Last", "--elements", "2"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_THAT(ReadFile(dir / "out/page1.htm"), HasSubstr("<title>Last page 1 of 1</title>"));
}

TEST(fotoloom_cli, a_bad_set_is_a_usage_error_that_writes_nothing) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 1);
  const struct {
    const char* set;
    const char* message;
  } cases[] = {
      {"Colour=red", "fotoloom-cli: --set Colour=red: 'Colour' is not a key of the settings file\n"},
      {"QualityImages=best", "fotoloom-cli: --set QualityImages=best: 'best' is not a whole number\n"},
      {"LinkColor=bluish", "fotoloom-cli: --set LinkColor=bluish: 'bluish' is neither a colour name nor a number\n"},
      {"MaxWidthImage=100000",
       "fotoloom-cli: --set MaxWidthImage=100000: '100000' is not a whole number between 1 and 65500\n"},
      {"ThumbPagesName=../escaped",
       "fotoloom-cli: --set ThumbPagesName=../escaped: '../escaped' cannot be used in page names: it holds \"/\", "
       "which would lead into another folder\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    const auto run = RunCli({"run", "--input", dir / "in", "--output", dir / "out", "--yes", "--set", c.set});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, c.message + std::string("Try 'fotoloom-cli --help'.\n"));
    EXPECT_FALSE(fs::exists(dir / "out"));
    EXPECT_EQ(RunCli({"defaults", dir / "d.fl", "--set", c.set}).Status, 2);
    EXPECT_FALSE(fs::exists(dir / "d.fl"));
  }
}

// Page names from a settings file that would put pages elsewhere are refused
// as usage errors before anything is written, naming the key.
TEST(fotoloom_cli, page_names_from_a_settings_file_that_leave_the_output_folder_are_refused) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 1);
  ASSERT_EQ(RunCli({"defaults", dir / "names.fl"}).Status, 0);
  const std::string saved = ReadFile(dir / "names.fl");
  const struct {
    const char* line;
    const char* replacement;
    std::string message;
  } cases[] = {
      {"ThumbPagesName=page", "ThumbPagesName=../escaped",
       "ThumbPagesName: '../escaped' cannot be used in page names: it holds \"/\", which would lead into another "
       "folder"},
      {"ImagePagesName=image", "ImagePagesName=sub/img",
       "ImagePagesName: 'sub/img' cannot be used in page names: it holds \"/\", which would lead into another "
       "folder"},
      {"WebSiteExtension=.htm", "WebSiteExtension=/../../x",
       "WebSiteExtension: '/../../x' cannot be used in page names: it holds \"/\", which would lead into another "
       "folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.replacement);
    std::string text = saved;
    text.replace(text.find(c.line), std::string(c.line).size(), c.replacement);
    WriteFile(dir / "bad.fl", text);
    for (const bool update : {false, true}) {
      std::vector<std::string> args = {"run", dir / "bad.fl", "--input", dir / "in", "--output", dir / "out", "--yes"};
      if (update) args.push_back("--update");
      const auto run = RunCli(args);
      EXPECT_EQ(run.Status, 2);
      EXPECT_EQ(run.Err, "fotoloom-cli: " + c.message + "\nTry 'fotoloom-cli --help'.\n");
      EXPECT_FALSE(fs::exists(dir / "out"));
      EXPECT_FALSE(fs::exists(dir / "escaped1.htm"));
    }
  }
}

// An empty, UTF-16 or binary settings file loads the fallbacks as before, with a warning naming it.
TEST(fotoloom_cli, a_settings_file_without_any_known_key_gives_a_warning) {
  TempDir dir;
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[Step1]\r\nThumbPagesName=seite\r\n")) utf16 += std::string{c, '\0'};
  for (const std::string& bytes : {std::string(), utf16, std::string("\x89PNG\r\n\x1A\n", 8)}) {
    WriteFile(dir / "odd.fl", bytes);
    const auto resave = RunCli({"resave", dir / "odd.fl", dir / "again.fl"});
    EXPECT_EQ(resave.Status, 0);
    EXPECT_EQ(resave.Err, "No setting could be read from \"" + dir / "odd.fl" +
                              "\": it is empty or not a settings file. Every option takes its value for a missing "
                              "key.\n");
    EXPECT_THAT(ReadFile(dir / "again.fl"), HasSubstr("\r\nThumbPagesName=page\r\n"));
  }
  const auto quiet = RunCli({"run", dir / "odd.fl", "--input", dir / "none", "--output", dir / "out", "--quiet"});
  EXPECT_THAT(quiet.Err, StartsWith("No setting could be read from \"" + dir / "odd.fl" + "\""));
  ASSERT_EQ(RunCli({"defaults", dir / "good.fl"}).Status, 0);
  EXPECT_EQ(RunCli({"resave", dir / "good.fl", dir / "again.fl"}).Err, "");
}

TEST(fotoloom_cli, a_missing_folder_is_a_usage_error_that_says_how_to_give_it) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  const auto noOutput = RunCli({"run", "--input", dir / "in", "--yes"});
  EXPECT_EQ(noOutput.Status, 2);
  EXPECT_THAT(noOutput.Err, StartsWith("fotoloom-cli: no output folder given: give --output DIR, or the settings "
                                       "file key OutputPath\n"));
  const auto noInput = RunCli({"run", "--output", dir / "out", "--yes"});
  EXPECT_EQ(noInput.Status, 2);
  EXPECT_THAT(noInput.Err, StartsWith("fotoloom-cli: no input folder given: give --input DIR, or the settings file "
                                      "key InputPath\n"));
  // Also when the settings file or --set leaves one empty.
  GallerySettings s;
  s.SetInputPath(dir / "in");
  s.SetOutputPath(dir / "out");
  Write_settings_file(dir / "g.fl", s);
  const auto emptied = RunCli({"run", dir / "g.fl", "--set", "OutputPath=", "--set", "InputPath=", "--dry-run"});
  EXPECT_EQ(emptied.Status, 2);
  EXPECT_THAT(emptied.Err, StartsWith("fotoloom-cli: no input and no output folder given: give --input DIR and "
                                      "--output DIR, or the settings file keys InputPath and OutputPath\n"));
  EXPECT_FALSE(fs::exists(dir / "out"));
}

// The value after "label: " on the report's line that begins with label.
std::string ReportValue(const std::string& report, const std::string& label) {
  const std::size_t at = report.find("\n" + label + ": ");
  if (at == std::string::npos) return "";
  const std::size_t start = at + label.size() + 3;
  return report.substr(start, report.find('\n', start) - start);
}

TEST(fotoloom_cli, dry_run_writes_nothing_and_reports_what_the_run_then_writes) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "out");
  WritePhotos(dir / "in", 5, 64, 48);
  WriteFile(dir / "in/p002.jpg", Jpeg(30, 90));
  WriteFile(dir / "out/kept.txt", "x");
  const std::vector<std::string> options = {"--input",  dir / "in",
                                            "--output", dir / "out",
                                            "--set",    "RowsCount=1",
                                            "--set",    "ColsCount=2",
                                            "--set",    "MaxWidthImage=50",
                                            "--set",    "MaxHeightImage=45",
                                            "--set",    "CopyOrgSizedImages=1"};
  const auto listing = [&] {
    std::vector<std::pair<std::string, fs::file_time_type>> entries = {{"", fs::last_write_time(dir / "out")}};
    for (const auto& e : fs::directory_iterator(dir / "out"))
      entries.emplace_back(e.path().filename().string(), e.last_write_time());
    return entries;
  };
  const auto before = listing();
  std::vector<std::string> dry = {"run", "--dry-run"};
  dry.insert(dry.end(), options.begin(), options.end());
  const auto plan = RunCli(dry);
  EXPECT_EQ(plan.Status, 0) << plan.Err;
  EXPECT_EQ(listing(), before);
  EXPECT_THAT(plan.Out, StartsWith("Dry run: nothing was written.\nOutput folder: " + dir / "out" + "\n"));
  EXPECT_THAT(plan.Out, HasSubstr("\n  p002.jpg  n_ 15x45  t_ 30x90  b_ copy\n"));

  std::vector<std::string> real = {"run", "--quiet"};
  real.insert(real.end(), options.begin(), options.end());
  ASSERT_EQ(RunCli(real).Status, 0);
  const std::string out = dir / "out";
  EXPECT_EQ(ReportValue(plan.Out, "Thumbnail pages"), std::to_string(Count(out, "page")));
  EXPECT_EQ(ReportValue(plan.Out, "Image pages"), std::to_string(Count(out, "image")));
  for (int i = 1; i <= 5; ++i) {
    const std::string name = "p00" + std::to_string(i) + ".jpg";
    const auto [nw, nh] = SizeOf(out + "/n_" + name);
    const auto [tw, th] = SizeOf(out + "/t_" + name);
    EXPECT_THAT(plan.Out, HasSubstr("\n  " + name + "  n_ " + std::to_string(nw) + "x" + std::to_string(nh) + "  t_ " +
                                    std::to_string(tw) + "x" + std::to_string(th) + "  b_ copy\n"));
    EXPECT_TRUE(fs::exists(out + "/b_" + name));
  }
}

TEST(fotoloom_cli, albums_make_a_gallery_of_each_subfolder_and_the_dry_run_lists_them) {
  TempDir dir;
  for (const char* folder : {"in/2024/Rome", "in/Tom & Jerry"}) fs::create_directories(dir.path() / folder);
  WritePhotos(dir / "in", 1);
  WritePhotos(dir / "in/2024/Rome", 3);
  WritePhotos(dir / "in/Tom & Jerry", 1);
  fs::create_directories(dir.path() / "out");
  const std::vector<std::string> options = {"--input", dir / "in", "--output", dir / "out"};
  std::vector<std::string> dry = {"run", "--dry-run", "--albums"};
  dry.insert(dry.end(), options.begin(), options.end());
  const auto plan = RunCli(dry);
  EXPECT_EQ(plan.Status, 0) << plan.Err;
  EXPECT_THAT(plan.Out, HasSubstr("4 albums:\n  (top)        1 photo, 5 with its albums\n"
                                  "  2024         0 photos, 3 with its albums\n  2024/Rome    3 photos\n"
                                  "  Tom & Jerry  1 photo\n"));
  EXPECT_THAT(plan.Out, ::testing::ContainsRegex("\n  2024/Rome/p003\\.jpg +n_ "));
  EXPECT_TRUE(fs::is_empty(dir / "out"));

  // Without --albums the subfolders stay out; with it, or with --set, they are albums.
  std::vector<std::string> flat = {"run", "--quiet"};
  flat.insert(flat.end(), options.begin(), options.end());
  ASSERT_EQ(RunCli(flat).Status, 0);
  EXPECT_FALSE(fs::exists(dir / "out/2024"));
  std::vector<std::string> set = {"run", "--set", "Albums=yes"};
  set.insert(set.end(), options.begin(), options.end());
  const auto run = RunCli(set);
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_THAT(run.Err, HasSubstr("  2024/Rome    3 photos\n"));
  EXPECT_EQ(Count(dir / "out/2024/Rome", "n_"), 3u);
  EXPECT_EQ(Count(dir / "out/Tom & Jerry", "t_"), 1u);
  EXPECT_THAT(ReadFile(dir / "out/page1.htm"), HasSubstr("<a href=\"Tom%20&amp;%20Jerry/page1.htm\">"));
}

TEST(fotoloom_cli, tells_the_location_count_and_the_dry_run_tells_dates_and_caption_sources) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  test::WriteTaggedPhotos({{dir / "in/a.jpg", {"-DateTimeOriginal=2024:05:17 14:03:07", "-IPTC:Caption-Abstract=x"}},
                           {dir / "in/b.jpg", {"-GPSLatitude=48.1", "-GPSLatitudeRef=N"}}});
  const std::vector<std::string> run = {"run",       "--input", dir / "in", "--output",
                                        dir / "out", "--yes",   "--set",    "CopyOrgSizedImages=1"};
  const auto copied = RunCli(run);
  ASSERT_EQ(copied.Status, 0) << copied.Err;
  EXPECT_THAT(copied.Err, HasSubstr("\n1 of 2 copied originals carry a GPS position. To leave it out, tick \"Remove "
                                    "location from copied originals\" on step 2, or set StripLocation=yes.\n"));

  std::vector<std::string> dry = run;
  for (const char* extra :
       {"--dry-run", "--set", "UseExif=yes", "--set", "SubtitleIndex=3", "--set", "SortingMethodIndex=1"})
    dry.push_back(extra);
  const auto plan = RunCli(dry);
  ASSERT_EQ(plan.Status, 0) << plan.Err;
  EXPECT_THAT(plan.Out, HasSubstr("b_ copy  taken 2024-05-17 14:03:07  caption: IPTC\n"));
  EXPECT_THAT(plan.Out, HasSubstr("b_ copy  file date  caption: none\n"));
}

TEST(fotoloom_cli, dry_run_creates_no_folder_and_fails_where_the_run_would) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 2);
  const std::string out = dir / "new";
  const auto asked = RunCli({"run", "--dry-run", "--input", dir / "in", "--output", out});
  EXPECT_EQ(asked.Status, 1);
  EXPECT_THAT(asked.Err, StartsWith("Output folder \"" + out + "\" is not exist."));
  EXPECT_EQ(asked.Out, "");
  const auto yes = RunCli({"run", "--dry-run", "--input", dir / "in", "--output", out, "--yes", "--quiet"});
  EXPECT_EQ(yes.Status, 0) << yes.Err;
  EXPECT_THAT(yes.Out, HasSubstr("Output folder: " + out + " (would be created)\n"));
  EXPECT_THAT(yes.Out, HasSubstr("\nFirst page: " + out + "/page1.htm\n"));
  EXPECT_FALSE(fs::exists(out));

  // A grid of 0 from a settings file fails the run; given with --set it is a usage error.
  ASSERT_EQ(RunCli({"defaults", dir / "grid.fl"}).Status, 0);
  std::string zero = ReadFile(dir / "grid.fl");
  zero.replace(zero.find("RowsCount=3"), 11, "RowsCount=0");
  WriteFile(dir / "grid.fl", zero);
  const auto grid = RunCli({"run", dir / "grid.fl", "--dry-run", "--input", dir / "in", "--output", out, "--yes"});
  EXPECT_EQ(grid.Status, 1);
  EXPECT_THAT(grid.Err, EndsWith("Division by zero\n"));
  const auto set =
      RunCli({"run", "--dry-run", "--input", dir / "in", "--output", out, "--yes", "--set", "RowsCount=0"});
  EXPECT_EQ(set.Status, 2);
  EXPECT_THAT(set.Err, StartsWith("fotoloom-cli: --set RowsCount=0: '0' is not a whole number between 1 and 1000\n"));

  WriteFile(dir / "in/p002.jpg", "broken");
  const auto broken = RunCli({"run", "--dry-run", "--input", dir / "in", "--output", out, "--yes", "--quiet"});
  EXPECT_EQ(broken.Status, 1);
  EXPECT_THAT(broken.Out, HasSubstr("\n  p002.jpg  cannot be read: JPEG error #"));
  EXPECT_THAT(broken.Err, StartsWith("The run would stop at this photo:\n" + dir / "in" + "/p002.jpg:\nJPEG error #"));
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace fotoloom

namespace fotoloom {
namespace {

TEST(fotoloom_cli, update_tells_what_is_up_to_date_and_its_dry_run_what_it_would_redo_and_delete) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 3);
  const std::string out = dir / "out";
  const std::vector<std::string> run = {"run", "--input", dir / "in", "--output", out, "--yes", "--update"};
  const auto first = RunCli(run);
  ASSERT_EQ(first.Status, 0) << first.Err;
  EXPECT_THAT(first.Err, HasSubstr("\n0 of 3 images up to date\n"));
  const auto second = RunCli(run);
  EXPECT_THAT(second.Err, HasSubstr("\n3 of 3 images up to date\n"));
  std::vector<std::string> quiet = run;
  quiet.push_back("--quiet");
  EXPECT_EQ(RunCli(quiet).Err, "");

  fs::remove(dir / "in/p001.jpg");
  WriteFile(dir / "in/p002.jpg", Jpeg(30, 20));
  std::vector<std::string> dry = run;
  dry.push_back("--dry-run");
  const auto names = [&out] {
    std::vector<std::string> all;
    for (const auto& e : fs::directory_iterator(out)) all.push_back(e.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  };
  const std::vector<std::string> before = names();
  const auto plan = RunCli(dry);
  EXPECT_EQ(plan.Status, 0) << plan.Err;
  EXPECT_EQ(names(), before);
  EXPECT_THAT(plan.Out, HasSubstr("\nUpdate: 1 of 2 images up to date\n  p002.jpg  made again: n_ t_\n"
                                  "Deleted: 3\n  image3.htm\n  n_p001.jpg\n  t_p001.jpg\nFirst page: "));
  ASSERT_EQ(RunCli(run).Status, 0);
  EXPECT_FALSE(fs::exists(out + "/n_p001.jpg"));
  EXPECT_FALSE(fs::exists(out + "/image3.htm"));
  EXPECT_TRUE(fs::exists(out + "/image2.htm"));
}

// The dry run lists the sharp thumbnails, the WebP files and the ZIP, and
// an update's dry run whether the ZIP is made again.
TEST(fotoloom_cli, the_dry_run_lists_sharp_thumbnails_webp_files_and_the_zip) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 2);
  // Dated well before the run, so that their facts alone tell them.
  for (const auto& e : fs::directory_iterator(dir / "in"))
    fs::last_write_time(e.path(), fs::file_time_type::clock::now() - std::chrono::hours(1));
  const std::string out = dir / "out";
  std::vector<std::string> run = {
      "run",   "--input",          dir / "in", "--output", out,     "--yes",   "--set",   "MaxSizeThumbnails=30",
      "--set", "Thumbnails2x=yes", "--set",    "WebP=1",   "--set", "Zip=yes", "--update"};
  std::vector<std::string> dry = run;
  dry.push_back("--dry-run");
  const auto plan = RunCli(dry);
  ASSERT_EQ(plan.Status, 0) << plan.Err;
  EXPECT_THAT(plan.Out, ::testing::ContainsRegex("\n  p001.jpg  n_ [0-9]+x[0-9]+  t_ [0-9]+x[0-9]+  t2_ [0-9]+x[0-9]+  "
                                                 "and .webp of each\n"));
  EXPECT_THAT(plan.Out, HasSubstr("\nZIP of all originals: photos.zip, 2 photos\n"));
  EXPECT_THAT(plan.Out, HasSubstr("  p001.jpg  made again: n_ t_ t2_\n"));
  EXPECT_THAT(plan.Out, HasSubstr("\nZIP: made again\n"));
  ASSERT_EQ(RunCli(run).Status, 0);
  for (const char* name : {"/t2_p001.jpg", "/t2_p001.jpg.webp", "/n_p002.jpg.webp", "/photos.zip"})
    EXPECT_TRUE(fs::exists(out + name)) << name;
  const auto again = RunCli(dry);
  EXPECT_THAT(again.Out, HasSubstr("\nUpdate: 2 of 2 images up to date\nZIP: up to date\nDeleted: 0\n"));
}

// The last lines of a run: the summary the wizard's finish page shows, then the first page.
TEST(fotoloom_cli, run_ends_with_the_summary_of_the_finish_page) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  WritePhotos(dir / "in", 5);
  const std::string out = dir / "out";
  std::vector<std::string> run = {"run", "--input", dir / "in", "--output", out, "--yes", "--set", "RowsCount=1"};
  const auto full = RunCli(run);
  ASSERT_EQ(full.Status, 0) << full.Err;
  EXPECT_THAT(full.Err, ::testing::ContainsRegex("\n5 photos, 2 thumbnail pages, 5 image pages in [0-9]+\\.[0-9] s\n"
                                                 "First page: "));
  run.push_back("--update");
  ASSERT_EQ(RunCli(run).Status, 0);
  const auto update = RunCli(run);
  EXPECT_THAT(update.Err, ::testing::ContainsRegex("\n5 of 5 images up to date, nothing written in [0-9.]+ s\n"
                                                   "First page: "));
}

// The names and bytes of every file in folder.
std::map<std::string, std::string> FilesOf(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) files[e.path().filename().string()] = ReadFile(e.path());
  return files;
}

// One writing run per output folder: a second one, even of other photos, is
// refused at once and leaves the first's gallery exactly as a lone run
// makes it; a run killed with SIGKILL keeps no other run out.
TEST(fotoloom_cli, a_second_run_into_the_same_output_folder_is_refused_and_a_killed_one_blocks_nothing) {
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "other");
  fs::create_directories(dir.path() / "out");
  WritePhotos(dir / "in", 24, 1600, 1200);
  test::WritePhotos(dir / "other", 3, {.NameFormat = "q%03d.jpg"});
  // The filtered stretch makes each photo take a while, so the first run is
  // surely still going when the second starts.
  GallerySettings s;
  s.SetUseFilter(true);
  Write_settings_file(dir / "slow.fl", s);
  const auto start = [&](const std::string& out) {
    return std::make_unique<CliProcess>(std::vector<std::string>{"run", dir / "slow.fl", "--input", dir / "in",
                                                                 "--output", out, "--jobs", "1", "--quiet"});
  };
  const auto waitFor = [](CliProcess& run, const std::string& file) {
    while (run.Running() && !fs::exists(file)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return run.Running();
  };

  std::unique_ptr<CliProcess> first = start(dir / "out");
  ASSERT_TRUE(waitFor(*first, dir / "out/n_p001.jpg")) << "the run ended before a second one could start";
  const auto second = RunCli({"run", "--input", dir / "other", "--output", dir / "out", "--update", "--quiet"});
  EXPECT_EQ(second.Status, 1);
  EXPECT_EQ(second.Err, "Another Fotoloom run is writing to " + dir / "out" + "\n");
  ASSERT_EQ(first->Wait(), 0) << first->Err();
  fs::create_directories(dir.path() / "alone");
  ASSERT_EQ(RunCli({"run", dir / "slow.fl", "--input", dir / "in", "--output", dir / "alone", "--quiet"}).Status, 0);
  EXPECT_EQ(FilesOf(dir / "out"), FilesOf(dir / "alone"));

  fs::create_directories(dir.path() / "killed");
  std::unique_ptr<CliProcess> killed = start(dir / "killed");
  ASSERT_TRUE(waitFor(*killed, dir / "killed/n_p001.jpg")) << "the run ended before it could be killed";
  killed->Signal(SIGKILL);
  EXPECT_EQ(killed->Wait(), 128 + SIGKILL);
  const auto after = RunCli({"run", "--input", dir / "other", "--output", dir / "killed", "--quiet"});
  EXPECT_EQ(after.Status, 0) << after.Err;
  EXPECT_TRUE(fs::exists(dir / "killed/n_q001.jpg"));
}

}  // namespace
}  // namespace fotoloom
