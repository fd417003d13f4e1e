// Path walks over the device graph: the trace over the switches as they lie,
// and the crew walk over chosen switch positions.
#include <algorithm>

#include "engine/engine.h"
#include "engine/interlocking_devices.h"

using namespace interlocking;

namespace {

constexpr int kNoCode = -1;

}  // namespace

int Engine::TraceDevicePath(int direction, int start, int32_t* ids, int32_t* dirs, int count, const PathEnd& end) {
  if (ids == nullptr || dirs == nullptr || count < 3) return 0;
  Corvane3Data& store = Store();
  std::fill(ids, ids + count, -1);
  std::fill(dirs, dirs + count, -1);
  ids[0] = start;
  dirs[0] = direction;
  int n = 1;
  // Whether the device just listed ends the caller's use of the path.
  int64_t length = 0;
  const auto ends = [&](int device, int d) {
    if (device == end.Device) return true;
    if ((!end.UnclearedBlock && end.BlockLength < 0) || !IsBlock(device)) return false;
    const BlockData& block = store.BlockDataRef(device);
    if (block.InUse == 0 || block.PassThrough == 1) return false;
    if (end.UnclearedBlock && store.BlockStatusRef(device).Occupancy != occupancy::Cleared(d)) return true;
    length += block.Length;
    return end.BlockLength >= 0 && length >= end.BlockLength;
  };
  if (IsDiamond(start)) {
    if (direction < 0 || direction > 3) return n;
    const CrossData cross = store.GetCrossData(start - kDiamondBase);
    const int legDirection = direction & 1;  // legs 1 and 3 lead right
    dirs[0] = legDirection;
    const int leg = cross.Legs[direction];
    if (!IsPathDevice(leg)) return n;
    ids[1] = leg;
    dirs[1] = legDirection;
    n = 2;
    if (ends(leg, legDirection)) return n;
  }

  int lastEndCode = kNoCode;  // the code of the last block end or diamond cell examined
  int blocking = -1;
  while (n < count - 2) {
    const int current = ids[n - 1];
    int d = dirs[n - 1];
    const int previous = n >= 2 ? ids[n - 2] : -1;
    int next = -1;
    if (IsBlock(current)) {
      const BlockData& block = store.BlockDataRef(current);
      WalkInBlock(store, current, block, n, previous, lastEndCode, dirs[n - 1], d);
      if (end.RouteEnd && n >= 2 && block.PassThrough != 1 && RouteEndsAt(block, dirs[n - 1])) break;
      next = d == 1 ? block.RightNeighbour : block.LeftNeighbour;
    } else if (IsSwitch(current)) {
      const SwitchStatus status = store.GetSwitchStatus(current - kSwitchBase);
      next = SwitchExitLeg(store.SwitchDataRef(current - kSwitchBase), status.TrackCode, status.Position != 0, d);
    } else if (IsDiamond(current)) {
      // A diamond is never the walk's first entry here: a walk starting on one was set out above.
      next = WalkOverDiamond(store, store.GetCrossData(current - kDiamondBase), previous, lastEndCode, d);
    }

    if (IsSwitch(next)) {
      const SwitchStatus status = store.GetSwitchStatus(next - kSwitchBase);
      if (SwitchRefusesEntry(store.SwitchDataRef(next - kSwitchBase), status.TrackCode, status.Position != 0, current,
                             d)) {
        blocking = next;
        next = -1;
      }
    }
    if (!IsPathDevice(next)) {
      ids[count - 1] = blocking;
      return n;
    }
    ids[n] = next;
    dirs[n] = d;
    ++n;
    if (ends(next, d)) break;
  }
  ids[count - 1] = -1;
  return n;
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
        if (train == 0xFFFF || train >= kMaxTrainStatus) return -1;
        const TrainStatus head = store.GetTrainStatus(train);
        return head.State == 3 && head.Reason == 3 ? current : -1;
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
