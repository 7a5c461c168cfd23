// The names of the files Fotoloom writes on its way, and the clean-up of those a process that ended left behind.
#pragma once

#include <string>
#include <string_view>

namespace fotoloom {

// The temporary file WriteWholeFile writes before it renames it to path:
// path + ".fotoloom-<pid>.tmp", or ".fotoloom-<pid>-<n>.tmp" in the folder of
// path when that name would be too long for the file system.
std::string TemporaryPathFor(const std::string& path);

// How the name of the file waiting thumbnails spill into begins.
inline constexpr std::string_view kSpillFilePrefix = ".fotoloom-waiting-thumbnails-";

// The name of a spill file of this process, as a template for mkostemp:
// kSpillFilePrefix, the process id, "-" and six "X" that mkostemp replaces.
std::string SpillFileNameTemplate();

// Removes from folder (not its subfolders) the regular files named as
// TemporaryPathFor and SpillFileNameTemplate name them whose process is no
// longer running (also a TemporaryPathFor name followed by "." and six
// letters or digits, the ZIP library's temporary file beside it): what a
// Fotoloom process killed while it wrote left behind. A spill file named without a process id (kSpillFilePrefix and six
// letters or digits) comes from a version that did not name its process,
// whose open spill file lost its name at once; such a file is removed too.
// A file of a running process (this one included), a folder or link so
// named, and any other name stay. Returns how many files it removed.
int RemoveLeftoverFiles(const std::string& folder);

}  // namespace fotoloom
