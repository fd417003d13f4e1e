#include "engine/engine.h"

int32_t Engine::RandomHalvingIndex(int n) {
  const int value = n > 0 ? random_.Next(n) : 0;
  int band = 10;
  int term = n > 0 ? n : 0;
  int limit = 0;
  for (int k = 0; k < 10; ++k) {
    term /= 2;
    limit += term;
    if (value < limit) {
      band = k;
      break;
    }
  }
  return static_cast<int32_t>(static_cast<uint32_t>(band) << 16 | (static_cast<uint32_t>(value) & 0xFFFFu));
}

void Engine::SetStopStatus() {
  store_.Run.SimPaused = 1;
  store_.Shell().ShowStatusText(StatusPane::RunState, "Stop");
}

void Engine::ClearStopStatus() {
  store_.Run.SimPaused = 0;
  // A stopped run keeps "Stop" in the pane.
  if (store_.Run.SimStopped == 0) store_.Shell().ShowStatusText(StatusPane::RunState, "Run");
}
