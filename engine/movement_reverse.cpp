// Turning a train about: the dispatcher's reverse, which explains every
// refusal, and the program's own quiet turn during local work and at platforms.
#include <algorithm>
#include <cstdlib>

#include "engine/engine.h"
#include "engine/interlocking_devices.h"
#include "engine/movement_common.h"
#include "store/status_codes.h"
#include "store/train_codes.h"

using namespace movement;

namespace {

enum class Refusal {
  None,
  PartlyLeft,
  PartlyArrived,
  TrainBehind,
  OpenSwitch,
  TrackOccupied,
  NotSignalled,
};

const char* RefusalText(Refusal refusal, bool reversing) {
  switch (refusal) {
    case Refusal::PartlyLeft:
      return "Train cannot change direction when it has partially left the territory.";
    case Refusal::PartlyArrived:
      return "Train cannot change direction when it has partially arrived on the territory.";
    case Refusal::TrainBehind:
      return "Train cannot change direction when there is a train behind it in the same block.";
    case Refusal::OpenSwitch:
      return "Train cannot change direction where the route to the next signal in the requested direction is blocked "
             "by an open switch.";
    case Refusal::TrackOccupied:
      return reversing ? "Track in front of the train must not be occupied, blocked or cleared in the opposite "
                         "direction of the train's new direction."
                       : "Track behind the train must not be occupied, blocked or cleared in the opposite direction "
                         "of the train's new direction.";
    case Refusal::NotSignalled:
      return reversing ? "Track in front of the train is not signalled for the new direction."
                       : "Track behind the train is not signalled for the new direction.";
    case Refusal::None:
      break;
  }
  return "";
}

// What the checks found: where the turn starts, the directions, the trace in
// the new direction and the index of the first signalled block on it.
struct TurnPlan {
  int Start = -1;
  int OldDirection = 0;
  int NewDirection = 1;
  DevicePath Path;
  int Signalled = 0;
};

// The track rules of a turn; nothing is changed. `quiet` is the program's own
// turn: no CTC exemption and no test of signalling for the new direction.
Refusal PlanTurn(Engine& engine, const TrainStatus& train, int slot, bool ctc, bool quiet, TurnPlan& plan) {
  Corvane3Data& store = engine.Store();
  if (train.State == TrainState::Leaving) return Refusal::PartlyLeft;
  if (train.RearBlock < 0 && !ctc) return Refusal::PartlyArrived;
  if (train.RearBlock == -1) {
    plan.Start = train.HeadBlock;
    plan.OldDirection = train.HeadDirection == 1 ? 1 : 0;
  } else {
    plan.Start = train.RearBlock;
    plan.OldDirection =
        ValidBlock(plan.Start) && store.GetBlockStatus(plan.Start).Occupancy == occupancy::kOccupiedRight ? 1 : 0;
  }
  if (!ValidBlock(plan.Start)) return Refusal::PartlyArrived;

  const BlockStatus startStatus = store.GetBlockStatus(plan.Start);
  if (plan.OldDirection == 0) {
    if (!ctc && startStatus.Trains[0] != slot) return Refusal::TrainBehind;
  } else {
    int last = -1;
    for (int k = kBlockTrainSlots - 1; k >= 0 && last == -1; --k)
      if (startStatus.Trains[k] != kEmptyTrainSlot) last = startStatus.Trains[k];
    if (last != slot) return Refusal::TrainBehind;
  }

  plan.NewDirection = plan.OldDirection == 1 ? 0 : 1;
  engine.TraceDevicePath(plan.NewDirection, plan.Start, plan.Path);
  plan.Signalled = quiet ? -1 : 0;
  const auto& ids = plan.Path.Ids;
  const auto& dirs = plan.Path.Dirs;
  for (int i = 0; i < kPathEntries; ++i) {
    const int device = ids[i];
    if (device == -1) {
      if (interlocking::IsSwitch(ids[kPathEntries - 1]) && !ctc) return Refusal::OpenSwitch;
      break;
    }
    if (!ValidBlock(device)) continue;
    const BlockData data = store.GetBlockData(device);
    if (i > 0 && !ctc) {
      const BlockStatus status = store.GetBlockStatus(device);
      if (status.Occupancy != occupancy::kFree || status.PermitActive == 1) return Refusal::TrackOccupied;
    }
    if (i > 0 && !quiet && data.PassThrough == 0 &&
        ((dirs[i] == 0 && data.SignalledLeft == 0) || (dirs[i] == 1 && data.SignalledRight == 0)))
      return Refusal::NotSignalled;
    if (data.PassThrough != 1 && ExitSignal(data, dirs[i] == 1 ? 1 : 0) != -1) {
      plan.Signalled = i;
      break;
    }
  }
  return Refusal::None;
}

void ClearOSRecorded(Corvane3Data& store, int slot) {
  TrainStop stops = store.GetTrainStop(slot);
  std::fill(std::begin(stops.OSRecorded), std::end(stops.OSRecorded), uint8_t{0});
  store.UpdateTrainStop(slot, stops);
}

// Swaps the occupied directions (3 and 4) of the train's blocks, from the new
// head back towards the new rear; the new rear only when no other train is in it.
void TurnOccupancy(Engine& engine, int slot, int newHead, int newRear, int oldDirection) {
  Corvane3Data& store = engine.Store();
  auto swap = [&](int block) {
    BlockStatus status = store.GetBlockStatus(block);
    if (status.Occupancy == occupancy::kOccupiedRight)
      status.Occupancy = occupancy::kOccupiedLeft;
    else if (status.Occupancy == occupancy::kOccupiedLeft)
      status.Occupancy = occupancy::kOccupiedRight;
    store.UpdateBlockStatus(block, status);
    store.InvalidateDevice(block);
  };
  DevicePath path;
  engine.TraceDevicePath(oldDirection, newHead, path);
  for (int i = 0; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (device == newRear) break;
    // Only the train's own blocks: a rear that is not on the trace must not turn the track beyond.
    if (ValidBlock(device) && FindSlot(store.GetBlockStatus(device), slot) >= 0) swap(device);
  }
  if (ValidBlock(newRear)) {
    const BlockStatus rear = store.GetBlockStatus(newRear);
    bool others = false;
    for (int k = 0; k < kBlockTrainSlots; ++k)
      if (rear.Trains[k] != kEmptyTrainSlot && rear.Trains[k] != slot) others = true;
    if (!others) swap(newRear);
  }
}

}  // namespace

