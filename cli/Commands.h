// The subcommands of fotoloom-cli; each returns the program's exit status.
#pragma once

#include "cli/CliArguments.h"

namespace fotoloom::cli {

// Exit statuses.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

int RunCommand(const CliCommand& cmd);
int DefaultsCommand(const CliCommand& cmd);
int ResaveCommand(const CliCommand& cmd);
int ResampleCommand(const CliCommand& cmd);

}  // namespace fotoloom::cli
