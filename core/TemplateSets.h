// The built-in template sets a user can choose from, and which one an options record holds.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/GallerySettings.h"

namespace fotoloom {

// A built-in pair of page templates, with the name the wizard shows and the
// word the command line takes.
struct TemplateSet {
  std::string_view name;  // "Responsive"
  std::string_view word;  // "responsive"
  const std::vector<std::string>& (*thumbnails)();
  const std::vector<std::string>& (*images)();
};

// The sets in the order they are offered: "Classic" (the start-up templates)
// and "Responsive".
const std::array<TemplateSet, 2>& TemplateSets();

// The index of the set whose two templates equal thumbnails and images line
// for line, or nothing when they match no set (an edited template).
std::optional<std::size_t> TemplateSetOf(const std::vector<std::string>& thumbnails,
                                         const std::vector<std::string>& images);

// The index of the set whose command-line word is word, or nothing.
std::optional<std::size_t> FindTemplateSet(std::string_view word);

// Replaces both templates of settings with those of the set at index (which
// must be valid). Each template field notifies as any write does.
void UseTemplateSet(GallerySettings& settings, std::size_t index);

}  // namespace fotoloom
