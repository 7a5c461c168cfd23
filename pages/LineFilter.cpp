// The line filter with its three position rows.
#include "pages/LineFilter.h"

#include <array>
#include <string_view>

#include "pages/AsciiCase.h"
#include "pages/RemoveText.h"

namespace fotoloom {
namespace {

struct PositionRow {
  std::array<std::string_view, 2> removed;   // deleted in this order, any letter case
  std::array<std::string_view, 2> dropping;  // line dropped if one is left, exact case
};

// Indexed by PagePosition.
constexpr std::array<PositionRow, 3> kRows = {{
    {{"@oof@", "@iol@"}, {"@iof@", "@ool@"}},  // first
    {{"@iol@", "@iof@"}, {"@oof@", "@ool@"}},  // middle
    {{"@ool@", "@iof@"}, {"@iol@", "@oof@"}},  // last
}};

}  // namespace

PagePosition PositionInSequence(long long number, long long count) {
  if (number == 1) return PagePosition::First;
  if (number == count) return PagePosition::Last;
  return PagePosition::Middle;
}

bool FilterLine(std::string& line, PagePosition position) {
  // Every directive starts with "@"; most template lines have none.
  if (line.find('@') == std::string::npos) return true;
  if (FindIgnoreCase(line, "@ignore@") != std::string::npos) return false;
  const PositionRow& row = kRows[static_cast<std::size_t>(position)];
  for (std::string_view marker : row.removed)
    line = Remove_text(std::move(line), marker, kRemoveAll | kRemoveIgnoreCase);
  for (std::string_view marker : row.dropping)
    if (line.find(marker) != std::string::npos) return false;
  return true;
}

std::vector<std::string> FilterLines(const std::vector<std::string>& lines, PagePosition position) {
  std::vector<std::string> kept;
  kept.reserve(lines.size());
  for (const std::string& line : lines) {
    std::string copy = line;
    if (FilterLine(copy, position)) kept.push_back(std::move(copy));
  }
  return kept;
}

}  // namespace fotoloom
