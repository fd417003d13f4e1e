// Holds the simulation clock for the life of a scope: the pause flag is set
// and the run-state field reads "Stop"; at the end the flag is cleared and the
// field reads "Run" again unless the simulation is stopped.
#pragma once

#include "store/corvane3_data.h"

class StopStatusGuard {
 public:
  explicit StopStatusGuard(Corvane3Data& store) : store_(store) {
    store_.Run.SimPaused = 1;
    store_.Shell().ShowStatusText(StatusPane::RunState, "Stop");
  }
  ~StopStatusGuard() {
    store_.Run.SimPaused = 0;
    if (!store_.Run.SimStopped) store_.Shell().ShowStatusText(StatusPane::RunState, "Run");
  }
  StopStatusGuard(const StopStatusGuard&) = delete;
  StopStatusGuard& operator=(const StopStatusGuard&) = delete;

 private:
  Corvane3Data& store_;
};
