#include "core/ImageOrdering.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace fotoloom {
namespace {

using ::testing::ElementsAre;

// Sets the locale variables for one test and restores them afterwards.
class LocaleEnv {
 public:
  LocaleEnv(const char* lcAll, const char* lcCollate, const char* lang) {
    Set("LC_ALL", lcAll);
    Set("LC_COLLATE", lcCollate);
    Set("LANG", lang);
  }
  ~LocaleEnv() {
    for (const auto& [name, value] : saved_)
      value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }

 private:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

ImageEntry Entry(const std::string& name, CalendarDate day = {2006, 1, 1}, const std::string& folder = "/in/") {
  return ImageEntry{folder, name, day};
}

TEST(UserCollationLocale, takes_the_first_set_variable_without_encoding_and_maps_c_to_root) {
  {
    LocaleEnv env(nullptr, nullptr, "de_DE.UTF-8");
    EXPECT_EQ(UserCollationLocale(), "de_DE");
  }
  {
    LocaleEnv env("sv_SE.UTF-8@euro", "de_DE", "fr_FR");
    EXPECT_EQ(UserCollationLocale(), "sv_SE");
  }
  {
    LocaleEnv env("", "fr_FR.UTF-8", "de_DE");
    EXPECT_EQ(UserCollationLocale(), "fr_FR");
  }
  for (const char* c : {"C", "POSIX", "C.UTF-8"}) {
    LocaleEnv env(c, nullptr, "de_DE");
    EXPECT_EQ(UserCollationLocale(), "") << c;
  }
  {
    LocaleEnv env(nullptr, nullptr, nullptr);
    EXPECT_EQ(UserCollationLocale(), "");
  }
}

TEST(NameCollator, compares_linguistically_in_the_c_locale) {
  LocaleEnv env("C", nullptr, nullptr);
  const NameCollator c;
  EXPECT_EQ(c.Compare("a.jpg", "B.jpg"), -1);
  EXPECT_EQ(c.Compare("B.jpg", "a.jpg"), 1);
  EXPECT_EQ(c.Compare("img10.jpg", "img2.jpg"), -1);
  EXPECT_EQ(c.Compare("a.jpg", "a.jpg"), 0);
  EXPECT_NE(c.Compare("a.jpg", "A.jpg"), 0);                   // case counts
  EXPECT_NE(c.Compare("e.jpg", "\xC3\xA9.jpg"), 0);            // accents count (é)
  EXPECT_EQ(c.Compare("\xC3\xA9t\xC3\xA9.jpg", "f.jpg"), -1);  // été before f
}

TEST(NameCollator, follows_the_users_locale) {
  // Swedish sorts ö after z; the root collation puts it with o.
  const std::string oe = "\xC3\xB6.jpg";
  EXPECT_EQ(NameCollator("").Compare(oe, "z.jpg"), -1);
  EXPECT_EQ(NameCollator("sv_SE").Compare(oe, "z.jpg"), 1);
  LocaleEnv env(nullptr, nullptr, "sv_SE.UTF-8");
  EXPECT_EQ(NameCollator().Compare(oe, "z.jpg"), 1);
}

TEST(ListView1Compare, text_mode_compares_names_linguistically) {
  LocaleEnv env("C", nullptr, nullptr);
  const NameCollator c;
  EXPECT_EQ(ListView1Compare(Entry("a.jpg", {2009, 1, 1}), Entry("B.jpg", {2001, 1, 1}), CompareMode::Text, &c), -1);
  EXPECT_EQ(ListView1Compare(Entry("B.jpg"), Entry("a.jpg"), CompareMode::Text, nullptr), 1);
  EXPECT_EQ(ListView1Compare(Entry("a.jpg", {}, "/x/"), Entry("a.jpg", {}, "/y/"), CompareMode::Text, &c), 0);
}

TEST(ListView1Compare, date_mode_compares_days_only) {
  const ImageEntry early = Entry("z.jpg", {2005, 12, 24});
  const ImageEntry late = Entry("a.jpg", {2006, 3, 5});
  EXPECT_EQ(ListView1Compare(early, late, CompareMode::Date, nullptr), -1);
  EXPECT_EQ(ListView1Compare(late, early, CompareMode::Date, nullptr), 1);
  EXPECT_EQ(ListView1Compare(late, Entry("b.jpg", {2006, 3, 5}), CompareMode::Date, nullptr), 0);
  // Month and day weigh below the year.
  EXPECT_EQ(ListView1Compare(Entry("x", {2005, 12, 31}), Entry("y", {2006, 1, 1}), CompareMode::Date, nullptr), -1);
}

TEST(Build_image_list, date_orders_keep_ties_in_discovery_order_and_reverse_exactly) {
  const std::vector<ImageEntry> found = {Entry("first.jpg", {2006, 3, 5}), Entry("old.jpg", {2005, 12, 24}),
                                         Entry("second.jpg", {2006, 3, 5})};
  EXPECT_THAT(Build_image_list(found, 0), ElementsAre("/in/old.jpg", "/in/first.jpg", "/in/second.jpg"));
  EXPECT_THAT(Build_image_list(found, 1), ElementsAre("/in/second.jpg", "/in/first.jpg", "/in/old.jpg"));
}

TEST(Build_image_list, name_orders_are_linguistic_and_reverse_exactly) {
  LocaleEnv env("C", nullptr, nullptr);
  const std::vector<ImageEntry> found = {Entry("img2.jpg"), Entry("B.jpg"), Entry("img10.jpg"), Entry("a.jpg"),
                                         Entry("img1.jpg")};
  EXPECT_THAT(Build_image_list(found, 2),
              ElementsAre("/in/a.jpg", "/in/B.jpg", "/in/img1.jpg", "/in/img10.jpg", "/in/img2.jpg"));
  EXPECT_THAT(Build_image_list(found, 3),
              ElementsAre("/in/img2.jpg", "/in/img10.jpg", "/in/img1.jpg", "/in/B.jpg", "/in/a.jpg"));
}

TEST(Build_image_list, equal_names_in_different_folders_keep_discovery_order_and_reverse_exactly) {
  const std::vector<ImageEntry> found = {Entry("a.jpg", {}, "/one/"), Entry("a.jpg", {}, "/two/")};
  EXPECT_THAT(Build_image_list(found, 2), ElementsAre("/one/a.jpg", "/two/a.jpg"));
  EXPECT_THAT(Build_image_list(found, 3), ElementsAre("/two/a.jpg", "/one/a.jpg"));
}

TEST(Build_image_list, an_order_outside_the_list_sorts_by_date_ascending) {
  const std::vector<ImageEntry> found = {Entry("a.jpg", {2007, 1, 1}), Entry("b.jpg", {2001, 1, 1})};
  for (int index : {-1, 4, 99})
    EXPECT_THAT(Build_image_list(found, index), ElementsAre("/in/b.jpg", "/in/a.jpg")) << index;
}

// An entry last written at the local time given, optionally taken at another.
ImageEntry Timed(const std::string& name, LocalTimestamp written, std::optional<LocalTimestamp> taken = std::nullopt) {
  ImageEntry e = Entry(name, written.Date);
  e.FileTime = written;
  e.DateTaken = taken;
  return e;
}

LocalTimestamp At(int day, int hour, int minute = 0, int second = 0, int nanosecond = 0) {
  return LocalTimestamp{{2024, 5, day}, hour, minute, second, nanosecond};
}

TEST(GalleryOrder, with_use_exif_orders_by_time_taken_else_by_the_exact_file_time) {
  // File times say c, b, a; the cameras say a, b; c has no date and keys on its file time.
  const std::vector<ImageEntry> found = {
      Timed("a.jpg", At(20, 9), At(1, 8)),
      Timed("b.jpg", At(19, 9), At(10, 12)),
      Timed("c.jpg", At(2, 7)),
  };
  EXPECT_THAT(GalleryOrder(found, 0, true), ElementsAre(0, 2, 1));
  EXPECT_THAT(GalleryOrder(found, 1, true), ElementsAre(1, 2, 0));
  // Clear, the day of the file decides, as always.
  EXPECT_THAT(GalleryOrder(found, 0, false), ElementsAre(2, 1, 0));
  EXPECT_THAT(Build_image_list(found, 0), ElementsAre("/in/c.jpg", "/in/b.jpg", "/in/a.jpg"));
  EXPECT_THAT(Build_image_list(found, 0, true), ElementsAre("/in/a.jpg", "/in/c.jpg", "/in/b.jpg"));
}

TEST(GalleryOrder, compares_seconds_and_below_and_keeps_equal_moments_in_discovery_order) {
  const std::vector<ImageEntry> found = {
      Timed("burst2.jpg", At(3, 10), At(1, 12, 0, 5, 500000000)),
      Timed("burst1.jpg", At(3, 10), At(1, 12, 0, 5, 250000000)),
      Timed("same1.jpg", At(3, 10), At(1, 12, 0, 6)),
      Timed("file.jpg", At(1, 12, 0, 6, 0)),  // its file time equals same1's time taken
      Timed("same2.jpg", At(3, 10), At(1, 12, 0, 6)),
      Timed("nanos.jpg", At(1, 12, 0, 6, 1)),
  };
  EXPECT_THAT(GalleryOrder(found, 0, true), ElementsAre(1, 0, 2, 3, 4, 5));
  EXPECT_THAT(GalleryOrder(found, 1, true), ElementsAre(5, 4, 3, 2, 0, 1));
}

TEST(GalleryOrder, without_use_exif_keeps_todays_order_to_the_day_whatever_the_dates_taken) {
  // Same day, different hours, and dates taken that would order them otherwise.
  const std::vector<ImageEntry> found = {
      Timed("late.jpg", At(5, 23), At(1, 0)),
      Timed("early.jpg", At(5, 1), At(2, 0)),
      Timed("before.jpg", At(4, 12), At(9, 0)),
  };
  EXPECT_THAT(GalleryOrder(found, 0), ElementsAre(2, 0, 1));
  EXPECT_THAT(GalleryOrder(found, 1), ElementsAre(1, 0, 2));
  // Name orders never look at times.
  LocaleEnv env("C", nullptr, nullptr);
  EXPECT_THAT(GalleryOrder(found, 2, true), GalleryOrder(found, 2, false));
  EXPECT_THAT(GalleryOrder(found, 2, true), ElementsAre(2, 1, 0));
}

TEST(Build_image_list, joins_folder_and_name_with_one_separator) {
  EXPECT_THAT(Build_image_list({Entry("a.jpg", {}, "/in")}, 0), ElementsAre("/in/a.jpg"));
  EXPECT_THAT(Build_image_list({Entry("a.jpg", {}, "/in/")}, 0), ElementsAre("/in/a.jpg"));
  for (int index = 0; index <= 3; ++index) EXPECT_EQ(Build_image_list({Entry("one.jpg")}, index).size(), 1u);
  EXPECT_TRUE(Build_image_list({}, 2).empty());
}

}  // namespace
}  // namespace fotoloom
