// The run's metadata stage: what a run needs of the photos' metadata, read once per photo before the order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/GallerySettings.h"
#include "core/Un_MyFindFile.h"
#include "imaging/PhotoMetadata.h"
#include "pages/PhotoMacros.h"

namespace fotoloom {

// What of the photos' metadata a run with given options uses.
struct MetadataUse {
  bool Dates = false;      // UseExif with a date order: the order needs the dates taken
  bool Texts = false;      // the subtitle "Exif comment", or an image template with a photo macro
  bool Locations = false;  // copies of the originals keep their position: the run counts them
  bool Any() const { return Dates || Texts || Locations; }
};

// The uses of options: Dates for UseExif with any order but the name orders,
// Texts for SubtitleIndex 3 or an image template that holds one of
// kPhotoMacros, Locations for copies of the originals (CopyOrgSizedImages,
// ElementsMode not 2) without StripLocation. A run without any reads no
// metadata at all.
MetadataUse MetadataUseOf(const GallerySettings& options);

// Reads the metadata of every entry once, in discovery order, and sets each
// entry's DateTaken from it. goOn is called before each photo (the run
// pumps the desktop there); when it returns false the reading stops and
// the result holds fewer items than entries. Never raises for a photo: its
// damaged or unreadable metadata is metadata it does not have.
std::vector<PhotoMetadata> ReadEntriesMetadata(std::vector<ImageEntry>& entries, const std::function<bool()>& goOn);

// The texts the pages show of one photo's metadata.
PhotoTexts PageTextsOf(const PhotoMetadata& metadata);

// What the dry run says a date order uses for a photo with UseExif:
// "taken 2024-05-17 14:03:07", or "file date" for a photo without one.
std::string DateUsedText(const PhotoMetadata& metadata);

// The one line that tells how many of the copied originals carry a GPS
// position and how to leave it out; "" when none does.
std::string LocationNotice(int withLocation, int copied);

// The one line that names the photos (file names, at least one) whose copy
// without location was not made, and why the first was not: "2 originals
// were not copied, as the location could not be removed: a.jpg, b.jpg
// (a.jpg: <reason>)". Up to three are named, the rest counted.
std::string NotCopiedNotice(const std::vector<std::string>& photos, const std::string& reason);

}  // namespace fotoloom
