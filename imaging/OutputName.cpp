// Output file names of the scaled images, thumbnails and original copies.
#include "imaging/OutputName.h"

#include "core/OutputNames.h"
#include "core/PhotoFormats.h"

namespace fotoloom {

std::string FileNameOf(const std::string& inputPath) {
  const std::size_t slash = inputPath.find_last_of('/');
  return slash == std::string::npos ? inputPath : inputPath.substr(slash + 1);
}

std::string OutputFilePath(const std::string& outputFolder, const std::string& prefix, const std::string& inputPath) {
  return OutputPathOf(outputFolder, prefix + FileNameOf(inputPath));
}

std::string ImageOutputPath(const std::string& outputFolder, const std::string& prefix, const std::string& inputPath) {
  return OutputPathOf(outputFolder, ImageFileName(prefix, FileNameOf(inputPath)));
}

std::string ImageOutputPath(const std::string& outputFolder, const std::string& subfolder, const std::string& prefix,
                            const std::string& inputPath) {
  if (subfolder.empty()) return ImageOutputPath(outputFolder, prefix, inputPath);
  // The file itself is one entry of its album's folder: only the album's
  // folders may hold "/".
  const std::string name = ImageFileName(prefix, FileNameOf(inputPath));
  OutputPathOf(subfolder, name);
  return OutputPathOf(outputFolder, NameInSubfolder(subfolder, name), NameShape::Nested);
}

std::string NameInSubfolder(const std::string& subfolder, const std::string& name) {
  return subfolder.empty() ? name : subfolder + "/" + name;
}

}  // namespace fotoloom
