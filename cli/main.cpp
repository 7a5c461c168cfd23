// fotoloom-cli: the gallery run and the settings file tools for scripts.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "imaging/HeapReuse.h"

#ifndef FOTOLOOM_VERSION
#define FOTOLOOM_VERSION "unknown"
#endif

using namespace fotoloom::cli;

namespace {

int Usage(const UsageError& e) {
  std::fprintf(stderr, "fotoloom-cli: %s\nTry 'fotoloom-cli --help'.\n", e.what());
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  fotoloom::KeepFreedMemoryForNextPhoto();
  const std::vector<std::string> args(argv + 1, argv + argc);
  CliCommand cmd;
  try {
    cmd = ParseArguments(args);
  } catch (const UsageError& e) {
    return Usage(e);
  }
  try {
    switch (cmd.Kind) {
      case CommandKind::Help: std::fputs(UsageText().c_str(), stdout); return kExitDone;
      case CommandKind::Version: std::printf("fotoloom-cli %s\n", FOTOLOOM_VERSION); return kExitDone;
      case CommandKind::Run: return RunCommand(cmd);
      case CommandKind::Defaults: return DefaultsCommand(cmd);
      case CommandKind::Resave: return ResaveCommand(cmd);
      case CommandKind::Resample: return ResampleCommand(cmd);
    }
  } catch (const UsageError& e) {
    // Found only once the settings are loaded: a folder that is not given.
    return Usage(e);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  return kExitFailed;
}
