// Progress lines of fotoloom-cli.
#include "cli/ConsoleView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace fotoloom::cli {
namespace {

// Characters of the bar between its brackets.
constexpr int kBarWidth = 20;

// "0:07", "12:34" or "1:02:03".
std::string Clock(std::int64_t seconds) {
  char text[32];
  const auto h = seconds / 3600;
  const auto m = seconds / 60 % 60;
  const auto s = seconds % 60;
  if (h > 0)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(h), static_cast<long long>(m),
                  static_cast<long long>(s));
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(m), static_cast<long long>(s));
  return text;
}

}  // namespace

std::string FolderShownOnConsole(std::string folder) {
  for (char& c : folder)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return folder;
}

std::string AlbumListText(const std::vector<AlbumSummary>& albums) {
  const auto shown = [](const std::string& folder) {
    return folder.empty() ? std::string("(top)") : FolderShownOnConsole(folder);
  };
  std::size_t width = 0;
  for (const AlbumSummary& a : albums) width = std::max(width, shown(a.Folder).size());
  std::string text = std::to_string(albums.size()) + (albums.size() == 1 ? " album:\n" : " albums:\n");
  for (const AlbumSummary& a : albums) {
    std::string line = "  " + shown(a.Folder);
    line.resize(width + 4, ' ');
    line += std::to_string(a.Photos) + (a.Photos == 1 ? " photo" : " photos");
    if (a.PhotosInTree != a.Photos) line += ", " + std::to_string(a.PhotosInTree) + " with its albums";
    text += line + "\n";
  }
  return text;
}

std::string ProgressLineText(const std::string& counts, int position, int maximum, ProgressClock::duration elapsed,
                             int columns) {
  if (maximum <= 0) return counts;
  const std::int64_t done = position < 0 ? 0 : position > maximum ? maximum : position;
  const auto filled = static_cast<std::size_t>(done * kBarWidth / maximum);
  const std::string bar = " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "]";
  char percent[8];
  std::snprintf(percent, sizeof percent, " %3d%%", static_cast<int>(done * 100 / maximum));
  std::string left;
  if (done >= kEstimateAfter && done < maximum) {
    const double seconds = std::chrono::duration<double>(elapsed).count() * double(maximum - done) / double(done);
    left = " " + Clock(static_cast<std::int64_t>(std::ceil(std::max(seconds, 0.0)))) + " left";
  }
  const auto fits = [columns](const std::string& line) { return columns <= 0 || int(line.size()) < columns; };
  if (const std::string line = counts + bar + percent + left; fits(line)) return line;
  if (const std::string line = counts + percent + left; fits(line)) return line;
  if (const std::string line = counts + percent; fits(line)) return line;
  return counts;
}

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
  Show(Line::InputPath, text, text);
}

void ConsoleView::SetFoundLabel(const std::string& text) { Show(Line::Found, text, text); }

void ConsoleView::SetBarMaximum(RunBar bar, int maximum) {
  maximum_[std::size_t(bar)] = maximum;
  position_[std::size_t(bar)] = 0;
  if (live_) started_[std::size_t(bar)] = now_();
  ShowBar(bar);
}

void ConsoleView::SetBarPosition(RunBar bar, int position) {
  position_[std::size_t(bar)] = position;
  // The run puts every bar back to 0 before its stages; that starts no line.
  if (LineOf(bar) != current_) return;
  ShowBar(bar);
}

void ConsoleView::ShowImagesUpToDate(int upToDate, int total) {
  if (quiet_) return;
  Finish();
  std::fprintf(out_, "%d of %d images up to date\n", upToDate, total);
  std::fflush(out_);
}

void ConsoleView::ShowAlbums(const std::vector<AlbumSummary>& albums) {
  if (quiet_) return;
  Finish();
  std::fputs(AlbumListText(albums).c_str(), out_);
  std::fflush(out_);
}

void ConsoleView::ShowWarning(const std::string& text) {
  if (live_ && !quiet_ && current_ != Line::None)
    std::fprintf(out_, "\r%s\x1b[K\n%s", text.c_str(), liveText_.c_str());
  else
    std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

void ConsoleView::ShowBar(RunBar bar) {
  // The pages line shows both page counts; its bar follows the image pages,
  // of which there are the most.
  const bool pages = LineOf(bar) == Line::Pages;
  const std::string text = BarText(pages ? RunBar::ThumbnailPages : bar);
  if (!live_) {
    Show(LineOf(bar), text, text);
    return;
  }
  const std::size_t i = std::size_t(pages ? RunBar::ImagePages : bar);
  Show(LineOf(bar), text, ProgressLineText(text, position_[i], maximum_[i], now_() - started_[i], columns_));
}

void ConsoleView::Show(Line line, const std::string& text, const std::string& liveText) {
  if (quiet_) return;
  if (line != current_) Finish();
  current_ = line;
  text_ = text;
  if (live_) {
    liveText_ = liveText;
    std::fprintf(out_, "\r%s\x1b[K", liveText.c_str());
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
