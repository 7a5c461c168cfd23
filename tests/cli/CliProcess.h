// Starting fotoloom-cli from a test: its arguments, environment, exit status and output.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/PosixIo.h"
#include "support/TempDir.h"

extern char** environ;

namespace fotoloom::test {

// One fotoloom-cli process; stdout and stderr go to files in a folder of its own.
class CliProcess {
 public:
  // Starts the program with args; extraPath is put in front of PATH when set.
  explicit CliProcess(const std::vector<std::string>& args, const std::string& extraPath = "") {
    std::vector<std::string> words{FOTOLOOM_CLI};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      std::string entry = *e;
      if (!extraPath.empty() && entry.rfind("PATH=", 0) == 0) entry = "PATH=" + extraPath + ":" + entry.substr(5);
      env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (dir_ / "stdout").c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (dir_ / "stderr").c_str(), O_WRONLY | O_CREAT, 0644);
    if (posix_spawn(&pid_, FOTOLOOM_CLI, &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~CliProcess() {
    if (pid_ > 0 && !done_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // True while the program runs.
  bool Running() {
    if (done_ || pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) Finish(status);
    return !done_;
  }

  void Signal(int sig) const { ::kill(pid_, sig); }

  // Waits for the end; the exit status, or 128 + the signal that ended it.
  int Wait() {
    if (!done_ && pid_ > 0) {
      int status = 0;
      RetryOnInterrupt([&] { return ::waitpid(pid_, &status, 0); });
      Finish(status);
    }
    return status_;
  }

  std::string Out() const { return ReadFile(dir_ / "stdout"); }
  std::string Err() const { return ReadFile(dir_ / "stderr"); }

 private:
  void Finish(int status) {
    done_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  TempDir dir_;
  pid_t pid_ = -1;
  bool done_ = false;
  int status_ = -1;
};

// Runs the program to its end.
struct CliResult {
  int Status;
  std::string Out;
  std::string Err;
};

inline CliResult RunCli(const std::vector<std::string>& args, const std::string& extraPath = "") {
  CliProcess p(args, extraPath);
  const int status = p.Wait();
  return {status, p.Out(), p.Err()};
}

}  // namespace fotoloom::test
