// Holds the simulation clock for the life of a scope: the pause flag is set
// and the run-state field reads "Stop". At the end the flag goes back to what
// it was, so holds nest (a box opened from a dialog opened from a pop-up
// command): only the outermost one clears it and shows "Run" again, unless the
// simulation is stopped.
#pragma once

#include "store/corvane3_data.h"

class StopStatusGuard {
 public:
  explicit StopStatusGuard(Corvane3Data& store) : store_(store), wasPaused_(store.Run.SimPaused != 0) {
    store_.Run.SimPaused = 1;
    if (!wasPaused_) store_.Shell().ShowStatusText(StatusPane::RunState, "Stop");
  }
  ~StopStatusGuard() {
    if (wasPaused_) return;
    store_.Run.SimPaused = 0;
    if (!store_.Run.SimStopped) store_.Shell().ShowStatusText(StatusPane::RunState, "Run");
  }
  StopStatusGuard(const StopStatusGuard&) = delete;
  StopStatusGuard& operator=(const StopStatusGuard&) = delete;

 private:
  Corvane3Data& store_;
  const bool wasPaused_;
};
