// Output file names of the scaled images, thumbnails and original copies.
#include "imaging/OutputName.h"

#include "core/PhotoFormats.h"

namespace fotoloom {

std::string FileNameOf(const std::string& inputPath) {
  const std::size_t slash = inputPath.find_last_of('/');
  return slash == std::string::npos ? inputPath : inputPath.substr(slash + 1);
}

namespace {

// outputFolder and a "/" unless it is empty or ends with one: an empty
// folder means the current one, never the root.
std::string FolderPrefix(const std::string& outputFolder) {
  std::string path = outputFolder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

}  // namespace

std::string OutputFilePath(const std::string& outputFolder, const std::string& prefix, const std::string& inputPath) {
  return FolderPrefix(outputFolder) + prefix + FileNameOf(inputPath);
}

std::string ImageOutputPath(const std::string& outputFolder, const std::string& prefix, const std::string& inputPath) {
  return FolderPrefix(outputFolder) + ImageFileName(prefix, FileNameOf(inputPath));
}

}  // namespace fotoloom
