// Shared helpers of the wizard tests: scripted choosers and answering modal boxes from a timer.
#pragma once

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QTimer>
#include <QtGlobal>
#include <deque>
#include <functional>
#include <optional>

#include "app/WizardDialogs.h"

namespace fotoloom::test {

// The descendant of root named name (its objectName) of type T. A test that
// asks for a control that is not there ends at once with the name it wanted.
template <typename T = QWidget>
T* Find(const QObject* root, const QString& name) {
  T* found = root->findChild<T*>(name);
  if (!found) qFatal("no %s named \"%s\"", T::staticMetaObject.className(), qPrintable(name));
  return found;
}

// A dark desktop theme's palette: light text on dark grey windows.
inline QPalette DarkPalette() {
  QPalette p;
  const QColor window(0x24, 0x24, 0x24), base(0x1E, 0x1E, 0x1E), text(0xEE, 0xEE, 0xEE), grey(0x80, 0x80, 0x80);
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const bool disabled = g == QPalette::Disabled;
    p.setColor(g, QPalette::Window, window);
    p.setColor(g, QPalette::WindowText, disabled ? grey : text);
    p.setColor(g, QPalette::Base, base);
    p.setColor(g, QPalette::AlternateBase, window);
    p.setColor(g, QPalette::Text, disabled ? grey : text);
    p.setColor(g, QPalette::Button, QColor(0x30, 0x30, 0x30));
    p.setColor(g, QPalette::ButtonText, disabled ? grey : text);
    p.setColor(g, QPalette::Light, QColor(0x50, 0x50, 0x50));
    p.setColor(g, QPalette::Midlight, QColor(0x40, 0x40, 0x40));
    p.setColor(g, QPalette::Mid, QColor(0x20, 0x20, 0x20));
    p.setColor(g, QPalette::Dark, QColor(0x18, 0x18, 0x18));
    p.setColor(g, QPalette::Shadow, Qt::black);
    p.setColor(g, QPalette::Highlight, QColor(0x35, 0x84, 0xE4));
    p.setColor(g, QPalette::HighlightedText, Qt::white);
    p.setColor(g, QPalette::Link, QColor(0x78, 0xAE, 0xED));
    p.setColor(g, QPalette::ToolTipBase, window);
    p.setColor(g, QPalette::ToolTipText, text);
  }
  return p;
}

// Sets the application's palette for as long as it lives, then puts the old one back.
class ScopedPalette {
 public:
  explicit ScopedPalette(const QPalette& palette) : old_(QApplication::palette()) { QApplication::setPalette(palette); }
  ~ScopedPalette() { QApplication::setPalette(old_); }
  ScopedPalette(const ScopedPalette&) = delete;
  ScopedPalette& operator=(const ScopedPalette&) = delete;

 private:
  QPalette old_;
};

// Choosers that return scripted answers (nothing = the user cancelled) and record their captions.
class FakeDialogs : public WizardDialogs {
 public:
  std::deque<std::optional<QString>> folders;
  std::deque<std::optional<QColor>> colors;
  std::deque<std::optional<QString>> files;
  QStringList folderCaptions;
  QStringList folderStarts;
  QStringList fileFolders;

  std::optional<QString> ChooseFolder(QWidget*, const QString& caption, const QString& start) override {
    folderCaptions << caption;
    folderStarts << start;
    return Next(folders);
  }
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return Next(colors); }
  std::optional<QString> ChooseSettingsToLoad(QWidget*, const QString& folder) override {
    fileFolders << folder;
    return Next(files);
  }
  std::optional<QString> ChooseSettingsToSave(QWidget*, const QString& folder) override {
    fileFolders << folder;
    return Next(files);
  }

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& queue) {
    std::optional<T> v;
    if (!queue.empty()) {
      v.swap(queue.front());
      queue.pop_front();
    }
    return v;
  }
};

// What a test saw in a message box it answered.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton{};  // the text of the button Enter presses
};

// Waits (polling from a timer) for the next modal message box, records it
// into seen (when set) and hands it to answer.
inline void OnNextBox(std::vector<SeenBox>* seen, std::function<void(QMessageBox*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, seen, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    SeenBox s{box->windowTitle(), box->text(), box->icon(), {}, {}};
    for (QAbstractButton* b : box->buttons()) s.buttons << b->text();
    if (box->defaultButton()) s.defaultButton = box->defaultButton()->text();
    if (seen) seen->push_back(s);
    answer(box);
  });
  timer->start();
}

// Waits for the next modal message box, records it and presses the button
// whose text is buttonText (or closes the box when it has none).
inline void AnswerNextBox(const QString& buttonText, std::vector<SeenBox>* seen) {
  OnNextBox(seen, [buttonText](QMessageBox* box) {
    for (QAbstractButton* b : box->buttons())
      if (b->text() == buttonText) return b->click();
    box->reject();
  });
}

// Writes n small JPEG photos named photo1.jpg ... into folder (created when missing).
inline bool MakeJpegs(const std::string& folder, int n) {
  QDir().mkpath(QString::fromStdString(folder));
  for (int i = 1; i <= n; ++i) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(40 * i % 256, 90, 200));
    if (!image.save(QString::fromStdString(folder + "/photo" + std::to_string(i) + ".jpg"), "JPG")) return false;
  }
  return true;
}

}  // namespace fotoloom::test
