// Tests of the output folder's lock: one holder at a time, nothing left in the folder, no lock outliving its holder.
#include "core/FolderLock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using Result = FolderLock::Result;

TEST(FolderLock, one_holder_at_a_time_and_no_file_in_the_folder) {
  test::TempDir dir;
  FolderLock first;
  FolderLock second;
  EXPECT_EQ(first.TryLock(dir.str()), Result::Locked);
  EXPECT_TRUE(first.Held());
  // Another spelling of the same folder is the same lock.
  EXPECT_EQ(second.TryLock(dir.str() + "/."), Result::Busy);
  EXPECT_FALSE(second.Held());
  EXPECT_TRUE(fs::is_empty(dir.path()));
  first.Release();
  EXPECT_EQ(second.TryLock(dir.str()), Result::Locked);
  EXPECT_EQ(first.TryLock(dir / "missing"), Result::Unavailable);
  EXPECT_EQ(FolderBusyMessage("/srv/web"), "Another Fotoloom run is writing to /srv/web");
}

// A holder killed with SIGKILL leaves no lock behind: the kernel drops it.
TEST(FolderLock, a_killed_holder_never_blocks_the_next_one) {
  test::TempDir dir;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FolderLock lock;
    const char taken = lock.TryLock(dir.str()) == Result::Locked ? 'y' : 'n';
    (void)::write(ready[1], &taken, 1);
    for (;;) ::pause();
  }
  char taken = 0;
  ASSERT_EQ(::read(ready[0], &taken, 1), 1);
  EXPECT_EQ(taken, 'y');
  FolderLock lock;
  EXPECT_EQ(lock.TryLock(dir.str()), Result::Busy);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(lock.TryLock(dir.str()), Result::Locked);
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace fotoloom
