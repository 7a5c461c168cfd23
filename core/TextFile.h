// Writing whole files: the pages, the settings files and the colour preview.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fotoloom {

// Appends each line followed by CR LF to out.
void AppendCrLfLines(std::string& out, const std::vector<std::string>& lines);

// Writes bytes as the whole content of path, replacing an existing file.
// Raises "Cannot create file ..." when the file cannot be created or written.
// The bytes go to a temporary file in the same folder that is renamed over
// path once complete, so a failure never leaves a half-written file behind
// under the final name.
void WriteWholeFile(const std::string& path, std::string_view bytes);

// The temporary file WriteWholeFile writes before it renames it to path:
// path + ".fotoloom-<pid>.tmp", or ".fotoloom-<pid>-<n>.tmp" in the folder of
// path when that name would be too long for the file system.
std::string TemporaryPathFor(const std::string& path);

// Removes from folder (not its subfolders) the temporary files named as
// TemporaryPathFor names them whose process is no longer running: the files a
// program killed while it wrote left behind. Returns how many it removed.
int RemoveLeftoverTemporaryFiles(const std::string& folder);

// The lines, each followed by CR LF, as one file: 8-bit text, no byte-order mark.
void WriteTextFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace fotoloom
