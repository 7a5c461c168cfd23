#include "cli/CliArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/SettingOverrides.h"

namespace fotoloom::cli {
namespace {

std::string UsageMessage(const std::vector<std::string>& args) {
  try {
    ParseArguments(args);
  } catch (const UsageError& e) {
    return e.what();
  }
  return "";
}

TEST(ParseArguments, reads_every_option_of_run_in_any_order) {
  const CliCommand c = ParseArguments({"run", "--quiet", "--input", "in dir", "g.fl", "--output=out", "--elements", "1",
                                       "--jobs=3", "--yes", "--open"});
  EXPECT_EQ(c.Kind, CommandKind::Run);
  EXPECT_EQ(c.SettingsFile, "g.fl");
  EXPECT_EQ(c.Input, "in dir");
  EXPECT_EQ(c.Output, "out");
  EXPECT_EQ(c.Elements, 1);
  EXPECT_EQ(c.Jobs, 3);
  EXPECT_TRUE(c.Yes && c.Open && c.Quiet);

  EXPECT_TRUE(ParseArguments({"run", "--skip-bad-photos"}).SkipBadPhotos);

  const CliCommand bare = ParseArguments({"run"});
  EXPECT_EQ(bare.SettingsFile, "");
  EXPECT_FALSE(bare.Input || bare.Output || bare.Elements || bare.Jobs);
  EXPECT_FALSE(bare.Yes || bare.Open || bare.Quiet || bare.DryRun || bare.SkipBadPhotos);
  EXPECT_TRUE(bare.Settings.empty());
}

TEST(ParseArguments, reads_the_file_commands) {
  EXPECT_EQ(ParseArguments({"defaults", "a.fl"}).OutFile, "a.fl");
  const CliCommand resave = ParseArguments({"resave", "a.fl", "b.fl"});
  EXPECT_EQ(resave.InFile, "a.fl");
  EXPECT_EQ(resave.OutFile, "b.fl");
  const CliCommand r = ParseArguments({"resample", "--size", "640x480", "a.jpg", "b.ppm", "--filter", "6"});
  EXPECT_EQ(r.Kind, CommandKind::Resample);
  EXPECT_EQ(r.Filter, 6);
  EXPECT_EQ(r.Width, 640);
  EXPECT_EQ(r.Height, 480);
  EXPECT_EQ(ParseArguments({"--version"}).Kind, CommandKind::Version);
  EXPECT_EQ(ParseArguments({"run", "--input", "x", "--help"}).Kind, CommandKind::Help);
}

TEST(ParseArguments, reads_the_template_set_of_defaults) {
  EXPECT_EQ(ParseArguments({"defaults", "a.fl"}).TemplateSet, std::nullopt);
  EXPECT_EQ(ParseArguments({"defaults", "--templates", "responsive", "a.fl"}).TemplateSet, 1u);
  EXPECT_EQ(ParseArguments({"defaults", "a.fl", "--templates=classic"}).TemplateSet, 0u);
  EXPECT_EQ(UsageMessage({"defaults", "--templates", "Responsive", "a.fl"}),
            "--templates needs classic or responsive, not 'Responsive'");
  EXPECT_EQ(UsageMessage({"defaults", "a.fl", "--templates"}), "--templates needs a value");
  EXPECT_EQ(UsageMessage({"run", "--templates", "classic"}), "run: unknown option '--templates'");
}

TEST(ParseArguments, says_what_is_wrong_with_a_command_line) {
  EXPECT_EQ(UsageMessage({}), "no command given");
  EXPECT_EQ(UsageMessage({"make"}), "unknown command 'make'");
  EXPECT_EQ(UsageMessage({"run", "--filter", "1"}), "run: unknown option '--filter'");
  EXPECT_EQ(UsageMessage({"run", "--elements", "3"}), "--elements needs a whole number from 0 to 2, not '3'");
  EXPECT_EQ(UsageMessage({"run", "--jobs", "2x"}), "--jobs needs a whole number from 1 to 1024, not '2x'");
  EXPECT_EQ(UsageMessage({"run", "--input"}), "--input needs a value");
  EXPECT_EQ(UsageMessage({"run", "--yes=no"}), "--yes takes no value");
  EXPECT_EQ(UsageMessage({"run", "a.fl", "b.fl"}), "run: unexpected 'b.fl'");
  EXPECT_EQ(UsageMessage({"defaults"}), "defaults needs the settings file to write");
  EXPECT_EQ(UsageMessage({"resave", "a", "b", "c"}), "resave: unexpected 'c'");
  EXPECT_EQ(UsageMessage({"resample", "a", "b", "--size", "4x4"}), "resample needs --filter N (0 to 6)");
  EXPECT_EQ(UsageMessage({"resample", "a", "b", "--filter", "2"}), "resample needs --size WIDTHxHEIGHT");
  EXPECT_EQ(UsageMessage({"resample", "a", "b", "--filter", "2", "--size", "44"}),
            "--size needs WIDTHxHEIGHT, not '44'");
  EXPECT_EQ(UsageMessage({"resample", "a", "b", "--filter", "2", "--size", "0x4"}),
            "--size needs a whole number from 1 to 65500, not '0'");
}

TEST(ParseArguments, reads_set_as_the_settings_file_reader_reads_a_value) {
  const CliCommand c = ParseArguments({"run", "--set", "usefilter=yes", "--set=Title= 'My trip' ", "--set",
                                       "BACKGROUNDCOLOR=clblack", "--set", "QualityImages=$20", "--dry-run"});
  ASSERT_EQ(c.Settings.size(), 4u);
  EXPECT_EQ(c.Settings[0].Key, "Usefilter");
  EXPECT_EQ(c.Settings[0].Value, "1");
  EXPECT_EQ(c.Settings[1].Key, "Title");
  EXPECT_EQ(c.Settings[1].Value, "My trip");
  EXPECT_EQ(c.Settings[2].Key, "BackgroundColor");
  EXPECT_EQ(c.Settings[2].Value, "clblack");
  EXPECT_EQ(c.Settings[3].Value, "$20");
  EXPECT_TRUE(c.DryRun);
  EXPECT_EQ(ParseArguments({"run", "--set", "UseExif=No"}).Settings[0].Value, "0");
  // Values the reader takes and the record then clamps are taken.
  EXPECT_EQ(ParseArguments({"run", "--set", "QualityImages=0"}).Settings[0].Value, "0");
  EXPECT_EQ(ParseArguments({"run", "--set", "Usefilter=2"}).Settings[0].Value, "2");
  EXPECT_EQ(ParseArguments({"run", "--set", "ThumbPagesName="}).Settings[0].Value, "");
  EXPECT_EQ(ParseArguments({"defaults", "a.fl", "--set", "Title=x"}).Settings.size(), 1u);
  EXPECT_EQ(ParseArguments({"resave", "--set", "Title=x", "a.fl", "b.fl"}).Settings.size(), 1u);
}

TEST(ParseArguments, says_which_set_cannot_be_followed) {
  EXPECT_EQ(UsageMessage({"run", "--set", "Title"}), "--set needs KEY=VALUE, not 'Title'");
  EXPECT_EQ(UsageMessage({"run", "--set"}), "--set needs a value");
  EXPECT_EQ(UsageMessage({"run", "--set", "Colour=red"}),
            "--set Colour=red: 'Colour' is not a key of the settings file");
  EXPECT_EQ(UsageMessage({"run", "--set", "ElementsMode=1"}),
            "--set ElementsMode=1: 'ElementsMode' is not a key of the settings file");
  EXPECT_EQ(UsageMessage({"run", "--set", "line3=<p>"}),
            "--set line3=<p>: the template lines cannot be set on the command line; use a settings file");
  EXPECT_EQ(UsageMessage({"run", "--set", "HTMLImages=x"}),
            "--set HTMLImages=x: the template lines cannot be set on the command line; use a settings file");
  EXPECT_EQ(UsageMessage({"run", "--set", "QualityImages=high"}),
            "--set QualityImages=high: 'high' is not a whole number");
  EXPECT_EQ(UsageMessage({"run", "--set", "QualityImages="}), "--set QualityImages=: '' is not a whole number");
  EXPECT_EQ(UsageMessage({"run", "--set", "MaxSizeThumbnails=1 60"}),
            "--set MaxSizeThumbnails=1 60: '1 60' is not a whole number");
  EXPECT_EQ(UsageMessage({"run", "--set", "Usefilter=true"}),
            "--set Usefilter=true: 'true' is not yes, no or a whole number (1 is yes)");
  EXPECT_EQ(UsageMessage({"run", "--set", "TextColor=reddish"}),
            "--set TextColor=reddish: 'reddish' is neither a colour name nor a number");
  EXPECT_EQ(UsageMessage({"run", "--set", "Title=a\nb"}),
            "--set Title=a\nb: a settings file value cannot hold a line break");
  EXPECT_EQ(UsageMessage({"resample", "a", "b", "--set", "Title=x"}), "resample: unknown option '--set'");
  EXPECT_EQ(UsageMessage({"run", "--skip-bad-photos=yes"}), "--skip-bad-photos takes no value");
  EXPECT_EQ(UsageMessage({"run", "--dry-run=yes"}), "--dry-run takes no value");
  EXPECT_EQ(UsageMessage({"run", "--dry-run", "--open"}), "--dry-run writes no page for --open to open");
  EXPECT_EQ(UsageMessage({"defaults", "a.fl", "--dry-run"}), "defaults: unknown option '--dry-run'");
}

// The numbers a run converts must lie in their range when given with --set,
// and page names must stay in the output folder; other values are taken.
TEST(ParseArguments, refuses_run_numbers_out_of_range_and_page_names_that_leave_the_folder) {
  const struct {
    const char* set;
    const char* message;  // empty: taken
  } cases[] = {
      {"MaxWidthImage=abc", "--set MaxWidthImage=abc: 'abc' is not a whole number"},
      {"MaxWidthImage=100000", "--set MaxWidthImage=100000: '100000' is not a whole number between 1 and 65500"},
      {"MaxWidthImage=-1", "--set MaxWidthImage=-1: '-1' is not a whole number between 1 and 65500"},
      {"maxheightimage=0", "--set maxheightimage=0: '0' is not a whole number between 1 and 65500"},
      {"MaxWidthImage=12345678901234567890",
       "--set MaxWidthImage=12345678901234567890: '12345678901234567890' is not a whole number"},
      {"MaxSizeThumbnails=0", "--set MaxSizeThumbnails=0: '0' is not a whole number between 1 and 65500"},
      {"RowsCount=0", "--set RowsCount=0: '0' is not a whole number between 1 and 1000"},
      {"ColsCount=x", "--set ColsCount=x: 'x' is not a whole number"},
      {"ColsCount=1001", "--set ColsCount=1001: '1001' is not a whole number between 1 and 1000"},
      {"QualityImages=500", "--set QualityImages=500: '500' is not a whole number between 0 and 100"},
      {"QualityThumbnails=-1", "--set QualityThumbnails=-1: '-1' is not a whole number between 0 and 100"},
      {"ThumbPagesName=../escaped",
       "--set ThumbPagesName=../escaped: '../escaped' cannot be used in page names: it holds \"/\", which would lead "
       "into another folder"},
      {"ImagePagesName=a..b",
       "--set ImagePagesName=a..b: 'a..b' cannot be used in page names: it holds \"..\", which names the folder "
       "above"},
      {"WebSiteExtension=/../../x",
       "--set WebSiteExtension=/../../x: '/../../x' cannot be used in page names: it holds \"/\", which would lead "
       "into another folder"},
      {"MaxWidthImage= 0x20", ""},
      {"RowsCount=1000", ""},
      {"QualityThumbnails=100", ""},
      {"SubtitleIndex=9", ""},  // clamped, as a settings file does
      {"ImagePagesName=Bild \\ 1", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    EXPECT_EQ(UsageMessage({"run", "--set", c.set}), c.message);
    EXPECT_EQ(UsageMessage({"resave", "a.fl", "b.fl", "--set", c.set}), c.message);
  }
}

}  // namespace
}  // namespace fotoloom::cli

namespace fotoloom::cli {
namespace {

TEST(ParseArguments, sets_the_option_of_other_photo_formats_as_a_settings_file_writes_it) {
  const CliCommand c = ParseArguments({"run", "--set", "otherformats=yes"});
  ASSERT_EQ(c.Settings.size(), 1u);
  EXPECT_EQ(c.Settings[0].Key, "OtherFormats");
  EXPECT_EQ(c.Settings[0].Value, "1");
  GallerySettings settings;
  ApplySettingOverrides(c.Settings, settings);
  EXPECT_TRUE(settings.OtherFormats());
  ApplySettingOverrides(ParseArguments({"run", "--set", "OtherFormats=no"}).Settings, settings);
  EXPECT_FALSE(settings.OtherFormats());
  EXPECT_NE(SettingsKeysHelp().find("OtherFormats"), std::string::npos);
  // The update's switch stays --update's alone.
  EXPECT_THROW(ParseArguments({"run", "--set", "OnlyChanged=yes"}), UsageError);
}

}  // namespace
}  // namespace fotoloom::cli
