// The program folder: where the settings dialogs open and the colour preview is written.
#pragma once

#include <QString>

namespace fotoloom {

// The executable's folder when it is writable, otherwise the per-user data
// folder (created when missing). Always ends in "/".
QString ProgramFolder();

// The first of the candidate folders that can be written to, else fallback.
// Ends in "/". fallback is created when missing.
QString ChooseProgramFolder(const QString& executableFolder, const QString& fallback);

// The user manual: "manual.html" beside the program, or in the shared data
// folder of an installed copy (<prefix>/share/fotoloom). Returns the first
// that exists; the one beside the program when neither does.
QString ManualPath(const QString& executableFolder);

}  // namespace fotoloom
