// The colour name table and the two conversions between colours and their text.
#include "core/ColorText.h"

#include <array>
#include <cstdio>

#include "core/Error.h"
#include "core/IniFile.h"

namespace fotoloom {
namespace {

constexpr std::array<ColorName, 52> kColorNames = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", SystemColor(0)},
    {"clBackground", SystemColor(1)},
    {"clActiveCaption", SystemColor(2)},
    {"clInactiveCaption", SystemColor(3)},
    {"clMenu", SystemColor(4)},
    {"clWindow", SystemColor(5)},
    {"clWindowFrame", SystemColor(6)},
    {"clMenuText", SystemColor(7)},
    {"clWindowText", SystemColor(8)},
    {"clCaptionText", SystemColor(9)},
    {"clActiveBorder", SystemColor(10)},
    {"clInactiveBorder", SystemColor(11)},
    {"clAppWorkSpace", SystemColor(12)},
    {"clHighlight", SystemColor(13)},
    {"clHighlightText", SystemColor(14)},
    {"clBtnFace", SystemColor(15)},
    {"clBtnShadow", SystemColor(16)},
    {"clGrayText", SystemColor(17)},
    {"clBtnText", SystemColor(18)},
    {"clInactiveCaptionText", SystemColor(19)},
    {"clBtnHighlight", SystemColor(20)},
    {"cl3DDkShadow", SystemColor(21)},
    {"cl3DLight", SystemColor(22)},
    {"clInfoText", SystemColor(23)},
    {"clInfoBk", SystemColor(24)},
    {"clHotLight", SystemColor(26)},
    {"clGradientActiveCaption", SystemColor(27)},
    {"clGradientInactiveCaption", SystemColor(28)},
    {"clMenuHighlight", SystemColor(29)},
    {"clMenuBar", SystemColor(30)},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
}};

}  // namespace

std::span<const ColorName> ColorNames() { return kColorNames; }

std::string ColorToText(Color c) {
  for (const ColorName& entry : kColorNames)
    if (entry.Value == c) return std::string(entry.Name);
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(c));
  return text;
}

std::optional<Color> TextToColor(std::string_view text) {
  for (const ColorName& entry : kColorNames)
    if (IniNamesMatch(entry.Name, text)) return entry.Value;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (const std::optional<int> n = ParseIniInteger(text)) return static_cast<Color>(*n);
  return std::nullopt;
}

Color ColorFromText(std::string_view text) {
  if (const std::optional<Color> c = TextToColor(text)) return *c;
  throw Error("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace fotoloom
