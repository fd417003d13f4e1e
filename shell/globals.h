// The run's main objects, reachable from every window: set by start-up, read
// everywhere. Data and list windows are held by QPointer, so a window that is
// destroyed leaves a null pointer behind and its command makes a new one.
#pragma once

#include <QPointer>
#include <QToolBar>
#include <QWidget>
#include <array>

class TCorvane3Dec;
class TCorvane3Window;
class TextGadget;

extern TCorvane3Dec* TheMainFrame;
extern TCorvane3Window* TheLayoutWindow;  // the frame's client once the layout window exists
extern QWidget* TheClientWindow;
extern QToolBar* TheControlBar;
extern QToolBar* TheMessageLineBar;
extern QWidget* TheStatusBar;

extern TextGadget* ClockField;
extern TextGadget* RunStateField;
extern TextGadget* SpeedField;
extern TextGadget* MessageField;
extern TextGadget* PerformanceField;
extern TextGadget* TrackFileField;

// 1 once the exit is confirmed.
extern int ClosingDown;

inline constexpr int kArrivalWindows = 200;
inline constexpr int kPlatformWindows = 100;
inline constexpr int kEntryRequestDialogs = 1000;
inline constexpr int kPermitRequestDialogs = 50;

// One pointer per single data window (null when closed) and the per-location windows.
struct DataWindows {
  QPointer<QWidget> TrainData, TrainTypes, Detectors, EntranceExit, SlowOrders, BlockPermits, StartTimes, OSData,
      TrainOS, ActiveTrains, CTCActiveTrains, ActiveSlowOrders, ActivePermits, CTCActivePermits, TrainGraph,
      Performance;
  std::array<QPointer<QWidget>, kArrivalWindows> ArrivalWindows;
  std::array<QPointer<QWidget>, kPlatformWindows> PlatformWindows;
  std::array<QPointer<QWidget>, kEntryRequestDialogs> EntryRequestDialogs;
  std::array<QPointer<QWidget>, kPermitRequestDialogs> PermitRequestDialogs;
};
extern DataWindows TheDataWindows;
// The Alert Message Window, while it is open.
extern QPointer<QWidget> TheAlertWindow;

// Start-up sets every pointer above to null.
void ClearShellGlobals();
