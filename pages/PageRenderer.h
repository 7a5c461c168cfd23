// Rendering pages of one kind from one template, and writing a page file.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pages/LineFilter.h"
#include "pages/MacroReplace.h"

namespace fotoloom {

// Renders the pages of one sequence from one template. The line filter runs
// once per position, and the leading macros whose values are the same on every
// page (the colours, for example) are replaced once per position too; each page
// then only replaces its own macros. The result equals filtering, joining with
// CR LF after every line and replacing all macros in order, page by page.
class PageRenderer {
 public:
  // Takes copies of the template and of the fixed leading macros.
  void Reset(const std::vector<std::string>& lines, std::span<const Macro> fixedMacros);

  // The text of a page at position: the fixed macros and then pageMacros
  // replaced in order, every line ended by CR LF. The text stays valid until
  // the next call or Reset.
  const std::string& Render(PagePosition position, std::span<const Macro> pageMacros);

 private:
  std::vector<std::string> lines_;
  std::vector<std::pair<std::string, std::string>> fixed_;
  std::array<std::optional<std::string>, 3> prepared_;  // by PagePosition
  std::string page_;
  std::string scratch_;
};

// Filters lines for position, joins them with CR LF after every line and
// replaces the macros in order: the whole text of one page.
std::string RenderPage(const std::vector<std::string>& lines, PagePosition position, std::span<const Macro> macros);

// Writes text as the file name in folder (see OutputPathOf: a name the output
// folder's rule refuses raises before anything is written), replacing an
// existing file. Raises "Cannot create file "<path>". <reason>" on failure.
void WritePage(std::string_view folder, std::string_view name, std::string_view text);

}  // namespace fotoloom
