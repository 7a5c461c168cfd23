// A 64-bit fingerprint of file contents, to tell whether a file still holds the bytes written into it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fotoloom {

// XXH3 (64 bits) of bytes: the same bytes give the same value on every
// machine and in every version of the library.
std::uint64_t ContentHash(std::string_view bytes);

// ContentHash of the whole content of the regular file at path, read in
// pieces; nothing when it cannot be opened or read, or is no regular file.
// A symbolic link is not followed.
std::optional<std::uint64_t> FileContentHash(const std::string& path);

}  // namespace fotoloom
