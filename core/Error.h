// The one error type of the library, and the file errors every writer raises.
#pragma once

#include <stdexcept>
#include <string>

namespace fotoloom {

// A failure inside a user action. Its message is shown to the user as it is.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Cannot create file "<path>". <reason>", the reason being strerror(err).
[[noreturn]] void ThrowCannotCreateFile(const std::string& path, int err);

// "Cannot open file "<path>". <reason>", the reason being strerror(err).
[[noreturn]] void ThrowCannotOpenFile(const std::string& path, int err);

}  // namespace fotoloom
