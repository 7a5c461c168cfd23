#include "core/Cancellable.h"

#include <gtest/gtest.h>

#include "core/Un_MyFindFile.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

TEST(Cancellable, a_component_alone_owns_its_flag) {
  TMyFindFile a;
  TMyFindFile b;
  a.Cancelled = true;
  EXPECT_TRUE(a.Cancelled);
  EXPECT_FALSE(b.Cancelled);
}

// One flag for all the components of a run: a cancel through any of them
// reaches all, and clearing it clears all.
TEST(Cancellable, components_made_with_a_run_s_flag_all_read_that_one) {
  bool run = false;
  TMyFindFile search(run);
  TMyFindFile other(run);
  EXPECT_EQ(&search.Cancelled, &run);
  other.Cancelled = true;
  EXPECT_TRUE(search.Cancelled);
  run = false;
  EXPECT_FALSE(other.Cancelled);

  // A handler that sets the flag it is handed stops the search and every
  // component of the run with it.
  test::TempDir dir;
  test::WriteFile(dir / "a.jpg", "x");
  test::WriteFile(dir / "b.jpg", "x");
  search.SearchFolder = dir.str();
  int found = 0;
  search.OnFileFound = [&](TMyFindFile&, const std::string&, const FoundFile&, bool& cancelled) {
    ++found;
    cancelled = true;
  };
  search.Search();
  EXPECT_EQ(found, 1);
  EXPECT_TRUE(run);
  EXPECT_TRUE(other.Cancelled);
}

// A copy is a component of its own: it keeps the flag's value, not the flag.
TEST(Cancellable, a_copy_owns_a_flag_set_as_the_original_s_was) {
  bool run = true;
  const TMyFindFile original(run);
  TMyFindFile copy(original);
  EXPECT_NE(&copy.Cancelled, &run);
  EXPECT_TRUE(copy.Cancelled);
  copy.Cancelled = false;
  EXPECT_TRUE(run);
  TMyFindFile assigned;
  assigned = original;
  EXPECT_TRUE(assigned.Cancelled);
  EXPECT_NE(&assigned.Cancelled, &run);
}

}  // namespace
}  // namespace fotoloom
