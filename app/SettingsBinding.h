// Ties a page to the options record: a subscription for its lifetime and quiet control updates.
#pragma once

#include <QLineEdit>
#include <QString>
#include <functional>
#include <string>

#include "core/GallerySettings.h"

namespace fotoloom {

// Subscribes a redraw function to the record and unsubscribes on destruction.
class SettingsBinding {
 public:
  SettingsBinding(GallerySettings& settings, std::function<void(SettingsField)> redraw)
      : settings_(settings), id_(settings.Subscribe(std::move(redraw))) {}
  ~SettingsBinding() { settings_.Unsubscribe(id_); }
  SettingsBinding(const SettingsBinding&) = delete;
  SettingsBinding& operator=(const SettingsBinding&) = delete;

 private:
  GallerySettings& settings_;
  GallerySettings::SubscriptionId id_;
};

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

// Shows text in a line edit unless it shows it already, so the cursor of a
// user who is typing stays where it is.
inline void ShowText(QLineEdit* edit, const std::string& text) {
  const QString q = Q(text);
  if (edit->text() != q) edit->setText(q);
}

}  // namespace fotoloom
