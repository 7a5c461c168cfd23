// The settings file: its exact line layout when written, its load order when read.
#include "core/SettingsFile.h"

#include <array>
#include <optional>
#include <vector>

#include "core/ColorText.h"
#include "core/IniFile.h"
#include "core/TextFile.h"

namespace fotoloom {
namespace {

using S = GallerySettings;
using Kind = SettingsValueKind;

// Reading one value of each kind into a setter; false when the reader does not take it.

template <void (S::*Set)(std::string)>
bool ReadText(S& s, std::string_view value) {
  (s.*Set)(std::string(value));
  return true;
}

// A whole number goes into an integer field as it is, into a yes/no field as
// yes exactly when it is 1.
void StoreNumber(S& s, void (S::*set)(int), int n) { (s.*set)(n); }
void StoreNumber(S& s, void (S::*set)(bool), int n) { (s.*set)(n == 1); }

template <auto Set>
bool ReadNumber(S& s, std::string_view value) {
  const std::optional<int> n = ParseIniInteger(value);
  if (!n) return false;
  StoreNumber(s, Set, *n);
  return true;
}

// "yes" or "no" in any letter case, or a whole number (1 is yes).
template <void (S::*Set)(bool)>
bool ReadYesNoWord(S& s, std::string_view value) {
  if (const std::optional<bool> yes = ParseIniYesNoWord(value)) {
    (s.*Set)(*yes);
    return true;
  }
  return ReadNumber<Set>(s, value);
}

template <void (S::*Set)(Color)>
bool ReadColor(S& s, std::string_view value) {
  const std::optional<Color> c = TextToColor(value);
  if (!c) return false;
  (s.*Set)(*c);
  return true;
}

// 120, 140 and 160 are the fixed choices; any other size is user defined.
bool ReadThumbnailSize(S& s, std::string_view value) {
  const std::optional<int> size = ParseIniInteger(value);
  if (!size) return false;
  int choice = 3;
  for (std::size_t i = 0; i < kFixedThumbSizes.size(); ++i)
    if (kFixedThumbSizes[i] == *size) choice = int(i);
  s.SetThumbSizeChoice(choice);
  if (choice == 3) s.SetMaxSizeThumbnails(std::to_string(*size));
  return true;
}

// Writing each kind.

template <const std::string& (S::*Get)() const>
std::string WriteText(const S& s) {
  return (s.*Get)();
}

template <int (S::*Get)() const>
std::string WriteInteger(const S& s) {
  return std::to_string((s.*Get)());
}

template <bool (S::*Get)() const>
std::string WriteYesNo(const S& s) {
  return (s.*Get)() ? "1" : "0";
}

template <bool (S::*Get)() const>
std::string WriteYesNoWord(const S& s) {
  return (s.*Get)() ? "yes" : "no";
}

template <Color (S::*Get)() const>
std::string WriteColor(const S& s) {
  return ColorToText((s.*Get)());
}

std::string WriteThumbnailSize(const S& s) {
  const int choice = s.ThumbSizeChoice();
  return choice >= 0 && choice < int(kFixedThumbSizes.size()) ? std::to_string(kFixedThumbSizes[std::size_t(choice)])
                                                              : s.MaxSizeThumbnails();
}

template <auto Get, auto Set>
constexpr SettingsKey Text(std::string_view section, std::string_view name, std::string_view fallback) {
  return {section, name, Kind::Text, fallback, &ReadText<Set>, &WriteText<Get>};
}

template <auto Get, auto Set>
constexpr SettingsKey Integer(std::string_view section, std::string_view name, std::string_view fallback) {
  return {section, name, Kind::Integer, fallback, &ReadNumber<Set>, &WriteInteger<Get>};
}

template <auto Get, auto Set>
constexpr SettingsKey YesNo(std::string_view section, std::string_view name, std::string_view fallback) {
  return {section, name, Kind::YesNo, fallback, &ReadNumber<Set>, &WriteYesNo<Get>};
}

template <auto Get, auto Set>
constexpr SettingsKey ColorKey(std::string_view name) {
  return {"Step3", name, Kind::ColorValue, "clwindow", &ReadColor<Set>, &WriteColor<Get>};
}

// The key lines in file order. The fallbacks are those of a missing key,
// which differ from the start-up values for the three switches UseExif,
// CopyOrgSizedImages and isgrayscale and for three colours.
// One key a line.
// clang-format off
constexpr auto kKeys = std::to_array<SettingsKey>({
    Text<&S::InputPath, &S::SetInputPath>("Step1", "InputPath", ""),
    Text<&S::OutputPath, &S::SetOutputPath>("Step1", "OutputPath", ""),
    Text<&S::AdditionalPath, &S::SetAdditionalPath>("Step1", "AdditionalPath", ""),
    Text<&S::ThumbPagesName, &S::SetThumbPagesName>("Step1", "ThumbPagesName", "page"),
    Text<&S::ImagePagesName, &S::SetImagePagesName>("Step1", "ImagePagesName", "image"),
    Text<&S::WebSiteExtension, &S::SetWebSiteExtension>("Step1", "WebSiteExtension", ".htm"),
    Integer<&S::QualityImages, &S::SetQualityImages>("Step2", "QualityImages", "90"),
    Text<&S::MaxWidthImage, &S::SetMaxWidthImage>("Step2", "MaxWidthImage", "800"),
    Text<&S::MaxHeightImage, &S::SetMaxHeightImage>("Step2", "MaxHeightImage", "600"),
    Integer<&S::FilterIndex, &S::SetFilterIndex>("Step2", "FilterIndex", "5"),
    YesNo<&S::UseFilter, &S::SetUseFilter>("Step2", "Usefilter", "0"),
    Integer<&S::QualityThumbnails, &S::SetQualityThumbnails>("Step2", "QualityThumbnails", "90"),
    SettingsKey{"Step2", "MaxSizeThumbnails", Kind::ThumbnailSize, "160", &ReadThumbnailSize, &WriteThumbnailSize},
    Integer<&S::SortingMethodIndex, &S::SetSortingMethodIndex>("Step2", "SortingMethodIndex", "0"),
    YesNo<&S::UseExif, &S::SetUseExif>("Step2", "UseExif", "1"),
    YesNo<&S::CopyOrgSizedImages, &S::SetCopyOrgSizedImages>("Step2", "CopyOrgSizedImages", "1"),
    YesNo<&S::isgrayscale, &S::Setisgrayscale>("Step2", "isgrayscale", "1"),
    Integer<&S::Pixelformat, &S::SetPixelformat>("Step2", "Pixelformat", "0"),
    ColorKey<&S::BackgroundColor, &S::SetBackgroundColor>("BackgroundColor"),
    ColorKey<&S::TextColor, &S::SetTextColor>("TextColor"),
    ColorKey<&S::LinkColor, &S::SetLinkColor>("LinkColor"),
    ColorKey<&S::VisitedLinkColor, &S::SetVisitedLinkColor>("VisitedLinkColor"),
    Text<&S::RowsCount, &S::SetRowsCount>("Step3", "RowsCount", "3"),
    Text<&S::ColsCount, &S::SetColsCount>("Step3", "ColsCount", "4"),
    Text<&S::Title, &S::SetTitle>("Step3", "Title", "Place your gallery title here"),
    Integer<&S::SubtitleIndex, &S::SetSubtitleIndex>("Step3", "SubtitleIndex", "2"),
    YesNo<&S::AutoBrowserStart, &S::SetAutoBrowserStart>("Step5", "AutoBrowserStart", "1"),
});
// clang-format on

// Keys of sections of their own after the templates, each written only when
// its value is not the fallback (the option is on), so that a file saved with
// them off is byte for byte the file saved before they existed, and a file
// without them loads them off.
// Their switches are read as yes from "yes" or 1; OnlyChanged is written
// "yes", the others "1". OnlyChanged and SkipBadPhotos
// are set on the command line by options of their own (--update,
// --skip-bad-photos), not by --set.
constexpr auto kOptionalKeys = std::to_array<SettingsKey>({
    SettingsKey{"Update", "OnlyChanged", Kind::YesNo, "no", &ReadYesNoWord<&S::SetUpdateOnlyChanged>,
                &WriteYesNoWord<&S::UpdateOnlyChanged>, false},
    SettingsKey{"Run", "SkipBadPhotos", Kind::YesNo, "0", &ReadYesNoWord<&S::SetSkipBadPhotos>,
                &WriteYesNo<&S::SkipBadPhotos>, false},
    SettingsKey{"Privacy", "StripLocation", Kind::YesNo, "0", &ReadYesNoWord<&S::SetStripLocation>,
                &WriteYesNo<&S::StripLocation>},
    SettingsKey{"Formats", "OtherFormats", Kind::YesNo, "0", &ReadYesNoWord<&S::SetOtherFormats>,
                &WriteYesNo<&S::OtherFormats>},
    SettingsKey{"Albums", "Enabled", Kind::YesNo, "0", &ReadYesNoWord<&S::SetIncludeSubfolders>,
                &WriteYesNo<&S::IncludeSubfolders>},
    SettingsKey{"Screens", "Thumbnails2x", Kind::YesNo, "0", &ReadYesNoWord<&S::SetThumbnails2x>,
                &WriteYesNo<&S::Thumbnails2x>},
    SettingsKey{"Screens", "WebP", Kind::YesNo, "0", &ReadYesNoWord<&S::SetWebP>, &WriteYesNo<&S::WebP>},
    SettingsKey{"Screens", "Zip", Kind::YesNo, "0", &ReadYesNoWord<&S::SetZip>, &WriteYesNo<&S::Zip>},
});

// The optional switch --set takes by its section's name ("Albums=yes").
constexpr std::string_view kSwitchKeyName = "Enabled";

std::string TemplatePrefix(std::size_t index) { return "Line" + std::to_string(index) + "=d"; }

// "Line<i>=d<line>" for each line: the guard "d" keeps leading blanks and tabs
// of a template line from being trimmed away when the value is read.
void AppendTemplate(std::vector<std::string>& out, const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) out.push_back(TemplatePrefix(i) + lines[i]);
}

// Line i of a template is its entry at position i with as many characters
// dropped as "Line<i>=d" has, whatever key the entry carries.
std::vector<std::string> ReadTemplate(const IniFile& ini, std::string_view section) {
  std::vector<std::string> lines;
  const std::vector<IniFile::Entry> entries = ini.SectionEntries(section);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string whole = entries[i].Key + "=" + entries[i].Value;
    const std::size_t drop = TemplatePrefix(i).size();
    lines.push_back(whole.size() > drop ? whole.substr(drop) : std::string());
  }
  return lines;
}

}  // namespace

