// The desktop services of the core, given by Qt: message boxes, the open action and a throttled pump.
#pragma once

#include <QUrl>
#include <functional>

#include "core/Desktop.h"

class QWidget;

namespace fotoloom {

// Implements Desktop for the wizard. Message boxes are modal to the given window.
class QtDesktop : public Desktop {
 public:
  // A clock in milliseconds; tests give their own, the default is monotonic.
  using Clock = std::function<qint64()>;

  explicit QtDesktop(QWidget* window, Clock clock = {});

  void ShowMessage(Icon icon, const std::string& text) override;
  bool AskYesNo(Icon icon, const std::string& text) override;
  // The same dialog with "&No" as its default button.
  bool AskYesNoDefaultNo(Icon icon, const std::string& text) override;
  // Local paths open as files, anything with a scheme as an address.
  void OpenDocument(const std::string& pathOrAddress) override;
  // Processes pending events at most once every 15 ms; calls in between
  // return at once, so a run that reports often does not pay for repaints.
  void ProcessPendingEvents() override;

  // The pump's minimum spacing in milliseconds.
  static constexpr qint64 kPumpIntervalMs = 15;

 private:
  QWidget* window_;
  Clock clock_;
  bool pumped_ = false;
  qint64 lastPump_ = 0;
};

// The URL the open action receives for a path or an address.
QUrl DocumentUrl(const std::string& pathOrAddress);

}  // namespace fotoloom
