// Whether the options differ from those last loaded or saved, compared as a settings file holds them.
#include "app/SettingsSnapshot.h"

#include "core/SettingsFile.h"

namespace fotoloom {

SettingsSnapshot::Saved SettingsSnapshot::SavedOf(const GallerySettings& settings) {
  Saved saved;
  for (const SettingsKey& key : SettingsKeys()) saved.Values.push_back(key.Write(settings));
  for (const SettingsKey& key : OptionalSettingsKeys()) saved.Values.push_back(key.Write(settings));
  saved.HTMLThumbnails = settings.HTMLThumbnails();
  saved.HTMLImages = settings.HTMLImages();
  return saved;
}

void SettingsSnapshot::Take(const GallerySettings& settings) { saved_ = SavedOf(settings); }

bool SettingsSnapshot::Differs(const GallerySettings& settings) const { return !(SavedOf(settings) == saved_); }

}  // namespace fotoloom
