#include "core/TemplateSets.h"

#include <gtest/gtest.h>

#include "core/DefaultTemplates.h"
#include "core/ResponsiveTemplates.h"
#include "core/SettingsFile.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

TEST(TemplateSets, are_classic_then_responsive_and_classic_is_what_a_new_record_holds) {
  ASSERT_EQ(TemplateSets().size(), 2u);
  EXPECT_EQ(TemplateSets()[0].name, "Classic");
  EXPECT_EQ(TemplateSets()[1].name, "Responsive");
  const GallerySettings startUp;
  EXPECT_EQ(TemplateSetOf(startUp.HTMLThumbnails(), startUp.HTMLImages()), 0u);
  EXPECT_EQ(TemplateSetOf(ResponsiveThumbnailTemplate(), ResponsiveImageTemplate()), 1u);
  EXPECT_NE(ResponsiveThumbnailTemplate(), DefaultThumbnailTemplate());
  EXPECT_NE(ResponsiveImageTemplate(), DefaultImageTemplate());
}

TEST(TemplateSets, match_a_set_only_when_both_templates_equal_it_line_for_line) {
  EXPECT_EQ(TemplateSetOf(ResponsiveThumbnailTemplate(), DefaultImageTemplate()), std::nullopt);
  EXPECT_EQ(TemplateSetOf(DefaultThumbnailTemplate(), ResponsiveImageTemplate()), std::nullopt);
  std::vector<std::string> edited = ResponsiveImageTemplate();
  edited.back() += " ";
  EXPECT_EQ(TemplateSetOf(ResponsiveThumbnailTemplate(), edited), std::nullopt);
  edited = DefaultImageTemplate();
  edited.pop_back();  // the empty last line counts
  EXPECT_EQ(TemplateSetOf(DefaultThumbnailTemplate(), edited), std::nullopt);
  EXPECT_EQ(TemplateSetOf({}, {}), std::nullopt);
}

TEST(TemplateSets, are_found_by_their_command_line_word_exactly) {
  EXPECT_EQ(FindTemplateSet("classic"), 0u);
  EXPECT_EQ(FindTemplateSet("responsive"), 1u);
  EXPECT_EQ(FindTemplateSet("Responsive"), std::nullopt);
  EXPECT_EQ(FindTemplateSet("respons"), std::nullopt);
  EXPECT_EQ(FindTemplateSet(""), std::nullopt);
}

TEST(TemplateSets, replace_both_templates_and_survive_a_settings_file) {
  GallerySettings settings;
  std::vector<SettingsField> written;
  settings.Subscribe([&](SettingsField f) { written.push_back(f); });
  UseTemplateSet(settings, 1);
  EXPECT_EQ(written, (std::vector<SettingsField>{SettingsField::HTMLThumbnails, SettingsField::HTMLImages}));
  EXPECT_EQ(settings.HTMLThumbnails(), ResponsiveThumbnailTemplate());
  EXPECT_EQ(settings.HTMLImages(), ResponsiveImageTemplate());

  // Saved and loaded again, the templates are still recognised as the set.
  test::TempDir dir;
  Write_settings_file(dir / "r.fl", settings);
  GallerySettings loaded;
  Read_settings_file(dir / "r.fl", loaded);
  EXPECT_EQ(TemplateSetOf(loaded.HTMLThumbnails(), loaded.HTMLImages()), 1u);

  UseTemplateSet(settings, 0);
  EXPECT_EQ(settings.HTMLThumbnails(), DefaultThumbnailTemplate());
  EXPECT_EQ(settings.HTMLImages(), DefaultImageTemplate());
}

}  // namespace
}  // namespace fotoloom
