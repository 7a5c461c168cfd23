#include "cli/ConsoleView.h"

#include <gtest/gtest.h>

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
  EXPECT_NE(text.find("\rCreating Scaling Image 1/2\x1b[K\rCreating Scaling Image 2/2\x1b[K\n"), std::string::npos);
}

TEST(ConsoleView, quiet_writes_nothing) {
  Capture out;
  ConsoleView view(out.file(), true, true);
  PlayRun(view);
  EXPECT_EQ(out.Text(), "");
}

}  // namespace
}  // namespace fotoloom::cli
