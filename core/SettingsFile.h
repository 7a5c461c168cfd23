// Saving the options record to a settings file (".fl", INI layout) and loading it back.
#pragma once

#include <functional>
#include <string>

#include "core/GallerySettings.h"

namespace fotoloom {

// Writes every field but ElementsMode to path, replacing the file: fixed
// sections and keys in a fixed order, colours as colour text, template lines
// as "Line<i>=d<line>", CR LF line ends, no byte-order mark. Raises
// "Cannot create file ..." when the file cannot be written; the record is
// never changed.
void Write_settings_file(const std::string& path, const GallerySettings& settings);

// Loads path into settings through the record's setters, so every value rule
// of the record applies. A key missing from the file gives its fixed
// fallback; a missing or unreadable file is no error (every field takes its
// fallback and both templates become empty). afterColors, when set, runs once
// right after the four colours are stored (the wizard renews its preview).
// A colour that is neither a known name nor a number raises "'<text>' is not
// a valid integer value" and stops the load there: what was stored before it
// keeps its new value, the rest keeps its old one. ElementsMode is never touched.
void Read_settings_file(const std::string& path, GallerySettings& settings,
                        const std::function<void()>& afterColors = {});

}  // namespace fotoloom
