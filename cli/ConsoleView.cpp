// Progress lines of fotoloom-cli.
#include "cli/ConsoleView.h"

namespace fotoloom::cli {

ConsoleView::ConsoleView(std::FILE* out, bool live, bool quiet) : out_(out), live_(live), quiet_(quiet) {}

ConsoleView::Line ConsoleView::LineOf(RunBar bar) {
  switch (bar) {
    case RunBar::ThumbnailPages:
    case RunBar::ImagePages: return Line::Pages;
    case RunBar::Originals: return Line::Originals;
    case RunBar::ScaledImages: return Line::ScaledImages;
    case RunBar::Thumbnails: return Line::Thumbnails;
  }
  return Line::None;
}

std::string ConsoleView::BarText(RunBar bar) const {
  const std::size_t i = std::size_t(bar);
  std::string text(RunBarCaption(bar));
  text += ' ' + std::to_string(position_[i]) + '/' + std::to_string(maximum_[i]);
  if (bar == RunBar::ThumbnailPages) text += ", " + BarText(RunBar::ImagePages);
  return text;
}

void ConsoleView::SetInputPathLabel(const std::string& text) {
  // The label is set again for every file found; it is shown once.
  if (text == inputLabel_) return;
  inputLabel_ = text;
  Show(Line::InputPath, text);
}

void ConsoleView::SetFoundLabel(const std::string& text) { Show(Line::Found, text); }

void ConsoleView::SetBarMaximum(RunBar bar, int maximum) {
  maximum_[std::size_t(bar)] = maximum;
  position_[std::size_t(bar)] = 0;
  const RunBar first = LineOf(bar) == Line::Pages ? RunBar::ThumbnailPages : bar;
  Show(LineOf(bar), BarText(first));
}

void ConsoleView::SetBarPosition(RunBar bar, int position) {
  position_[std::size_t(bar)] = position;
  // The run puts every bar back to 0 before its stages; that starts no line.
  if (LineOf(bar) != current_) return;
  const RunBar first = LineOf(bar) == Line::Pages ? RunBar::ThumbnailPages : bar;
  Show(LineOf(bar), BarText(first));
}

void ConsoleView::Show(Line line, const std::string& text) {
  if (quiet_) return;
  if (line != current_) Finish();
  current_ = line;
  text_ = text;
  if (live_) {
    std::fprintf(out_, "\r%s\x1b[K", text_.c_str());
    std::fflush(out_);
  }
}

void ConsoleView::Finish() {
  if (quiet_ || current_ == Line::None) return;
  if (live_)
    std::fputc('\n', out_);
  else
    std::fprintf(out_, "%s\n", text_.c_str());
  std::fflush(out_);
  current_ = Line::None;
}

}  // namespace fotoloom::cli