std::span<const SettingsKey> SettingsKeys() { return kKeys; }

std::span<const SettingsKey> OptionalSettingsKeys() { return kOptionalKeys; }

const SettingsKey* FindSettingsKey(std::string_view name) {
  for (const SettingsKey& key : kKeys)
    if (IniNamesMatch(key.Name, name)) return &key;
  for (const SettingsKey& key : kOptionalKeys)
    if (key.Settable && IniNamesMatch(SettingsKeyCommandName(key), name)) return &key;
  return nullptr;
}

std::string_view SettingsKeyCommandName(const SettingsKey& key) {
  return key.Name == kSwitchKeyName ? key.Section : key.Name;
}

bool StoreSettingsValue(const SettingsKey& key, std::string_view value, GallerySettings& settings) {
  return key.Read(settings, value);
}

void Write_settings_file(const std::string& path, const GallerySettings& s) {
  std::vector<std::string> out;
  std::string_view section;
  for (const SettingsKey& key : kKeys) {
    if (key.Section != section) {
      section = key.Section;
      out.push_back("[" + std::string(section) + "]");
    }
    out.push_back(std::string(key.Name) + "=" + key.Write(s));
  }
  out.push_back("[HTMLThumbnails]");
  AppendTemplate(out, s.HTMLThumbnails());
  out.push_back("[HTMLImages]");
  AppendTemplate(out, s.HTMLImages());
  // Keys that share a section and are on come under one header.
  std::string_view ownSection;
  const auto writeOwnSection = [&](const SettingsKey& key) {
    const std::string value = key.Write(s);
    if (value == key.Fallback) return;
    if (key.Section != ownSection) {
      ownSection = key.Section;
      out.push_back("[" + std::string(key.Section) + "]");
    }
    out.push_back(std::string(key.Name) + "=" + value);
  };
  for (const SettingsKey& key : kOptionalKeys) writeOwnSection(key);
  WriteTextFile(path, out);
}

