// Program entry of the wizard: single instance, application title, the main window.
#include <QApplication>
#include <QIcon>
#include <QScreen>

#include "app/SingleInstance.h"
#include "app/Un_Utama.h"
#include "imaging/HeapReuse.h"

int main(int argc, char* argv[]) {
  fotoloom::KeepFreedMemoryForNextPhoto();
  QApplication app(argc, argv);
  // A second copy ends at once and silently while the first one runs.
  const std::unique_ptr<QLockFile> lock = fotoloom::TakeSingleInstanceLock(fotoloom::SingleInstanceLockPath());
  if (!lock) return 0;
  QApplication::setApplicationName(QStringLiteral("Fotoloom"));
  QApplication::setApplicationDisplayName(QStringLiteral("Fotoloom"));
  QApplication::setDesktopFileName(QStringLiteral("org.fotoloom.Fotoloom"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/fotoloom.png")));
  fotoloom::Tfrm_utama window;
  // Centred on the desktop.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    window.move(screen->availableGeometry().center() - window.rect().center());
  window.show();
  return QApplication::exec();
}
