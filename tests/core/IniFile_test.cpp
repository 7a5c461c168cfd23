#include "core/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>

#include "support/TempDir.h"

namespace fotoloom {
namespace {

TEST(IniFile, sections_and_keys_match_without_regard_to_case) {
  const IniFile ini("[Step2]\r\nUsefilter=1\r\n[STEP3]\r\ntitle=Hi\r\n");
  EXPECT_EQ(ini.Value("Step2", "UseFilter"), "1");
  EXPECT_EQ(ini.Value("step2", "USEFILTER"), "1");
  EXPECT_EQ(ini.Value("Step3", "Title"), "Hi");
  EXPECT_EQ(ini.Value("Step2", "Title"), std::nullopt);  // a section ends at the next one
  EXPECT_EQ(ini.Value("Step1", "UseFilter"), std::nullopt);
}

TEST(IniFile, values_are_trimmed_and_lose_one_pair_of_enclosing_quotes) {
  const IniFile ini(
      "[S]\n"
      "a= \t spaced\t \n"
      "b=\"quoted\"\n"
      "c='single'\n"
      "d=\"mixed'\n"
      "e=\"\"inner\"\"\n"
      "f=x=y\n"
      "  g  =after blanks\n"
      "h=\n"
      "i=\"\n");
  EXPECT_EQ(ini.Value("S", "a"), "spaced");
  EXPECT_EQ(ini.Value("S", "b"), "quoted");
  EXPECT_EQ(ini.Value("S", "c"), "single");
  EXPECT_EQ(ini.Value("S", "d"), "\"mixed'");
  EXPECT_EQ(ini.Value("S", "e"), "\"inner\"");
  EXPECT_EQ(ini.Value("S", "f"), "x=y");
  EXPECT_EQ(ini.Value("S", "g"), "after blanks");
  EXPECT_EQ(ini.Value("S", "h"), "");
  EXPECT_EQ(ini.Value("S", "i"), "\"");
}

TEST(IniFile, present_text_keys_yield_their_value_even_when_empty) {
  const IniFile ini("[S]\r\nempty=\r\n");
  EXPECT_EQ(ini.ReadString("S", "empty", "fallback"), "");
  EXPECT_EQ(ini.ReadString("S", "missing", "fallback"), "fallback");
}

TEST(IniFile, integer_keys_read_decimal_and_hex_and_fall_back_otherwise) {
  const IniFile ini(
      "[S]\nzero=0\nhex=0x20\nHEX=0X1f\ndollar=$10\nneg=-1\nlead=0150\nplus=+7\n"
      "abc=abc\nempty=\nfrac=1.5\nspace=1 2\nbig=99999999999\nbare=0x\n");
  EXPECT_EQ(ini.ReadInteger("S", "zero", 90), 0);
  EXPECT_EQ(ini.ReadInteger("S", "hex", 90), 32);
  EXPECT_EQ(ini.ReadInteger("S", "dollar", 90), 16);
  EXPECT_EQ(ini.ReadInteger("S", "neg", 90), -1);
  EXPECT_EQ(ini.ReadInteger("S", "lead", 90), 150);
  EXPECT_EQ(ini.ReadInteger("S", "plus", 90), 7);
  for (const char* key : {"abc", "empty", "frac", "space", "big", "bare", "missing"})
    EXPECT_EQ(ini.ReadInteger("S", key, 90), 90) << key;
}

TEST(IniFile, yes_means_exactly_one) {
  const IniFile ini("[S]\none=1\ntwo=2\nminus=-1\nzero=0\nhex=$1\njunk=yes\n");
  EXPECT_TRUE(ini.ReadBool("S", "one", false));
  EXPECT_TRUE(ini.ReadBool("S", "hex", false));
  EXPECT_FALSE(ini.ReadBool("S", "two", true));
  EXPECT_FALSE(ini.ReadBool("S", "minus", true));
  EXPECT_FALSE(ini.ReadBool("S", "zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "junk", true));  // not a number: the fallback
  EXPECT_TRUE(ini.ReadBool("S", "missing", true));
}

TEST(IniFile, section_entries_come_in_file_order_and_skip_lines_without_a_key) {
  const IniFile ini("stray=1\n[T]\nLine0=dA\n\njust text\nLine10=dB\n[U]\nx=1\n");
  const auto entries = ini.SectionEntries("t");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Key, "Line0");
  EXPECT_EQ(entries[0].Value, "dA");
  EXPECT_EQ(entries[1].Key, "Line10");
  EXPECT_EQ(entries[1].Value, "dB");
  EXPECT_TRUE(ini.SectionEntries("missing").empty());
  EXPECT_EQ(ini.Value("", "stray"), std::nullopt);
}

TEST(IniFile, the_first_of_repeated_keys_and_sections_wins) {
  const IniFile ini("[S]\nk=first\nK=second\n[S]\nk=third\nonly=later\n");
  EXPECT_EQ(ini.Value("S", "k"), "first");
  EXPECT_EQ(ini.Value("S", "only"), std::nullopt);
}

TEST(IniFile, long_values_are_read_in_full) {
  const std::string value(5000, 'x');
  const IniFile ini("[S]\nk=" + value + "\n");
  EXPECT_EQ(ini.Value("S", "k"), value);
}

TEST(IniFile, a_missing_or_unreadable_file_reads_as_empty) {
  test::TempDir dir;
  EXPECT_TRUE(IniFile::Load(dir / "none.fl").SectionEntries("S").empty());
  EXPECT_EQ(IniFile::Load(dir.str()).Value("S", "k"), std::nullopt);  // a folder
  test::WriteFile(dir / "a.fl", "[S]\r\nk=v\r\n");
  EXPECT_EQ(IniFile::Load(dir / "a.fl").Value("S", "k"), "v");
}

TEST(IniFile, fifos_and_devices_read_as_empty_without_blocking) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe.fl").c_str(), 0644), 0);
  EXPECT_TRUE(IniFile::Load(dir / "pipe.fl").SectionEntries("S").empty());  // no writer: would wait for ever
  EXPECT_TRUE(IniFile::Load("/dev/zero").SectionEntries("S").empty());      // endless: would fill the memory
}

TEST(ParseIniInteger, hex_takes_the_32_bits_and_decimal_must_fit) {
  EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInteger("$0000000020"), 32);
  EXPECT_EQ(ParseIniInteger("$100000000"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("-$10"), -16);
  EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseIniInteger("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParseIniInteger("2147483648"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("$G1"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("-"), std::nullopt);
}

TEST(ParseIniYesNoWord, takes_yes_and_no_in_any_case_and_nothing_else) {
  const struct {
    const char* text;
    std::optional<bool> value;
  } cases[] = {{"yes", true}, {"YES", true}, {"Yes", true}, {"no", false}, {"nO", false},
               {"1", {}},     {"0", {}},     {"", {}},      {"y", {}},     {"yess", {}},
               {" yes", {}},  {"true", {}},  {"on", {}},    {"n", {}},     {"none", {}}};
  for (const auto& c : cases) EXPECT_EQ(ParseIniYesNoWord(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace fotoloom
