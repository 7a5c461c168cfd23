// The options record of the wizard: every gallery option, its rules, and change notification.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Color.h"
#include "core/FilterChoice.h"

namespace fotoloom {

// Names one field of GallerySettings in a change notification.
enum class SettingsField {
  InputPath,
  OutputPath,
  AdditionalPath,
  ThumbPagesName,
  ImagePagesName,
  WebSiteExtension,
  QualityImages,
  MaxWidthImage,
  MaxHeightImage,
  FilterIndex,
  UseFilter,
  QualityThumbnails,
  ThumbSizeChoice,
  MaxSizeThumbnails,
  SortingMethodIndex,
  UseExif,
  CopyOrgSizedImages,
  isgrayscale,
  Pixelformat,
  BackgroundColor,
  TextColor,
  LinkColor,
  VisitedLinkColor,
  RowsCount,
  ColsCount,
  Title,
  SubtitleIndex,
  AutoBrowserStart,
  HTMLThumbnails,
  HTMLImages,
  UpdateOnlyChanged,
  OtherFormats,
  StripLocation,
  IncludeSubfolders,
  SkipBadPhotos,
  Thumbnails2x,
  WebP,
  Zip,
  ElementsMode,
};

// The number of fields: SettingsField values run from 0 to kSettingsFieldCount - 1.
// ElementsMode must stay the last field.
inline constexpr int kSettingsFieldCount = static_cast<int>(SettingsField::ElementsMode) + 1;

// The captions of the fixed choice lists, in index order.
inline constexpr std::array<std::string_view, 8> kPixelformatNames = {"Device", "  1 Bit ", "  4 Bit", "  8 Bit",
                                                                      "15 Bit", "16 Bit",   "24 Bit",  "32 Bit"};
inline constexpr std::array<std::string_view, 4> kThumbSizeChoiceNames = {"120 x 120", "140 x 140", "160 x 160",
                                                                          "User defined max. size"};
inline constexpr std::array<std::string_view, 4> kSortingMethodNames = {"Date ascending", "Date descending",
                                                                        "Name ascending", "Name descending"};
inline constexpr std::array<std::string_view, 5> kSubtitleNames = {
    "None", "Filename with extension", "Filename without extension", "Exif comment", "Image Number (1..N)"};
inline constexpr std::array<std::string_view, 3> kElementsModeNames = {
    "Create All (may take lots of time,needed for final version)",
    "Create webpages and image for first page only, optionally copy additional elements (faster, for testing "
    "perposes)",
    "Create only webpages (fastest, useful for testing and optimazion in case that images were already created)"};

// The thumbnail side in pixels that each fixed ThumbSizeChoice (0, 1, 2) stands for.
inline constexpr std::array<int, 3> kFixedThumbSizes = {120, 140, 160};

// Every option of the wizard, with the start-up values on construction.
//
// Each field has a getter and a setter named after it. A setter applies the
// record's rules (clamping, the "never empty" texts, the thumbnail size that
// follows the size choice) and then tells every subscribed observer which field
// was written. Every write notifies, also one that leaves the value as it was,
// so a page whose control shows a text that was replaced (an empty name that
// became "page") redraws it. A write that changes another field's value or
// whether the page may edit it notifies that field too (the size choice
// notifies MaxSizeThumbnails, the order UseExif, UseFilter FilterIndex, the
// copies StripLocation).
// The record knows nothing of its observers.
//
// One-line texts never hold a line break: CR and LF are dropped on writing.
// A template line holding line breaks is split into several lines.
class GallerySettings {
 public:
  using Observer = std::function<void(SettingsField)>;
  using SubscriptionId = std::size_t;

  GallerySettings();
  // A copy takes the values only; the observers stay with the original.
  GallerySettings(const GallerySettings& other);
  GallerySettings& operator=(const GallerySettings&) = delete;

  // Adds an observer, called after every write with the field written.
  // Observers may subscribe and unsubscribe from inside a notification.
  SubscriptionId Subscribe(Observer observer);
  // Removes an observer; an unknown id is ignored.
  void Unsubscribe(SubscriptionId id);

