// A train's extent over its blocks: where its rear is, the rear following the
// head block by block and releasing what it leaves, and the train leaving the
// territory at an exit (further legs, missed exits, work areas).
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/engine.h"
#include "engine/movement_common.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/status_codes.h"
#include "store/train_codes.h"

using namespace movement;

namespace {

bool English(const Corvane3Data& store) { return store.TerritoryOptionsRef().Units == 1; }

bool RealBlock(const Corvane3Data& store, int device) {
  if (!ValidBlock(device)) return false;
  const BlockData& data = store.BlockDataRef(device);
  return data.InUse != 0 && data.PassThrough != 1;
}

// Where the rear lies when the head stands at `position` in `headBlock`
// heading `direction`: the rear's block, the direction the backward path runs
// through it, and how much of the train lies in that block (the rear's
// distance to the block end it is heading for).
struct RearPlace {
  int Block = -1;
  int PathDirection = 0;
  int32_t InBlock = 0;
  bool InHeadBlock = true;
};

RearPlace FindRear(Engine& engine, int headBlock, int direction, int32_t position, int32_t length) {
  Corvane3Data& store = engine.Store();
  // A position read from a saved simulation can lie anywhere in its range: reckoned in 64 bits.
  const int64_t headLength = store.BlockDataRef(headBlock).Length;
  int64_t room = direction == 0 ? headLength - position : position;
  if (position < 0) room = headLength;
  RearPlace place;
  place.Block = headBlock;
  place.PathDirection = 1 - direction;
  // Rear to the block end ahead: the whole train plus what lies ahead of the head.
  place.InBlock = ClampToInt32(length + (direction == 0 ? position : headLength - position));
  if (length <= room) return place;

  DevicePath path;
  engine.TraceDevicePath(1 - direction, headBlock, path, {.BlockLength = int64_t{length} - room});
  int64_t covered = room;
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (!RealBlock(store, device)) continue;
    const int32_t blockLength = store.BlockDataRef(device).Length;
    place.Block = device;
    place.PathDirection = path.Dirs[i] == 0 ? 0 : 1;
    place.InBlock = ClampToInt32(length - covered);
    place.InHeadBlock = false;
    if (length <= covered + blockLength) return place;
    covered += blockLength;
  }
  // The walk ran off the path (a train still coming onto the territory): the
  // last real block holds the rear, which is further back than its end.
  return place;
}

// The train and every train coupled to it leave the territory for good; each
// coupled train takes one off the trains-on-territory count.
void LeaveForGood(Corvane3Data& store, TrainStatus& train, int slot) {
  train.HeadEventTime = -1;
  train.State = TrainState::Gone;
  store.UpdateTrainStatus(slot, train);
  const std::vector<int> chain = CoupledTrains(store, slot);
  if (chain.empty()) return;
  PerformStatus perform = store.GetPerformStatus();
  for (int coupled : chain) {
    TrainStatus record = store.GetTrainStatus(coupled);
    record.State = TrainState::Gone;
    store.UpdateTrainStatus(coupled, record);
    --perform.Trains;
  }
  store.FormatPerformanceLine(perform);
}

}  // namespace

Engine::TrainExtent Engine::GetTrainHeadPosition(int train) {
  Corvane3Data& store = Store();
  TrainExtent extent;
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - GetTrainHeadPosition");
    return extent;
  }
  const TrainStatus& status = store.TrainStatusRef(train);
  const bool english = English(store);
  const int32_t clock = store.GetSimClock();

  if (status.HeadBlock == -1) {
    extent.RearBlock = status.RearBlock;
    extent.RearDirection = status.RearDirection;
    int32_t distance = DistanceRun(english, status.Speed, status.RearEventTime - clock);
    if (status.RearDirection == 1 && ValidBlock(status.RearBlock))
      distance = ClampToInt32(int64_t{store.BlockDataRef(status.RearBlock).Length} - distance);
    extent.RearPosition = distance;
    return extent;
  }
  if (!ValidBlock(status.HeadBlock)) return extent;

  const int direction = status.HeadDirection == 1 ? 1 : 0;
  int32_t position = status.HeadPosition;
  if (status.State == TrainState::Moving) {
    const int32_t still = DistanceRun(english, status.Speed, status.HeadEventTime - clock);
    position = ClampToInt32(direction == 0 ? int64_t{position} + still : int64_t{position} - still);
  }
  extent.HeadPosition = position;
  extent.HeadBlock = status.HeadBlock;

  const RearPlace rear = FindRear(*this, status.HeadBlock, direction, position, status.Length);
  extent.RearBlock = rear.Block;
  int32_t rearPosition;
  if (rear.InHeadBlock) {
    rearPosition = ClampToInt32(direction == 0 ? int64_t{position} + status.Length : int64_t{position} - status.Length);
    extent.RearDirection = static_cast<uint8_t>(direction);
  } else {
    const int32_t length = store.BlockDataRef(rear.Block).Length;
    rearPosition = rear.PathDirection == 0 ? ClampToInt32(int64_t{length} - rear.InBlock) : rear.InBlock;
    extent.RearDirection = rear.PathDirection == 0 ? 1 : 0;
  }
  // A rear still outside the territory stands at the block's end.
  const int32_t rearLength = store.BlockDataRef(rear.Block).Length;
  extent.RearPosition = std::clamp<int32_t>(rearPosition, 0, std::max<int32_t>(rearLength, 0));
  return extent;
}

