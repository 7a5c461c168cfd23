// Tests of the name rule of the output folder.
#include "core/OutputNames.h"

#include <gtest/gtest.h>

#include <string>

#include "core/Error.h"

namespace fotoloom {
namespace {

TEST(OutputNames, refuses_every_name_that_leaves_the_folder_or_is_the_state) {
  using enum NameFault;
  const struct {
    std::string name;
    NameFault flat;
    NameFault nested;
  } cases[] = {
      {"page1.htm", None, None},
      {"n_IMG 1..2.JPG", None, None},  // dots inside a name stay inside the folder
      {".hidden.gif", None, None},
      {"nav/arrow.gif", Separator, None},
      {"nav/sub/arrow.gif", Separator, None},
      {"", Empty, Empty},
      {".", DotOrDotDot, DotOrDotDot},
      {"..", DotOrDotDot, DotOrDotDot},
      {"../victim.txt", Separator, DotOrDotDot},
      {"nav/../../victim.txt", Separator, DotOrDotDot},
      {"nav/./a.gif", Separator, DotOrDotDot},
      {"/etc/passwd", Separator, Empty},
      {"nav/", Separator, Empty},
      {"nav//a.gif", Separator, Empty},
      {std::string("a\0b", 3), Nul, Nul},
      {".fotoloom-update-state", StateFile, StateFile},
      {".fotoloom-update-state.fotoloom-123.tmp", StateFile, StateFile},
      {".fotoloom-update-state/x", StateFile, StateFile},
      {"nav/.fotoloom-update-state", Separator, None},  // only the folder's own state counts
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(OutputNameFault(c.name), c.flat);
    EXPECT_EQ(OutputNameFault(c.name, NameShape::Nested), c.nested);
  }
}

TEST(OutputNames, joins_folder_and_name_or_raises_naming_both) {
  EXPECT_EQ(OutputPathOf("/out", "page1.htm"), "/out/page1.htm");
  EXPECT_EQ(OutputPathOf("/out/", "page1.htm"), "/out/page1.htm");
  EXPECT_EQ(OutputPathOf("", "page1.htm"), "page1.htm");
  EXPECT_EQ(OutputPathOf("/out", "nav/a.gif", NameShape::Nested), "/out/nav/a.gif");
  try {
    OutputPathOf("/out", "../escaped1.htm");
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot write \"../escaped1.htm\" into the output folder: it holds \"/\", which would lead into "
                 "another folder");
  }
  EXPECT_THROW(OutputPathOf("/out", "..", NameShape::Nested), Error);
  EXPECT_THROW(OutputPathOf("/out", std::string(kUpdateStateFileName)), Error);
}

}  // namespace
}  // namespace fotoloom
