#include "engine/device_walks.h"

#include <algorithm>

#include "engine/engine.h"
#include "engine/interlocking_devices.h"
#include "store/status_codes.h"

namespace walks {

namespace {

using interlocking::IsBlock;
using interlocking::IsDiamond;
using interlocking::kDiamondBase;
using interlocking::kSignalBase;
using interlocking::kSwitchBase;

}  // namespace

int TableCount(const Corvane3Data& store, int word, int capacity) {
  return std::clamp(store.GetCountData().Words[word], 0, capacity);
}

int CountBlocksClearedAhead(Engine& engine, int direction, int block) {
  Corvane3Data& store = engine.Store();
  DevicePath path;
  engine.TraceDevicePath(direction, block, path);
  int count = 0;
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (IsBlock(device)) {
      if (store.GetBlockData(device).PassThrough == 1) continue;
      const int cleared = occupancy::Cleared(path.Dirs[i]);
      if (store.GetBlockStatus(device).Occupancy != cleared) break;
      // Beyond the most that is kept nothing can change the stored count.
      if (++count > kMaxClearedAhead) break;
    } else if (IsDiamond(device) && count == 0) {
      // Crossing traffic on the other route right ahead keeps the route from counting.
      const int diamond = device - kDiamondBase;
      const int side = store.GetCrossRoute(diamond, path.Ids[i - 1]);
      const int other = store.GetCrossStatus(diamond).Occupancy[side == 0 ? 1 : 0];
      if (occupancy::IsOccupied(other)) break;
    }
  }
  return count;
}

void UpdateBlocksClearedAhead(Engine& engine) {
  Corvane3Data& store = engine.Store();
  const OptionData options = store.GetOptionData();
  if (options.CTCControlOn != 1 && options.ExternalIOOn != 1) return;
  if (options.ExternalIOOn == 1 && store.Run.AwaitingStart == 1) return;
  const int blocks = TableCount(store, kCountBlocks, kMaxBlocks);
  for (int index = 0; index < blocks; ++index) {
    BlockStatus status = store.GetBlockStatus(index);
    if (status.InUse == 0 ||
        (status.Occupancy != occupancy::kClearedRight && status.Occupancy != occupancy::kClearedLeft))
      continue;
    const int count = std::min(
        CountBlocksClearedAhead(engine, status.Occupancy == occupancy::kClearedRight ? 1 : 0, index), kMaxClearedAhead);
    if (count == status.ClearedValue) continue;
    status.ClearedValue = static_cast<int16_t>(count);
    store.UpdateBlockStatus(index, status);
  }
}

void CTCRedrawPendingDevices(Engine& engine) {
  Corvane3Data& store = engine.Store();
  if (store.GetOptionData().CTCControlOn != 1) return;
  const int blocks = TableCount(store, kCountBlocks, kMaxBlocks);
  for (int index = 0; index < blocks; ++index) {
    const BlockStatus status = store.GetBlockStatus(index);
    if (status.InUse != 0 && status.RequestPending != 0) store.InvalidateDevice(index, 0, 1);
  }
  const int switches = TableCount(store, kCountSwitches, kMaxSwitches);
  for (int index = 0; index < switches; ++index) {
    const SwitchStatus status = store.GetSwitchStatus(index);
    if (status.InUse != 0 && status.RequestPending != 0) store.InvalidateDevice(kSwitchBase + index, 0, 1);
  }
  const int signals = TableCount(store, kCountSignals, kMaxSignals);
  for (int index = 0; index < signals; ++index) {
    const SignalStatus status = store.GetSignalStatus(index);
    if (status.InUse != 0 && status.RequestPending != 0) store.InvalidateDevice(kSignalBase + index, 0, 1);
  }
  const int diamonds = TableCount(store, kCountDiamonds, kMaxCrossings);
  for (int index = 0; index < diamonds; ++index) {
    const CrossStatus status = store.GetCrossStatus(index);
    if (status.InUse != 0 && (status.SidePending[0] != 0 || status.SidePending[1] != 0)) {
      store.InvalidateDevice(kDiamondBase + index, 0, 1);
    }
  }
}

int FindTrainInNextBlock(Engine& engine, int train, int which) {
  Corvane3Data& store = engine.Store();
  if (train < 0 || train >= kMaxTrainStatus) return -1;
  const TrainStatus status = store.GetTrainStatus(train);
  if (!IsBlock(status.HeadBlock)) return -1;
  // The train heads right unless its head block is occupied leftwards.
  const int travel = store.GetBlockStatus(status.HeadBlock).Occupancy == occupancy::kOccupiedLeft ? 0 : 1;
  const int occupiedThatWay = occupancy::Occupied(travel);
  DevicePath path;
  if (which == 0) {
    engine.TraceDevicePath(travel, status.HeadBlock, path);
  } else {
    if (!IsBlock(status.RearBlock)) return -1;
    engine.TraceDevicePath(1 - travel, status.RearBlock, path);
  }
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (!IsBlock(device)) continue;
    const BlockStatus next = store.GetBlockStatus(device);
    if (next.PassThrough != 0) continue;
    if (next.Occupancy != occupiedThatWay || next.Trains[0] == kEmptyTrainSlot || next.Trains[0] >= kMaxTrainStatus)
      return -1;
    return next.Trains[0];
  }
  return -1;
}

}  // namespace walks
