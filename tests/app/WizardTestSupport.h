// Shared helpers of the wizard tests: scripted choosers and answering modal boxes from a timer.
#pragma once

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
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
};

// Waits (polling from a timer) for the next modal message box, records it and
// presses the button whose text is buttonText. The boxes seen are appended to seen.
inline void AnswerNextBox(const QString& buttonText, std::vector<SeenBox>* seen) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, buttonText, seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    SeenBox s{box->windowTitle(), box->text(), box->icon(), {}};
    QAbstractButton* press = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      s.buttons << b->text();
      if (b->text() == buttonText) press = b;
    }
    if (seen) seen->push_back(s);
    if (press)
      press->click();
    else
      box->reject();
  });
  timer->start();
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
