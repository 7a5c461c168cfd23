// Page file names, the output path of a page, the names derived from an image path and their page forms.
#include "pages/PageNames.h"

#include "core/PercentEscape.h"
#include "core/PhotoFormats.h"
#include "pages/RemoveText.h"

namespace fotoloom {

std::string NormalizedExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') return std::string(extension);
  std::string result = ".";
  result += extension;
  return result;
}

std::string PageFileName(std::string_view base, long long number, std::string_view extension) {
  std::string name(base);
  name += std::to_string(number);
  name += extension;
  return name;
}

int ThumbnailPageCount(long long imageCount, long long cellsPerPage) {
  if (cellsPerPage < 1) cellsPerPage = 1;
  if (imageCount <= cellsPerPage) return 1;
  return static_cast<int>(imageCount / cellsPerPage + (imageCount % cellsPerPage != 0 ? 1 : 0));
}

std::string OutputFilePath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string_view ExtensionOf(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot);
}

ImageNames NamesOfImage(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  ImageNames names;
  names.fileName = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
  names.withoutExtension = Remove_text(names.fileName, ExtensionOf(names.fileName), kRemoveAll | kRemoveIgnoreCase);
  names.thumbnail = ImageFileName("t_", names.fileName);
  names.smaller = ImageFileName("n_", names.fileName);
  names.big = ImageFileName("b_", names.fileName);
  return names;
}

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::string LinkEscaped(std::string_view fileName) {
  return PercentEscaped(fileName, [](unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || byte == '%' || byte == '#' || byte == '?' || byte == ' ' || byte == '\\';
  });
}

PageImageValues PageValuesOfImage(std::string_view path) {
  const ImageNames names = NamesOfImage(path);
  PageImageValues values;
  values.fileName = HtmlEscaped(names.fileName);
  values.withoutExtension = HtmlEscaped(names.withoutExtension);
  values.thumbnailLink = HtmlEscaped(LinkEscaped(names.thumbnail));
  values.smallerLink = HtmlEscaped(LinkEscaped(names.smaller));
  values.bigLink = HtmlEscaped(LinkEscaped(names.big));
  return values;
}

}  // namespace fotoloom
