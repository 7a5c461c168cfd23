// The wizard's modal message boxes: the application's error box and the standard warning/error dialogs.
#pragma once

#include <QString>

class QWidget;

namespace fotoloom {

// The text the error box shows: message, with "." added when it ends in a letter or digit.
QString ErrorBoxText(const QString& message);

// The application's error box: titled "Fotoloom", error icon, one OK button. Blocks until answered.
void ShowErrorBox(QWidget* parent, const QString& message);

// The standard dialog with a warning icon (titled "Warning") or an error icon
// (titled "Error") and one "OK" button. Blocks until answered.
void ShowStandardMessage(QWidget* parent, bool warning, const QString& text);

// The standard dialog with "&Yes" and "&No"; true only when "&Yes" is pressed
// (closing the box counts as No).
bool AskStandardQuestion(QWidget* parent, bool warning, const QString& text);

}  // namespace fotoloom
