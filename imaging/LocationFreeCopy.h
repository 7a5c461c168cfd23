// Copies of original photos without their GPS position, written whole under their final name.
#pragma once

#include <string>

namespace fotoloom {

// The version of the copies without location: raise it with every change
// that alters a byte of one, so that updates make them again.
inline constexpr int kLocationFreeCopyVersion = 1;

// What decides the bytes of a copy without location besides its photo: this
// code's version and the metadata library's ("copy without location 1, exiv2 0.27.6").
std::string LocationFreeCopyRecipe();

// What CopyWithoutLocation did.
struct LocationFreeCopyResult {
  bool Made = false;     // the copy is in place under its name
  bool Removed = false;  // GPS tags were removed (false: the photo carried none, a byte copy)
  // Why no copy was made: the photo cannot be read or its metadata cannot
  // be rewritten. Empty when made, and when a file of the name was there
  // and replace was not set.
  std::string Problem;
};

// Copies the photo at from to the path to with every GPS tag removed and
// everything else unchanged (WithoutLocation), or byte for byte when it
// carries none, keeping its modification time. The copy is written to a
// temporary file beside to and then renamed to to: over an existing file
// only when replace is set, otherwise only while no file of that name exists
// (a file that appears meanwhile is kept). Whatever fails, no part of a copy
// is left under either name, and a photo whose location cannot be removed
// is never copied with it. Never raises.
LocationFreeCopyResult CopyWithoutLocation(const std::string& from, const std::string& to, bool replace);

}  // namespace fotoloom