void Engine::ReverseTrain(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - ReverseTrain");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  const bool ctc = store.GetOptionData().CTCControlOn == 1;
  TurnPlan plan;
  const Refusal refusal = PlanTurn(*this, status, train, ctc, false, plan);
  if (refusal != Refusal::None) {
    interlocking::ShowPaused(*this, RefusalText(refusal, status.Reversing != 0), MessageIcon::Error,
                             MessageButtons::Ok);
    return;
  }
  ClearOSRecorded(store, train);
  ClearStopStatus();
  const int32_t clock = store.GetSimClock();

  if (status.State != TrainState::Stopped && !ctc) {
    // A moving train is marked; it turns once it stands.
    status.StopAndReverse = 1;
    status.PassRedPermission = 0;
    const StopPoint stop = PlanDispatcherStop(store, status, GetTrainHeadPosition(train).HeadPosition, clock);
    if (stop.Reached) {
      status.Reason = HeadEvent::StopAndReverse;
      status.HeadEventTime = stop.Time;
      status.HeadPosition = stop.Position;
    }
    store.UpdateTrainStatus(train, status);
    return;
  }

  if (!ctc && plan.Path.Ids[plan.Signalled] != plan.Start)
    CheckRoute(plan.NewDirection, plan.Start, 0, 0, kScreenRequest);

  int newHead, newRear;
  int32_t offset = 0;
  if (!ctc) {
    const TrainExtent extent = GetTrainHeadPosition(train);
    newHead = ValidBlock(extent.RearBlock) ? extent.RearBlock : plan.Start;
    newRear = extent.HeadBlock;
    // The new head stands where the rear stood.
    offset = extent.RearPosition;
  } else {
    newHead = ValidBlock(status.RearBlock) ? status.RearBlock : status.HeadBlock;
    newRear = status.HeadBlock;
  }
  status = store.GetTrainStatus(train);
  status.HeadBlock = static_cast<int16_t>(newHead);
  status.RearBlock = static_cast<int16_t>(newRear);
  status.HeadPosition = status.PreviousHeadPosition = offset;
  store.DrawBlock(newHead);
  if (ValidBlock(newRear)) store.DrawBlock(newRear);
  const bool dualCab = ValidType(status.Type) && store.GetTrainType(status.Type).DualCab != 0;
  if (ctc)
    status.Reversing = 0;
  else if (!dualCab)
    status.Reversing = status.Reversing != 0 ? 0 : 1;
  status.HeadDirection = static_cast<uint8_t>(plan.NewDirection);
  status.RearDirection = static_cast<uint8_t>(plan.NewDirection);
  status.PassRedPermission = 0;
  const bool dispatcherStop = status.Reason == StopReason::DispatcherRequest;
  if (!dispatcherStop) status.State = TrainState::Moving;
  store.UpdateTrainStatus(train, status);

  if (!dispatcherStop && !ctc) {
    const BlockEvent event = ComputeBlockEvent(newHead, train, 0, 0);
    status.Reason = static_cast<uint8_t>(event.Code);
    const int32_t gap = Gap(event.Point, status.HeadPosition);
    if (gap == 0) {
      status.HeadEventTime = clock;
    } else {
      PathCheckResult ahead;
      store.UpdateTrainStatus(train, status);
      CheckPathAhead(ahead, train, plan.Path.Ids, plan.Path.Dirs, 1, 1, 1);
      status.Speed = ahead.AllowedSpeed;
      if (status.Speed == 0) {
        status.HeadEventTime = clock;
      } else {
        status.HeadEventTime = TimeAfter(clock, TravelTime(status.Speed, gap));
        status.HeadPosition = event.Point;
      }
    }
    store.UpdateTrainStatus(train, status);
  }

  if (ValidBlock(newRear)) {
    DevicePath behind;
    TraceDevicePath(plan.OldDirection, newRear, behind);
    if (ExitSignal(store.GetBlockData(newRear), plan.OldDirection) == -1)
      ReleaseRoute(behind.Ids.data(), behind.Dirs.data(), kPathEntries);
  }
  TurnOccupancy(*this, train, newHead, newRear, plan.OldDirection);
  if (!ctc) UpdateTrainRear(train, clock, 0);
}

