// Page 4 of the wizard: the two page template editors and their macro reference grids.
#pragma once

#include <QWidget>

#include "app/SettingsBinding.h"

class QPlainTextEdit;
class QTabWidget;
class QTableWidget;

namespace fotoloom {

class TFrame_Step_4 : public QWidget {
  Q_OBJECT
 public:
  explicit TFrame_Step_4(GallerySettings& settings, QWidget* parent = nullptr);

  // Selects the first template tab (done each time the main window is first shown).
  void ShowFirstTab();

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

  GallerySettings& settings_;
  SettingsBinding binding_;
};

// An editor's text as template lines (split at line breaks; an empty text has none) and back.
std::vector<std::string> EditorLines(const QString& text);
QString EditorText(const std::vector<std::string>& lines);

}  // namespace fotoloom
