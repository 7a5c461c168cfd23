// The captions of the progress page's bars.
#include "run/RunView.h"

namespace fotoloom {

std::string_view RunBarCaption(RunBar bar) {
  switch (bar) {
    case RunBar::ThumbnailPages: return "Creating Thumbnailpage";
    case RunBar::ImagePages: return "Creating Imagepage";
    case RunBar::Originals: return "Copy Original Image";
    case RunBar::ScaledImages: return "Creating Scaling Image";
    case RunBar::Thumbnails: return "Creating Thumbnail Image";
  }
  return {};
}

std::string_view RunBarGroupCaption(RunBar bar) {
  return (bar == RunBar::ThumbnailPages || bar == RunBar::ImagePages) ? kCreatingWebpageCaption
                                                                      : kProcessingImageCaption;
}

}  // namespace fotoloom
