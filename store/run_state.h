// The run's flags and selections. The layout window shows them; the engine,
// the saved simulation and tests reach them here without a window.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kAlertLines = 50;
inline constexpr int kAlertLineChars = 151;

struct RunState {
  int32_t ClockSpeed = 20;  // 1 to 40; the tick is re-armed at 10000 / speed ms
  int32_t SavedClockSpeed = 20;
  uint8_t SimStopped = 1;
  uint8_t SimPaused = 0;
  uint8_t RunStarted = 0;
  uint8_t RunEnded = 0;
  uint8_t RunOverShown = 0;
  int32_t BlinkCounter = 0;
  int32_t SelectedDevice = -1;
  int32_t SelectedTrain = -1;
  uint8_t OutputHold = 1;
  uint8_t Loading = 0;
  int32_t HighlightedDevice = -1;
  int32_t PendingRouteEntrance = -1;
  int32_t PendingStackEntrance = -1;
  int32_t PopupSignal = -1;
  // The train pop-up menu: the block it was opened on and the running-train
  // slots it offers, in menu order (a command id minus its range's base indexes them).
  int32_t PopupBlock = -1;
  std::array<int32_t, 6> PopupTrains{-1, -1, -1, -1, -1, -1};
  uint8_t DialogOpen = 0;  // the one-dialog lock

  std::array<std::array<char, kAlertLineChars>, kAlertLines> AlertLines{};
  int32_t AlertLinesUsed = 0;
  int32_t SelectedAlertLine = 0;
  int32_t AlertCounter = 0;
  int32_t HighestAlertViewed = 0;
  uint8_t BrowsingAlerts = 0;

  std::array<int32_t, 2> ViewHistory{};
  int32_t LastCTCPermitMinute = -1;
  std::array<int32_t, 3> PointerHighlightCells{-1, -1, -1};  // cells the pointer highlights, -1 none

  // The clock driver's fields that the layout window prepares.
  int32_t LastSpeed = -1;          // the speed of the tick's previous re-arm
  int32_t NextRandomTime = 0;      // a future SimClock at which the tick acts at random
  int32_t RandomAccumulator = 0;   // seeded at start-up; the tick adds its own term
  uint8_t AwaitingStart = 1;       // no run prepared yet: Start prepares one
  uint8_t ExtentPending = 1;       // the next tick recomputes the layout extent
};
