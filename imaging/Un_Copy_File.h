// tcopy_file: copies every input photo unchanged as a "b_" file beside the gallery.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fotoloom {

class tcopy_file {
 public:
  using ProgressEvent = std::function<void(tcopy_file& sender, int index, bool& cancelled)>;

  bool Cancelled = false;
  std::vector<std::string> ImageFiles;
  std::string OutputPath;
  ProgressEvent OnProgress;     // after each copy attempt, failed or not
  std::int32_t ImageCount = 0;  // clipped to 0..ImageFiles.size()

  // Copies the first ImageCount files byte for byte to OutputPath as "b_" +
  // file name, keeping their modification time. An existing "b_" file is
  // never replaced. A copy that fails is not reported as an error, leaves no
  // partial file and still fires OnProgress. Stops after OnProgress when
  // Cancelled is set.
  void Copy_originals();
};

}  // namespace fotoloom
