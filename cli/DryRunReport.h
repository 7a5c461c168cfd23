// What fotoloom-cli run --dry-run prints: the plan of a run, as lines of text.
#pragma once

#include <string>

#include "core/GallerySettings.h"
#include "run/RunPlan.h"

namespace fotoloom::cli {

// The report of a dry run over settings, one fact a line, in sections:
//   Dry run: nothing was written.
//   Output folder: out (would be created)
//   Thumbnail pages: 2
//   Image pages: 6
//   Photos in gallery order: 6, images written for 6
//     p001.jpg    n_ 800x600  t_ 160x120  b_ copy  taken 2024-05-17 14:03:07  caption: XMP
//     broken.jpg  cannot be read: JPEG error #53
//     p003.jpg    pages only  file date  caption: none
//   Additional elements: copied from extras
//   Update: 4 of 6 images up to date
//     p001.jpg    made again: n_ t_
//   Deleted: 2
//     n_gone.jpg
//     page3.htm
//   First page: out/page1.htm
// The names are padded to the longest so that the sizes line up. "b_ copy"
// shows when the originals are copied, "pages only" for a photo whose
// images the elements mode leaves out. With UseExif and a date order each
// line ends in the date the order used ("taken ..." or "file date"), and
// when the pages show captions, in the caption's source. The "Update" and "Deleted" sections
// show for an update only: each photo with something made again, and the
// files it would delete. A run with SkipBadPhotos adds, after the photos,
// "Left out, as they cannot be read: N" and a line per photo with why.
std::string DryRunReport(const RunPlan& plan, const GallerySettings& settings);

}  // namespace fotoloom::cli
