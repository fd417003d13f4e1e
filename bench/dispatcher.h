// The benchmarks' dispatcher on the demonstration territory: a train waiting at a
// signal at stop gets it cleared; a refusal comes back next tick.
#pragma once

#include <algorithm>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/train_codes.h"

// A waiting train looks at its signal only at its head event, so the signal is cleared on the tick before
// that event: the dispatcher then reads the record of a train only when that train is about to look, not
// every tick for every train that waits (trains queued to enter pile up at an entrance the dispatcher never
// lines a route from), and what the benchmarks time stays the engine's work. Returns the signals cleared.
inline int ClearSignalsForWaitingTrains(Corvane3Data& store, Engine& engine) {
  int cleared = 0;
  const int slots = std::clamp(+store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  const int32_t nextTick = store.GetSimClock() + Engine::kTickSeconds;
  for (int slot = store.NextLiveTrainSlot(-1); slot >= 0 && slot < slots; slot = store.NextLiveTrainSlot(slot)) {
    // A train with a rear event to come is moving.
    if (store.TrainRearEventTime(slot) != -1 || store.TrainHeadEventTime(slot) > nextTick) continue;
    const TrainStatus& train = store.TrainStatusRef(slot);
    if (train.InUse != 1 || train.State != TrainState::Stopped || train.Reason != StopReason::WaitSignal ||
        train.HeadBlock < 0)
      continue;
    const BlockData& head = store.BlockDataRef(train.HeadBlock);
    const int signal = train.HeadDirection == 1 ? head.RightSignal : head.LeftSignal;
    if (signal >= 0 && store.GetSignalStatus(signal).Aspect == 5 && engine.ClearSignal(3000 + signal, 0, 1) == 1)
      ++cleared;
  }
  return cleared;
}
