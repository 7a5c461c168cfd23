// Program entry of the wizard: single instance, application title, the main window.
#include <QApplication>
#include <QScreen>

#include "app/ProgramStart.h"
#include "app/SingleInstance.h"
#include "app/Un_Utama.h"
#include "imaging/HeapReuse.h"

int main(int argc, char* argv[]) {
  fotoloom::KeepFreedMemoryForNextPhoto();
  QApplication app(argc, argv);
  const QString folder = fotoloom::FolderArgument(QApplication::arguments());
  // A second copy hands its folder to the first one, which comes to the
  // front, and ends at once; with no first one to reach it ends silently.
  const std::unique_ptr<QLockFile> lock = fotoloom::TakeSingleInstanceLock(fotoloom::SingleInstanceLockPath());
  if (!lock) {
    fotoloom::AskRunningInstance(fotoloom::SingleInstanceSocketPath(), folder, 3000);
    return 0;
  }
  fotoloom::SingleInstanceServer server;
  server.Listen(fotoloom::SingleInstanceSocketPath());
  fotoloom::SetApplicationIdentity();
  fotoloom::Tfrm_utama window;
  // The folder given on the command line is the input folder.
  if (!folder.isEmpty()) window.Settings().SetInputPath(folder.toStdString());
  QObject::connect(&server, &fotoloom::SingleInstanceServer::Requested, &window,
                   &fotoloom::Tfrm_utama::RaiseForSecondStart);
  // Centred on the desktop.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    window.move(screen->availableGeometry().center() - window.rect().center());
  window.show();
  return QApplication::exec();
}
