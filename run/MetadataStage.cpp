// The metadata stage: the uses of a run's options, the reading before the order, and the texts made of it.
#include "run/MetadataStage.h"

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
    std::string path = entry.Folder;
    if (!path.empty() && path.back() != '/') path += '/';
    metadata.push_back(ReadPhotoMetadata(path + entry.FileName));
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

}  // namespace fotoloom