void Engine::UpdateTrainRear(int train, int32_t timeBase, int keepRearTime) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - UpdateTrainRear");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  if (!ValidBlock(status.HeadBlock)) return;
  const int direction = status.HeadDirection == 1 ? 1 : 0;
  const RearPlace rear = FindRear(*this, status.HeadBlock, direction, status.PreviousHeadPosition, status.Length);

  int newRear = rear.Block;
  int rearDirection = 1 - rear.PathDirection;
  int32_t distance = rear.InBlock;
  const int oldRear = status.RearBlock;
  if (ValidBlock(oldRear) && oldRear != newRear) {
    if (FindBlockOnPath(rear.PathDirection, newRear, oldRear) == -1) {
      newRear = oldRear;
      rearDirection = status.RearDirection;
      distance = store.BlockDataRef(oldRear).Length;
    } else {
      SetRouteStatus(rear.PathDirection, newRear, oldRear, 0, train, 0, 1);
      BlockStatus old = store.GetBlockStatus(oldRear);
      RemoveFromSlots(old, train);
      store.UpdateBlockStatus(oldRear, old);
      store.InvalidateDevice(oldRear);
    }
  }

  status = store.GetTrainStatus(train);
  status.RearBlock = static_cast<int16_t>(newRear);
  status.RearDirection = static_cast<uint8_t>(newRear == -1 ? direction : rearDirection);
  status.RearEventTime = status.Speed == 0 ? -1 : TimeAfter(timeBase, TravelTime(status.Speed, distance));
  if (newRear == status.HeadBlock && keepRearTime == 0) status.RearEventTime = -1;
  store.UpdateTrainStatus(train, status);
}

