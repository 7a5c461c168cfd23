// The desktop services of fotoloom-cli: messages on stderr, scripted answers, xdg-open, Ctrl-C as Cancel.
#pragma once

#include <cstdio>
#include <functional>

#include "core/Desktop.h"

namespace fotoloom::cli {

// Catches SIGINT from now on: the first one only raises a flag (the run
// unwinds through its cancel flags), a second one ends the program as usual.
void CatchInterrupt();
// True once a SIGINT has been caught.
bool Interrupted();

class ConsoleDesktop : public Desktop {
 public:
  // yes answers every question with Yes; otherwise the question is printed
  // and counts as No. Messages always go to err, also in quiet mode: they
  // are why a run did not start.
  ConsoleDesktop(std::FILE* err, bool yes, bool quiet);

  // Runs in every pump while an interrupt is pending (the run's Cancel).
  std::function<void()> OnInterrupt;

  void ShowMessage(Icon icon, const std::string& text) override;
  bool AskYesNo(Icon icon, const std::string& text) override;
  // Starts xdg-open on the path and waits for it; its outcome is not examined.
  void OpenDocument(const std::string& pathOrAddress) override;
  void ProcessPendingEvents() override;

 private:
  std::FILE* err_;
  bool yes_;
  bool quiet_;
};

}  // namespace fotoloom::cli
