// corvane3: the dispatching simulator.
#include <QApplication>

#include "shell/corvane3_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("corvane3");
  // The program's own folder, however it was started, holds the settings files.
  TCorvane3App corvane(QStringList{QApplication::applicationFilePath()} + QApplication::arguments().mid(1));
  corvane.InitMainWindow();
  return corvane.Run();
}
