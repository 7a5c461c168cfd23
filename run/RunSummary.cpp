// The one line that sums up a finished run, shown by the wizard's finish page and printed by fotoloom-cli.
#include "run/RunSummary.h"

#include <cmath>
#include <cstdio>

#include "run/GenerationRun.h"

namespace fotoloom {
namespace {

// "1 photo", "24 photos".
std::string Count(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

// "24 photos", with what the image stages took when they did not take every photo.
std::string PhotosText(const RunSummary& s) {
  std::string text = Count(s.Photos, "photo", "photos");
  if (s.ImagesFor == 0) return text + " (pages only)";
  if (s.ImagesFor < s.Photos) return text + " (images for " + std::to_string(s.ImagesFor) + ")";
  return text;
}

// ", 2 left out" after the photos, ", 2 photos left out" after anything else; nothing when none was.
std::string LeftOutText(int leftOut, bool afterPhotos) {
  if (leftOut <= 0) return {};
  return ", " + (afterPhotos ? std::to_string(leftOut) : Count(leftOut, "photo", "photos")) + " left out";
}

std::string UpdateText(const RunSummary& s, const UpdateCounts& u) {
  std::string text = s.ImagesFor == 0 ? PhotosText(s) + LeftOutText(s.LeftOut, true)
                                      : std::to_string(u.UpToDate) + " of " + std::to_string(s.ImagesFor) +
                                            (s.ImagesFor == 1 ? " image up to date" : " images up to date") +
                                            LeftOutText(s.LeftOut, false);
  text += u.Written == 0 ? ", nothing written" : ", " + Count(u.Written, "file", "files") + " written";
  if (u.Deleted > 0)
    text += u.Written == 0 ? ", " + Count(u.Deleted, "file", "files") + " deleted"
                           : ", " + std::to_string(u.Deleted) + " deleted";
  return text;
}

}  // namespace

RunSummary SummaryOf(const GenerationRun& run) {
  RunSummary s;
  s.Photos = run.ImageCount();
  s.ThumbnailPages = run.ThumbPageCount();
  s.ImagesFor = run.ElementsCount();
  s.Seconds = run.Seconds();
  s.Update = run.LastUpdate();
  s.LeftOut = static_cast<int>(run.LeftOut().size());
  return s;
}

std::string DurationText(double seconds) {
  if (!(seconds >= 0)) seconds = 0;
  // Tenths are rounded once, so 59.96 s reads "1 min 00 s", never "60.0 s".
  const long long tenths = std::llround(seconds * 10);
  if (tenths < 600) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%lld s", tenths / 10, tenths % 10);
    return text;
  }
  const long long whole = std::llround(seconds);
  char text[48];
  if (whole < 3600)
    std::snprintf(text, sizeof text, "%lld min %02lld s", whole / 60, whole % 60);
  else
    std::snprintf(text, sizeof text, "%lld h %02lld min", whole / 3600, whole / 60 % 60);
  return text;
}

std::string RunSummaryText(const RunSummary& s) {
  const std::string what = s.Update ? UpdateText(s, *s.Update)
                                    : PhotosText(s) + LeftOutText(s.LeftOut, true) + ", " +
                                          Count(s.ThumbnailPages, "thumbnail page", "thumbnail pages") + ", " +
                                          Count(s.Photos, "image page", "image pages");
  return what + " in " + DurationText(s.Seconds);
}

}  // namespace fotoloom