  // Page 1.
  const std::string& InputPath() const { return v_.InputPath; }
  void SetInputPath(std::string value);
  const std::string& OutputPath() const { return v_.OutputPath; }
  void SetOutputPath(std::string value);
  const std::string& AdditionalPath() const { return v_.AdditionalPath; }
  void SetAdditionalPath(std::string value);
  // An empty name stores "page".
  const std::string& ThumbPagesName() const { return v_.ThumbPagesName; }
  void SetThumbPagesName(std::string value);
  // An empty name stores "image".
  const std::string& ImagePagesName() const { return v_.ImagePagesName; }
  void SetImagePagesName(std::string value);
  // Kept as typed; the "." in front is added where the extension is used.
  const std::string& WebSiteExtension() const { return v_.WebSiteExtension; }
  void SetWebSiteExtension(std::string value);

  // Page 2. Qualities are clamped into 1..100.
  int QualityImages() const { return v_.QualityImages; }
  void SetQualityImages(int value);
  // Size texts: empty or exactly "0" stores "10"; any other text is kept as typed.
  const std::string& MaxWidthImage() const { return v_.MaxWidthImage; }
  void SetMaxWidthImage(std::string value);
  const std::string& MaxHeightImage() const { return v_.MaxHeightImage; }
  void SetMaxHeightImage(std::string value);
  // Index into the resampler's filter table; anything outside 0 .. kFilterCount - 1
  // stores -1 (no filter chosen).
  int FilterIndex() const { return v_.FilterIndex; }
  void SetFilterIndex(int value);
  bool UseFilter() const { return v_.UseFilter; }
  void SetUseFilter(bool value);
  // The filter box is usable only while UseFilter is set; FilterIndex keeps its value either way.
  bool FilterEditable() const { return v_.UseFilter; }
  int QualityThumbnails() const { return v_.QualityThumbnails; }
  void SetQualityThumbnails(int value);
  // Index into kThumbSizeChoiceNames, clamped into -1..3. Choices 0, 1, 2 also
  // store "120", "140", "160" in MaxSizeThumbnails (and notify it); choice 3
  // keeps the text and makes it editable.
  int ThumbSizeChoice() const { return v_.ThumbSizeChoice; }
  void SetThumbSizeChoice(int value);
  // Always the thumbnail size in force. Editable only under choice 3: while a
  // fixed size is chosen a write is ignored (no notification) so that the text
  // keeps matching the choice. Empty or "0" stores "10".
  const std::string& MaxSizeThumbnails() const { return v_.MaxSizeThumbnails; }
  void SetMaxSizeThumbnails(std::string value);
  bool ThumbSizeEditable() const { return v_.ThumbSizeChoice == 3; }
  // Index into kSortingMethodNames, clamped into -1..3.
  int SortingMethodIndex() const { return v_.SortingMethodIndex; }
  void SetSortingMethodIndex(int value);
  // Stored on every write; the page offers it for editing only while a date
  // order (or none) is chosen, and a name order never clears it.
  bool UseExif() const { return v_.UseExif; }
  void SetUseExif(bool value);
  bool UseExifEditable() const { return v_.SortingMethodIndex != 2 && v_.SortingMethodIndex != 3; }
  // A write also notifies StripLocation, which may be edited only while copies are made.
  bool CopyOrgSizedImages() const { return v_.CopyOrgSizedImages; }
  void SetCopyOrgSizedImages(bool value);
  // Copies of the originals are written without their GPS position. Stored on
  // every write; the page offers it for editing only while CopyOrgSizedImages
  // is set, and clearing that never clears it.
  bool StripLocation() const { return v_.StripLocation; }
  void SetStripLocation(bool value);
  bool StripLocationEditable() const { return v_.CopyOrgSizedImages; }
  bool isgrayscale() const { return v_.isgrayscale; }
  void Setisgrayscale(bool value);
  // Index into kPixelformatNames; anything outside 0..7 stores -1.
  int Pixelformat() const { return v_.Pixelformat; }
  void SetPixelformat(int value);

  // Page 3. Colours are stored as given; a system colour stays symbolic.
  Color BackgroundColor() const { return v_.BackgroundColor; }
  void SetBackgroundColor(Color value);
  Color TextColor() const { return v_.TextColor; }
  void SetTextColor(Color value);
  Color LinkColor() const { return v_.LinkColor; }
  void SetLinkColor(Color value);
  Color VisitedLinkColor() const { return v_.VisitedLinkColor; }
  void SetVisitedLinkColor(Color value);
  const std::string& RowsCount() const { return v_.RowsCount; }
  void SetRowsCount(std::string value);
  const std::string& ColsCount() const { return v_.ColsCount; }
  void SetColsCount(std::string value);
  const std::string& Title() const { return v_.Title; }
  void SetTitle(std::string value);
  // Index into kSubtitleNames, clamped into -1..4.
  int SubtitleIndex() const { return v_.SubtitleIndex; }
  void SetSubtitleIndex(int value);

