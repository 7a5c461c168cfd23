// Content fingerprints through xxHash's XXH3.
#include "core/ContentHash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <xxhash.h>

#include <memory>
#include <vector>

#include "core/PosixIo.h"

namespace fotoloom {

std::uint64_t ContentHash(std::string_view bytes) { return XXH3_64bits(bytes.data(), bytes.size()); }

std::optional<std::uint64_t> FileContentHash(const std::string& path) {
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (!fd.valid()) return std::nullopt;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state(XXH3_createState(), XXH3_freeState);
  if (!state || XXH3_64bits_reset(state.get()) != XXH_OK) return std::nullopt;
  std::vector<char> buffer(std::size_t{1} << 18);
  for (;;) {
    const ssize_t n = ReadAll(fd.get(), buffer.data(), buffer.size());
    if (n < 0) return std::nullopt;
    XXH3_64bits_update(state.get(), buffer.data(), static_cast<std::size_t>(n));
    if (static_cast<std::size_t>(n) < buffer.size()) break;
  }
  return XXH3_64bits_digest(state.get());
}

}  // namespace fotoloom
