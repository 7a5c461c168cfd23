// File error messages with the system's reason.
#include "core/Error.h"

#include <cstring>

namespace fotoloom {

void ThrowCannotCreateFile(const std::string& path, int err) {
  throw Error("Cannot create file \"" + path + "\". " + std::strerror(err));
}

void ThrowCannotOpenFile(const std::string& path, int err) {
  throw Error("Cannot open file \"" + path + "\". " + std::strerror(err));
}

}  // namespace fotoloom
