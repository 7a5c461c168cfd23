// A check that a gallery's output holds whole files only, for tests that stop a run part way.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "support/TempDir.h"

namespace fotoloom::test {

// Every file of folder (with tree, of every folder below it too) is whole:
// pages end with their last line, JPEGs decode without a warning, and no
// temporary file is left behind.
inline void ExpectOnlyWholeFiles(const std::string& folder, bool tree = false) {
  namespace fs = std::filesystem;
  const auto check = [](const fs::directory_entry& e) {
    const std::string name = e.path().filename().string();
    SCOPED_TRACE(e.path().string());
    EXPECT_EQ(name.find(".tmp"), std::string::npos);
    if (!e.is_regular_file()) return;
    if (name.ends_with(".htm")) {
      // Both default templates end with "</html>", the image page's with an empty line after it.
      const std::string page = ReadFile(e.path().string());
      EXPECT_TRUE(page.ends_with("</html>\r\n") || page.ends_with("</html>\r\n\r\n"));
    } else if (name.ends_with(".jpg")) {
      JpegCodec codec;
      Image image;
      codec.Load(e.path().string(), image);
      EXPECT_EQ(codec.Warnings(), 0);
    }
  };
  if (tree)
    for (const auto& e : fs::recursive_directory_iterator(folder)) check(e);
  else
    for (const auto& e : fs::directory_iterator(folder)) check(e);
}

}  // namespace fotoloom::test
