// Checking that a file named on the command line can be read, and loading a settings file so named.
#pragma once

#include <string>

#include "core/GallerySettings.h"

namespace fotoloom::cli {

// Raises "Cannot open file "<path>". <reason>" unless path is a readable
// regular file. The loaders of settings files treat a missing file as empty;
// a file the user named must exist.
void RequireReadableFile(const std::string& path);

// Loads the settings file at path into settings, which must be readable
// (RequireReadableFile). When no key the program knows could be read from
// it (an empty or binary file, another encoding), the loading goes on with
// the fallbacks and a warning naming the file goes to stderr.
void LoadSettingsFile(const std::string& path, GallerySettings& settings);

}  // namespace fotoloom::cli
