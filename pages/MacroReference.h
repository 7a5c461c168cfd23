// The macro reference shown beside the two template editors.
#pragma once

#include <array>
#include <string_view>

namespace fotoloom {

// One row of a reference table: the macro and what it stands for.
struct MacroReferenceRow {
  std::string_view macro;
  std::string_view description;
};

// The macros of thumbnail pages, in the order they are listed to the user:
// after the title those of the album, then those for screens of any size.
extern const std::array<MacroReferenceRow, 25> kThumbnailMacroReference;

// The macros of image pages, in the order they are listed to the user: the
// navigation and name macros, then those of the photo's metadata, the
// caption ("@exifcomment@") first, then those of the album, then those for
// screens of any size.
extern const std::array<MacroReferenceRow, 36> kImageMacroReference;

}  // namespace fotoloom
