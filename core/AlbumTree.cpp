// The album walk: folders listed depth first, loops and the output folder cut by device and inode.
#include "core/AlbumTree.h"

#include <limits.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "core/Error.h"
#include "core/ImageOrdering.h"

namespace fotoloom {
namespace {

// What tells one folder from another, however it is reached.
struct FolderId {
  dev_t Device = 0;
  ino_t Inode = 0;
  bool operator==(const FolderId&) const = default;
};

std::optional<FolderId> IdOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return FolderId{st.st_dev, st.st_ino};
}

// One folder found on the way down, before the empty ones are pruned.
struct Node {
  std::string Folder;
  std::string Name;
  std::vector<ImageEntry> Photos;
  std::vector<std::unique_ptr<Node>> Children;
  std::int64_t PhotosInTree = 0;
};

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

class Walk {
 public:
  Walk(AlbumSearch& search, bool& cancelled) : search_(search), cancelled_(cancelled) {}

  std::unique_ptr<Node> Run(std::vector<ImageEntry> topPhotos) {
    root_ = WithSlash(search_.InputFolder);
    auto top = std::make_unique<Node>();
    top->Photos = std::move(topPhotos);
    const std::optional<FolderId> rootId = IdOf(root_);
    if (!rootId) return top;
    rootId_ = *rootId;
    if (!search_.SkipFolder.empty()) skip_ = IdOf(search_.SkipFolder);
    std::vector<FolderId> path{*rootId};
    AddSubfolders(*top, root_, 0, path);
    Prune(*top);
    return top;
  }

 private:
  // Whether the folder a link leads to is the input folder or lies inside
  // it: its real path, level by level up to "/", holds the input folder.
  bool InsideTree(const std::string& linkPath) const {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(linkPath.c_str(), nullptr), &std::free);
    if (!real) return true;  // cannot tell: better left out
    std::string level = real.get();
    for (;;) {
      if (IdOf(level) == rootId_) return true;
      const std::size_t slash = level.rfind('/');
      if (slash == std::string::npos || level == "/") return false;
      level = slash == 0 ? "/" : level.substr(0, slash);
    }
  }

  void Warn(const std::string& text) const {
    if (search_.OnWarning) search_.OnWarning(text);
  }

  // Lists folder (ending in "/"), whose own photos the caller has, and adds
  // the subfolders worth walking to node, each with its photos and its own
  // subfolders. path holds the folders from the input folder down to this one.
  void AddSubfolders(Node& node, const std::string& folder, int depth, std::vector<FolderId>& path) {
    errno = 0;
    const std::optional<std::vector<std::string>> names = search_.ListFolder(folder);
    if (!names) {
      const int err = errno;
      Warn("Cannot read the folder \"" + folder + "\"" + (err != 0 ? ": " + std::string(std::strerror(err)) : "") +
           "; it is left out of the albums.");
      return;
    }
    std::vector<std::string> subfolders;
    for (const std::string& name : *names) {
      if (name.front() == '.') continue;
      const std::string full = folder + name;
      // Such an entry could be neither opened nor told apart from a file.
      if (full.size() >= PATH_MAX)
        throw Error("The path \"" + full + "\" is longer than the system allows (" + std::to_string(PATH_MAX - 1) +
                    " bytes).");
      struct stat st {};
      if (::stat(full.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
      const FolderId id{st.st_dev, st.st_ino};
      if (skip_ && id == *skip_) continue;
      struct stat own {};
      const bool link = ::lstat(full.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
      if (std::find(path.begin(), path.end(), id) != path.end() || (link && InsideTree(full))) {
        Warn("The folder \"" + full + "\" leads back into the folders of the gallery; it is left out of the albums.");
        continue;
      }
      subfolders.push_back(name);
    }
    // Sub-albums in the collation of the name orders, equal names in byte order.
    std::stable_sort(subfolders.begin(), subfolders.end(),
                     [this](const std::string& a, const std::string& b) { return collator_.Compare(a, b) < 0; });
    for (const std::string& name : subfolders) {
      if (cancelled_) return;
      const std::string full = folder + name;
      if (depth + 1 > kMaxAlbumDepth)
        throw Error("The folder \"" + full + "\" lies more than " + std::to_string(kMaxAlbumDepth) +
                    " levels below the input folder; albums can be at most " + std::to_string(kMaxAlbumDepth) +
                    " levels deep.");
      auto child = std::make_unique<Node>();
      child->Name = name;
      child->Folder = node.Folder.empty() ? name : node.Folder + "/" + name;
      FindPhotos(*child, WithSlash(full));
      if (cancelled_) return;
      const std::optional<FolderId> id = IdOf(full);
      if (!id) continue;  // gone since it was listed
      path.push_back(*id);
      AddSubfolders(*child, WithSlash(full), depth + 1, path);
      path.pop_back();
      node.Children.push_back(std::move(child));
    }
  }

  void FindPhotos(Node& node, const std::string& folder) {
    TMyFindFile find(cancelled_);
    find.SearchFolder = folder;
    find.Mask = search_.Mask;
    find.OnFileFound = [this, &node](TMyFindFile& sender, const std::string& where, const FoundFile& file,
                                     bool& cancelled) {
      if (file.Attr == faDirectory) return;
      node.Photos.push_back(MakeImageEntry(where, file));
      if (search_.OnFileFound) search_.OnFileFound(sender, where, file, cancelled);
    };
    find.Search();
  }

  // Counts the photos of every folder and drops the folders that hold none,
  // also further down.
  static void Prune(Node& node) {
    node.PhotosInTree = static_cast<std::int64_t>(node.Photos.size());
    std::vector<std::unique_ptr<Node>> kept;
    for (std::unique_ptr<Node>& child : node.Children) {
      Prune(*child);
      node.PhotosInTree += child->PhotosInTree;
      if (child->PhotosInTree > 0) kept.push_back(std::move(child));
    }
    node.Children = std::move(kept);
  }

  AlbumSearch& search_;
  bool& cancelled_;
  std::string root_;
  FolderId rootId_;
  std::optional<FolderId> skip_;
  NameCollator collator_;
};

// Appends node and, after it, its sub-albums to albums.
void Flatten(const Node& node, int parent, int depth, std::vector<Album>& albums) {
  const int index = static_cast<int>(albums.size());
  Album album;
  album.Folder = node.Folder;
  album.Name = node.Name;
  album.Parent = parent;
  album.Depth = depth;
  album.Photos = node.Photos;
  album.PhotosInTree = node.PhotosInTree;
  albums.push_back(std::move(album));
  for (const std::unique_ptr<Node>& child : node.Children) {
    albums[std::size_t(index)].Children.push_back(static_cast<int>(albums.size()));
    Flatten(*child, index, depth + 1, albums);
  }
}

}  // namespace

std::vector<Album> AlbumSearch::Search(std::vector<ImageEntry> topPhotos) {
  Walk walk(*this, Cancelled);
  const std::unique_ptr<Node> top = walk.Run(std::move(topPhotos));
  std::vector<Album> albums;
  Flatten(*top, -1, 0, albums);
  return albums;
}

}  // namespace fotoloom
