// System colours taken from the Qt palette, so symbolic colours match the desktop.
#include "app/PaletteColors.h"

#include <QApplication>

#include "core/SystemColors.h"

namespace fotoloom {

Color FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

QColor ToQColor(Color c) {
  const Color rgb = ResolveColor(c);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

Color PaletteSystemColor(const QPalette& palette, int index) {
  const auto role = [&](QPalette::ColorRole r) { return FromQColor(palette.color(QPalette::Active, r)); };
  switch (index) {
    case 0: return role(QPalette::Window);      // scroll bar
    case 4: return role(QPalette::Window);      // menu
    case 5: return role(QPalette::Base);        // window background
    case 7: return role(QPalette::WindowText);  // menu text
    case 8: return role(QPalette::Text);        // window text
    case 13: return role(QPalette::Highlight);
    case 14: return role(QPalette::HighlightedText);
    case 15: return role(QPalette::Button);  // button face
    case 16: return role(QPalette::Dark);    // button shadow
    case 17: return FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
    case 18: return role(QPalette::ButtonText);
    case 20: return role(QPalette::Light);  // button highlight
    case 21: return role(QPalette::Shadow);
    case 22: return role(QPalette::Midlight);
    case 23: return role(QPalette::ToolTipText);
    case 24: return role(QPalette::ToolTipBase);
    case 26: return role(QPalette::Link);  // hot-tracked item
    default: return DefaultSystemColor(index);
  }
}

void InstallPaletteColorResolver() {
  InstallSystemColorResolver([](int index) { return PaletteSystemColor(QApplication::palette(), index); });
}

}  // namespace fotoloom
