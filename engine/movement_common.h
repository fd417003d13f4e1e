// Small pieces the train movement files share: block train slots, the train
// ahead in a block, units, and the leg fields of a multiple entry.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/records.h"

namespace movement {

// What a train without a valid schedule reads as its schedule.
inline const TrainData kNoTrainData{};
// Walks along a chain of coupled trains give up here: a damaged chain must not hang the tick.
inline constexpr int kMaxChainSteps = 1000;

inline bool ValidBlock(int block) { return block >= 0 && block < kMaxBlocks; }
inline bool ValidTrain(int train) { return train >= 0 && train < kMaxTrainStatus; }
inline bool ValidType(int type) { return type >= 0 && type < kMaxTrainTypes; }

// The slot (0-4) that holds the train, or -1.
inline int FindSlot(const BlockStatus& status, int train) {
  for (int k = 0; k < kBlockTrainSlots; ++k)
    if (status.Trains[k] != kEmptyTrainSlot && status.Trains[k] == train) return k;
  return -1;
}

inline int CountTrains(const BlockStatus& status) {
  int n = 0;
  for (int k = 0; k < kBlockTrainSlots; ++k)
    if (status.Trains[k] != kEmptyTrainSlot) ++n;
  return n;
}

// Takes the train out of the slots, moving later slots up; false when it was not there.
inline bool RemoveFromSlots(BlockStatus& status, int train) {
  const int k = FindSlot(status, train);
  if (k < 0) return false;
  for (int j = k; j + 1 < kBlockTrainSlots; ++j) status.Trains[j] = status.Trains[j + 1];
  status.Trains[kBlockTrainSlots - 1] = kEmptyTrainSlot;
  return true;
}

// The train ahead of `train` in the block, moving in `direction`, or -1. Trains
// moving left enter at slot 0, so the train ahead is in the next higher slot;
// trains moving right enter behind the others, so it is in the next lower one.
inline int TrainAhead(const BlockStatus& status, int train, int direction) {
  const int k = FindSlot(status, train);
  if (direction == 0) {
    if (k < 0) return status.Trains[0] == kEmptyTrainSlot ? -1 : status.Trains[0];
    if (k + 1 >= kBlockTrainSlots || status.Trains[k + 1] == kEmptyTrainSlot) return -1;
    return status.Trains[k + 1];
  }
  if (k < 0) {
    for (int j = kBlockTrainSlots - 1; j >= 0; --j)
      if (status.Trains[j] != kEmptyTrainSlot) return status.Trains[j];
    return -1;
  }
  if (k == 0 || status.Trains[k - 1] == kEmptyTrainSlot) return -1;
  return status.Trains[k - 1];
}

// Length run at `speed` in `seconds`, in the territory's length units.
inline int32_t DistanceRun(bool english, int speed, int32_t seconds) {
  if (seconds <= 0 || speed <= 0) return 0;
  const int64_t d =
      english ? int64_t{speed} * 63360 / 3600 * seconds / 12 : int64_t{speed} * 50000 / 3600 * seconds / 50;
  return static_cast<int32_t>(d > INT32_MAX ? INT32_MAX : d);
}

// Where a moving train stops when the dispatcher stops or reverses it: it runs on for two minutes' worth
// of its speed in the territory's units, kept inside its head block and never beyond the target it is
// already running to. A train whose target comes first stops there (Reached false).
struct StopPoint {
  bool Reached = false;
  int32_t Time = 0;
  int32_t Position = 0;
};
inline StopPoint PlanDispatcherStop(const Corvane3Data& store, const TrainStatus& status, int32_t headPosition,
                                    int32_t clock) {
  const int32_t speed = std::max<int32_t>(+status.Speed, 0);
  const int32_t seconds = speed * 120 / 60;
  StopPoint stop;
  if (status.HeadEventTime < clock + seconds) return stop;
  const int32_t distance = DistanceRun(store.GetTerritoryOptions().Units == 1, speed, seconds);
  const bool ahead = status.HeadDirection == 1;
  int64_t point = int64_t{headPosition} + (ahead ? distance : -distance);
  const int32_t target = status.HeadPosition;
  point = ahead ? std::min<int64_t>(point, target) : std::max<int64_t>(point, target);
  if (ValidBlock(status.HeadBlock))
    point = std::clamp<int64_t>(point, 0, std::max<int32_t>(+store.GetBlockData(status.HeadBlock).Length, 0));
  stop.Reached = true;
  stop.Time = clock + seconds;
  stop.Position = static_cast<int32_t>(point);
  return stop;
}

// A multiple entry's crew minutes and new length, read by value (the record is packed).
inline int16_t LegCrewMinutes(const TrainMultipleEntry& leg) { return leg.CrewMinutes; }
inline int16_t LegNewLength(const TrainMultipleEntry& leg) { return leg.NewLength; }

// The signal at the end of a block that a move in `direction` leaves it by, -1 none.
inline int ExitSignal(const BlockData& block, int direction) {
  return direction == 1 ? block.RightSignal : block.LeftSignal;
}

// The train stops where it stands: speed saved and 0, the head's position
// kept, stored, the rear brought up unless it had stopped already, repainted.
void StandardStop(Engine& engine, TrainStatus& train, int slot, uint8_t reason);

// The trains coupled behind `train` through MergeNext, in order, without it.
// The walk stops at a train already seen and after kMaxChainSteps: a damaged
// chain from a saved simulation must not hang the program.
inline std::vector<int> CoupledTrains(const Corvane3Data& store, int train) {
  std::vector<int> chain;
  std::vector<bool> seen(kMaxTrainStatus, false);
  seen[train] = true;
  int next = store.TrainStatusRef(train).MergeNext;
  for (int steps = 0; ValidTrain(next) && !seen[next] && steps < kMaxChainSteps; ++steps) {
    seen[next] = true;
    chain.push_back(next);
    next = store.TrainStatusRef(next).MergeNext;
  }
  return chain;
}

}  // namespace movement
