// Conversions between the record's colours and Qt's.
#pragma once

#include <QColor>

#include "core/Color.h"

namespace fotoloom {

// Converts between the record's 0x00BBGGRR colours and QColor. A system colour
// is resolved through the fixed table of classic desktop colours (ResolveColor),
// never through the desktop's palette: the pages, the preview and the swatches
// show the same colours on a light and on a dark desktop theme, and the same
// as the command-line runner writes.
QColor ToQColor(Color c);
Color FromQColor(const QColor& c);

}  // namespace fotoloom
