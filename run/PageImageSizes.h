// The sizes of the photos' scaled images and thumbnails for the pages, told by each photo's header before the pages
// are written.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/GallerySettings.h"
#include "pages/ScreenMarkup.h"

namespace fotoloom {

// Whether a template of o (or the title, for "@thumbgrid@") uses a macro
// whose value is a size of a photo's images ("@thumbgrid@", "@image_width@",
// "@image_height@", in any letter case); a run reads the photos' headers for
// the pages only then.
bool PagesUseImageSizes(const GallerySettings& o);

// The sizes the image writers give each photo's scaled image and thumbnail,
// by the photo's upright size from its header and the bounds of o, in the
// order of photos. A photo whose header cannot be read gets zeros (its
// images carry no size on the pages; the image stages report it), and so
// does every photo when a bound is not a valid size. goOn is asked before
// each photo; once it says no, the sizes so far are returned.
std::vector<ImageSizes> PageImageSizes(const std::vector<std::string>& photos, const GallerySettings& o,
                                       const std::function<bool()>& goOn);

}  // namespace fotoloom
