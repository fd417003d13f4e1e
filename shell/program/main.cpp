// corvane3: the dispatching simulator.
#include <QApplication>

#include "shell/corvane3_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("corvane3");
  TCorvane3App corvane(QApplication::arguments());
  corvane.InitMainWindow();
  return corvane.Run();
}
