#include "cli/CliArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

  const CliCommand bare = ParseArguments({"run"});
  EXPECT_EQ(bare.SettingsFile, "");
  EXPECT_FALSE(bare.Input || bare.Output || bare.Elements || bare.Jobs);
  EXPECT_FALSE(bare.Yes || bare.Open || bare.Quiet);
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

}  // namespace
}  // namespace fotoloom::cli
