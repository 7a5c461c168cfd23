// Conversions between the record's colours and Qt's.
#include "app/QColorConversion.h"

#include "core/SystemColors.h"

namespace fotoloom {

Color FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

QColor ToQColor(Color c) {
  const Color rgb = ResolveColor(c);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

}  // namespace fotoloom
