// The options record: start-up values, the rules every write applies, and notification.
#include "core/GallerySettings.h"

#include <algorithm>
#include <utility>

#include "core/DefaultTemplates.h"

namespace fotoloom {
namespace {

// A one-line text loses every CR and LF: a line break inside it would split the
// line of the settings file that stores it.
std::string OneLine(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

// Splits any line that holds CR LF, LF or CR into several lines.
std::vector<std::string> SplitLines(std::vector<std::string> lines) {
  const auto hasBreak = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
  if (std::none_of(lines.begin(), lines.end(), hasBreak)) return lines;
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    std::size_t start = 0;
    for (;;) {
      const std::size_t pos = line.find_first_of("\r\n", start);
      if (pos == std::string::npos) {
        out.push_back(line.substr(start));
        break;
      }
      out.push_back(line.substr(start, pos - start));
      start = pos + ((line[pos] == '\r' && pos + 1 < line.size() && line[pos + 1] == '\n') ? 2 : 1);
    }
  }
  return out;
}

// A list index above the last entry becomes the last entry, below -1 becomes -1.
int ClampIndex(int value, int last) { return std::clamp(value, -1, last); }

// A list index outside the list means that no entry is chosen.
int IndexOrNone(int value, int last) { return (value < 0 || value > last) ? -1 : value; }

// Size texts are never empty and never exactly "0".
std::string SizeText(std::string value) {
  value = OneLine(std::move(value));
  return (value.empty() || value == "0") ? std::string("10") : value;
}

}  // namespace

GallerySettings::GallerySettings() {
  v_.HTMLThumbnails = DefaultThumbnailTemplate();
  v_.HTMLImages = DefaultImageTemplate();
}

GallerySettings::GallerySettings(const GallerySettings& other) : v_(other.v_) {}

GallerySettings::SubscriptionId GallerySettings::Subscribe(Observer observer) {
  const SubscriptionId id = nextId_++;
  observers_.emplace_back(id, std::move(observer));
  return id;
}

void GallerySettings::Unsubscribe(SubscriptionId id) {
  std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void GallerySettings::Notify(SettingsField field) {
  // A copy, so that an observer may subscribe or unsubscribe while we iterate.
  const auto observers = observers_;
  for (const auto& [id, observer] : observers)
    if (observer) observer(field);
}

void GallerySettings::StoreText(std::string& slot, std::string value, SettingsField field) {
  slot = std::move(value);
  Notify(field);
}

void GallerySettings::StoreInt(int& slot, int value, SettingsField field) {
  slot = value;
  Notify(field);
}

void GallerySettings::StoreBool(bool& slot, bool value, SettingsField field) {
  slot = value;
  Notify(field);
}

void GallerySettings::StoreColor(Color& slot, Color value, SettingsField field) {
  slot = value;
  Notify(field);
}

void GallerySettings::SetInputPath(std::string value) {
  StoreText(v_.InputPath, OneLine(std::move(value)), SettingsField::InputPath);
}

void GallerySettings::SetOutputPath(std::string value) {
  StoreText(v_.OutputPath, OneLine(std::move(value)), SettingsField::OutputPath);
}

void GallerySettings::SetAdditionalPath(std::string value) {
  StoreText(v_.AdditionalPath, OneLine(std::move(value)), SettingsField::AdditionalPath);
}

void GallerySettings::SetThumbPagesName(std::string value) {
  value = OneLine(std::move(value));
  if (value.empty()) value = "page";
  StoreText(v_.ThumbPagesName, std::move(value), SettingsField::ThumbPagesName);
}

void GallerySettings::SetImagePagesName(std::string value) {
  value = OneLine(std::move(value));
  if (value.empty()) value = "image";
  StoreText(v_.ImagePagesName, std::move(value), SettingsField::ImagePagesName);
}

void GallerySettings::SetWebSiteExtension(std::string value) {
  StoreText(v_.WebSiteExtension, OneLine(std::move(value)), SettingsField::WebSiteExtension);
}

void GallerySettings::SetQualityImages(int value) {
  StoreInt(v_.QualityImages, std::clamp(value, 1, 100), SettingsField::QualityImages);
}

void GallerySettings::SetMaxWidthImage(std::string value) {
  StoreText(v_.MaxWidthImage, SizeText(std::move(value)), SettingsField::MaxWidthImage);
}

void GallerySettings::SetMaxHeightImage(std::string value) {
  StoreText(v_.MaxHeightImage, SizeText(std::move(value)), SettingsField::MaxHeightImage);
}

void GallerySettings::SetFilterIndex(int value) {
  StoreInt(v_.FilterIndex, IndexOrNone(value, kFilterCount - 1), SettingsField::FilterIndex);
}

void GallerySettings::SetUseFilter(bool value) {
  StoreBool(v_.UseFilter, value, SettingsField::UseFilter);
  // The filter box changes its availability with the switch.
  Notify(SettingsField::FilterIndex);
}

void GallerySettings::SetQualityThumbnails(int value) {
  StoreInt(v_.QualityThumbnails, std::clamp(value, 1, 100), SettingsField::QualityThumbnails);
}

void GallerySettings::SetThumbSizeChoice(int value) {
  const int choice = ClampIndex(value, int(kThumbSizeChoiceNames.size()) - 1);
  v_.ThumbSizeChoice = choice;
  if (choice >= 0 && choice < int(kFixedThumbSizes.size()))
    v_.MaxSizeThumbnails = std::to_string(kFixedThumbSizes[std::size_t(choice)]);
  Notify(SettingsField::ThumbSizeChoice);
  // The size text changed with the choice (or its editability did): the box redraws.
  Notify(SettingsField::MaxSizeThumbnails);
}

void GallerySettings::SetMaxSizeThumbnails(std::string value) {
  if (!ThumbSizeEditable()) return;
  StoreText(v_.MaxSizeThumbnails, SizeText(std::move(value)), SettingsField::MaxSizeThumbnails);
}

void GallerySettings::SetSortingMethodIndex(int value) {
  StoreInt(v_.SortingMethodIndex, ClampIndex(value, int(kSortingMethodNames.size()) - 1),
           SettingsField::SortingMethodIndex);
  // The EXIF check box changes its availability with the order.
  Notify(SettingsField::UseExif);
}

void GallerySettings::SetUseExif(bool value) { StoreBool(v_.UseExif, value, SettingsField::UseExif); }

void GallerySettings::SetCopyOrgSizedImages(bool value) {
  StoreBool(v_.CopyOrgSizedImages, value, SettingsField::CopyOrgSizedImages);
  // The location check box changes its availability with the copies.
  Notify(SettingsField::StripLocation);
}

void GallerySettings::SetStripLocation(bool value) { StoreBool(v_.StripLocation, value, SettingsField::StripLocation); }

void GallerySettings::Setisgrayscale(bool value) { StoreBool(v_.isgrayscale, value, SettingsField::isgrayscale); }

void GallerySettings::SetPixelformat(int value) {
  StoreInt(v_.Pixelformat, IndexOrNone(value, int(kPixelformatNames.size()) - 1), SettingsField::Pixelformat);
}

void GallerySettings::SetBackgroundColor(Color value) {
  StoreColor(v_.BackgroundColor, value, SettingsField::BackgroundColor);
}

void GallerySettings::SetTextColor(Color value) { StoreColor(v_.TextColor, value, SettingsField::TextColor); }

void GallerySettings::SetLinkColor(Color value) { StoreColor(v_.LinkColor, value, SettingsField::LinkColor); }

void GallerySettings::SetVisitedLinkColor(Color value) {
  StoreColor(v_.VisitedLinkColor, value, SettingsField::VisitedLinkColor);
}

void GallerySettings::SetRowsCount(std::string value) {
  StoreText(v_.RowsCount, OneLine(std::move(value)), SettingsField::RowsCount);
}

void GallerySettings::SetColsCount(std::string value) {
  StoreText(v_.ColsCount, OneLine(std::move(value)), SettingsField::ColsCount);
}

void GallerySettings::SetTitle(std::string value) {
  StoreText(v_.Title, OneLine(std::move(value)), SettingsField::Title);
}

void GallerySettings::SetSubtitleIndex(int value) {
  StoreInt(v_.SubtitleIndex, ClampIndex(value, int(kSubtitleNames.size()) - 1), SettingsField::SubtitleIndex);
}

void GallerySettings::SetHTMLThumbnails(std::vector<std::string> lines) {
  v_.HTMLThumbnails = SplitLines(std::move(lines));
  Notify(SettingsField::HTMLThumbnails);
}

void GallerySettings::SetHTMLImages(std::vector<std::string> lines) {
  v_.HTMLImages = SplitLines(std::move(lines));
  Notify(SettingsField::HTMLImages);
}

void GallerySettings::SetAutoBrowserStart(bool value) {
  StoreBool(v_.AutoBrowserStart, value, SettingsField::AutoBrowserStart);
}

void GallerySettings::SetUpdateOnlyChanged(bool value) {
  StoreBool(v_.UpdateOnlyChanged, value, SettingsField::UpdateOnlyChanged);
}

void GallerySettings::SetOtherFormats(bool value) { StoreBool(v_.OtherFormats, value, SettingsField::OtherFormats); }

void GallerySettings::SetIncludeSubfolders(bool value) {
  StoreBool(v_.IncludeSubfolders, value, SettingsField::IncludeSubfolders);
}

void GallerySettings::SetSkipBadPhotos(bool value) { StoreBool(v_.SkipBadPhotos, value, SettingsField::SkipBadPhotos); }
void GallerySettings::SetThumbnails2x(bool value) { StoreBool(v_.Thumbnails2x, value, SettingsField::Thumbnails2x); }
void GallerySettings::SetWebP(bool value) { StoreBool(v_.WebP, value, SettingsField::WebP); }
void GallerySettings::SetZip(bool value) { StoreBool(v_.Zip, value, SettingsField::Zip); }

void GallerySettings::SetElementsMode(int value) {
  StoreInt(v_.ElementsMode, std::clamp(value, 0, int(kElementsModeNames.size()) - 1), SettingsField::ElementsMode);
}

}  // namespace fotoloom
