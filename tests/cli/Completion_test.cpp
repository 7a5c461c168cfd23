// The bash completion script, run in bash as the shell runs it on Tab.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "core/SettingsFile.h"
#include "support/TempDir.h"

namespace fotoloom::cli {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::string Quoted(const std::string& word) { return "'" + word + "'"; }

// The candidates the script offers for the last of words, in folder.
std::vector<std::string> Complete(const TempDir& folder, const std::vector<std::string>& words) {
  std::string script =
      "cd " + Quoted(folder.str()) + " || exit 1\nsource " + Quoted(FOTOLOOM_COMPLETION) + "\nCOMP_WORDS=(fotoloom-cli";
  for (const std::string& w : words) script += " " + Quoted(w);
  script += ")\nCOMP_CWORD=" + std::to_string(words.size()) +
            "\nCOMPREPLY=()\n_fotoloom_cli\n[ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\\n' \"${COMPREPLY[@]}\"\n";
  const TempDir scriptFolder;
  WriteFile(scriptFolder / "complete.sh", script);
  std::FILE* bash = ::popen(("bash " + Quoted(scriptFolder / "complete.sh")).c_str(), "r");
  std::vector<std::string> candidates;
  std::string line;
  for (int c; bash && (c = std::fgetc(bash)) != EOF;) {
    if (c != '\n') {
      line += char(c);
      continue;
    }
    candidates.push_back(line);
    line.clear();
  }
  if (bash) {
    EXPECT_EQ(::pclose(bash), 0);
  }
  return candidates;
}

// The options the synopsis of --help names for a command ("run", ...).
std::set<std::string> SynopsisOptions(const std::string& command) {
  const std::string usage = UsageText();
  const std::size_t start = usage.find("  fotoloom-cli " + command + " ");
  const std::size_t end = usage.find("\n  fotoloom-cli ", start + 1);
  const std::string synopsis = usage.substr(start, end - start);
  std::set<std::string> options;
  const std::regex option("--[a-z-]+");
  for (auto it = std::sregex_iterator(synopsis.begin(), synopsis.end(), option); it != std::sregex_iterator(); ++it)
    options.insert(it->str());
  return options;
}

TEST(BashCompletion, offers_every_settings_file_key_after_set) {
  TempDir dir;
  std::vector<std::string> keys;
  for (const SettingsKey& key : SettingsKeys()) keys.push_back(std::string(key.Name) + "=");
  for (const SettingsKey& key : OptionalSettingsKeys())
    if (key.Settable) keys.push_back(std::string(SettingsKeyCommandName(key)) + "=");
  EXPECT_THAT(Complete(dir, {"run", "--set", ""}), ElementsAreArray(keys));
  EXPECT_THAT(Complete(dir, {"resave", "a.fl", "--set", "use"}), UnorderedElementsAre("Usefilter=", "UseExif="));
  EXPECT_THAT(Complete(dir, {"defaults", "--set", "=", "maxw"}), UnorderedElementsAre("MaxWidthImage="));
  // The value is free text.
  EXPECT_THAT(Complete(dir, {"run", "--set", "Title", "=", ""}), IsEmpty());
  EXPECT_THAT(Complete(dir, {"run", "--set", "Title", "="}), IsEmpty());
}

TEST(BashCompletion, offers_the_commands_and_the_options_each_takes) {
  TempDir dir;
  EXPECT_THAT(Complete(dir, {""}),
              UnorderedElementsAre("run", "defaults", "resave", "resample", "--help", "--version"));
  EXPECT_THAT(Complete(dir, {"re"}), UnorderedElementsAre("resave", "resample"));
  const std::vector<std::vector<std::string>> commands = {{"run"},
                                                          {"defaults", "a.fl"},
                                                          {"resave", "a.fl", "b.fl"},
                                                          {"resample", "a", "b", "--filter", "1", "--size", "2x2"}};
  for (const std::vector<std::string>& command : commands) {
    SCOPED_TRACE(command[0]);
    std::set<std::string> offered;
    for (const std::string& option : Complete(dir, {command[0], "--"})) offered.insert(option);
    // Every option of the synopsis is offered, and --help besides.
    std::set<std::string> expected = SynopsisOptions(command[0]);
    expected.insert("--help");
    EXPECT_EQ(offered, expected);
    // The parser takes every option offered.
    for (const std::string& option : offered) {
      std::vector<std::string> args = command;
      args.push_back(option);
      if (option == "--set") args.push_back("Title=x");
      if (option == "--input" || option == "--output" || option == "--size")
        args.push_back(option == "--size" ? "4x4" : "d");
      if (option == "--elements" || option == "--jobs" || option == "--filter") args.push_back("1");
      if (option == "--templates") args.push_back("responsive");
      EXPECT_NO_THROW(ParseArguments(args)) << option;
    }
  }
  EXPECT_THAT(Complete(dir, {"run", "--elements", ""}), ElementsAreArray({"0", "1", "2"}));
  EXPECT_THAT(Complete(dir, {"defaults", "--templates", "r"}), ElementsAreArray({"responsive"}));
}

TEST(BashCompletion, offers_settings_files_and_folders) {
  TempDir dir;
  WriteFile(dir / "gallery.fl", "");
  WriteFile(dir / "notes.txt", "");
  fs::create_directories(dir.path() / "photos");
  EXPECT_THAT(Complete(dir, {"run", ""}), UnorderedElementsAre("photos", "gallery.fl"));
  EXPECT_THAT(Complete(dir, {"resave", "gallery.fl", "g"}), UnorderedElementsAre("gallery.fl"));
  EXPECT_THAT(Complete(dir, {"run", "gallery.fl", "--input", ""}), UnorderedElementsAre("photos"));
  EXPECT_THAT(Complete(dir, {"run", "--output", "=", ""}), UnorderedElementsAre("photos"));
  EXPECT_THAT(Complete(dir, {"resample", ""}), UnorderedElementsAre("photos", "gallery.fl", "notes.txt"));
}

}  // namespace
}  // namespace fotoloom::cli
