// tcopy_file: copies every input photo unchanged as a "b_" file beside the gallery (a JPEG for other formats).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Cancellable.h"

namespace fotoloom {

// What Copy_originals does with one photo.
enum class OriginalCopy : std::uint8_t {
  UnlessPresent,       // copies it unless a file of its name is there
  UnlessPresentWhole,  // the same, but a copy appears under its name only when whole
  ReplaceWhole,        // replaces the file of its name with a whole copy
  Skip,                // leaves it alone
};

class tcopy_file : public Cancellable {
 public:
  using ProgressEvent = std::function<void(tcopy_file& sender, int index, bool& cancelled)>;
  using WorkingEvent = std::function<void(tcopy_file& sender, bool& cancelled)>;
  using WarningEvent = std::function<void(tcopy_file& sender, int index, const std::string& warning)>;

  // Owns its cancel flag, or reads a run's.
  tcopy_file() = default;
  explicit tcopy_file(bool& cancelled) : Cancellable(cancelled) {}

  std::vector<std::string> ImageFiles;
  std::string OutputPath;
  ProgressEvent OnProgress;     // after each copy attempt, failed or not
  std::int32_t ImageCount = 0;  // clipped to 0..ImageFiles.size()
  // What to do with each photo, by index; photos past its end are copied
  // UnlessPresent. The "Whole" actions copy into a temporary file beside the
  // target first and rename it, so that no crash leaves part of a copy
  // under the target's name.
  std::vector<OriginalCopy> Actions;
  // Set by Copy_originals before each OnProgress: whether a copy of each
  // photo was made (false for one skipped, present or failed).
  std::vector<bool> Made;
  // A photo of another format than JPEG (by its name, ImageFileName) gets a
  // full-size JPEG as "b_" + name + ".jpg" instead of a copy
  // (MakeFullSizeJpeg), encoded at this quality, its transparent pixels on
  // this background. It is made on a thread of its own while OnWorking is
  // fired about every 10 ms on the calling thread; OnWarning tells what the
  // user should hear of it, before its OnProgress.
  int Quality = 90;
  std::array<std::uint8_t, 3> Background{255, 255, 255};
  WorkingEvent OnWorking;
  WarningEvent OnWarning;

  // Copies the first ImageCount files byte for byte to OutputPath as "b_" +
  // file name, keeping their modification time, or makes their full-size
  // JPEG (above). An existing "b_" file is never replaced unless Actions
  // says so. A copy that fails (also a photo that cannot be decoded) is not
  // reported as an error, leaves no partial file and still fires
  // OnProgress. Stops after OnProgress when Cancelled is set.
  void Copy_originals();

 private:
  // Makes the full-size JPEG of photo index at input into jpeg, firing
  // OnWorking meanwhile and OnWarning after; false when it cannot be made.
  bool MakeFullSize(int index, const std::string& input, std::string& jpeg);
};

}  // namespace fotoloom
