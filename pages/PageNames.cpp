// Page file names, the output path of a page, and the names derived from an image path.
#include "pages/PageNames.h"

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
  names.thumbnail = "t_" + names.fileName;
  names.smaller = "n_" + names.fileName;
  names.big = "b_" + names.fileName;
  return names;
}

}  // namespace fotoloom
