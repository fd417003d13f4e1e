// hollin: the field-side test program for the simulator's CTC control mode.
#include <QApplication>

#include "hollin/order_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("hollin");
  // The options file and the logs live beside the program, however it was started.
  TOrderApp hollin(QApplication::applicationDirPath().toStdString() + "/");
  hollin.InitMainWindow();
  return application.exec();
}
