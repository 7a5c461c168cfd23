// Whether the options differ from those last loaded or saved, compared as a settings file holds them.
#pragma once

#include <string>
#include <vector>

#include "core/GallerySettings.h"

namespace fotoloom {

// The options as a settings file would hold them, taken at one moment (the
// wizard's start, a load, a save). Only what the file holds counts: a change
// of ElementsMode, which no file keeps, is no change here.
class SettingsSnapshot {
 public:
  explicit SettingsSnapshot(const GallerySettings& settings) { Take(settings); }

  // Remembers settings as they are now.
  void Take(const GallerySettings& settings);
  // True when saving settings now would write another file than saving them
  // when they were taken.
  bool Differs(const GallerySettings& settings) const;

 private:
  struct Saved {
    std::vector<std::string> Values;  // every key's value as written, in file order
    std::vector<std::string> HTMLThumbnails;
    std::vector<std::string> HTMLImages;
    bool operator==(const Saved&) const = default;
  };
  static Saved SavedOf(const GallerySettings& settings);

  Saved saved_;
};

}  // namespace fotoloom