int Engine::ReverseTrainQuiet(int train, int keepRoute) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - ReverseTrainQuiet");
    return 0;
  }
  TurnPlan plan;
  if (PlanTurn(*this, store.GetTrainStatus(train), train, false, true, plan) != Refusal::None) return 0;

  const bool lineUp = plan.Signalled == -1 ? plan.Path.Ids[1] != -1 : plan.Path.Ids[plan.Signalled] != plan.Start;
  if (lineUp) CheckRoute(plan.NewDirection, plan.Start, 1, 0, kScreenRequest);

  const TrainExtent extent = GetTrainHeadPosition(train);
  const int newHead = ValidBlock(extent.RearBlock) ? extent.RearBlock : plan.Start;
  const int newRear = extent.HeadBlock;
  TrainStatus status = store.GetTrainStatus(train);
  status.HeadBlock = static_cast<int16_t>(newHead);
  status.RearBlock = static_cast<int16_t>(newRear);
  status.HeadPosition = status.PreviousHeadPosition = extent.RearPosition;
  status.HeadDirection = static_cast<uint8_t>(plan.NewDirection);
  status.RearDirection = static_cast<uint8_t>(plan.NewDirection);
  status.PassRedPermission = 0;
  store.UpdateTrainStatus(train, status);
  store.DrawBlock(newHead);
  if (ValidBlock(newRear)) store.DrawBlock(newRear);

  if (keepRoute == 0 && ValidBlock(newRear)) {
    DevicePath behind;
    TraceDevicePath(plan.OldDirection, newRear, behind);
    if (ExitSignal(store.GetBlockData(newRear), plan.OldDirection) == -1)
      ReleaseRoute(behind.Ids.data(), behind.Dirs.data(), kPathEntries);
  }
  TurnOccupancy(*this, train, newHead, newRear, plan.OldDirection);
  ClearOSRecorded(store, train);
  return 1;
}
