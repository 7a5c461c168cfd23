// Listings of a gallery's output folder, for tests that compare two outputs file by file.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace fotoloom::test {

// One file or folder as a listing saw it.
struct FileSeen {
  std::string Content;  // "<folder>" for a folder
  ino_t Inode = 0;
  timespec Modified{};
};
using Listing = std::map<std::string, FileSeen>;

// Every file and folder under folder by relative name, hidden ones (and
// what hidden folders hold) left out.
inline Listing ListFiles(const std::string& folder) {
  namespace fs = std::filesystem;
  Listing files;
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().filename().string();
    if (name[0] == '.') {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    struct stat st {};
    ::lstat(it->path().c_str(), &st);
    FileSeen seen;
    seen.Content = S_ISDIR(st.st_mode) ? "<folder>" : ReadFile(it->path().string());
    seen.Inode = st.st_ino;
    seen.Modified = st.st_mtim;
    files[it->path().lexically_relative(folder).string()] = seen;
  }
  return files;
}

// The hidden names at the top of folder.
inline std::vector<std::string> HiddenNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().filename().string()[0] == '.') names.push_back(e.path().filename().string());
  return names;
}

// The names whose file kept its inode and modification time.
inline std::set<std::string> Kept(const Listing& before, const Listing& after) {
  std::set<std::string> kept;
  for (const auto& [name, b] : before) {
    const auto it = after.find(name);
    if (it != after.end() && it->second.Inode == b.Inode && it->second.Modified.tv_sec == b.Modified.tv_sec &&
        it->second.Modified.tv_nsec == b.Modified.tv_nsec)
      kept.insert(name);
  }
  return kept;
}

inline std::set<std::string> Names(const Listing& files) {
  std::set<std::string> names;
  for (const auto& [name, seen] : files) names.insert(name);
  return names;
}

// The names whose content differs between a and b, and those only one has.
inline std::set<std::string> Differences(const Listing& a, const Listing& b) {
  std::set<std::string> names;
  for (const auto& [name, seen] : a) {
    const auto it = b.find(name);
    if (it == b.end() || it->second.Content != seen.Content) names.insert(name);
  }
  for (const auto& [name, seen] : b)
    if (a.count(name) == 0) names.insert(name);
  return names;
}

}  // namespace fotoloom::test
