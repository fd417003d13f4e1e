// The head event of a starting or running train: stop orders first, then the
// block end: a red signal, the territory's end, or the next block.
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "engine/movement_common.h"
#include "store/alert_kinds.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/status_codes.h"
#include "store/train_codes.h"

using namespace movement;

namespace movement {

void StandardStop(Engine& engine, TrainStatus& train, int slot, uint8_t reason) {
  Corvane3Data& store = engine.Store();
  const bool wasStopped = train.State == TrainState::Stopped;
  if (train.Speed != 0) train.SpeedBeforeStop = train.Speed;
  train.Speed = 0;
  train.PreviousHeadPosition = train.HeadPosition;
  train.State = TrainState::Stopped;
  train.Reason = reason;
  store.UpdateTrainStatus(slot, train);
  if (!wasStopped) engine.UpdateTrainRear(slot, store.GetSimClock(), 0);
  if (ValidBlock(train.HeadBlock)) store.InvalidateDevice(train.HeadBlock);
  train = store.GetTrainStatus(slot);
}

}  // namespace movement

namespace {

// Seconds of stop time that count: a stand shorter than 30 s is none.
int32_t CountedStop(int32_t seconds) { return seconds >= 30 ? seconds : 0; }

}  // namespace

void Engine::StartOrMoveTrain(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - StartOrMoveTrain");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  const int head = status.HeadBlock;
  if (!ValidBlock(head)) return;
  const int32_t clock = store.GetSimClock();
  const BlockData& headData = store.BlockDataRef(head);

  if (status.State == TrainState::Moving) {
    PerformStatus perform = store.GetPerformStatus();
    perform.Distance = ClampedSum(perform.Distance, headData.Length);
    store.FormatPerformanceLine(perform);
    status.Distance = ClampedSum(status.Distance, headData.Length);
    store.UpdateTrainStatus(train, status);
  }

  if (status.RunPast == 1) {
    status.RunPast = 0;
    const int hours = RandomHalvingIndex(11) & 0xFFFF;
    const int minutes = RandomHalvingIndex(59) & 0xFFFF;
    status.HeadEventTime = TimeAfter(status.HeadEventTime, hours * 3600 + minutes * 60);
    StandardStop(*this, status, train, StopReason::Derailment);
    const std::string id(FieldText(status.TrainId));
    const std::string until =
        FormatClockTime(((status.HeadEventTime % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
    RaiseAlert(alert_kind::kDerailment, id.c_str(), until.c_str());
    return;
  }
  if (status.StopAndReverse == 1) {
    status.StopAndReverse = 0;
    StandardStop(*this, status, train, StopReason::WaitSignal);
    ReverseTrain(train);
    return;
  }
  if (status.StopInBlock == head && status.DispatcherStop != 1) status.DispatcherStop = 1;
  if (status.DispatcherStop == 1) {
    status.HeadEventTime = TimeAfter(status.HeadEventTime, 30);
    StandardStop(*this, status, train, StopReason::DispatcherRequest);
    return;
  }

  const HeadCheck check = CheckHeadInBlock(train);
  if (check.Code == 2) {
    status.HeadEventTime = TimeAfter(status.HeadEventTime, 30);
    StandardStop(*this, status, train, StopReason::WaitSignal);
    return;
  }
  if (check.Code == 1) {
    const BlockEvent event = ComputeBlockEvent(head, train, 0, 0);
    status.Reason = static_cast<uint8_t>(event.Code);
    status.State = TrainState::Moving;
    if (status.NextStartSpeed != -1) {
      status.Speed = status.NextStartSpeed;
      status.NextStartSpeed = -1;
    } else {
      status.Speed = SpeedInUnits(10);
    }
    status.WaitStart = -1;
    status.PreviousHeadPosition = status.HeadPosition;
    status.HeadPosition = check.Limit;
    status.HeadEventTime = TimeAfter(clock, TravelTime(status.Speed, check.Distance));
    store.UpdateTrainStatus(train, status);
    store.InvalidateDevice(head);
    UpdateTrainRear(train, clock, 0);
    store.Shell().EraseBlockLabels(head);
    return;
  }

  // The head is at the end of its block.
  if (status.CrewChangeOrdered == 1) {
    status.HeadEventTime = TimeAfter(status.CrewReadyTime, int64_t{headData.CrewReliefMinutes} * 60);
    status.WaitStart = -1;
    StandardStop(*this, status, train, StopReason::CrewChange);
    return;
  }

  const int direction = status.HeadDirection == 1 ? 1 : 0;
  if ((direction == 0 && headData.LeftNeighbour == -1) || (direction == 1 && headData.RightNeighbour == -1)) {
    const std::string exitName(FieldText(direction == 0 ? headData.LeftLocation : headData.RightLocation));
    const bool validData = status.TrainIndex >= 0 && status.TrainIndex < kMaxTrains;
    const std::string area(FieldText(headData.AreaName));
    if (!area.empty() && validData && status.LocalWorkIndex < kTrainLocalWork && status.LastLocalWorkBlock != head) {
      const TrainLocalWork work = store.TrainDataRef(status.TrainIndex).LocalWork[status.LocalWorkIndex];
      if (FieldText(work.AreaName) == area) {
        status.HeadEventTime = clock + (work.Minutes == 0xFFFF ? 0 : work.Minutes) * 60;
        StandardStop(*this, status, train, StopReason::LocalWork);
        return;
      }
    }

    const int location = exitName.empty() || exitName.size() > 4 ? -1 : store.FindOrgData(exitName, head);
    if (location >= 0) {
      const int32_t offTime = store.NextTrainOffTime(location);
      if (offTime != -1) {
        if (status.RearEventTime != -1)
          status.RearEventTime = TimeAfter(status.RearEventTime, int64_t{offTime} - clock);
        status.HeadEventTime = offTime;
        if (status.Speed != 0) status.SpeedBeforeStop = status.Speed;
        status.Speed = 0;
        status.State = TrainState::Stopped;
        status.Reason = StopReason::WaitYard;
        status.PreviousHeadPosition = status.HeadPosition;
        store.UpdateTrainStatus(train, status);
        return;
      }
    }

    // Off the territory at the exit speed; the rear follows on its own events.
    const int16_t exitSpeed = SpeedInUnits(20);
    status.AspectSpeed = exitSpeed;
    if (status.Speed > exitSpeed) {
      status.Speed = exitSpeed;
      status.LimitBlock = -1;
    }
    if (status.Speed == 0) status.Speed = exitSpeed;
    if (status.RearBlock == head || status.RearBlock == -1) {
      status.RearBlock = static_cast<int16_t>(head);
      status.RearEventTime = TimeAfter(clock, TravelTime(status.Speed, status.Length));
    } else if (status.State == TrainState::Stopped || status.State == TrainState::Starting) {
      store.UpdateTrainStatus(train, status);
      UpdateTrainRear(train, clock, 0);
      status = store.GetTrainStatus(train);
    }
    store.InvalidateDevice(head);
    store.DrawBlock(head);
    const int32_t oldEvent = status.HeadEventTime;
    status.HeadBlock = -1;
    status.HeadEventTime = -1;
    status.PassRedPermission = 0;
    status.State = TrainState::Leaving;
    store.UpdateTrainStatus(train, status);
    if (location >= 0) store.UpdateTrainOffTime(location, oldEvent);
    return;
  }

  const uint8_t stateBefore = status.State;
  const int32_t oldEvent = status.HeadEventTime;
  const PathCheckResult result = EnterNextBlock(train, head, 1, oldEvent);
  if (result.StoppedForLocalWork == 1) return;
  status = store.GetTrainStatus(train);

  if (result.AllowedSpeed == 0) {
    const bool wasStopped = status.State == TrainState::Stopped;
    status.State = TrainState::Stopped;
    status.Reason = result.WaitingForHelper == 1 ? StopReason::WaitHelper : StopReason::WaitSignal;
    status.WaitStart = status.StandingSince = clock;
    status.Speed = 0;
    status.HeadEventTime = clock;
    if (ValidType(status.Type) && store.GetRandomData().Bytes60[status.Type] == 1)
      status.HeadEventTime = TimeAfter(status.HeadEventTime, ((RandomHalvingIndex(1000) >> 16) & 0xFFFF) * 60);
    status.PreviousHeadPosition = status.HeadPosition;
    store.UpdateTrainStatus(train, status);
    if (!wasStopped) UpdateTrainRear(train, clock, 0);
    store.InvalidateDevice(head);
    if (ValidBlock(status.RearBlock) && status.RearBlock != head) store.InvalidateDevice(status.RearBlock);
    const std::string id(FieldText(status.TrainId));
    RaiseAlert(alert_kind::kWaitingSignal, id.c_str());
    return;
  }

  // The head is in the next block.
  const int entered = status.HeadBlock;
  if (result.RouteCleared == 0 && status.PassRedPermission == 1 && ValidBlock(result.StopBlock)) {
    BlockStatus passed = store.GetBlockStatus(result.StopBlock);
    if (passed.HeldRoutes > 0) {
      --passed.HeldRoutes;
      store.UpdateBlockStatus(result.StopBlock, passed);
    }
  }
  const int32_t reference = stateBefore != TrainState::Moving ? clock : oldEvent;
  int32_t stopped = 0;
  if (status.StandingSince != -1) {
    stopped = CountedStop(reference - status.StandingSince);
    status.StandingSince = -1;
  }
  const BlockData& enteredData = store.BlockDataRef(entered);
  int32_t lost =
      TravelTime(result.NominalSpeed, enteredData.Length) - TravelTime(result.MaximumSpeed, enteredData.Length);
  if (lost < 0) lost = 0;
  PerformStatus perform = store.GetPerformStatus();
  perform.StoppedTime = ClampedSum(perform.StoppedTime, stopped);
  perform.LostTime = ClampedSum(perform.LostTime, lost);
  store.FormatPerformanceLine(perform);
  status.TotalStopTime = ClampedSum(status.TotalStopTime, stopped);
  status.TotalLostTime = ClampedSum(status.TotalLostTime, lost);

  const int code = occupancy::Occupied(direction);
  const int signal = ExitSignal(headData, direction);
  if (signal >= 0 && signal < kMaxSignals) {
    SignalStatus aspect = store.GetSignalStatus(signal);
    aspect.Aspect = aspect::kStop;
    store.UpdateSignalStatus(signal, aspect);
    store.InvalidateDevice(device::SignalNumber(signal));
  }
  SetRouteStatus(direction, head, entered, code, train, 0, 0);
  store.InvalidateDevice(head);
  if (ValidBlock(status.RearBlock) && status.RearBlock != head) store.InvalidateDevice(status.RearBlock);
  store.DrawBlock(head);
  if (status.PassRedPermission == 1 && ExitSignal(enteredData, status.HeadDirection == 1 ? 1 : 0) != -1)
    status.PassRedPermission = 0;
  status.WaitStart = -1;
  store.UpdateTrainStatus(train, status);
  UpdateTrainRear(train, reference, 0);
}
