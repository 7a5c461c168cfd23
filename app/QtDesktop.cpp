// The desktop services of the core, given by Qt: message boxes, the open action and a throttled pump.
#include "app/QtDesktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QString>
#include <QUrl>

#include "app/MessageBoxes.h"

namespace fotoloom {

namespace {

qint64 MonotonicMs() {
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return timer.elapsed();
}

}  // namespace

QtDesktop::QtDesktop(QWidget* window, Clock clock)
    : window_(window), clock_(clock ? std::move(clock) : Clock(MonotonicMs)) {}

void QtDesktop::ShowMessage(Icon icon, const std::string& text) {
  ShowStandardMessage(window_, icon == Icon::Warning, QString::fromStdString(text));
}

bool QtDesktop::AskYesNo(Icon icon, const std::string& text) {
  return AskStandardQuestion(window_, icon == Icon::Warning, QString::fromStdString(text));
}

bool QtDesktop::AskYesNoDefaultNo(Icon icon, const std::string& text) {
  return AskStandardQuestion(window_, icon == Icon::Warning, QString::fromStdString(text), true);
}

QUrl DocumentUrl(const std::string& pathOrAddress) {
  const QString text = QString::fromStdString(pathOrAddress);
  const QUrl url(text);
  // "http://host" and "file:///x" carry a scheme; a bare path does not (a
  // one-letter scheme would be a Windows drive, never a real scheme).
  if (url.isValid() && url.scheme().size() > 1) return url;
  return QUrl::fromLocalFile(text);
}

void QtDesktop::OpenDocument(const std::string& pathOrAddress) {
  QDesktopServices::openUrl(DocumentUrl(pathOrAddress));
}

void QtDesktop::ProcessPendingEvents() {
  const qint64 now = clock_();
  if (pumped_ && now - lastPump_ < kPumpIntervalMs) return;
  QCoreApplication::processEvents();
  pumped_ = true;
  lastPump_ = now;
}

}  // namespace fotoloom
