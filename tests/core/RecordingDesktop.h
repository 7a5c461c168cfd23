// A desktop for tests: records what the core shows, answers questions from a script, runs code in pumps.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Desktop.h"

namespace fotoloom::test {

class RecordingDesktop : public Desktop {
 public:
  // Every message and question, as "W: text" or "E: text" (warning or error icon).
  std::vector<std::string> Shown;
  std::vector<std::string> Opened;
  int Pumps = 0;
  // The answer to every question.
  bool Answer = false;
  // How many of the questions had No as their default answer.
  int DefaultNoQuestions = 0;
  // Runs inside each pump, with the number of the pump counted from 1.
  std::function<void(int)> OnPump;

  void ShowMessage(Icon icon, const std::string& text) override { Shown.push_back(Prefix(icon) + text); }
  bool AskYesNo(Icon icon, const std::string& text) override {
    Shown.push_back(Prefix(icon) + text);
    return Answer;
  }
  bool AskYesNoDefaultNo(Icon icon, const std::string& text) override {
    ++DefaultNoQuestions;
    return AskYesNo(icon, text);
  }
  void OpenDocument(const std::string& pathOrAddress) override { Opened.push_back(pathOrAddress); }
  void ProcessPendingEvents() override {
    ++Pumps;
    if (OnPump) OnPump(Pumps);
  }

 private:
  static std::string Prefix(Icon icon) { return icon == Icon::Warning ? "W: " : "E: "; }
};

}  // namespace fotoloom::test
