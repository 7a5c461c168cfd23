// The program folder, where the colour preview is written, and the other folders the wizard starts in.
#pragma once

#include <QString>

namespace fotoloom {

// The executable's folder when it is writable and not the bin folder of an
// installed copy, otherwise the per-user data folder (created when missing).
// Always ends in "/".
QString ProgramFolder();

// executableFolder when it can be written to and is not the bin folder of an
// installed copy (ManualPath finds the manual in <prefix>/share/fotoloom),
// else fallback. Ends in "/". fallback is created when missing.
QString ChooseProgramFolder(const QString& executableFolder, const QString& fallback);

// The user's documents folder (QStandardPaths::DocumentsLocation) when it
// exists, else the home folder: where the settings dialogs first open.
QString DocumentsFolder();

// The user manual: "manual.html" beside the program, or in the shared data
// folder of an installed copy (<prefix>/share/fotoloom). Returns the first
// that exists; the one beside the program when neither does.
QString ManualPath(const QString& executableFolder);

}  // namespace fotoloom
