#include "core/PosixIo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/ScopeExit.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

// count bytes that tell their place apart.
std::string Pattern(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

// A pipe whose two ends close with it.
struct Pipe {
  FileDescriptor read;
  FileDescriptor write;
  Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    read = FileDescriptor(fds[0]);
    write = FileDescriptor(fds[1]);
  }
};

std::atomic<int> signalsSeen{0};
void CountSignal(int) { ++signalsSeen; }

// Installs a SIGUSR1 handler without SA_RESTART, so that a blocked read or
// write the signal reaches returns early, and puts the old one back after.
class InterruptingSignal {
 public:
  InterruptingSignal() {
    struct sigaction action {};
    action.sa_handler = CountSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    ::sigaction(SIGUSR1, &action, &old_);
  }
  ~InterruptingSignal() { ::sigaction(SIGUSR1, &old_, nullptr); }
  InterruptingSignal(const InterruptingSignal&) = delete;
  InterruptingSignal& operator=(const InterruptingSignal&) = delete;

  // Waits until thread tid sleeps in the system call number call, then
  // interrupts it, and waits until its handler has run. Returns at once
  // when the thread is done.
  static void Interrupt(std::thread& thread, pid_t tid, long call, const std::atomic<bool>& done) {
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/syscall";
    for (;;) {
      if (done) return;
      std::ifstream in(path);
      long now = -1;
      in >> now;
      if (now == call) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int before = signalsSeen;
    ::pthread_kill(thread.native_handle(), SIGUSR1);
    while (signalsSeen == before && !done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

 private:
  struct sigaction old_ {};
};

TEST(FileDescriptor, closes_what_it_owns_once_on_every_way_out) {
  int raw = -1;
  {
    const FileDescriptor fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    raw = fd.get();
    ASSERT_TRUE(fd.valid());
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  FileDescriptor a(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  raw = a.get();
  FileDescriptor b(std::move(a));
  EXPECT_FALSE(a.valid());
  EXPECT_EQ(b.get(), raw);
  FileDescriptor c;
  c = std::move(b);
  EXPECT_TRUE(IsOpen(raw));
  EXPECT_TRUE(c.Close());
  EXPECT_FALSE(IsOpen(raw));
  EXPECT_TRUE(c.Close());  // a second close closes nothing (the number may be another file's by now)

  FileDescriptor d(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  raw = d.Release();
  d = FileDescriptor();
  EXPECT_TRUE(IsOpen(raw));  // given up: the caller owns it
  ::close(raw);
}

TEST(ReadAll, gathers_short_reads_until_the_size_or_the_end) {
  Pipe pipe;
  const std::string bytes = Pattern(100000);
  // The writer hands the bytes over in small pieces, so each read gets a part.
  std::thread writer([&] {
    for (std::size_t at = 0; at < bytes.size(); at += 777)
      ASSERT_TRUE(WriteAll(pipe.write.get(), std::string_view(bytes).substr(at, 777)));
    pipe.write.Close();
  });
  std::string first(60000, '\0');
  EXPECT_EQ(ReadAll(pipe.read.get(), first.data(), first.size()), 60000);
  std::string rest;
  EXPECT_TRUE(ReadToEnd(pipe.read.get(), rest));
  writer.join();
  EXPECT_EQ(first + rest, bytes);
  char more[4];
  EXPECT_EQ(ReadAll(pipe.read.get(), more, sizeof more), 0);  // at the end
  EXPECT_EQ(ReadAll(-1, more, sizeof more), -1);
  EXPECT_EQ(errno, EBADF);
}

TEST(ReadAll, reads_and_writes_at_an_offset_without_moving_the_file_offset) {
  TempDir dir;
  const FileDescriptor fd(::open((dir / "f").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  ASSERT_TRUE(WriteAll(fd.get(), "0123456789"));
  ASSERT_TRUE(WriteAllAt(fd.get(), "abc", 3));
  ASSERT_TRUE(WriteAllAt(fd.get(), "XY", 12));  // past the end: a hole of zeros before it
  EXPECT_EQ(::lseek(fd.get(), 0, SEEK_CUR), 10);
  char part[5] = {};
  EXPECT_EQ(ReadAllAt(fd.get(), part, 4, 2), 4);
  EXPECT_EQ(std::string(part, 4), "2abc");
  char tail[8] = {};
  EXPECT_EQ(ReadAllAt(fd.get(), tail, sizeof tail, 9), 5);  // the file ends first
  EXPECT_EQ(std::string(tail, 5), std::string("9\0\0XY", 5));
  EXPECT_EQ(::lseek(fd.get(), 0, SEEK_CUR), 10);
}

// The file size limit cuts a write short and then refuses the next: the
// bytes that fit are written, and the failure is reported, not lost.
TEST(WriteAll, a_short_write_goes_on_and_reports_the_failure_that_stops_it) {
  TempDir dir;
  const std::string path = dir / "limited";
  const FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
  ASSERT_TRUE(fd.valid());
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  const ScopeExit restore([&] {
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
  });
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string bytes = Pattern(10000);
  errno = 0;
  EXPECT_FALSE(WriteAll(fd.get(), bytes));
  EXPECT_EQ(errno, EFBIG);
  EXPECT_EQ(fs::file_size(path), 4096u);
  EXPECT_EQ(test::ReadFile(path), bytes.substr(0, 4096));
  EXPECT_FALSE(WriteAllAt(fd.get(), "x", 5000));
  EXPECT_EQ(errno, EFBIG);
}

// A signal reaching a writer blocked on a full pipe ends its write early,
// after part of the bytes: the rest still follows.
TEST(WriteAll, a_write_cut_short_by_a_signal_goes_on_with_the_rest) {
  const InterruptingSignal signal;
  Pipe pipe;
  const std::string bytes = Pattern(1 << 20);  // many times what a pipe holds
  std::atomic<pid_t> tid{0};
  std::atomic<bool> done{false};
  bool written = false;
  std::thread writer([&] {
    tid = ::gettid();
    written = WriteAll(pipe.write.get(), bytes);
    pipe.write.Close();
    done = true;
  });
  while (tid == 0) std::this_thread::yield();
  InterruptingSignal::Interrupt(writer, tid, SYS_write, done);
  InterruptingSignal::Interrupt(writer, tid, SYS_write, done);
  std::string received;
  EXPECT_TRUE(ReadToEnd(pipe.read.get(), received));
  writer.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(received.size(), bytes.size());
  EXPECT_TRUE(received == bytes);
}

// A signal reaching a reader blocked on an empty pipe makes its read fail
// with EINTR: the read is made again and gets the bytes that come later.
TEST(ReadAll, a_read_interrupted_by_a_signal_is_made_again) {
  const InterruptingSignal signal;
  Pipe pipe;
  std::atomic<pid_t> tid{0};
  std::atomic<bool> done{false};
  ssize_t got = 0;
  char buffer[6] = {};
  std::thread reader([&] {
    tid = ::gettid();
    got = ReadAll(pipe.read.get(), buffer, sizeof buffer);
    done = true;
  });
  while (tid == 0) std::this_thread::yield();
  InterruptingSignal::Interrupt(reader, tid, SYS_read, done);
  EXPECT_TRUE(WriteAll(pipe.write.get(), "abc"));
  InterruptingSignal::Interrupt(reader, tid, SYS_read, done);  // between two parts
  EXPECT_TRUE(WriteAll(pipe.write.get(), "def"));
  reader.join();
  EXPECT_EQ(got, 6);
  EXPECT_EQ(std::string(buffer, 6), "abcdef");
}

TEST(ListFolderNames, lists_every_name_but_the_dots_in_byte_order) {
  TempDir dir;
  for (const char* name : {"b.jpg", "B.jpg", ".hidden", "a b", "\xc3\xa9t\xc3\xa9.jpg"})
    test::WriteFile(dir / name, "x");
  fs::create_directory(dir / "sub");
  fs::create_symlink(dir / "gone", dir / "dangling");
  const std::vector<std::string> expected = {
      ".hidden", "B.jpg", "a b", "b.jpg", "dangling", "sub", "\xc3\xa9t\xc3\xa9.jpg"};
  EXPECT_EQ(ListFolderNames(dir.str()), expected);
  EXPECT_EQ(ListFolderNames(dir.str() + "/"), expected);

  const FileDescriptor fd(::open(dir.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  EXPECT_EQ(ListFolderNamesAt(fd.get()), expected);
  EXPECT_EQ(ListFolderNamesAt(fd.get()), expected);  // again from the start
  EXPECT_TRUE(IsOpen(fd.get()));

  EXPECT_EQ(ListFolderNames(dir / "sub"), std::vector<std::string>());
  EXPECT_EQ(ListFolderNames(dir / "missing"), std::nullopt);
  EXPECT_EQ(ListFolderNames(dir / "b.jpg"), std::nullopt);
  EXPECT_EQ(ListFolderNamesAt(-1), std::nullopt);
}

TEST(ScopeExit, runs_when_the_scope_is_left_by_an_error_too) {
  int runs = 0;
  {
    const ScopeExit exit([&] { ++runs; });
    EXPECT_EQ(runs, 0);
  }
  EXPECT_EQ(runs, 1);
  try {
    const ScopeExit exit([&] { ++runs; });
    throw std::runtime_error("stop");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace fotoloom
