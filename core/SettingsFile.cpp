// The settings file: its exact line layout when written, its load order when read.
#include "core/SettingsFile.h"

#include <string_view>
#include <vector>

#include "core/ColorText.h"
#include "core/IniFile.h"
#include "core/TextFile.h"

namespace fotoloom {
namespace {

std::string Flag(bool b) { return b ? "1" : "0"; }

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

void Write_settings_file(const std::string& path, const GallerySettings& s) {
  std::vector<std::string> out = {
      "[Step1]",
      "InputPath=" + s.InputPath(),
      "OutputPath=" + s.OutputPath(),
      "AdditionalPath=" + s.AdditionalPath(),
      "ThumbPagesName=" + s.ThumbPagesName(),
      "ImagePagesName=" + s.ImagePagesName(),
      "WebSiteExtension=" + s.WebSiteExtension(),
      "[Step2]",
      "QualityImages=" + std::to_string(s.QualityImages()),
      "MaxWidthImage=" + s.MaxWidthImage(),
      "MaxHeightImage=" + s.MaxHeightImage(),
      "FilterIndex=" + std::to_string(s.FilterIndex()),
      "Usefilter=" + Flag(s.UseFilter()),
      "QualityThumbnails=" + std::to_string(s.QualityThumbnails()),
  };
  const int choice = s.ThumbSizeChoice();
  out.push_back("MaxSizeThumbnails=" + (choice >= 0 && choice < int(kFixedThumbSizes.size())
                                            ? std::to_string(kFixedThumbSizes[std::size_t(choice)])
                                            : s.MaxSizeThumbnails()));
  out.insert(out.end(), {
                            "SortingMethodIndex=" + std::to_string(s.SortingMethodIndex()),
                            "UseExif=" + Flag(s.UseExif()),
                            "CopyOrgSizedImages=" + Flag(s.CopyOrgSizedImages()),
                            "isgrayscale=" + Flag(s.isgrayscale()),
                            "Pixelformat=" + std::to_string(s.Pixelformat()),
                            "[Step3]",
                            "BackgroundColor=" + ColorToText(s.BackgroundColor()),
                            "TextColor=" + ColorToText(s.TextColor()),
                            "LinkColor=" + ColorToText(s.LinkColor()),
                            "VisitedLinkColor=" + ColorToText(s.VisitedLinkColor()),
                            "RowsCount=" + s.RowsCount(),
                            "ColsCount=" + s.ColsCount(),
                            "Title=" + s.Title(),
                            "SubtitleIndex=" + std::to_string(s.SubtitleIndex()),
                            "[Step5]",
                            "AutoBrowserStart=" + Flag(s.AutoBrowserStart()),
                            "[HTMLThumbnails]",
                        });
  AppendTemplate(out, s.HTMLThumbnails());
  out.push_back("[HTMLImages]");
  AppendTemplate(out, s.HTMLImages());
  WriteTextFile(path, out);
}

void Read_settings_file(const std::string& path, GallerySettings& s, const std::function<void()>& afterColors) {
  const IniFile ini = IniFile::Load(path);

  s.SetInputPath(ini.ReadString("Step1", "InputPath", ""));
  s.SetOutputPath(ini.ReadString("Step1", "OutputPath", ""));
  s.SetAdditionalPath(ini.ReadString("Step1", "AdditionalPath", ""));
  s.SetThumbPagesName(ini.ReadString("Step1", "ThumbPagesName", "page"));
  s.SetImagePagesName(ini.ReadString("Step1", "ImagePagesName", "image"));
  s.SetWebSiteExtension(ini.ReadString("Step1", "WebSiteExtension", ".htm"));

  s.SetQualityImages(ini.ReadInteger("Step2", "QualityImages", 90));
  s.SetMaxWidthImage(ini.ReadString("Step2", "MaxWidthImage", "800"));
  s.SetMaxHeightImage(ini.ReadString("Step2", "MaxHeightImage", "600"));
  s.SetFilterIndex(ini.ReadInteger("Step2", "FilterIndex", 5));
  s.SetUseFilter(ini.ReadBool("Step2", "UseFilter", false));
  s.SetQualityThumbnails(ini.ReadInteger("Step2", "QualityThumbnails", 90));
  // 120, 140 and 160 are the fixed choices; any other size is user defined.
  const int size = ini.ReadInteger("Step2", "MaxSizeThumbnails", 160);
  int choice = 3;
  for (std::size_t i = 0; i < kFixedThumbSizes.size(); ++i)
    if (kFixedThumbSizes[i] == size) choice = int(i);
  s.SetThumbSizeChoice(choice);
  if (choice == 3) s.SetMaxSizeThumbnails(std::to_string(size));
  s.SetSortingMethodIndex(ini.ReadInteger("Step2", "SortingMethodIndex", 0));
  s.SetUseExif(ini.ReadBool("Step2", "UseExif", true));
  s.SetCopyOrgSizedImages(ini.ReadBool("Step2", "CopyOrgSizedImages", true));
  s.Setisgrayscale(ini.ReadBool("Step2", "isgrayscale", true));
  s.SetPixelformat(ini.ReadInteger("Step2", "Pixelformat", 0));

  s.SetBackgroundColor(ColorFromText(ini.ReadString("Step3", "BackgroundColor", "clwindow")));
  s.SetTextColor(ColorFromText(ini.ReadString("Step3", "TextColor", "clwindow")));
  s.SetLinkColor(ColorFromText(ini.ReadString("Step3", "LinkColor", "clwindow")));
  s.SetVisitedLinkColor(ColorFromText(ini.ReadString("Step3", "VisitedLinkColor", "clwindow")));
  if (afterColors) afterColors();

  s.SetRowsCount(ini.ReadString("Step3", "RowsCount", "3"));
  s.SetColsCount(ini.ReadString("Step3", "ColsCount", "4"));
  s.SetTitle(ini.ReadString("Step3", "Title", "Place your gallery title here"));
  s.SetSubtitleIndex(ini.ReadInteger("Step3", "SubtitleIndex", 2));
  s.SetAutoBrowserStart(ini.ReadBool("Step5", "AutoBrowserStart", true));

  s.SetHTMLThumbnails(ReadTemplate(ini, "HTMLThumbnails"));
  s.SetHTMLImages(ReadTemplate(ini, "HTMLImages"));
}

}  // namespace fotoloom
