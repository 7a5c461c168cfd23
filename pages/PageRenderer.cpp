// Page rendering with per-position preparation, and page output.
#include "pages/PageRenderer.h"

#include "core/OutputNames.h"
#include "core/TextFile.h"
#include "pages/PageNames.h"

namespace fotoloom {

void PageRenderer::Reset(const std::vector<std::string>& lines, std::span<const Macro> fixedMacros) {
  lines_ = lines;
  fixed_.clear();
  for (const Macro& m : fixedMacros) fixed_.emplace_back(std::string(m.text), std::string(m.value));
  for (auto& p : prepared_) p.reset();
}

const std::string& PageRenderer::Render(PagePosition position, std::span<const Macro> pageMacros) {
  std::optional<std::string>& prepared = prepared_[static_cast<std::size_t>(position)];
  if (!prepared) {
    std::string text;
    std::string line;
    for (const std::string& source : lines_) {
      line = source;
      if (!FilterLine(line, position)) continue;
      text += line;
      text += "\r\n";
    }
    // Template lines hold no line breaks of their own; if one does (a template
    // typed on another system), it is split like a break a value brings in.
    NormalizeLineBreaks(text, scratch_);
    for (const auto& [macro, value] : fixed_) ReplaceMacro(text, macro, value, scratch_);
    prepared = std::move(text);
  }
  page_.assign(*prepared);
  ReplaceMacros(page_, pageMacros, scratch_);
  return page_;
}

std::string RenderPage(const std::vector<std::string>& lines, PagePosition position, std::span<const Macro> macros) {
  PageRenderer renderer;
  renderer.Reset(lines, {});
  return renderer.Render(position, macros);
}

void WritePage(std::string_view folder, std::string_view name, std::string_view text) {
  WriteWholeFile(OutputPathOf(folder, name), text);
}

}  // namespace fotoloom
