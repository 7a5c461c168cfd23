// The "Responsive" page templates: a second built-in set for today's browsers, phones included.
#pragma once

#include <string>
#include <vector>

namespace fotoloom {

// The responsive thumbnail page template. An HTML5 page whose thumbnail table
// keeps the chosen rows and columns on a wide window and flows into as many
// columns as fit on a narrow one (below 40rem), so no page scrolls sideways
// from 360 px up. The arrow keys go to the previous and next page through a
// few lines of inline script; the links work without it. Nothing is loaded
// from outside the gallery folder.
const std::vector<std::string>& ResponsiveThumbnailTemplate();

// The responsive image page template: the photo scaled down to fit the window
// in width and height, keeping its aspect ratio, under the page's name and
// navigation. Left and Right go to the previous and next image, Escape to the
// thumbnail page that holds it.
const std::vector<std::string>& ResponsiveImageTemplate();

}  // namespace fotoloom
