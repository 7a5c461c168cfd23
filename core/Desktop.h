// The desktop services the core asks for; the wizard and the command-line runner each provide them.
#pragma once

#include <string>

namespace fotoloom {

// The core never shows anything itself: questions, messages, opening a page
// in the browser and letting the user interface breathe go through here.
class Desktop {
 public:
  enum class Icon { Warning, Error };

  virtual ~Desktop() = default;

  // A modal message with an OK button.
  virtual void ShowMessage(Icon icon, const std::string& text) = 0;

  // A modal Yes/No question; true only for Yes (closing the box counts as No).
  virtual bool AskYesNo(Icon icon, const std::string& text) = 0;

  // AskYesNo for a Yes that destroys data: where a key answers the default
  // (Enter in a dialog), the default is No. Without such a default it is AskYesNo.
  virtual bool AskYesNoDefaultNo(Icon icon, const std::string& text) { return AskYesNo(icon, text); }

  // Hands a file path or web address to the desktop's default open action.
  // The result is not examined: a missing file or browser gives no message.
  virtual void OpenDocument(const std::string& pathOrAddress) = 0;

  // Lets the user interface process pending events (repaint, a Cancel click).
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace fotoloom
