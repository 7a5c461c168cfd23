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

std::string OutputFilePath(const std::string& outputFolder, const std::string& subfolder, const std::string& prefix,
                           const std::string& inputPath) {
  if (subfolder.empty()) return OutputFilePath(outputFolder, prefix, inputPath);
  std::string folder = outputFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + NameInSubfolder(subfolder, prefix + FileNameOf(inputPath));
}

std::string NameInSubfolder(const std::string& subfolder, const std::string& name) {
  return subfolder.empty() ? name : subfolder + "/" + name;
}

}  // namespace fotoloom
