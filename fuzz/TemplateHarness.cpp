// Fuzz entry for the template language: line filter, macro replacement and the page renderer.
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzHarness.h"
#include "pages/LineFilter.h"
#include "pages/MacroReplace.h"
#include "pages/PageNames.h"
#include "pages/PageRenderer.h"

namespace fotoloom::fuzz {
namespace {

// What a browser does to an attribute value: entities back to characters.
std::string EntitiesDecoded(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool matched = false;
    for (const auto& [entity, c] : kEntities) {
      if (text.substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size();
        matched = true;
        break;
      }
    }
    if (!matched) out += text[i++];
  }
  return out;
}

// And then what it does to a relative link: "%XX" back to the byte.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A file name put into a page must come back unchanged through the browser's
// decoding, and must not hold a character that ends an attribute or a tag or
// cuts a link short.
void CheckNameInPage(std::string_view name) {
  if (name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos) return;
  const PageImageValues v = PageValuesOfImage("/in/" + std::string(name));
  for (const std::string* text : {&v.fileName, &v.thumbnailLink, &v.smallerLink, &v.bigLink})
    if (text->find_first_of("<>\"") != std::string::npos) std::abort();
  for (const std::string* link : {&v.thumbnailLink, &v.smallerLink, &v.bigLink})
    if (link->find_first_of("#? \\\r\n\t") != std::string::npos) std::abort();
  if (EntitiesDecoded(v.fileName) != name) std::abort();
  if (PercentDecoded(EntitiesDecoded(v.thumbnailLink)) != "t_" + std::string(name)) std::abort();
}

}  // namespace

// Input layout: byte 0 picks the position and how many leading macros are
// fixed; the rest is split at NUL bytes into the template text (its lines
// separated by LF) and then macro text, value, macro text, value ...
void TemplateInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  CheckNameInPage(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto position = static_cast<PagePosition>(data[0] % 3);
  const std::size_t fixedWanted = (data[0] >> 2) & 0x0F;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = rest.find('\0', start);
    parts.push_back(rest.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }

  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = parts[0].find('\n', start);
    lines.emplace_back(parts[0].substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }

  std::vector<Macro> macros;
  for (std::size_t i = 1; i + 1 < parts.size(); i += 2) macros.push_back({parts[i], parts[i + 1]});

  // Values that bring in later macros again and again make the text grow
  // exponentially with the list's length. The pages' own values (numbers,
  // colours, names) cannot do that, so such inputs only measure the fuzzer's
  // patience: skip those whose page could pass 1 MiB.
  std::size_t bound = 0;
  for (const std::string& line : lines) bound += line.size() + 2;
  for (const Macro& m : macros) {
    if (m.text.empty()) continue;
    bound += bound / m.text.size() * 2 * m.value.size();  // a line break may gain a byte
    if (bound > (std::size_t{1} << 20)) return;
  }
  const std::span<const Macro> all(macros);
  const std::size_t fixed = fixedWanted < macros.size() ? fixedWanted : macros.size();

  const std::string whole = RenderPage(lines, position, all);
  PageRenderer renderer;
  renderer.Reset(lines, all.first(fixed));
  // Render twice: the second page reuses what the first prepared.
  for (int round = 0; round < 2; ++round) {
    if (renderer.Render(position, all.subspan(fixed)) != whole) std::abort();
  }
}

}  // namespace fotoloom::fuzz
