// The About window: product name, version, notice, and the support link from the machine-wide store.
#pragma once

#include <QDialog>
#include <QLabel>

class QLabel;
class QPushButton;

namespace fotoloom {

class Desktop;

// The link label: larger and blue under the mouse, opens its text on click.
class AboutLink : public QLabel {
  Q_OBJECT
 public:
  explicit AboutLink(QWidget* parent);

 signals:
  void Clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  // desktop opens the link; the store is read anew on every showing.
  TAboutBox(Desktop& desktop, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The show steps: reads "website_exist" and "website_address" from the
  // system-scope settings of "Fotoloom" and sets the notice, the support
  // caption and the link. A value of the wrong type raises "Invalid data type
  // for '<name>'" and leaves the labels as they were.
  void ReadSupportDetails();
  void Label1Click();

  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* Copyright = nullptr;
  QLabel* Support = nullptr;
  AboutLink* Label1 = nullptr;
  QPushButton* OKButton = nullptr;
  Desktop& desktop_;
};

// The default web address, made from the product title without its blanks.
QString DefaultWebAddress();

}  // namespace fotoloom
