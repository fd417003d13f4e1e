// The benchmarks' dispatcher on the demonstration territory: a train waiting at a
// signal at stop gets it cleared; a refusal comes back next tick.
#pragma once

#include <algorithm>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/train_codes.h"

// The signals cleared.
inline int ClearSignalsForWaitingTrains(Corvane3Data& store, Engine& engine) {
  int cleared = 0;
  const int slots = std::clamp(+store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  for (int slot = store.NextLiveTrainSlot(-1); slot >= 0 && slot < slots; slot = store.NextLiveTrainSlot(slot)) {
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
