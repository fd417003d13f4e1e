#include "shell/globals.h"

TCorvane3Dec* TheMainFrame = nullptr;
TCorvane3Window* TheLayoutWindow = nullptr;
QWidget* TheClientWindow = nullptr;
QToolBar* TheControlBar = nullptr;
QToolBar* TheMessageLineBar = nullptr;
QWidget* TheStatusBar = nullptr;
TextGadget* ClockField = nullptr;
TextGadget* RunStateField = nullptr;
TextGadget* SpeedField = nullptr;
TextGadget* MessageField = nullptr;
TextGadget* PerformanceField = nullptr;
TextGadget* TrackFileField = nullptr;
int ClosingDown = 0;
DataWindows TheDataWindows;
QPointer<QWidget> TheAlertWindow;

void ClearShellGlobals() {
  TheMainFrame = nullptr;
  TheLayoutWindow = nullptr;
  TheClientWindow = nullptr;
  TheControlBar = nullptr;
  TheMessageLineBar = nullptr;
  TheStatusBar = nullptr;
  ClockField = RunStateField = SpeedField = MessageField = PerformanceField = TrackFileField = nullptr;
  TheDataWindows = DataWindows{};
  TheAlertWindow = nullptr;
}
