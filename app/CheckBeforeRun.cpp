// The wizard's check before a run: the run's own rules, told in the captions of the boxes.
#include "app/CheckBeforeRun.h"

#include "core/FolderCheck.h"
#include "core/SettingsCheck.h"

namespace fotoloom {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

SettingsBox BoxOf(SettingsField field) {
  switch (field) {
    case SettingsField::InputPath: return {1, "edt_input", "Path of INPUT Folder"};
    case SettingsField::OutputPath: return {1, "edt_output", "Path of OUTPUT Folder"};
    case SettingsField::ThumbPagesName: return {1, "edt_thumbnail", "Name of Thumbnail Websites"};
    case SettingsField::ImagePagesName: return {1, "edt_image", "Name Of Image Websites"};
    case SettingsField::WebSiteExtension: return {1, "cmb_ext", "Extension of Websites"};
    case SettingsField::QualityImages: return {2, "Track_quality", "JPEG Quality"};
    case SettingsField::MaxWidthImage: return {2, "Edt_max_width", "Maximum Image Width"};
    case SettingsField::MaxHeightImage: return {2, "edt_max_height", "Maximum Image Height"};
    case SettingsField::QualityThumbnails: return {2, "Track_Quality_1", "JPEG Quality"};
    case SettingsField::MaxSizeThumbnails: return {2, "edt_user_size", "Maximum Thumbnail Size"};
    case SettingsField::RowsCount: return {3, "edt_num_row", "Number of Rows"};
    case SettingsField::ColsCount: return {3, "edt_num_columns", "Number of Columns"};
    default: return {};
  }
}

std::optional<RefusedValue> CheckFolders(const GallerySettings& settings) {
  const FolderFault fault = CheckRunFolders(settings.InputPath(), settings.OutputPath());
  if (fault == FolderFault::None) return std::nullopt;
  const SettingsField field = fault == FolderFault::InputMissing ? SettingsField::InputPath : SettingsField::OutputPath;
  return RefusedValue{BoxOf(field), Q(FolderFaultMessage(fault, settings.InputPath(), settings.OutputPath()))};
}

QString PageNameProblem(const GallerySettings& settings) {
  const std::optional<ValueFault> fault = CheckPageNames(settings);
  if (!fault) return {};
  return BoxOf(fault->Field).Caption + ": '" + Q(fault->Text) + "' cannot be used: " + Q(fault->Reason);
}

std::optional<RefusedValue> CheckBeforeRun(const GallerySettings& settings) {
  if (std::optional<RefusedValue> folders = CheckFolders(settings)) return folders;
  if (const std::optional<ValueFault> fault = CheckPageNames(settings))
    return RefusedValue{BoxOf(fault->Field), PageNameProblem(settings)};
  if (const std::optional<ValueFault> fault = CheckRunNumbers(settings)) {
    const SettingsBox box = BoxOf(fault->Field);
    return RefusedValue{box, box.Caption + ": '" + Q(fault->Text) + "' " + Q(WholeNumberReason(*fault))};
  }
  return std::nullopt;
}

}  // namespace fotoloom
