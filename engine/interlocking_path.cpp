// Path walks over the device graph: the trace over the switches as they lie,
// and the crew walk over chosen switch positions.
#include <algorithm>

#include "engine/engine.h"
#include "engine/interlocking_devices.h"
#include "store/train_codes.h"

using namespace interlocking;

PathTrace::PathTrace(const Corvane3Data& store, int direction, int start, int32_t* ids, int32_t* dirs, int count,
                     const PathEnd& end)
    : store_(store), ids_(ids), dirs_(dirs), count_(count), end_(end) {
  ids[0] = start;
  dirs[0] = direction;
  if (!IsDiamond(start)) return;
  if (direction < 0 || direction > 3) {
    Finish(-1);
    return;
  }
  const CrossData& cross = store.CrossDataRef(start - kDiamondBase);
  const int legDirection = direction & 1;  // legs 1 and 3 lead right
  dirs[0] = legDirection;
  const int leg = cross.Legs[direction];
  if (!IsPathDevice(leg)) {
    Finish(-1);
    return;
  }
  ids[1] = leg;
  dirs[1] = legDirection;
  listed_ = 2;
  if (Ends(leg, legDirection)) Finish(-1);
}

// Whether the device just listed ends the caller's use of the path.
bool PathTrace::Ends(int device, int d) {
  if (device == end_.Device) return true;
  if ((!end_.UnclearedBlock && end_.BlockLength < 0) || !IsBlock(device)) return false;
  const BlockData& block = store_.BlockDataRef(device);
  if (block.InUse == 0 || block.PassThrough == 1) return false;
  if (end_.UnclearedBlock && store_.BlockStatusRef(device).Occupancy != occupancy::Cleared(d)) return true;
  length_ += block.Length;
  return end_.BlockLength >= 0 && length_ >= end_.BlockLength;
}

bool PathTrace::Step() {
  if (ended_) return false;
  // Two entries stay unused: a full list ends with -1, and the last holds the blocking switch.
  if (listed_ >= count_ - 2) return Finish(-1);
  const int n = listed_;
  const int current = ids_[n - 1];
  int d = dirs_[n - 1];
  const int previous = n >= 2 ? ids_[n - 2] : -1;
  int next = -1;
  if (IsBlock(current)) {
    const BlockData& block = store_.BlockDataRef(current);
    WalkInBlock(store_, current, block, n, previous, lastEndCode_, dirs_[n - 1], d);
    if (end_.RouteEnd && n >= 2 && block.PassThrough != 1 && RouteEndsAt(block, dirs_[n - 1])) return Finish(-1);
    next = d == 1 ? block.RightNeighbour : block.LeftNeighbour;
  } else if (IsSwitch(current)) {
    const SwitchStatus& status = store_.SwitchStatusRef(current - kSwitchBase);
    next = SwitchExitLeg(store_.SwitchDataRef(current - kSwitchBase), status.TrackCode, status.Position != 0, d);
  } else if (IsDiamond(current)) {
    // A diamond is never the walk's first entry here: a walk starting on one was set out above.
    next = WalkOverDiamond(store_, store_.CrossDataRef(current - kDiamondBase), previous, lastEndCode_, d);
  }

  if (IsSwitch(next)) {
    const SwitchStatus& status = store_.SwitchStatusRef(next - kSwitchBase);
    if (SwitchRefusesEntry(store_.SwitchDataRef(next - kSwitchBase), status.TrackCode, status.Position != 0, current,
                           d))
      return Finish(next);
  }
  if (!IsPathDevice(next)) return Finish(-1);
  ids_[n] = next;
  dirs_[n] = d;
  ++listed_;
  if (Ends(next, d)) Finish(-1);
  return true;
}

int Engine::TraceDevicePath(int direction, int start, int32_t* ids, int32_t* dirs, int count, const PathEnd& end) {
  if (ids == nullptr || dirs == nullptr || count < 3) return 0;
  std::fill(ids, ids + count, -1);
  std::fill(dirs, dirs + count, -1);
  PathTrace trace(Store(), direction, start, ids, dirs, count, end);
  while (trace.Step()) {
  }
  ids[count - 1] = trace.Blocking();
  return trace.Listed();
}

int Engine::FindCrewTrainAlongPath(int direction, int switchIndex, int legDevice, int32_t* positions, int32_t* ids,
                                   int32_t* dirs, int count) {
  if (ids == nullptr || dirs == nullptr || positions == nullptr || count < 3) return -1;
  Corvane3Data& store = Store();
  std::fill(ids, ids + count, -1);
  std::fill(dirs, dirs + count, -1);
  ids[0] = kSwitchBase + switchIndex;
  dirs[0] = direction;
  if (!IsPathDevice(legDevice)) return -1;
  int n = 1;
  // Appends a device; a switch entered from the leg its chosen position does
  // not join is a trailing move from the diverging leg, so it must lie reversed.
  auto append = [&](int device, int from, int d) {
    if (IsSwitch(device) && positions[n] == 0) {
      const SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
      if (!SwitchJoinsEntry(store.GetSwitchData(device - kSwitchBase), status.TrackCode, false, from, d))
        positions[n] = 1;
    }
    ids[n] = device;
    dirs[n] = d;
    ++n;
  };
  append(legDevice, ids[0], direction);

  while (n < count - 2) {
    const int current = ids[n - 1];
    int d = dirs[n - 1];
    const int previous = ids[n - 2];
    int next = -1;
    if (IsBlock(current)) {
      const BlockData& block = store.BlockDataRef(current);
      if (block.PassThrough != 1) {
        const BlockStatus status = store.GetBlockStatus(current);
        const int train = status.Trains[0];
        if (train == kEmptyTrainSlot || train >= kMaxTrainStatus) return -1;
        const TrainStatus head = store.GetTrainStatus(train);
        return head.State == TrainState::Stopped && head.Reason == StopReason::WaitSignal ? current : -1;
      }
      if (store.BlockStatusRef(current).ReversesPath != 0) d = 1 - d;
      if (CellCode(store, block.LeftCellX, block.LeftCellY) == track::kVertical) {
        dirs[n - 1] = previous == block.LeftNeighbour ? 1 : 0;
        TurnAwayFrom(d, previous, block);
      }
      next = d == 1 ? block.RightNeighbour : block.LeftNeighbour;
    } else if (IsSwitch(current)) {
      const SwitchStatus status = store.GetSwitchStatus(current - kSwitchBase);
      next = SwitchExitLeg(store.GetSwitchData(current - kSwitchBase), status.TrackCode, positions[n - 1] != 0, d);
    } else if (IsDiamond(current)) {
      next = DiamondExitLeg(store.GetCrossData(current - kDiamondBase), previous);
    }
    if (!IsPathDevice(next)) return -1;
    append(next, current, d);
  }
  return -1;
}
