// The album table's cells, the links of the album path and the album name, with names from disk made safe for a page.
#include "pages/AlbumMacros.h"

#include <algorithm>

#include "core/PhotoFormats.h"
#include "pages/AsciiCase.h"
#include "pages/PageNames.h"

namespace fotoloom {
namespace {

// A name from disk as page text: entities, and "@" as "&#64;".
std::string AlbumText(std::string_view name) {
  std::string out;
  for (const char c : HtmlEscaped(name)) {
    if (c == '@')
      out += "&#64;";
    else
      out += c;
  }
  return out;
}

// One part of a link: percent-encoded, "@" as "%40".
std::string LinkPart(std::string_view name) {
  std::string out;
  for (const char c : LinkEscaped(name)) {
    if (c == '@')
      out += "%40";
    else
      out += c;
  }
  return out;
}

// A link through the folders to file, fit for a double-quoted attribute.
std::string LinkThrough(const std::vector<std::string>& folders, std::string_view file) {
  std::string link;
  for (const std::string& folder : folders) link += LinkPart(folder) + "/";
  link += LinkPart(file);
  return HtmlEscaped(link);
}

std::string PhotoCountText(std::int64_t count) { return std::to_string(count) + (count == 1 ? " photo" : " photos"); }

}  // namespace

std::vector<std::string> AlbumTableRows(const std::vector<SubAlbumCell>& subAlbums, int cols,
                                        const std::string& firstPageName, const ExtraImages* gridForm) {
  const std::size_t perRow = static_cast<std::size_t>(std::max(cols, 1));
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < subAlbums.size(); ++i) {
    const SubAlbumCell& album = subAlbums[i];
    if (i % perRow == 0) rows.emplace_back("<tr>");
    const std::string name = AlbumText(album.Name);
    rows.emplace_back("<td class=\"thumbcells albumcells\" >");
    rows.push_back("<a href=\"" + LinkThrough({album.Name}, firstPageName) + "\">");
    if (gridForm) {
      const ImageLinkOf link = [&album](std::string_view prefix, bool webp) {
        const std::string file = ImageFileName(prefix, album.CoverPhoto);
        return LinkThrough(album.CoverFolders, webp ? WebpFileName(file) : file);
      };
      for (std::string& line : ThumbnailPicture(link, album.CoverSizes, name, false, *gridForm))
        rows.push_back(std::move(line));
    } else {
      rows.push_back("<img src=\"" + LinkThrough(album.CoverFolders, ImageFileName("t_", album.CoverPhoto)) +
                     "\" border=0 alt=\"" + name + "\">");
    }
    rows.push_back("<br>" + name);
    rows.push_back("<br>" + PhotoCountText(album.PhotoCount));
    rows.emplace_back("</a>");
    rows.emplace_back("</td>");
    if (i % perRow == perRow - 1 || i + 1 == subAlbums.size()) rows.emplace_back("</tr>");
  }
  return rows;
}

std::string AlbumPathValue(const std::vector<std::string>& path, const std::string& title,
                           const std::string& firstPageName) {
  if (path.empty()) return {};
  // The top album lies path.size() levels up, each album below it one less.
  const auto up = [&firstPageName](std::size_t levels) {
    std::string link;
    for (std::size_t i = 0; i < levels; ++i) link += "../";
    return HtmlEscaped(link + LinkPart(firstPageName));
  };
  std::string value = "<a href=\"" + up(path.size()) + "\">" + title + "</a>";
  for (std::size_t i = 0; i + 1 < path.size(); ++i)
    value += " &rsaquo; <a href=\"" + up(path.size() - 1 - i) + "\">" + AlbumText(path[i]) + "</a>";
  value += " &rsaquo; " + AlbumText(path.back());
  return value;
}

std::string AlbumNameValue(const std::vector<std::string>& path, const std::string& title) {
  return path.empty() ? title : AlbumText(path.back());
}

bool HoldsAlbumTableMacro(const std::vector<std::string>& lines) {
  return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return FindIgnoreCase(line, kAlbumTableMacro) != std::string_view::npos;
  });
}

}  // namespace fotoloom
