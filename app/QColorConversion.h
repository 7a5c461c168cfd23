// System colours taken from the Qt palette, so symbolic colours match the desktop.
#pragma once

#include <QPalette>

#include "core/Color.h"

namespace fotoloom {

// The colour the desktop uses for a system colour index, read from palette;
// indexes without a palette role fall back to DefaultSystemColor.
Color PaletteSystemColor(const QPalette& palette, int index);

// Makes ResolveColor read the application's palette from now on.
void InstallPaletteColorResolver();

// Converts between the record's 0x00BBGGRR colours and QColor (system colours resolved).
QColor ToQColor(Color c);
Color FromQColor(const QColor& c);

}  // namespace fotoloom
