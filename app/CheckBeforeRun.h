// The wizard's check of the values a run would refuse, before the run writes anything, and where each is typed.
#pragma once

#include <QString>
#include <optional>

#include "core/GallerySettings.h"

namespace fotoloom {

// The box of the wizard that shows a field: its page, its objectName and
// the caption the user sees beside it.
struct SettingsBox {
  int Page = 1;
  QString Name;
  QString Caption;
};

// The box of field. Every field a run check can name has one.
SettingsBox BoxOf(SettingsField field);

// A value the run would refuse, the box to show it in and the message.
struct RefusedValue {
  SettingsBox Box;
  QString Message;
};

// The refusal of the two folders (a missing input folder: "Incorrect path
// for input : <folder>"; the same folder for both; the input folder inside
// the output folder), in the box of the folder to change.
std::optional<RefusedValue> CheckFolders(const GallerySettings& settings);

// Everything a run started now would refuse before writing, in page order:
// the folders, the page names and the extension, then the numbers it
// converts ("Maximum Image Width: 'abc' is not a whole number between 1 and
// 65500"). The same rules as the run's and the command line's.
std::optional<RefusedValue> CheckBeforeRun(const GallerySettings& settings);

// Why a page name or the extension cannot be used, naming its box; empty when all can.
QString PageNameProblem(const GallerySettings& settings);

}  // namespace fotoloom
