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
// (closing the box counts as No). Enter presses "&Yes", or "&No" when
// defaultNo is set: a question whose Yes destroys data must not be answered
// by a key pressed out of habit.
bool AskStandardQuestion(QWidget* parent, bool warning, const QString& text, bool defaultNo = false);

// The question asked before the wizard closes with unsaved settings.
inline constexpr const char* kSaveSettingsQuestion = "Save the settings of this gallery?";

enum class SaveAnswer { Save, DontSave, Cancel };

// The standard warning dialog with kSaveSettingsQuestion and "&Save" (the
// default), "Do&n't Save" and, when canCancel, "&Cancel", which Escape and
// closing the box also answer; without it the box is answered only by one
// of its two buttons. Blocks until answered; saves nothing itself.
SaveAnswer AskToSaveSettings(QWidget* parent, bool canCancel);

}  // namespace fotoloom
