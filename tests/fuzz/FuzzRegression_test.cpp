#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/FuzzHarness.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

// Every file kept under tests/data/fuzz/<target>/ (inputs that once crashed
// or tripped a check, plus a few seeds) must pass through its entry again.
template <typename Entry>
int ReplayCorpus(const std::string& target, Entry entry) {
  const char* root = std::getenv("FOTOLOOM_TEST_DATA");
  if (root == nullptr) ADD_FAILURE() << "FOTOLOOM_TEST_DATA is not set";
  const std::filesystem::path folder = std::filesystem::path(root != nullptr ? root : "") / "fuzz" / target;
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    const std::string bytes = test::ReadFile(item.path().string());
    SCOPED_TRACE(item.path().filename().string());
    entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++replayed;
  }
  return replayed;
}

TEST(FuzzRegression, every_kept_jpeg_input_decodes_or_is_refused_cleanly) {
  EXPECT_GT(ReplayCorpus("jpeg_decode", fuzz::JpegDecodeInput), 0);
}

TEST(FuzzRegression, every_kept_photo_of_the_other_formats_decodes_or_is_refused_cleanly) {
  EXPECT_GT(ReplayCorpus("png_decode", fuzz::PngDecodeInput), 0);
  EXPECT_GT(ReplayCorpus("webp_decode", fuzz::WebpDecodeInput), 0);
  EXPECT_GT(ReplayCorpus("heif_decode", fuzz::HeifDecodeInput), 0);
}

TEST(FuzzRegression, every_kept_photo_metadata_input_reads_by_the_rules_and_loses_its_location) {
  EXPECT_GT(ReplayCorpus("photo_metadata", fuzz::PhotoMetadataInput), 0);
}

TEST(FuzzRegression, every_kept_settings_file_input_loads_or_is_refused_cleanly) {
  EXPECT_GT(ReplayCorpus("settings_file", fuzz::SettingsFileInput), 0);
}

TEST(FuzzRegression, every_kept_template_input_renders_alike_and_keeps_names_intact) {
  EXPECT_GT(ReplayCorpus("template", fuzz::TemplateInput), 0);
}

TEST(FuzzRegression, every_kept_update_state_input_reads_only_names_inside_the_folder) {
  EXPECT_GT(ReplayCorpus("update_state", fuzz::UpdateStateInput), 0);
}

}  // namespace
}  // namespace fotoloom