  // Page 4.
  const std::vector<std::string>& HTMLThumbnails() const { return v_.HTMLThumbnails; }
  void SetHTMLThumbnails(std::vector<std::string> lines);
  const std::vector<std::string>& HTMLImages() const { return v_.HTMLImages; }
  void SetHTMLImages(std::vector<std::string> lines);

  // Page 5. ElementsMode is clamped into 0..2 and is not part of the settings file.
  bool AutoBrowserStart() const { return v_.AutoBrowserStart; }
  void SetAutoBrowserStart(bool value);
  // A run redoes only what changed since the last run into the output folder
  // (the run/GalleryUpdate rules); off, every run writes everything.
  bool UpdateOnlyChanged() const { return v_.UpdateOnlyChanged; }
  void SetUpdateOnlyChanged(bool value);
  // Page 2: the photos are also HEIC, HEIF, AVIF, PNG and WebP files
  // (core/PhotoFormats); off, only JPEG files.
  bool OtherFormats() const { return v_.OtherFormats; }
  void SetOtherFormats(bool value);
  // Every subfolder of the input folder that holds photos, or a folder
  // further down that does, becomes an album of its own in the same
  // relative folder of the output folder (run/GalleryAlbums); off, only the
  // photos of the input folder itself make the gallery.
  bool IncludeSubfolders() const { return v_.IncludeSubfolders; }
  void SetIncludeSubfolders(bool value);
  // A photo that cannot be read is left out of the gallery with a warning
  // and the run goes on; off, such a photo stops the run.
  bool SkipBadPhotos() const { return v_.SkipBadPhotos; }
  void SetSkipBadPhotos(bool value);
  // Page 5: each photo also gets a thumbnail at twice the thumbnail size
  // ("t2_", core/PhotoFormats) for screens of high pixel density.
  bool Thumbnails2x() const { return v_.Thumbnails2x; }
  void SetThumbnails2x(bool value);
  // Page 5: every scaled image and thumbnail is also written as a WebP file
  // beside its JPEG (WebpFileName); the JPEG files stay as they are.
  bool WebP() const { return v_.WebP; }
  void SetWebP(bool value);
  // Page 5: the run also writes one ZIP file of all originals (kZipFileName).
  bool Zip() const { return v_.Zip; }
  void SetZip(bool value);
  int ElementsMode() const { return v_.ElementsMode; }
  void SetElementsMode(int value);

 private:
  struct Values {
    std::string InputPath;
    std::string OutputPath;
    std::string AdditionalPath;
    std::string ThumbPagesName = "page";
    std::string ImagePagesName = "image";
    std::string WebSiteExtension = ".htm";
    int QualityImages = 90;
    std::string MaxWidthImage = "800";
    std::string MaxHeightImage = "600";
    int FilterIndex = kDefaultFilterIndex;
    bool UseFilter = false;
    int QualityThumbnails = 90;
    int ThumbSizeChoice = 3;
    std::string MaxSizeThumbnails = "160";
    int SortingMethodIndex = 0;
    bool UseExif = false;
    bool CopyOrgSizedImages = false;
    bool StripLocation = false;
    bool isgrayscale = false;
    int Pixelformat = 0;
    Color BackgroundColor = kClWindow;
    Color TextColor = kClBlack;
    Color LinkColor = kClBlue;
    Color VisitedLinkColor = kClPurple;
    std::string RowsCount = "3";
    std::string ColsCount = "4";
    std::string Title = "Place your gallery title here";
    int SubtitleIndex = 2;
    bool AutoBrowserStart = true;
    bool UpdateOnlyChanged = false;
    bool OtherFormats = false;
    bool IncludeSubfolders = false;
    bool SkipBadPhotos = false;
    bool Thumbnails2x = false;
    bool WebP = false;
    bool Zip = false;
    std::vector<std::string> HTMLThumbnails;
    std::vector<std::string> HTMLImages;
    int ElementsMode = 0;
  };

  void Notify(SettingsField field);
  void StoreText(std::string& slot, std::string value, SettingsField field);
  void StoreInt(int& slot, int value, SettingsField field);
  void StoreBool(bool& slot, bool value, SettingsField field);
  void StoreColor(Color& slot, Color value, SettingsField field);

  Values v_;
  std::vector<std::pair<SubscriptionId, Observer>> observers_;
  SubscriptionId nextId_ = 1;
};

}  // namespace fotoloom
