// Page 4 of the wizard: the two page template editors, their macro reference grids and the template set choice.
#pragma once

#include <QWidget>
#include <cstddef>
#include <vector>

#include "app/SettingsBinding.h"

class QAction;
class QPlainTextEdit;
class QToolButton;
class QTabWidget;
class QTableWidget;

namespace fotoloom {

class TFrame_Step_4 : public QWidget {
  Q_OBJECT
 public:
  explicit TFrame_Step_4(GallerySettings& settings, QWidget* parent = nullptr);

  // Selects the first template tab (done each time the main window is first shown).
  void ShowFirstTab();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Ctrl+Tab in an editor types a tab character.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTabWidget* t = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QWidget* TabSheet4 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  QTableWidget* StringGrid2 = nullptr;

  // Refill the reference grids; run each time their tab is shown.
  void TabSheet2Show();
  void TabSheet4Show();
  void Redraw(SettingsField field);
  // Replaces both templates with the built-in set at index, asking first
  // when the templates match no set (the user's edits would be lost).
  void TemplateSetChosen(std::size_t index);
  // Checks the menu item of the set both templates equal, or none.
  void ShowTemplateSet();

  GallerySettings& settings_;
  SettingsBinding binding_;
  // "Template set" in the free end of the tab row, with one item per set.
  QToolButton* templateSetButton_ = nullptr;
  std::vector<QAction*> templateSetItems_;
};

// An editor's text as template lines (split at line breaks; an empty text has none) and back.
std::vector<std::string> EditorLines(const QString& text);
QString EditorText(const std::vector<std::string>& lines);

}  // namespace fotoloom
