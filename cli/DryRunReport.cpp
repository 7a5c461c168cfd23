// The text of a dry run's plan.
#include "cli/DryRunReport.h"

#include <algorithm>

#include "cli/ConsoleView.h"
#include "core/OutputNames.h"
#include "imaging/OutputName.h"
#include "run/OutputFolder.h"

namespace fotoloom::cli {
namespace {

std::string SizeText(const TargetSize& size) { return std::to_string(size.Width) + "x" + std::to_string(size.Height); }

// The photo's name in its album's folder, as the gallery names it.
std::string PhotoName(const PlannedPhoto& photo) {
  return NameInSubfolder(FolderShownOnConsole(photo.Subfolder), FileNameOf(photo.Path));
}

// What the photo's metadata gave the run: the date its order used and
// where its caption comes from, each when the run uses it.
std::string MetadataText(const PlannedPhoto& photo) {
  std::string text;
  if (!photo.DateUsed.empty()) text += "  " + photo.DateUsed;
  if (!photo.CaptionFrom.empty()) text += "  caption: " + photo.CaptionFrom;
  return text;
}

// The photo's name, padded to width so that the sizes line up, and what is written of it.
std::string PhotoLine(const PlannedPhoto& photo, const RunPlan& plan, std::size_t width) {
  std::string line = "  " + PhotoName(photo);
  line.resize(std::max(line.size(), width + 2), ' ');
  line += "  ";
  if (!photo.Problem.empty()) return line + "cannot be read: " + photo.Problem;
  if (!photo.ImagesWritten) return line + "pages only" + MetadataText(photo);
  line += "n_ " + SizeText(photo.Scaled) + "  t_ " + SizeText(photo.Thumbnail);
  if (plan.SharpThumbnails) line += "  t2_ " + SizeText(photo.SharpThumbnail);
  if (plan.WebP) line += "  and .webp of each";
  if (plan.CopiesOriginals) line += "  b_ copy";
  return line + MetadataText(photo);
}

// What an update would make again and delete.
std::string UpdateSection(const RunPlan& plan, std::size_t width) {
  const PlannedUpdate& u = plan.Update;
  std::string text = "Update: " + std::to_string(u.UpToDate) + " of " + std::to_string(plan.ElementsCount) +
                     " images up to date" + (u.StateFound ? "" : " (no state of an earlier update: a full run)") + "\n";
  for (const PlannedPhoto& photo : plan.Photos) {
    if (!photo.ImagesWritten || !photo.Problem.empty()) continue;
    std::string what;
    if (photo.RedoScaled) what += " n_";
    if (photo.RedoThumbnail) what += plan.SharpThumbnails ? " t_ t2_" : " t_";
    if (photo.RedoCopy) what += " b_";
    if (what.empty()) continue;
    std::string line = "  " + PhotoName(photo);
    line.resize(std::max(line.size(), width + 2), ' ');
    text += line + "  made again:" + what + "\n";
  }
  if (plan.WritesZip) text += "ZIP: " + std::string(u.ZipWritten ? "made again" : "up to date") + "\n";
  text += "Deleted: " + std::to_string(u.Deleted.size()) + "\n";
  for (const std::string& name : u.Deleted) text += "  " + name + "\n";
  return text;
}

}  // namespace

std::string DryRunReport(const RunPlan& plan, const GallerySettings& settings) {
  std::string text = "Dry run: nothing was written.\n";
  text += "Output folder: " + settings.OutputPath() + (plan.CreatesOutputFolder ? " (would be created)\n" : "\n");
  text += "Thumbnail pages: " + std::to_string(plan.ThumbPageCount) + "\n";
  text += "Image pages: " + std::to_string(plan.ImagePageCount) + "\n";
  if (!plan.Albums.empty()) {
    std::vector<AlbumSummary> albums;
    for (const PlannedAlbum& a : plan.Albums) albums.push_back({a.Folder, a.Photos, a.PhotosInTree});
    text += AlbumListText(albums);
  }
  text += "Photos in gallery order: " + std::to_string(plan.Photos.size()) + ", images written for " +
          std::to_string(plan.ElementsCount) + "\n";
  std::size_t width = 0;
  for (const PlannedPhoto& photo : plan.Photos) width = std::max(width, PhotoName(photo).size());
  for (const PlannedPhoto& photo : plan.Photos) text += PhotoLine(photo, plan, width) + "\n";
  if (!plan.LeftOut.empty()) {
    text += "Left out, as they cannot be read: " + std::to_string(plan.LeftOut.size()) + "\n";
    for (const RunPlan::LeftOutPhoto& photo : plan.LeftOut)
      text += "  " + FileNameOf(photo.Path) + "  " + photo.Problem + "\n";
  }
  if (plan.WritesZip)
    text += "ZIP of all originals: " + std::string(kZipFileName) + ", " + std::to_string(plan.Photos.size()) +
            (plan.ZipStripsLocation ? " photos without their location\n" : " photos\n");
  if (plan.CopiesAdditionalElements) text += "Additional elements: copied from " + settings.AdditionalPath() + "\n";
  if (plan.Updates) text += UpdateSection(plan, width);
  text += "First page: " + First_page_path(settings) + "\n";
  return text;
}

}  // namespace fotoloom::cli
