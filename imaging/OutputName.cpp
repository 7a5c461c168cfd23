// Output file names of the scaled images, thumbnails and original copies.
#include "imaging/OutputName.h"

namespace fotoloom {

std::string FileNameOf(const std::string& inputPath) {
  const std::size_t slash = inputPath.find_last_of('/');
  return slash == std::string::npos ? inputPath : inputPath.substr(slash + 1);
}

std::string OutputFilePath(const std::string& outputFolder, const std::string& prefix, const std::string& inputPath) {
  std::string path = outputFolder;
  // An empty folder means the current one, never the root.
  if (!path.empty() && path.back() != '/') path += '/';
  return path + prefix + FileNameOf(inputPath);
}

}  // namespace fotoloom
