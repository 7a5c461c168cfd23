#include "cli/ConsoleView.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace fotoloom::cli {
namespace {

// Collects what a view writes.
class Capture {
 public:
  Capture() : file_(std::tmpfile()) {}
  ~Capture() { std::fclose(file_); }
  std::FILE* file() { return file_; }
  std::string Text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    for (int c; (c = std::fgetc(file_)) != EOF;) text += char(c);
    return text;
  }

 private:
  std::FILE* file_;
};

// What the run shows for two images found, pages, and the scaled images.
void PlayRun(ConsoleView& view) {
  view.SetInputPathLabel("Input Path : photos");
  view.SetFoundLabel("Found : 1");
  view.SetInputPathLabel("Input Path : photos");
  view.SetFoundLabel("Found : 2");
  for (RunBar bar : kRunBars) view.SetBarPosition(bar, 0);
  view.SetBarMaximum(RunBar::ThumbnailPages, 1);
  view.SetBarMaximum(RunBar::ImagePages, 2);
  view.SetBarPosition(RunBar::ImagePages, 1);
  view.SetBarPosition(RunBar::ThumbnailPages, 1);
  view.SetBarPosition(RunBar::ImagePages, 2);
  view.SetBarMaximum(RunBar::ScaledImages, 2);
  view.SetBarPosition(RunBar::ScaledImages, 1);
  view.SetBarPosition(RunBar::ScaledImages, 2);
  view.Finish();
}

TEST(ConsoleView, writes_each_stage_once_when_it_ends) {
  Capture out;
  ConsoleView view(out.file(), false, false);
  PlayRun(view);
  EXPECT_EQ(out.Text(),
            "Input Path : photos\n"
            "Found : 2\n"
            "Creating Thumbnailpage 1/1, Creating Imagepage 2/2\n"
            "Creating Scaling Image 2/2\n");
}

TEST(ConsoleView, rewrites_the_running_stage_on_a_terminal) {
  Capture out;
  ConsoleView view(out.file(), true, false);
  PlayRun(view);
  const std::string text = out.Text();
  EXPECT_NE(text.find("\rFound : 1\x1b[K\rFound : 2\x1b[K\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\rCreating Scaling Image 1/2 [##########----------]  50%\x1b[K"
                      "\rCreating Scaling Image 2/2 [####################] 100%\x1b[K\n"),
            std::string::npos)
      << text;
}

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(ProgressLineText, shows_a_bar_the_percentage_and_the_time_left_after_a_few_items) {
  const std::string c = "Creating Scaling Image";
  EXPECT_EQ(ProgressLineText(c, 0, 6, seconds(0)), c + " [--------------------]   0%");
  // Two items done: too few to tell the pace.
  EXPECT_EQ(ProgressLineText(c, 2, 6, seconds(4)), c + " [######--------------]  33%");
  // Three of six in 12 s: three more take 12 s.
  EXPECT_EQ(ProgressLineText(c, 3, 6, seconds(12)), c + " [##########----------]  50% 0:12 left");
  // Rounded up to whole seconds; minutes and hours.
  EXPECT_EQ(ProgressLineText(c, 3, 4, milliseconds(3001)), c + " [###############-----]  75% 0:02 left");
  EXPECT_EQ(ProgressLineText(c, 10, 100, seconds(70)), c + " [##------------------]  10% 10:30 left");
  EXPECT_EQ(ProgressLineText(c, 3, 1000, seconds(30)), c + " [--------------------]   0% 2:46:10 left");
  // The end shows no time left; a bar without items adds nothing.
  EXPECT_EQ(ProgressLineText(c, 6, 6, seconds(99)), c + " [####################] 100%");
  EXPECT_EQ(ProgressLineText(c, 0, 0, seconds(1)), c);
  // Positions outside the bar are kept inside it.
  EXPECT_EQ(ProgressLineText(c, 9, 6, seconds(1)), c + " [####################] 100%");
}

TEST(ProgressLineText, leaves_out_the_bar_and_then_the_time_left_on_a_narrow_terminal) {
  const std::string c = "Creating Thumbnail Image 30/60";  // 30 characters
  const std::string full = c + " [##########----------]  50% 0:30 left";
  EXPECT_EQ(ProgressLineText(c, 30, 60, seconds(30), int(full.size()) + 1), full);
  EXPECT_EQ(ProgressLineText(c, 30, 60, seconds(30), int(full.size())), c + "  50% 0:30 left");
  EXPECT_EQ(ProgressLineText(c, 30, 60, seconds(30), 40), c + "  50%");
  EXPECT_EQ(ProgressLineText(c, 30, 60, seconds(30), 20), c);
}

