// The page forms of a photo's metadata texts: the image-page macros and the caption subtitle.
#include "pages/PhotoMacros.h"

#include <utility>

#include "pages/AsciiCase.h"
#include "pages/PageNames.h"

namespace fotoloom {

std::string PhotoTextOnPage(std::string_view text) {
  const std::string escaped = HtmlEscaped(text);
  std::string out;
  out.reserve(escaped.size());
  for (const char c : escaped) {
    if (c == '@')
      out += "&#64;";
    else
      out += c;
  }
  return out;
}

std::string PhotoAltText(const PhotoTexts& texts, std::string_view name) {
  return PhotoTextOnPage(texts.Caption.empty() ? name : std::string_view(texts.Caption));
}

std::array<std::string, 6> PhotoMacroValues(const PhotoTexts& texts, std::string_view name) {
  std::string caption = PhotoTextOnPage(texts.Caption);
  std::string alt = PhotoAltText(texts, name);
  return {std::move(caption),          PhotoTextOnPage(texts.DateTaken), PhotoTextOnPage(texts.Camera),
          PhotoTextOnPage(texts.Lens), PhotoTextOnPage(texts.Exposure),  std::move(alt)};
}

std::optional<std::string> CaptionSubtitleLine(const PhotoTexts& texts) {
  if (texts.Caption.empty()) return std::nullopt;
  return "<br>" + PhotoTextOnPage(texts.Caption);
}

bool UsesPhotoMacros(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    for (const std::string_view macro : kPhotoMacros)
      if (FindIgnoreCase(line, macro) != std::string_view::npos) return true;
  return false;
}

}  // namespace fotoloom
