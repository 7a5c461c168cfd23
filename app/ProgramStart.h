// What a start of the wizard sets up: the application's names and icon, and the folder given on its command line.
#pragma once

#include <QString>
#include <QStringList>

namespace fotoloom {

// The application's name ("Fotoloom": the title, the class desktops match
// the window to, which the desktop entry's StartupWMClass names), its
// desktop file name ("org.fotoloom.Fotoloom") and its icon. Call it after
// the QApplication is made and before any window is.
void SetApplicationIdentity();

// The folder given on the command line (arguments as QApplication leaves
// them, the program first), made absolute so that another running copy can
// use it; empty when none is given. Arguments that begin with "-" are not
// folders; only the first folder counts.
QString FolderArgument(const QStringList& arguments);

}  // namespace fotoloom
