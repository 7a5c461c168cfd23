// Reading and writing whole files: the pages, the settings files, the colour preview, the update state.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fotoloom {

// Appends each line followed by CR LF to out.
void AppendCrLfLines(std::string& out, const std::vector<std::string>& lines);

// Writes bytes as the whole content of path, replacing an existing file.
// Raises "Cannot create file ..." when the file cannot be created or written.
// The bytes go to a temporary file in the same folder that is renamed over
// path once complete (TemporaryPathFor), so a failure never leaves a
// half-written file behind under the final name.
void WriteWholeFile(const std::string& path, std::string_view bytes);

// Whether ReadRegularFile follows a symbolic link that path itself names.
enum class LinkAtPath { Follow, Refuse };

// The whole content of the regular file at path; nothing when there is no
// such file or reading it fails. Anything but a regular file (a FIFO, whose
// writer is not waited for, a device, a folder) reads as no file.
// modified, when given, receives the file's modification time.
std::optional<std::string> ReadRegularFile(const std::string& path, LinkAtPath links, timespec* modified = nullptr);

// The lines, each followed by CR LF, as one file: 8-bit text, no byte-order mark.
void WriteTextFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace fotoloom
