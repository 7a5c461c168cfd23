// The file, folder and colour choosers of the wizard, behind one seam so tests can answer them.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace fotoloom {

// Every chooser returns nothing when the user cancels.
class WizardDialogs {
 public:
  virtual ~WizardDialogs() = default;
  // A folder chooser with caption, starting in start.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& caption, const QString& start) = 0;
  virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
  // A settings file to load (it must exist) or to save (overwrite asked).
  virtual std::optional<QString> ChooseSettingsToLoad(QWidget* parent, const QString& folder) = 0;
  virtual std::optional<QString> ChooseSettingsToSave(QWidget* parent, const QString& folder) = 0;
};

// The real choosers, Qt's own dialogs.
class QtWizardDialogs : public WizardDialogs {
 public:
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& caption, const QString& start) override;
  std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
  std::optional<QString> ChooseSettingsToLoad(QWidget* parent, const QString& folder) override;
  std::optional<QString> ChooseSettingsToSave(QWidget* parent, const QString& folder) override;
};

// Sets up a folder chooser: folders only, no new-folder button, starting in start.
void ConfigureFolderDialog(QFileDialog& dialog, const QString& caption, const QString& start);

// Sets up a settings file dialog: filter "FL Settingsfiles (*.fl)", default
// extension "fl", starting in folder. Loading accepts only an existing file;
// saving asks before replacing one.
void ConfigureSettingsDialog(QFileDialog& dialog, bool save, const QString& folder);

}  // namespace fotoloom
