// The table of built-in template sets and the look-ups on it.
#include "core/TemplateSets.h"

#include "core/DefaultTemplates.h"
#include "core/ResponsiveTemplates.h"

namespace fotoloom {

const std::array<TemplateSet, 2>& TemplateSets() {
  static constexpr std::array<TemplateSet, 2> sets = {{
      {"Classic", "classic", &DefaultThumbnailTemplate, &DefaultImageTemplate},
      {"Responsive", "responsive", &ResponsiveThumbnailTemplate, &ResponsiveImageTemplate},
  }};
  return sets;
}

std::optional<std::size_t> TemplateSetOf(const std::vector<std::string>& thumbnails,
                                         const std::vector<std::string>& images) {
  const auto& sets = TemplateSets();
  for (std::size_t i = 0; i < sets.size(); ++i)
    if (sets[i].thumbnails() == thumbnails && sets[i].images() == images) return i;
  return std::nullopt;
}

std::optional<std::size_t> FindTemplateSet(std::string_view word) {
  const auto& sets = TemplateSets();
  for (std::size_t i = 0; i < sets.size(); ++i)
    if (sets[i].word == word) return i;
  return std::nullopt;
}

void UseTemplateSet(GallerySettings& settings, std::size_t index) {
  const TemplateSet& set = TemplateSets().at(index);
  settings.SetHTMLThumbnails(set.thumbnails());
  settings.SetHTMLImages(set.images());
}

}  // namespace fotoloom
