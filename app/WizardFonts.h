// The wizard's fonts: the families its fixed pixel layout fits, and smaller text where a caption would be cut off.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QWidget;

namespace fotoloom {

// The serif families the layout fits, best first: Liberation Serif (metric-
// compatible with the font the layout was made for), then the other families
// with the same widths.
QStringList TimesCompatibleFamilies();
// The sans-serif families of the About box, likewise.
QStringList ArialCompatibleFamilies();

// The first of families that is installed, else fallback (a generic family
// the font configuration resolves, such as "serif").
QString FirstInstalledFamily(const QStringList& families, const QString& fallback);

// The first installed family of TimesCompatibleFamilies() (else "serif") and
// of ArialCompatibleFamilies() (else "sans-serif").
QString SerifFamily();
QString SansFamily();

// A font of the serif (or sans-serif) family above, with a height in pixels.
QFont SerifFont(int pixelSize, bool bold);
QFont SansFont(int pixelSize, bool bold);

// The smallest pixel size ShrinkTextToFit gives a control.
inline constexpr int kSmallestTextPixelSize = 7;

// Gives every label, check box, radio button, push button, group box title,
// drop-down box and row of tabs under root (root included) whose text would not fit its
// place (its own text area, the part of its parent left free by the controls
// beside it) the largest smaller pixel size at which it fits, down to
// kSmallestTextPixelSize. Controls that fit keep their font, so with the
// families above nothing changes. Returns the number of controls made smaller.
int ShrinkTextToFit(QWidget* root);

}  // namespace fotoloom
