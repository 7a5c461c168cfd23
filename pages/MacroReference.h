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

// The macros of thumbnail pages, in the order they are listed to the user.
extern const std::array<MacroReferenceRow, 20> kThumbnailMacroReference;

// The macros of image pages, in the order they are listed to the user. It
// lists "@exifcomment@", which no page writer replaces.
extern const std::array<MacroReferenceRow, 23> kImageMacroReference;

}  // namespace fotoloom