void Engine::MoveTrain(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - MoveTrain");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  const int rear = status.RearBlock;
  if (!ValidBlock(rear)) return;
  const int32_t clock = store.GetSimClock();

  BlockStatus rearStatus = store.GetBlockStatus(rear);
  const int held = CountTrains(rearStatus);
  if (RemoveFromSlots(rearStatus, train)) store.UpdateBlockStatus(rear, rearStatus);
  const BlockData& rearData = store.BlockDataRef(rear);

  const bool leavesLeft = rearStatus.Occupancy == occupancy::kOccupiedLeft && rearData.LeftNeighbour == -1;
  const bool leavesRight = rearStatus.Occupancy == occupancy::kOccupiedRight && rearData.RightNeighbour == -1;
  if (leavesLeft || leavesRight) {
    PerformStatus perform = store.GetPerformStatus();
    --perform.Trains;
    store.FormatPerformanceLine(perform);
    const std::string exitName(FieldText(leavesLeft ? rearData.LeftLocation : rearData.RightLocation));

    if (rearStatus.HeldRoutes < 1) {
      if (held <= 1 || rearStatus.Trains[0] == kEmptyTrainSlot) {
        rearStatus.Occupancy = occupancy::kFree;
      } else {
        const TrainStatus first = store.GetTrainStatus(rearStatus.Trains[0]);
        rearStatus.Occupancy = static_cast<int16_t>(occupancy::Occupied(first.HeadDirection));
      }
    } else {
      --rearStatus.HeldRoutes;
      rearStatus.Occupancy =
          rearStatus.Occupancy == occupancy::kOccupiedRight ? occupancy::kClearedRight : occupancy::kClearedLeft;
    }
    store.UpdateBlockStatus(rear, rearStatus);
    store.DrawBlock(rear);
    store.InvalidateDevice(rear);

    status.RearBlock = -1;
    status.Speed = 0;
    if (status.MultipleIndex >= kTrainMultipleEntries) {
      LeaveForGood(store, status, train);
      return;
    }
    const bool validData = status.TrainIndex >= 0 && status.TrainIndex < kMaxTrains;
    const TrainData& data = validData ? store.TrainDataRef(status.TrainIndex) : kNoTrainData;
    if (exitName != FieldText(status.Exit)) {
      perform = store.GetPerformStatus();
      ++perform.Word10;  // missed exits
      store.FormatPerformanceLine(perform);
      ++status.MissedExits;
      int found = -1;
      for (int k = status.MultipleIndex; validData && k < kTrainMultipleEntries; ++k) {
        const TrainMultipleEntry& leg = data.Multiple[k];
        if (FieldText(leg.NextEntrance).empty()) break;
        if (FieldText(leg.LegExit) == exitName) {
          found = k;
          break;
        }
      }
      if (found < 0) {
        LeaveForGood(store, status, train);
        return;
      }
      status.MultipleIndex = static_cast<uint8_t>(found);
      status.MultipleAdvancePending = 1;
    }
    if (status.MultipleAdvancePending != 0) ++status.MultipleIndex;
    status.MultipleAdvancePending = 1;
    if (!validData || status.MultipleIndex >= kTrainMultipleEntries ||
        FieldText(data.Multiple[status.MultipleIndex].NextEntrance).empty()) {
      status.HeadEventTime = -1;
      status.State = TrainState::Gone;
      store.UpdateTrainStatus(train, status);
      return;
    }

    // The train comes back for its next leg.
    const TrainMultipleEntry& leg = data.Multiple[status.MultipleIndex];
    status.State = TrainState::Scheduled;
    TrainStop stops = store.GetTrainStop(train);
    std::fill(std::begin(stops.Stops), std::end(stops.Stops), uint8_t{0});
    store.UpdateTrainStop(train, stops);
    if (!FieldText(leg.Text8).empty()) {
      // The old identity stays behind for the lists and reports; with no free slot there is no copy.
      const int copy = store.FindFreeTrainStatus();
      if (ValidTrain(copy) && copy != train) {
        TrainStatus old = status;
        old.State = TrainState::Became;
        old.HeadEventTime = -1;
        old.HeadBlock = -1;
        old.InUse = 1;
        store.UpdateTrainStatus(copy, old, 1);
        RelinkOSHits(train, copy);
      }
      status.TotalStopTime = status.TotalLostTime = status.TotalLateDeparture = status.Distance = 0;
      status.LateDepartures = status.Word156 = status.MissedExits = 0;
      SetFieldText(status.TrainId, FieldText(leg.Text8));
    }
    if (LegNewLength(leg) != -1) status.Length = LegNewLength(leg);
    const int16_t newType = static_cast<int16_t>(leg.Word19);
    if (newType != -1 && ValidType(newType)) {
      status.Type = static_cast<uint8_t>(newType);
      int16_t cap = 0;
      const int blocks = std::min(store.GetCountData().Words[kCountBlocks], kMaxBlocks);
      for (int b = 0; b < blocks; ++b) {
        const BlockData& block = store.BlockDataRef(b);
        if (block.InUse == 0 || block.PassThrough == 1) continue;
        cap = std::max({cap, block.SpeedMax[0][newType], block.SpeedMax[1][newType]});
      }
      status.SpeedCap = cap;
    }
    const std::string entrance(FieldText(leg.NextEntrance));
    SetFieldText(status.Entrance, entrance);
    SetFieldText(status.Exit, FieldText(leg.LegExit));
    const int32_t minutes = leg.ReentryMinutes == 0xFFFF ? 0 : leg.ReentryMinutes;
    status.HeadEventTime = clock + minutes * 60;
    if (LegCrewMinutes(leg) != -1) status.CrewExpiry = status.HeadEventTime + kCrewShift - LegCrewMinutes(leg) * 60;
    for (int org = 0; org < kMaxLocations; ++org) {
      const OrgData location = store.GetOrgData(org);
      if (location.InUse != 1 || FieldText(location.Name) != entrance) continue;
      if (ValidBlock(location.Block))
        status.HeadDirection = FieldText(store.BlockDataRef(location.Block).LeftLocation) == entrance ? 1 : 0;
      break;
    }
    const bool dualCab = ValidType(status.Type) && store.TrainTypeRef(status.Type).DualCab != 0;
    status.Reversing = leg.Byte21 == 1 && !dualCab ? 1 : 0;
    store.UpdateTrainStatus(train, status);
    return;
  }

  // The rear moves into the next block of its path.
  const int rearDirection = status.RearDirection == 1 ? 1 : 0;
  DevicePath path;
  TraceDevicePath(rearDirection, rear, path, {.UnclearedBlock = true});
  PathCheckResult ahead;
  CheckPathAhead(ahead, train, path.Ids, path.Dirs, 1, 1, 0);
  const int next = ahead.NextBlock;
  if (!ValidBlock(next)) {
    status.RearEventTime = -1;
    store.UpdateTrainStatus(train, status);
    return;
  }
  const bool othersRemain = CountTrains(rearStatus) > 0;
  const int start = othersRemain ? path.Ids[1] : rear;
  const int startDirection = othersRemain ? path.Dirs[1] : rearDirection;
  if (start != -1) SetRouteStatus(startDirection, start, next, 0, train, 1, 1);
  if (othersRemain) {
    rearStatus = store.GetBlockStatus(rear);
    if (rearStatus.Trains[0] != kEmptyTrainSlot) {
      const TrainStatus first = store.GetTrainStatus(rearStatus.Trains[0]);
      rearStatus.Occupancy = static_cast<int16_t>(occupancy::Occupied(first.HeadDirection));
      store.UpdateBlockStatus(rear, rearStatus);
    }
  }
  store.InvalidateDevice(rear);
  store.DrawBlock(rear);

  status = store.GetTrainStatus(train);
  status.RearBlock = static_cast<int16_t>(next);
  status.RearDirection = store.BlockStatusRef(next).Occupancy == occupancy::kOccupiedRight ? 1 : 0;

  if (status.State == TrainState::ToWorkArea && status.LocalWorkIndex < kTrainLocalWork && status.TrainIndex >= 0 &&
      status.TrainIndex < kMaxTrains) {
    const TrainLocalWork work = store.TrainDataRef(status.TrainIndex).LocalWork[status.LocalWorkIndex];
    const std::string area(FieldText(store.BlockDataRef(next).AreaName));
    if (!area.empty() && area == FieldText(work.AreaName)) {
      status.RearEventTime = -1;
      status.Speed = 0;
      status.HeadEventTime = clock + (work.Minutes == 0xFFFF ? 0 : work.Minutes) * 60;
      status.State = TrainState::InWorkArea;
      store.UpdateTrainStatus(train, status);
      if (ValidBlock(status.HeadBlock)) store.InvalidateDevice(status.HeadBlock);
      return;
    }
  }

  store.InvalidateDevice(next);
  if (next == status.HeadBlock || status.Speed == 0)
    status.RearEventTime = -1;
  else
    status.RearEventTime = TimeAfter(status.RearEventTime, TravelTime(status.Speed, store.BlockDataRef(next).Length));
  store.UpdateTrainStatus(train, status);
}

void Engine::RelinkOSHits(int fromTrain, int toTrain) { Store().RelinkTrainOSHits(fromTrain, toTrain); }

int32_t Engine::SumBlockLengths(int direction, int fromBlock, int toBlock) {
  if (fromBlock == toBlock) return 0;
  Corvane3Data& store = Store();
  DevicePath path;
  TraceDevicePath(direction, fromBlock, path, {.Device = toBlock});
  int32_t sum = 0;
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1 && path.Ids[i] != toBlock; ++i)
    if (RealBlock(store, path.Ids[i])) sum += store.BlockDataRef(path.Ids[i]).Length;
  return sum;
}

int Engine::FindBlockOnPath(int direction, int fromBlock, int targetBlock) {
  DevicePath path;
  TraceDevicePath(direction, fromBlock, path, {.Device = targetBlock});
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i)
    if (path.Ids[i] == targetBlock && ValidBlock(targetBlock)) return targetBlock;
  return -1;
}
