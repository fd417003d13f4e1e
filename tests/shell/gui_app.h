// One QApplication for the whole test run, on the offscreen platform.
#pragma once

#include <QApplication>
#include <QTimer>

inline void EnsureQApplication() {
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "shell_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the process ends
}

// Runs `act` once the next modal window is up (a dialog's exec() returns only after it).
// A modal window that `act` leaves open is closed after a while, so a failing test ends.
template <class Act>
void WhenModalOpens(Act act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    act(modal);
  });
  QTimer::singleShot(5000, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
}
