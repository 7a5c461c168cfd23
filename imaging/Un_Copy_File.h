// tcopy_file: puts every input photo beside the gallery as a "b_" file: a copy, one without location, or a JPEG.
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
  // The folder below OutputPath that receives each copy, by index in
  // ImageFiles; past its end, or "": OutputPath itself.
  std::vector<std::string> Subfolders;
  ProgressEvent OnProgress;     // after each copy attempt, failed or not
  std::int32_t ImageCount = 0;  // clipped to 0..ImageFiles.size()
  // What to do with each photo, by index; photos past its end are copied
  // UnlessPresent. The "Whole" actions copy into a temporary file beside the
  // target first and rename it, so that no crash leaves part of a copy
  // under the target's name.
  std::vector<OriginalCopy> Actions;
  // Write each copy without its GPS position (CopyWithoutLocation, always
  // whole through a temporary file) instead of byte for byte.
  bool StripLocation = false;
  // Set by Copy_originals before each OnProgress: whether a copy of each
  // photo was made (false for one skipped, present or failed).
  std::vector<bool> Made;
  // Set by Copy_originals with StripLocation: why the copy of a photo was
  // not made, by index ("" for one made, skipped or present).
  std::vector<std::string> Problems;
  // A photo of another format than JPEG (by its name, ImageFileName) gets a
  // full-size JPEG as "b_" + name + ".jpg" instead of a copy
  // (MakeFullSizeJpeg), encoded at this quality, its transparent pixels on
  // this background; it carries no metadata, so StripLocation has nothing
  // to do for it. It is made on a thread of its own while OnWorking is
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
  // OnProgress; one that StripLocation could not make is named in Problems.
  // Stops after OnProgress when Cancelled is set.
  void Copy_originals();

 private:
  // Makes the full-size JPEG of photo index at input into jpeg, firing
  // OnWorking meanwhile and OnWarning after; false when it cannot be made.
  bool MakeFullSize(int index, const std::string& input, std::string& jpeg);
};

// Puts the complete file temp under the name to: over an existing file when
// replace is set, else only while no file of that name exists (one that
// appears meanwhile is kept). The name temp is gone afterwards either way.
// Returns whether the file is now under the name to.
bool MoveIntoPlace(const std::string& temp, const std::string& to, bool replace);

}  // namespace fotoloom
