// The wizard's modal message boxes: the application's error box and the standard warning/error dialogs.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace fotoloom {

// The text the error box shows: message, with "." added when it ends in a letter or digit.
QString ErrorBoxText(const QString& message);

// The application's error box: titled "Fotoloom", error icon, one OK button. Blocks until answered.
void ShowErrorBox(QWidget* parent, const QString& message);

// Runs action. Any std::exception it raises (fotoloom::Error with its message
// for the user, or a failure of the machine such as std::bad_alloc or a
// std::system_error from starting a thread) is shown in the application's
// error box and goes no further, so it never reaches Qt's event loop.
// Returns false when action raised.
bool ShowingErrors(QWidget* parent, const std::function<void()>& action);

// The standard dialog with a warning icon (titled "Warning") or an error icon
// (titled "Error") and one "OK" button. Blocks until answered.
void ShowStandardMessage(QWidget* parent, bool warning, const QString& text);

// The standard dialog with "&Yes" and "&No"; true only when "&Yes" is pressed
// (closing the box counts as No).
bool AskStandardQuestion(QWidget* parent, bool warning, const QString& text);

}  // namespace fotoloom
