// Checking that a file named on the command line can be read.
#pragma once

#include <string>

namespace fotoloom::cli {

// Raises "Cannot open file "<path>". <reason>" unless path is a readable
// regular file. The loaders of settings files treat a missing file as empty;
// a file the user named must exist.
void RequireReadableFile(const std::string& path);

}  // namespace fotoloom::cli