bool Read_settings_file(const std::string& path, GallerySettings& s, const std::function<void()>& afterColors) {
  const IniFile ini = IniFile::Load(path);
  bool known = !ini.SectionEntries("HTMLThumbnails").empty() || !ini.SectionEntries("HTMLImages").empty();
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const SettingsKey& key = kKeys[i];
    const std::optional<std::string> value = ini.Value(key.Section, key.Name);
    known = known || value.has_value();
    if (!value || !StoreSettingsValue(key, *value, s)) {
      // A colour that is not one stops the load with the colour reader's
      // error; any other value not taken reads as a missing key.
      if (value && key.Kind == Kind::ColorValue) (void)ColorFromText(*value);
      StoreSettingsValue(key, key.Fallback, s);
    }
    const bool lastColor =
        key.Kind == Kind::ColorValue && (i + 1 == kKeys.size() || kKeys[i + 1].Kind != Kind::ColorValue);
    if (lastColor && afterColors) afterColors();
  }
  s.SetHTMLThumbnails(ReadTemplate(ini, "HTMLThumbnails"));
  s.SetHTMLImages(ReadTemplate(ini, "HTMLImages"));
  const auto readOwnSection = [&](const SettingsKey& key) {
    const std::optional<std::string> value = ini.Value(key.Section, key.Name);
    known = known || value.has_value();
    if (!value || !StoreSettingsValue(key, *value, s)) StoreSettingsValue(key, key.Fallback, s);
  };
  for (const SettingsKey& key : kOptionalKeys) readOwnSection(key);
  return known;
}

std::string NoSettingsReadWarning(const std::string& path) {
  return "No setting could be read from \"" + path +
         "\": it is empty or not a settings file. Every option takes its value for a missing key.";
}

}  // namespace fotoloom
