// The albums of a run laid out one after another, their covers and paths, and the checks of their folder names.
#include "run/GalleryAlbums.h"

#include <limits.h>

#include <algorithm>
#include <set>

#include "core/Error.h"
#include "core/ImageOrdering.h"
#include "core/OutputNames.h"
#include "core/PhotoFormats.h"
#include "core/PosixIo.h"
#include "imaging/OutputName.h"
#include "pages/PageNames.h"
#include "run/GalleryUpdate.h"
#include "run/RunOptions.h"

namespace fotoloom {
namespace {

// The album and photo (index in ImageFiles) that show for album i in its
// parent's table: its own first photo, or its first sub-album's cover.
std::pair<int, int> CoverOf(const std::vector<Album>& albums, const GalleryLayout& layout, int i) {
  while (layout.Albums[std::size_t(i)].PhotoCount == 0 && !albums[std::size_t(i)].Children.empty())
    i = albums[std::size_t(i)].Children.front();
  return {i, layout.Albums[std::size_t(i)].FirstPhoto};
}

// The folder names from album `from` down to album `to` below it, both included.
std::vector<std::string> NamesDown(const std::vector<Album>& albums, int from, int to) {
  std::vector<std::string> names;
  for (int i = to; i != -1; i = albums[std::size_t(i)].Parent) {
    names.push_back(albums[std::size_t(i)].Name);
    if (i == from) break;
  }
  std::reverse(names.begin(), names.end());
  return names;
}

// Whether name is base + a number from 1 to count + ext, as PageFileName writes it.
bool IsPageName(const std::string& name, const std::string& base, const std::string& ext, int count) {
  if (name.size() <= base.size() + ext.size() || !name.starts_with(base) || !name.ends_with(ext)) return false;
  const std::string number = name.substr(base.size(), name.size() - base.size() - ext.size());
  if (number.size() > 10 || number.front() == '0' ||
      !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  return std::stoll(number) <= count;
}

std::string LeaveOutAdvice() { return " Rename the folder, or make the gallery without albums."; }

}  // namespace

GalleryLayout LayOutAlbums(const std::vector<Album>& albums, int sortingMethod, const Grid& grid, int elementsMode,
                           bool useDates) {
  GalleryLayout layout;
  for (const Album& album : albums) {
    GalleryAlbum out;
    out.Subfolder = album.Folder;
    out.FirstPhoto = layout.PhotoCount();
    const std::vector<std::string> files = Build_image_list(album.Photos, sortingMethod, useDates);
    out.PhotoCount = static_cast<int>(files.size());
    out.ThumbPages = ThumbnailPageCount(out.PhotoCount, grid.Cells());
    out.ElementsCount = ElementsCountOf(elementsMode, out.PhotoCount, grid.Cells());
    for (int i = 0; i < out.ElementsCount; ++i) {
      layout.ElementPhotos.push_back(out.FirstPhoto + i);
      layout.ElementFiles.push_back(files[std::size_t(i)]);
      layout.ElementSubfolders.push_back(out.Subfolder);
    }
    layout.ImageFiles.insert(layout.ImageFiles.end(), files.begin(), files.end());
    layout.ThumbPages += out.ThumbPages;
    layout.Albums.push_back(std::move(out));
  }
  for (std::size_t i = 0; i < albums.size(); ++i) {
    AlbumPageValues& pages = layout.Albums[i].Pages;
    for (int a = int(i); albums[std::size_t(a)].Parent != -1; a = albums[std::size_t(a)].Parent)
      pages.Path.insert(pages.Path.begin(), albums[std::size_t(a)].Name);
    for (const int child : albums[i].Children) {
      const auto [coverAlbum, coverPhoto] = CoverOf(albums, layout, child);
      SubAlbumCell cell;
      cell.Name = albums[std::size_t(child)].Name;
      cell.CoverFolders = NamesDown(albums, child, coverAlbum);
      cell.CoverPhoto = FileNameOf(layout.ImageFiles[std::size_t(coverPhoto)]);
      cell.PhotoCount = albums[std::size_t(child)].PhotosInTree;
      pages.SubAlbums.push_back(std::move(cell));
      layout.Albums[i].CoverPhotos.push_back(coverPhoto);
    }
  }
  return layout;
}

std::vector<Album> WithoutPhotos(const std::vector<Album>& albums, const std::set<std::string>& leftOut) {
  std::vector<Album> kept = albums;
  for (Album& album : kept) {
    std::erase_if(album.Photos, [&leftOut](const ImageEntry& e) {
      const std::string folder = e.Folder.empty() || e.Folder.back() == '/' ? e.Folder : e.Folder + "/";
      return leftOut.count(folder + e.FileName) != 0;
    });
  }
  // Sub-albums follow their album, so counting from the back sees them first.
  for (std::size_t i = kept.size(); i-- > 0;) {
    Album& album = kept[i];
    album.PhotosInTree = static_cast<std::int64_t>(album.Photos.size());
    for (const int child : album.Children) album.PhotosInTree += kept[std::size_t(child)].PhotosInTree;
  }
  // The albums that stay, in the same order, with their indexes anew.
  std::vector<int> newIndex(kept.size(), -1);
  std::vector<Album> out;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const bool parentKept = kept[i].Parent == -1 || newIndex[std::size_t(kept[i].Parent)] != -1;
    if (i != 0 && (kept[i].PhotosInTree == 0 || !parentKept)) continue;
    newIndex[i] = static_cast<int>(out.size());
    Album album = std::move(kept[i]);
    album.Parent = album.Parent == -1 ? -1 : newIndex[std::size_t(album.Parent)];
    album.Children.clear();
    if (album.Parent != -1) out[std::size_t(album.Parent)].Children.push_back(newIndex[i]);
    out.push_back(std::move(album));
  }
  return out;
}

void CheckAlbumFolders(const GalleryLayout& layout, const std::vector<Album>& albums, const GallerySettings& o) {
  const std::string ext = NormalizedExtension(o.WebSiteExtension());
  const std::string input = o.InputPath().empty() || o.InputPath().back() == '/' ? o.InputPath() : o.InputPath() + "/";
  // The entries of the additional elements land beside the top album's sub-albums.
  std::set<std::string> additional;
  if (o.ElementsMode() != 2 && !o.AdditionalPath().empty())
    for (const std::string& name : ListFolderNames(o.AdditionalPath()).value_or(std::vector<std::string>()))
      if (name.front() != '.') additional.insert(name);

  for (std::size_t i = 0; i < albums.size(); ++i) {
    const GalleryAlbum& album = layout.Albums[i];
    // Folder names come from disk: each must be one the output folder may hold.
    if (const NameFault fault = OutputNameFault(album.Subfolder, NameShape::Nested);
        !album.Subfolder.empty() && fault != NameFault::None)
      throw Error("The folder \"" + input + albums[i].Folder +
                  "\" cannot become an album: " + std::string(NameFaultText(fault)) + "." + LeaveOutAdvice());
    // The names of the images written into the album's folder, and the
    // longest name of a file written there.
    std::set<std::string> imageNames;
    std::string longest;
    const auto written = [&longest](const std::string& name) {
      if (name.size() > longest.size()) longest = name;
    };
    written(PageFileName(o.ThumbPagesName(), album.ThumbPages, ext));
    if (album.PhotoCount > 0) written(PageFileName(o.ImagePagesName(), album.PhotoCount, ext));
    const ExtraImages extra = ExtraImagesOf(o);
    for (int e = 0; e < album.ElementsCount; ++e) {
      const std::string file = FileNameOf(layout.ImageFiles[std::size_t(album.FirstPhoto + e)]);
      std::vector<std::string> names = ScaledImageFileNames(file, extra);
      for (std::string& name : ThumbnailFileNames(file, extra)) names.push_back(std::move(name));
      if (o.CopyOrgSizedImages()) names.push_back(ImageFileName("b_", file));
      for (const std::string& name : names) {
        imageNames.insert(name);
        written(name);
      }
    }
    const bool zip = o.Zip() && album.PhotoCount > 0;
    if (zip) written(std::string(kZipFileName));
    std::string folder = o.OutputPath();
    if (!album.Subfolder.empty()) folder += (folder.empty() || folder.back() == '/' ? "" : "/") + album.Subfolder;
    if (folder.size() + 1 + longest.size() >= PATH_MAX)
      throw Error("The path \"" + folder + "/" + longest +
                  "\" of the gallery would be longer than the system allows (" + std::to_string(PATH_MAX - 1) +
                  " bytes)." + LeaveOutAdvice());

    for (const int child : albums[i].Children) {
      const std::string& name = albums[std::size_t(child)].Name;
      std::string clash;
      if (IsPageName(name, o.ThumbPagesName(), ext, album.ThumbPages))
        clash = "a thumbnail page";
      else if (IsPageName(name, o.ImagePagesName(), ext, album.PhotoCount))
        clash = "an image page";
      else if (imageNames.count(name) != 0)
        clash = "an image made from a photo";
      else if (zip && name == kZipFileName)
        clash = "the ZIP of the photos";
      else if (i == 0 && additional.count(name) != 0)
        clash = "an additional element";
      if (!clash.empty())
        throw Error("The folder \"" + input + albums[std::size_t(child)].Folder + "\" cannot become an album: " +
                    clash + " of the gallery has its name in the same folder." + LeaveOutAdvice());
    }
  }
}

}  // namespace fotoloom
