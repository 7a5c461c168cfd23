// Messages, questions, the opener and the interrupt flag of fotoloom-cli.
#include "cli/ConsoleDesktop.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "core/PosixIo.h"

extern char** environ;

namespace fotoloom::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnSigint(int) { interrupted = 1; }

}  // namespace

void CatchInterrupt() {
  struct sigaction sa {};
  sa.sa_handler = OnSigint;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESETHAND;  // a second Ctrl-C ends the program at once
  ::sigaction(SIGINT, &sa, nullptr);
}

bool Interrupted() { return interrupted != 0; }

ConsoleDesktop::ConsoleDesktop(std::FILE* err, bool yes, bool quiet) : err_(err), yes_(yes), quiet_(quiet) {}

void ConsoleDesktop::ShowMessage(Icon, const std::string& text) {
  std::fprintf(err_, "%s\n", text.c_str());
  std::fflush(err_);
}

bool ConsoleDesktop::AskYesNo(Icon, const std::string& text) {
  if (yes_) {
    if (!quiet_) std::fprintf(err_, "%s Yes (--yes)\n", text.c_str());
  } else {
    std::fprintf(err_, "%s\nNot done: give --yes to answer Yes.\n", text.c_str());
  }
  std::fflush(err_);
  return yes_;
}

void ConsoleDesktop::OpenDocument(const std::string& pathOrAddress) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The opener's own chatter does not belong in our output.
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char opener[] = "xdg-open";
  std::string arg = pathOrAddress;
  char* argv[] = {opener, arg.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, opener, &actions, nullptr, argv, environ) == 0) {
    int status = 0;
    RetryOnInterrupt([&] { return ::waitpid(pid, &status, 0); });
  }
  posix_spawn_file_actions_destroy(&actions);
}

void ConsoleDesktop::ProcessPendingEvents() {
  if (interrupted && OnInterrupt) OnInterrupt();
}

}  // namespace fotoloom::cli
