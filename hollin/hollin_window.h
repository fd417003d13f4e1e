// Hollin's main window: the menu, the timer tick that flushes the answers and
// reads the simulator's control file, and the screen of what came in last.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include "platform/window_timers.h"

class THollinData;

class THollinWindow : public QMainWindow {
 public:
  THollinWindow(THollinData& data, const QString& caption, QWidget* parent = nullptr);

  // One expiry of a window timer; only timer 0 is Hollin's tick.
  void Tick(int id);
  bool Waiting() const { return firstTick_; }
  // The texts the window shows, top to bottom.
  QStringList ScreenLines() const;
  void Paint(QPainter& painter) const;
  const WindowTimers& Timers() const { return timers_; }

 private:
  void CmSetup();
  void CmSendFile();
  void CmExit();
  void ArmTimer();

  THollinData& data_;
  WindowTimers timers_;
  bool firstTick_ = true;
};
