#include "run/UpdateState.h"

#include <gtest/gtest.h>

#include "run/GalleryUpdate.h"
#include "run/UpdateRules.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

OwnedEntry ScaledEntry() {
  OwnedEntry e;
  e.Facts = {1234, {1'700'000'000, 5}, 77};
  e.Hash = 0xfedcba9876543210ULL;
  e.Photo = {"/in/my photo%.jpg", {999, {1'600'000'000, 999'999'999}, 12}, false, 0};
  e.Recipe = "v1/2001005 n_ 800x600 q90 plain colour p0";
  return e;
}

TEST(UpdateState, text_reads_back_as_written) {
  UpdateState state;
  state.Entries["n_my photo%.jpg"] = ScaledEntry();
  OwnedEntry racy = ScaledEntry();
  racy.Photo.Racy = true;
  racy.Photo.Hash = 42;
  state.Entries["t_x\ny.jpg"] = racy;
  OwnedEntry folder;
  folder.Folder = true;
  folder.Facts.Inode = 5;
  state.Entries["nav"] = folder;
  state.Entries["page1.htm"] = OwnedEntry{};
  state.Entries["-"] = OwnedEntry{};
  const std::string text = UpdateStateText(state, 31);
  EXPECT_EQ(text.substr(0, text.find('\n')), "fotoloom-update-state 1 folder 31");
  // One entry a line, whatever bytes its names hold.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
  const std::optional<UpdateState> back = ParseUpdateState(text, 31);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Entries, state.Entries);
}

TEST(UpdateState, later_lines_replace_or_forget_earlier_ones) {
  UpdateState state;
  state.Entries["a"] = ScaledEntry();
  OwnedEntry changed = ScaledEntry();
  changed.Facts.Size = 1;
  const std::string text =
      UpdateStateText(state, 1) + UpdateEntryLine("b", changed) + UpdateEntryLine("a", changed) + UpdateForgetLine("b");
  const std::optional<UpdateState> back = ParseUpdateState(text, 1);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Entries.size(), 1u);
  EXPECT_EQ(back->Entries.at("a"), changed);
}

TEST(UpdateState, another_folder_version_or_a_damaged_line_is_no_state) {
  UpdateState state;
  state.Entries["a"] = ScaledEntry();
  const std::string text = UpdateStateText(state, 1);
  EXPECT_TRUE(ParseUpdateState(text, 1));
  EXPECT_FALSE(ParseUpdateState(text, 2));
  std::string version = text;
  version.replace(version.find(" 1 "), 3, " 2 ");
  EXPECT_FALSE(ParseUpdateState(version, 1));
  EXPECT_FALSE(ParseUpdateState("", 1));
  EXPECT_FALSE(ParseUpdateState(text + "F a 1 2\n", 1));
  EXPECT_FALSE(ParseUpdateState(text + "D\n", 1));
  EXPECT_FALSE(ParseUpdateState(text + "D a%4\n", 1));
  EXPECT_FALSE(ParseUpdateState(text + "F a x 2 3 4 0 - 0 0 0 0 - -\n", 1));
  // The nanoseconds of a time stay below a second.
  EXPECT_FALSE(ParseUpdateState(text + "F a 1 2 1000000000 4 0 - 0 0 0 0 - -\n", 1));
  // A last line without its end is an append cut short: left out.
  const std::optional<UpdateState> cut = ParseUpdateState(text + "D a", 1);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Entries.size(), 1u);
}

// A forged or damaged state is never used, and the run can say why in one line.
TEST(UpdateState, tells_why_a_state_cannot_be_used) {
  const std::string text = UpdateStateText(UpdateState{}, 1);
  std::string version = text;
  version.replace(version.find(" 1 "), 3, " 2 ");
  const std::string page = "F page1.htm 10 1700000000 0 45 0000000000000002 - 0 0 0 0 - -\n";
  const struct {
    std::string text;
    StateTrouble trouble;
  } cases[] = {
      {text + page, StateTrouble::None},
      {text, StateTrouble::None},
      {"", StateTrouble::Damaged},
      {std::string("\0\0\0", 3), StateTrouble::Damaged},
      {text + "F page1.htm 1 2\n", StateTrouble::Damaged},
      {version, StateTrouble::OtherVersion},
      {UpdateStateText(UpdateState{}, 2), StateTrouble::OtherFolder},
      {text + "F ..%2Fvictim.txt 10 1700000000 0 45 0000000000000002 - 0 0 0 0 - -\n", StateTrouble::NameOutside},
      {text + "F ../victim.jpg 10 1700000000 0 45 0000000000000002 - 0 0 0 0 - -\n", StateTrouble::NameOutside},
      {text + "F %2Fetc%2Fpasswd 10 1700000000 0 45 0000000000000002 - 0 0 0 0 - -\n", StateTrouble::NameOutside},
      {text + "M ..%2F.. 45\n", StateTrouble::NameOutside},
      {text + "D .fotoloom-update-state\n", StateTrouble::NameOutside},
      {text + page + "F sub%2F..%2F..%2Fx 1 2 0 45 0000000000000002 - 0 0 0 0 - -\n", StateTrouble::NameOutside},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    StateTrouble trouble = StateTrouble::Missing;
    EXPECT_EQ(ParseUpdateState(c.text, 1, &trouble).has_value(), c.trouble == StateTrouble::None);
    EXPECT_EQ(trouble, c.trouble);
  }
  test::TempDir dir;
  StateTrouble trouble = StateTrouble::None;
  EXPECT_FALSE(ReadUpdateState(dir.str(), &trouble));
  EXPECT_EQ(trouble, StateTrouble::Missing);
  EXPECT_EQ(StateTroubleMessage(StateTrouble::Missing), "");
  EXPECT_EQ(StateTroubleMessage(StateTrouble::Damaged), "The update state was damaged: a full run");
}

TEST(UpdateStateFile, rewrites_whole_and_appends_lines_a_reader_sees) {
  test::TempDir dir;
  UpdateStateFile file(dir.str());
  file.Append(UpdateForgetLine("ignored"));  // before a rewrite: nowhere
  EXPECT_FALSE(ReadUpdateState(dir.str()));
  UpdateState state;
  state.Entries["a"] = ScaledEntry();
  ASSERT_TRUE(file.Rewrite(state));
  file.Append(UpdateEntryLine("b", ScaledEntry()));
  const std::optional<UpdateState> back = ReadUpdateState(dir.str());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Entries.size(), 2u);
  EXPECT_GT(back->Written.Sec, 0);
  // The state of one folder is no state of another, even copied there.
  test::TempDir other;
  test::WriteFile(other / std::string(kUpdateStateFileName), test::ReadFile(file.Path()));
  EXPECT_FALSE(ReadUpdateState(other.str()));
}

TEST(UpdateRules, a_time_within_one_tick_of_a_later_one_is_doubtful) {
  EXPECT_TRUE(WithinOneTick({10, 0}, {11, 999'999'999}));
  EXPECT_FALSE(WithinOneTick({10, 0}, {12, 0}));
  EXPECT_TRUE(WithinOneTick({20, 0}, {12, 0}));  // after the later one: a clock set back
}

TEST(UpdateRules, a_file_is_ours_while_its_facts_and_near_the_state_its_content_match) {
  const OwnedEntry e = ScaledEntry();
  const FileTime later{e.Facts.Modified.Sec + 10, 0};
  int hashed = 0;
  const auto hash = [&hashed](std::uint64_t value) {
    return [&hashed, value]() -> std::optional<std::uint64_t> {
      ++hashed;
      return value;
    };
  };
  EXPECT_EQ(OwnershipOf(&e, std::nullopt, later, hash(e.Hash)), Ownership::Missing);
  EXPECT_EQ(OwnershipOf(nullptr, e.Facts, later, hash(e.Hash)), Ownership::NotOurs);
  EXPECT_EQ(OwnershipOf(&e, e.Facts, later, hash(0)), Ownership::Ours);
  EXPECT_EQ(hashed, 0);
  FileFacts other = e.Facts;
  other.Inode = 78;
  EXPECT_EQ(OwnershipOf(&e, other, later, hash(e.Hash)), Ownership::NotOurs);
  // Written within a tick of the state: the content decides.
  const FileTime close{e.Facts.Modified.Sec + 1, 0};
  EXPECT_EQ(OwnershipOf(&e, e.Facts, close, hash(e.Hash)), Ownership::Ours);
  EXPECT_EQ(OwnershipOf(&e, e.Facts, close, hash(1)), Ownership::NotOurs);
  EXPECT_EQ(OwnershipOf(&e, e.Facts, close, [] { return std::optional<std::uint64_t>(); }), Ownership::NotOurs);
  EXPECT_EQ(hashed, 2);
}

TEST(UpdateRules, decisions_for_images_and_copies) {
  const OwnedEntry e = ScaledEntry();
  const PhotoIdentity same = e.Photo;
  PhotoIdentity touched = same;
  touched.Facts.Modified.Nsec -= 1;
  const auto none = [] { return std::optional<std::uint64_t>(); };
  EXPECT_TRUE(SamePhoto(e.Photo, same, none));
  EXPECT_FALSE(SamePhoto(e.Photo, touched, none));
  PhotoIdentity moved = same;
  moved.Path = "/in/other.jpg";
  EXPECT_FALSE(SamePhoto(e.Photo, moved, none));
  // A racy record is compared by content.
  PhotoIdentity racy = same;
  racy.Racy = true;
  racy.Hash = 9;
  EXPECT_TRUE(SamePhoto(racy, same, [] { return std::optional<std::uint64_t>(9); }));
  EXPECT_FALSE(SamePhoto(racy, same, [] { return std::optional<std::uint64_t>(8); }));
  EXPECT_TRUE(SamePhoto(racy, racy, none));

  EXPECT_FALSE(MustEncodeAgain(&e, Ownership::Ours, true, e.Recipe));
  EXPECT_TRUE(MustEncodeAgain(nullptr, Ownership::Ours, true, e.Recipe));
  EXPECT_TRUE(MustEncodeAgain(&e, Ownership::NotOurs, true, e.Recipe));
  EXPECT_TRUE(MustEncodeAgain(&e, Ownership::Missing, true, e.Recipe));
  EXPECT_TRUE(MustEncodeAgain(&e, Ownership::Ours, false, e.Recipe));
  EXPECT_TRUE(MustEncodeAgain(&e, Ownership::Ours, true, e.Recipe + " "));

  EXPECT_EQ(OriginalCopyAction(Ownership::Missing, false), OriginalCopy::UnlessPresentWhole);
  EXPECT_EQ(OriginalCopyAction(Ownership::NotOurs, false), OriginalCopy::Skip);
  EXPECT_EQ(OriginalCopyAction(Ownership::Ours, true), OriginalCopy::Skip);
  EXPECT_EQ(OriginalCopyAction(Ownership::Ours, false), OriginalCopy::ReplaceWhole);
  EXPECT_TRUE(MayDelete(Ownership::Ours));
  EXPECT_FALSE(MayDelete(Ownership::NotOurs));
  EXPECT_FALSE(MayDelete(Ownership::Missing));
}

TEST(GalleryUpdate, records_only_plain_names_inside_the_folder) {
  EXPECT_TRUE(IsPlainRelativeName("page1.htm"));
  EXPECT_TRUE(IsPlainRelativeName("nav/a.gif"));
  EXPECT_FALSE(IsPlainRelativeName(""));
  EXPECT_FALSE(IsPlainRelativeName("/etc/passwd"));
  EXPECT_FALSE(IsPlainRelativeName("../page1.htm"));
  EXPECT_FALSE(IsPlainRelativeName("nav//a.gif"));
  EXPECT_FALSE(IsPlainRelativeName("nav/./a.gif"));
}

}  // namespace
}  // namespace fotoloom
