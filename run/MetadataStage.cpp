// The metadata stage: the uses of a run's options, the reading before the order, and the texts made of it.
#include "run/MetadataStage.h"

#include "core/ImageOrdering.h"
#include "imaging/MetadataText.h"

namespace fotoloom {

MetadataUse MetadataUseOf(const GallerySettings& o) {
  MetadataUse use;
  const int order = o.SortingMethodIndex();
  use.Dates = o.UseExif() && order != 2 && order != 3;
  use.Texts = o.SubtitleIndex() == 3 || UsesPhotoMacros(o.HTMLImages());
  use.Locations = o.CopyOrgSizedImages() && o.ElementsMode() != 2 && !o.StripLocation();
  return use;
}

std::vector<PhotoMetadata> ReadEntriesMetadata(std::vector<ImageEntry>& entries, const std::function<bool()>& goOn) {
  std::vector<PhotoMetadata> metadata;
  metadata.reserve(entries.size());
  for (ImageEntry& entry : entries) {
    if (goOn && !goOn()) break;
    metadata.push_back(ReadPhotoMetadata(ImagePathOf(entry)));
    entry.DateTaken = metadata.back().DateTaken;
  }
  return metadata;
}

PhotoTexts PageTextsOf(const PhotoMetadata& m) {
  PhotoTexts texts;
  texts.Caption = m.Caption;
  if (m.DateTaken) texts.DateTaken = DateTakenText(*m.DateTaken);
  texts.Camera = CameraText(m.Make, m.Model);
  texts.Lens = m.Lens;
  texts.Exposure = ExposureText(m.ExposureSeconds, m.FNumber, m.Iso, m.FocalLengthMm);
  return texts;
}

std::string DateUsedText(const PhotoMetadata& m) {
  return m.DateTaken ? "taken " + DateTakenSecondsText(*m.DateTaken) : std::string("file date");
}

std::string LocationNotice(int withLocation, int copied) {
  if (withLocation < 1) return std::string();
  return std::to_string(withLocation) + " of " + std::to_string(copied) +
         " copied originals carry a GPS position. To leave it out, tick \"Remove location from copied "
         "originals\" on step 2, or set StripLocation=yes.";
}

std::string NotCopiedNotice(const std::vector<std::string>& photos, const std::string& reason) {
  constexpr std::size_t kNamed = 3;
  std::string names;
  for (std::size_t i = 0; i < photos.size() && i < kNamed; ++i) names += (i == 0 ? "" : ", ") + photos[i];
  if (photos.size() > kNamed) names += " and " + std::to_string(photos.size() - kNamed) + " more";
  const std::string count = photos.size() == 1 ? "1 original was" : std::to_string(photos.size()) + " originals were";
  return count + " not copied, as the location could not be removed: " + names + " (" + photos.front() + ": " + reason +
         ")";
}

}  // namespace fotoloom
