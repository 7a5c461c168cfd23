// Fuzz entry for loading settings files: arbitrary bytes as a ".fl" file.
#include <string>

#include "core/Error.h"
#include "core/SettingsFile.h"
#include "fuzz/FuzzHarness.h"
#include "fuzz/TempFile.h"

namespace fotoloom::fuzz {

void SettingsFileInput(const std::uint8_t* data, std::size_t size) {
  TempFile file;
  file.Write(data, size);
  GallerySettings settings;
  try {
    Read_settings_file(file.path(), settings);
  } catch (const Error&) {
    return;  // a colour that is not a number: a reported rejection
  }
  // What was loaded must save and load again without an error.
  Write_settings_file(file.path(), settings);
  GallerySettings again;
  Read_settings_file(file.path(), again);
}

}  // namespace fotoloom::fuzz