TEST(ConsoleView, times_each_stage_from_its_start_with_the_clock_it_is_given) {
  Capture out;
  ConsoleView view(out.file(), true, false);
  ProgressClock::time_point now{};
  view.SetClock([&] { return now; });
  now += seconds(100);  // time before the stage does not count
  view.SetBarMaximum(RunBar::Thumbnails, 5);
  for (int i = 1; i <= 5; ++i) {
    now += seconds(2);
    view.SetBarPosition(RunBar::Thumbnails, i);
  }
  view.Finish();
  const std::string text = out.Text();
  EXPECT_NE(text.find("\rCreating Thumbnail Image 2/5 [########------------]  40%\x1b[K"), std::string::npos) << text;
  EXPECT_NE(text.find("\rCreating Thumbnail Image 3/5 [############--------]  60% 0:04 left\x1b[K"), std::string::npos);
  EXPECT_NE(text.find("\rCreating Thumbnail Image 4/5 [################----]  80% 0:02 left\x1b[K"), std::string::npos);
  EXPECT_TRUE(text.ends_with("\rCreating Thumbnail Image 5/5 [####################] 100%\x1b[K\n"));

  // The pages line follows the image pages; the plain lines stay as they were.
  Capture plain;
  ConsoleView off(plain.file(), false, false);
  off.SetClock([&] { return now; });
  PlayRun(off);
  EXPECT_EQ(plain.Text().find('['), std::string::npos);
}

TEST(ConsoleView, quiet_writes_nothing) {
  Capture out;
  ConsoleView view(out.file(), true, true);
  PlayRun(view);
  EXPECT_EQ(out.Text(), "");
}

TEST(AlbumListText, lines_up_the_counts_and_shows_control_characters_as_question_marks) {
  EXPECT_EQ(AlbumListText({{"", 2, 15}, {"2024", 0, 13}, {"2024/Rome", 12, 12}, {"a\nb\tc", 1, 1}}),
            "4 albums:\n"
            "  (top)      2 photos, 15 with its albums\n"
            "  2024       0 photos, 13 with its albums\n"
            "  2024/Rome  12 photos\n"
            "  a?b?c      1 photo\n");
  EXPECT_EQ(AlbumListText({{"", 1, 1}}), "1 album:\n  (top)  1 photo\n");
}

TEST(ConsoleView, lists_the_albums_on_lines_of_their_own_unless_quiet) {
  for (const bool quiet : {false, true}) {
    Capture out;
    ConsoleView view(out.file(), false, quiet);
    view.ShowAlbums({{"", 1, 3}, {"x", 2, 2}});
    view.Finish();
    EXPECT_EQ(out.Text(), quiet ? "" : AlbumListText({{"", 1, 3}, {"x", 2, 2}}));
  }
}

// A warning in the middle of the scaled images, in every kind of view.
void PlayRunWithWarning(ConsoleView& view) {
  view.SetBarMaximum(RunBar::ScaledImages, 2);
  view.SetBarPosition(RunBar::ScaledImages, 1);
  view.ShowWarning("a.jpg is damaged: premature end of data");
  view.SetBarPosition(RunBar::ScaledImages, 2);
  view.Finish();
}

TEST(ConsoleView, writes_warnings_on_lines_of_their_own_even_when_quiet) {
  Capture plain;
  ConsoleView plainView(plain.file(), false, false);
  PlayRunWithWarning(plainView);
  EXPECT_EQ(plain.Text(), "a.jpg is damaged: premature end of data\nCreating Scaling Image 2/2\n");

  Capture quiet;
  ConsoleView quietView(quiet.file(), true, true);
  PlayRunWithWarning(quietView);
  EXPECT_EQ(quiet.Text(), "a.jpg is damaged: premature end of data\n");

  // On a terminal the stage's line is put back under the warning.
  Capture live;
  ConsoleView liveView(live.file(), true, false);
  PlayRunWithWarning(liveView);
  const std::string text = live.Text();
  EXPECT_NE(text.find("\rCreating Scaling Image 1/2 [##########----------]  50%\x1b[K"
                      "\ra.jpg is damaged: premature end of data\x1b[K\n"
                      "Creating Scaling Image 1/2 [##########----------]  50%"
                      "\rCreating Scaling Image 2/2 [####################] 100%\x1b[K\n"),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace fotoloom::cli
