// The colour preview page: the lines of "preview.html" and the text handed to the preview view.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "core/GallerySettings.h"

namespace fotoloom {

// The 20 lines of the preview page for the record's four colours (system
// colours resolved). Line 7 carries the background digits without "#".
std::vector<std::string> PreviewLines(const GallerySettings& settings);

// Writes "preview.html" into folder (ending in "/") and returns its path.
// Raises "Cannot create file ..." when it cannot be written.
std::string WritePreviewFile(const std::string& folder, const GallerySettings& settings);

// The page text as Qt's rich-text view can show it: a style sheet wrapped in
// "<!-- -->" is unwrapped, and a bare six-digit colour after "color:" gets
// its "#", which the view would otherwise paint black, and the line break
// right after "<pre>" goes, as in a browser. Everything else is
// left as it is; the file on disk is never changed.
QString NormalizeForTextView(const QString& html);

}  // namespace fotoloom
