// Stops and restarts: what happens when a running train reaches something
// armed for it (a detector, a problem, a platform, a dispatcher's order), and
// when the time of a stopped train's stop has come. The platform handlers
// carry the passenger side: dwell, schedule, lateness, crew changes, and
// trains that become or split off other trains.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "engine/movement_common.h"
#include "store/alert_kinds.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/train_codes.h"

using namespace movement;

namespace {

bool ValidSchedule(int index) { return index >= 0 && index < kMaxTrains; }
bool ValidPlatform(int index) { return index >= 0 && index < kTrainStations && index < kMaxPlatforms; }

std::string TimeOfDay(int32_t time) {
  return Engine::FormatClockTime(((time % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
}

// The new crew's times: its shift runs 12 hours from when it came on duty (now, when no time was given).
void NewCrew(TrainStatus& status, int32_t clock) {
  status.CrewChangeOrdered = 0;
  status.CrewChangeLocation = -1;
  status.CrewReadyTime = -1;
  status.CrewExpiry = (status.CrewOnDuty != -1 ? status.CrewOnDuty : clock) + kCrewShift;
  status.CrewOnDuty = -1;
  status.CrewWarningGiven = 0;
  status.CrewExpiredHandled = 0;
}

// Minutes of a schedule field that may hold 0xFFFF for none.
int32_t Minutes(uint16_t value) { return value == 0xFFFF ? 0 : value; }

// Station times of a schedule for a train that takes it on now: on the next day of the week the train runs
// (today included; no such day within 14 days leaves today), a time more than 12 hours past being tomorrow's.
TrainStationTime StationTimesFrom(const Corvane3Data& store, const TrainData& data) {
  const int32_t clock = store.GetSimClock();
  int32_t day = store.GetSimDay();
  for (int ahead = 0; ahead < 14; ++ahead) {
    if (data.Days[(day + ahead) % 7] != 0) {
      day += ahead;
      break;
    }
  }
  TrainStationTime times;
  for (int k = 0; k < kTrainStations; ++k) {
    times.Times[k] = -1;
    if (data.Stations[k].Minutes == 0xFFFF) continue;
    int32_t time = 60 * data.Stations[k].Minutes + kSecondsPerDay * day;
    if (store.LoadedTrackVersion >= 30 && time < clock - kCrewShift) time += kSecondsPerDay;
    times.Times[k] = time;
  }
  return times;
}

// The platform of a block where a train with these station times and stops still has to stop, or -1.
int DuePlatform(const Corvane3Data& store, int block, const TrainStationTime& times, const TrainStop& stops) {
  if (!ValidBlock(block)) return -1;
  const std::string name(FieldText(store.GetBlockData(block).PlatformName));
  if (name.empty()) return -1;
  const int platform = store.FindPlatformData(name);
  if (!ValidPlatform(platform)) return -1;
  return times.Times[platform] != -1 && stops.Stops[platform] == 0 ? platform : -1;
}

// The schedule becomes or splits at this block: its work area or platform is the named place.
bool ChangePlaceHere(const Corvane3Data& store, const TrainData& data, int block) {
  if (!ValidBlock(block) || (data.BecomesTrain == -1 && data.SplitTrain == -1)) return false;
  const std::string place(FieldText(data.ChangePlaceName));
  if (place.empty()) return false;
  const BlockData here = store.GetBlockData(block);
  if (data.ChangePlaceKind == 'A') return place == FieldText(here.AreaName);
  if (data.ChangePlaceKind == 'P') return place == FieldText(here.PlatformName);
  return false;
}

// A stopped train moves on at the speed already in `status`: its next head
// event from where it stands, then its rear.
void MoveOnAtSpeed(Engine& engine, int train, TrainStatus& status, int32_t clock) {
  Corvane3Data& store = engine.Store();
  status.State = TrainState::Moving;
  store.UpdateTrainStatus(train, status);
  const Engine::BlockEvent event = engine.ComputeBlockEvent(status.HeadBlock, train, 0, 0);
  status.Reason = static_cast<uint8_t>(event.Code);
  const int32_t distance = Gap(event.Point, status.HeadPosition);
  if (distance != 0) {
    status.HeadEventTime = TimeAfter(clock, engine.TravelTime(status.Speed, distance));
    status.PreviousHeadPosition = status.HeadPosition;
    status.HeadPosition = event.Point;
  }
  store.UpdateTrainStatus(train, status);
  engine.UpdateTrainRear(train, clock, 0);
}

// Crew expiry for a train taking on a schedule: kept when the schedule gives no crew minutes.
int32_t CrewExpiryFor(const TrainData& data, int32_t kept, int32_t clock) {
  return data.CrewMinutesWorked == 0 ? kept : clock + kCrewShift - 60 * data.CrewMinutesWorked;
}

}  // namespace

// ---------------------------------------------------------------- shared steps

void Engine::RestartTrain(int train) {
  Corvane3Data& store = Store();
  TrainStatus status = store.GetTrainStatus(train);
  if (!ValidBlock(status.HeadBlock)) return;
  const int32_t clock = store.GetSimClock();
  status.Speed = RestartSpeed(train);
  MoveOnAtSpeed(*this, train, status, clock);
}

bool Engine::ApplyCrewChange(int train) {
  Corvane3Data& store = Store();
  TrainStatus status = store.GetTrainStatus(train);
  if (status.CrewChangeOrdered != 1) return false;
  const int32_t relief =
      ValidBlock(status.HeadBlock)
          ? TimeAfter(status.CrewReadyTime, int64_t{store.GetBlockData(status.HeadBlock).CrewReliefMinutes} * 60)
          : status.CrewReadyTime;
  if (status.HeadEventTime < relief) {
    // The relief crew is not there yet.
    status.HeadEventTime = relief;
    status.State = TrainState::Stopped;
    status.Reason = StopReason::CrewChange;
    status.WaitStart = -1;
    status.Speed = 0;
  } else {
    NewCrew(status, store.GetSimClock());
  }
  store.UpdateTrainStatus(train, status);
  return true;
}

// ---------------------------------------------------------------- running trains that stop

void Engine::DispatcherStop(int train) {
  if (!ValidTrain(train)) return Store().InternalErrorTrap(train, "Train index error - DispatcherStop"), void();
  TrainStatus status = Store().GetTrainStatus(train);
  status.HeadEventTime = TimeAfter(status.HeadEventTime, 30);
  status.WaitStart = Store().GetSimClock();
  StandardStop(*this, status, train, StopReason::DispatcherRequest);
}

void Engine::StopToThrowSwitch(int train) {
  if (!ValidTrain(train)) return Store().InternalErrorTrap(train, "Train index error - StopToThrowSwitch"), void();
  TrainStatus status = Store().GetTrainStatus(train);
  const bool wasStopped = status.State == TrainState::Stopped;
  status.HeadEventTime = TimeAfter(status.HeadEventTime, 300);
  status.WaitStart = Store().GetSimClock();
  StandardStop(*this, status, train, StopReason::AfterSwitchThrow);
  // The rear is brought up even for a train that was standing.
  if (wasStopped) UpdateTrainRear(train, Store().GetSimClock(), 0);
}

void Engine::StopAndReverse(int train) {
  if (!ValidTrain(train)) return Store().InternalErrorTrap(train, "Train index error - StopAndReverse"), void();
  TrainStatus status = Store().GetTrainStatus(train);
  status.HeadEventTime = TimeAfter(status.HeadEventTime, 30);
  status.WaitStart = Store().GetSimClock();
  status.StopAndReverse = 0;
  StandardStop(*this, status, train, StopReason::WaitSignal);
  ReverseTrain(train);
  ApplyCrewChange(train);
}

void Engine::DetectorCheck(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) return store.InternalErrorTrap(train, "Train index error - DetectorCheck"), void();
  TrainStatus status = store.GetTrainStatus(train);
  const bool wasStopped = status.State == TrainState::Stopped;
  if (status.Speed != 0) status.SpeedBeforeStop = status.Speed;
  status.Speed = 0;
  status.PreviousHeadPosition = status.HeadPosition;
  status.State = TrainState::Stopped;
  status.Reason = StopReason::DetectorProblem;
  const int detector = status.Detector;
  const bool known = detector >= 0 && detector < kMaxDetectors;
  const DetectorData data = known ? store.GetDetectorData(detector) : DetectorData{};
  if (known && data.RaisesAlarm == 1) {
    status.HeadEventTime = TimeAfter(status.HeadEventTime, data.AlarmCheckMinutes * 60);
    status.Reason = StopReason::DetectorAlarm;
  } else if (known) {
    status.HeadEventTime = TimeAfter(status.HeadEventTime, data.RepairMinutes * 60);
  }
  store.UpdateTrainStatus(train, status);
  if (known) {
    const std::string id(FieldText(status.TrainId));
    const std::string description(FieldText(data.Description));
    const std::string until = TimeOfDay(status.HeadEventTime);
    RaiseAlert(data.RaisesAlarm == 1 ? alert_kind::kDetectorAlarm : alert_kind::kDetectorProblem, id.c_str(),
               description.c_str(), until.c_str());
  }
  if (!wasStopped) UpdateTrainRear(train, store.GetSimClock(), 0);
  if (ValidBlock(status.HeadBlock)) store.InvalidateDevice(status.HeadBlock);
}

void Engine::LocomotiveProblem(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) return store.InternalErrorTrap(train, "Train index error - LocomotiveProblem"), void();
  TrainStatus status = store.GetTrainStatus(train);
  if (!ValidBlock(status.HeadBlock)) return;
  const int32_t clock = store.GetSimClock();
  status.LocoProblemHere = 0;
  status.LocoProblem = 6;
  // Without a top speed for the type, the train's own speed is what the problem cuts.
  int top = ValidType(status.Type) ? store.GetTrainType(status.Type).TopSpeed : -1;
  if (top <= 0) top = status.Speed;
  const int cap = top * (40 + Random().Next(40)) / 100;
  status.SpeedCap = static_cast<int16_t>(cap);
  if (status.Speed > cap) status.Speed = static_cast<int16_t>(cap);
  MoveOnAtSpeed(*this, train, status, clock);
  const std::string id(FieldText(status.TrainId));
  const std::string speed = std::to_string(cap);
  RaiseAlert(alert_kind::kLocoProblem, id.c_str(), speed.c_str());
}

void Engine::BrokenHose(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) return store.InternalErrorTrap(train, "Train index error - BrokenHose"), void();
  TrainStatus status = store.GetTrainStatus(train);
  status.HeadEventTime = TimeAfter(status.HeadEventTime, (20 + Random().Next(20)) * 60);
  status.WaitStart = store.GetSimClock();
  StandardStop(*this, status, train, StopReason::BrokenHose);
  const std::string id(FieldText(status.TrainId));
  const std::string until = TimeOfDay(status.HeadEventTime);
  RaiseAlert(alert_kind::kTrainProblem, id.c_str(), TrainText::BrokenHose, until.c_str());
}

void Engine::ArriveAtPlatform(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) return store.InternalErrorTrap(train, "Train index error - ArriveAtPlatform"), void();
  TrainStatus status = store.GetTrainStatus(train);
  const int32_t clock = store.GetSimClock();
  const bool wasStopped = status.State == TrainState::Stopped;
  const TrainData data = ValidSchedule(status.TrainIndex) ? store.GetTrainData(status.TrainIndex) : TrainData{};
  const BlockData head = ValidBlock(status.HeadBlock) ? store.GetBlockData(status.HeadBlock) : BlockData{};
  status.State = TrainState::Stopped;
  if (status.Speed != 0) status.SpeedBeforeStop = status.Speed;
  status.Speed = 0;
  const int32_t arrival = status.HeadEventTime;
  int32_t departure = 0;

  if (ValidPlatform(status.Platform)) {
    const int platform = status.Platform;
    const int32_t earliest = TimeAfter(arrival, data.Stations[platform].DwellSeconds);
    const int32_t scheduled = store.GetTrainStationTime(train).Times[platform];
    if (scheduled < earliest) {
      const int64_t late = int64_t{earliest} - scheduled;
      if (late > store.GetAlertData().LateArrivalMinutes * 60) {
        PerformStatus perform = store.GetPerformStatus();
        perform.LateTime = ClampedSum(perform.LateTime, late);
        ++perform.LateDepartures;
        store.FormatPerformanceLine(perform);
        status.TotalLateDeparture = ClampedSum(status.TotalLateDeparture, late);
        ++status.LateDepartures;
        const std::string id(FieldText(status.TrainId));
        const std::string name(FieldText(store.GetPlatformData(platform).Name));
        RaiseAlert(alert_kind::kLateArrival, id.c_str(), name.c_str());
      }
      departure = earliest;
    } else if (scheduled > 0) {
      departure = scheduled;
    }
    status.Reason = StopReason::Platform;
  }
  if (status.BecomeDue != -1) {
    const int32_t ready = TimeAfter(arrival, data.BecomeMinutes * 60);
    if (ready > departure) {
      departure = ready;
      status.Reason = StopReason::BecomeOrSplit;
    }
  }
  if (status.CrewChangeOrdered == 1) {
    const int64_t reliefSeconds = int64_t{head.CrewReliefMinutes} * 60;
    const int32_t relief = TimeAfter(status.CrewReadyTime, reliefSeconds);
    if (relief > departure) {
      departure = std::max(relief, TimeAfter(clock, reliefSeconds));
      status.Reason = StopReason::CrewChange;
    } else {
      // The relief crew is there already; the order itself closes when the train departs.
      status.CrewExpiry = TimeAfter(status.CrewOnDuty != -1 ? status.CrewOnDuty : clock, kCrewShift);
      status.CrewChangeLocation = -1;
      status.CrewReadyTime = -1;
      status.CrewExpiredHandled = 0;
    }
  }
  if (status.Reason == StopReason::CrewChange && status.LocalWorkDue != 0 && status.LocalWorkIndex < kTrainLocalWork) {
    const int32_t done = TimeAfter(arrival, Minutes(data.LocalWork[status.LocalWorkIndex].Minutes) * 60);
    departure = std::max(departure, done);
    status.Reason = StopReason::LocalWork;
  }

  status.HeadEventTime = departure;
  status.PreviousHeadPosition = status.HeadPosition;
  store.UpdateTrainStatus(train, status);
  if (!wasStopped) UpdateTrainRear(train, clock, 0);
  if (ValidBlock(status.HeadBlock)) store.InvalidateDevice(status.HeadBlock);
}

// ---------------------------------------------------------------- stopped trains whose time has come

void Engine::DetectorAlarmCheck(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) return store.InternalErrorTrap(train, "Train index error - DetectorAlarmCheck"), void();
  TrainStatus status = store.GetTrainStatus(train);
  const int detector = status.Detector;
  const bool known = detector >= 0 && detector < kMaxDetectors;
  const int r = Random().Next(99);
  status.Reason = StopReason::DetectorProblem;
  if (known && r >= store.GetRandomData().FalseAlarmPercent[detector]) {
    // A real problem: the crew fixes it.
    const DetectorData data = store.GetDetectorData(detector);
    status.HeadEventTime = TimeAfter(status.HeadEventTime, data.RepairMinutes * 60);
    store.UpdateTrainStatus(train, status);
    const std::string id(FieldText(status.TrainId));
    const std::string description(FieldText(data.Description));
    const std::string until = TimeOfDay(status.HeadEventTime);
    RaiseAlert(alert_kind::kDetectorProblem, id.c_str(), description.c_str(), until.c_str());
    return;
  }
  // A false alarm: the train restarts at its next event.
  store.UpdateTrainStatus(train, status);
}

void Engine::RestartAfterProblem(int train) {
  if (!ValidTrain(train)) return Store().InternalErrorTrap(train, "Train index error - RestartAfterProblem"), void();
  TrainStatus status = Store().GetTrainStatus(train);
  status.Detector = -1;
  Store().UpdateTrainStatus(train, status);
  RestartTrain(train);
}

void Engine::RestartAfterBrokenHose(int train) {
  if (!ValidTrain(train)) return Store().InternalErrorTrap(train, "Train index error - RestartAfterBrokenHose"), void();
  TrainStatus status = Store().GetTrainStatus(train);
  status.BrokenHoseHere = 0;
  status.TrainProblem = 6;
  Store().UpdateTrainStatus(train, status);
  RestartTrain(train);
}

void Engine::RestartAfterDerailment(int train) {
  if (!ValidTrain(train)) return Store().InternalErrorTrap(train, "Train index error - RestartAfterDerailment"), void();
  RestartTrain(train);
}

void Engine::FinishLocalWork(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) return store.InternalErrorTrap(train, "Train index error - FinishLocalWork"), void();
  TrainStatus status = store.GetTrainStatus(train);
  const int32_t clock = store.GetSimClock();
  const TrainData data = ValidSchedule(status.TrainIndex) ? store.GetTrainData(status.TrainIndex) : TrainData{};
  const int entry = status.LocalWorkIndex;
  status.LocalWorkDue = 0;
  status.State = TrainState::Stopped;
  status.Reason = StopReason::WaitSignal;
  status.HeadEventTime = status.WaitStart = status.StandingSince = clock;
  if (status.LocalWorkIndex < kTrainLocalWork) ++status.LocalWorkIndex;
  status.LastLocalWorkBlock = status.HeadBlock;
  store.UpdateTrainStatus(train, status);

  if (entry < kTrainLocalWork && ValidSchedule(status.TrainIndex)) {
    const TrainLocalWork work = data.LocalWork[entry];
    if (status.HeadDirection != work.DirectionAfter && ReverseTrainQuiet(train, 0) == 1) {
      status = store.GetTrainStatus(train);
      if (status.Reversing == 1) {
        status.Reversing = 0;
        store.UpdateTrainStatus(train, status);
      }
    }
    if (work.NewLength != -1) {
      // The train can be no longer than the track it stands on.
      status = store.GetTrainStatus(train);
      int32_t room = 0;
      if (ValidBlock(status.RearBlock)) {
        room = store.GetBlockData(status.RearBlock).Length;
        if (ValidBlock(status.HeadBlock))
          room += SumBlockLengths(status.HeadDirection == 1 ? 0 : 1, status.HeadBlock, status.RearBlock);
      }
      status.Length = std::min<int32_t>(work.NewLength, room);
      store.UpdateTrainStatus(train, status);
    }
  }

  if (ApplyCrewChange(train)) return;
  status = store.GetTrainStatus(train);
  if (store.GetOptionData().CrewExpirationActive == 1 && status.CrewExpiry < clock) {
    if (status.Speed != 0) status.SpeedBeforeStop = status.Speed;
    status.Speed = 0;
    status.State = TrainState::Stopped;
    status.Reason = StopReason::CrewTimeExpired;
    status.HeadEventTime = -1;
    status.WaitStart = status.StandingSince = clock;
    status.CrewExpiredHandled = 1;
    store.UpdateTrainStatus(train, status);
    const std::string id(FieldText(status.TrainId));
    RaiseAlert(alert_kind::kCrewExpired, id.c_str());
  }
}

void Engine::StopAtPlatform(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) return store.InternalErrorTrap(train, "Train index error - StopAtPlatform"), void();
  TrainStatus status = store.GetTrainStatus(train);
  const int32_t clock = store.GetSimClock();
  status.Speed = RestartSpeed(train);
  status.State = TrainState::Moving;
  if (status.Platform != -1) {
    const int platform = status.Platform;
    status.Platform = -1;
    status.Reason = StopReason::WaitSignal;
    if (ValidPlatform(platform)) {
      TrainStop stops = store.GetTrainStop(train);
      stops.Stops[platform] = 1;
      store.UpdateTrainStop(train, stops);
    }
    store.UpdateTrainStatus(train, status);
    if (ValidPlatform(platform) && store.Lists().IsPlatformWindowOpen(platform))
      store.Lists().RefreshPlatformWindow(platform);
  }
  if (status.CrewChangeOrdered == 1) {
    NewCrew(status, clock);
    store.UpdateTrainStatus(train, status);
  }

  if (status.BecomeDue != -1) {
    status.BecomeDue = -1;
    store.UpdateTrainStatus(train, status);
    const TrainData parentData = ValidSchedule(status.TrainIndex) ? store.GetTrainData(status.TrainIndex) : TrainData{};
    const bool becomes = ValidSchedule(parentData.BecomesTrain);
    if (becomes) {
      status = BecomeTrain(train, parentData.BecomesTrain);
    }
    if (ValidSchedule(parentData.SplitTrain)) SplitTrain(train, parentData.SplitTrain, becomes);
    status = store.GetTrainStatus(train);
  }

  if (status.State != TrainState::Moving) return;  // turned for its new schedule: it starts from its stop
  const BlockEvent event = ValidBlock(status.HeadBlock) ? ComputeBlockEvent(status.HeadBlock, train, 0, 0)
                                                        : BlockEvent{HeadEvent::Running, status.HeadPosition};
  status.Reason = static_cast<uint8_t>(event.Code);
  status.HeadEventTime = clock;
  const int32_t distance = Gap(event.Point, status.HeadPosition);
  if (distance != 0) {
    status.HeadEventTime = TimeAfter(status.HeadEventTime, TravelTime(status.Speed, distance));
    status.PreviousHeadPosition = status.HeadPosition;
    status.HeadPosition = event.Point;
  }
  store.UpdateTrainStatus(train, status);
  UpdateTrainRear(train, clock, 0);
}

// ---------------------------------------------------------------- becoming and splitting

TrainStatus Engine::BecomeTrain(int train, int schedule) {
  Corvane3Data& store = Store();
  const int32_t clock = store.GetSimClock();
  TrainStatus status = store.GetTrainStatus(train);
  const TrainData data = store.GetTrainData(schedule);

  // The old identity stays in the lists as a train that became another; with no slot free it is not kept.
  const int copySlot = store.FindFreeTrainStatus();
  if (copySlot >= 0) {
    TrainStatus copy = status;
    copy.State = TrainState::Became;
    copy.HeadEventTime = -1;
    copy.HeadBlock = -1;
    store.UpdateTrainStatus(copySlot, copy, 1);
    RelinkOSHits(train, copySlot);
  }

  status.TotalStopTime = status.TotalLostTime = status.TotalLateDeparture = status.Distance = 0;
  status.LateDepartures = status.Word156 = status.MissedExits = 0;
  status.MultipleIndex = 0;
  status.LocalWorkIndex = 0;
  status.TrainIndex = static_cast<int16_t>(schedule);
  SetFieldText(status.TrainId, FieldText(data.TrainId));
  SetFieldText(status.Entrance, FieldText(data.Entrance));
  SetFieldText(status.Exit, FieldText(data.Exit));
  status.Type = data.Type;
  status.Length = data.Length;
  const bool typed = ValidType(data.Type);
  status.ReverseSpeed = typed ? store.GetTrainType(data.Type).ReverseSpeed : int16_t{-1};
  status.SpeedCap = typed ? store.GetTrainType(data.Type).TopSpeed : int16_t{-1};
  status.Byte29 = 0;
  status.MultipleAdvancePending = 0;
  status.CrewExpiry = CrewExpiryFor(data, status.CrewExpiry, clock);
  store.UpdateTrainStatus(train, status);

  TrainStop stops = store.GetTrainStop(train);
  for (auto& stop : stops.Stops) stop = 0;
  store.UpdateTrainStop(train, stops);
  const TrainStationTime times = StationTimesFrom(store, data);
  store.UpdateTrainStationTime(train, times);

  if (data.EntryDirection != status.HeadDirection) {
    // It leaves the other way: stopped, turned, and started from its stop.
    status.State = TrainState::Stopped;
    status.Reason = StopReason::WaitSignal;
    store.UpdateTrainStatus(train, status);
    ReverseTrainQuiet(train, 0);
    status = store.GetTrainStatus(train);
  }
  const int platform = DuePlatform(store, status.HeadBlock, times, stops);
  if (platform >= 0) status.Platform = static_cast<int16_t>(platform);
  if (ChangePlaceHere(store, data, status.HeadBlock)) status.BecomeDue = 1;
  store.UpdateTrainStatus(train, status);
  return status;
}

void Engine::SplitTrain(int train, int schedule, bool parentBecame) {
  Corvane3Data& store = Store();
  const int32_t clock = store.GetSimClock();
  const int slot = store.FindFreeTrainStatus();
  if (slot < 0) return;
  const TrainData data = store.GetTrainData(schedule);
  TrainStatus parent = store.GetTrainStatus(train);
  const TrainStatus parentBefore = parent;
  const int oldRear = parent.RearBlock;
  const uint8_t oldRearDirection = parent.RearDirection;

  if (!parentBecame && parent.Length - data.Length > 100) parent.Length -= data.Length;
  store.UpdateTrainStatus(train, parent);
  const TrainExtent extent = GetTrainHeadPosition(train);
  const int rear = ValidBlock(extent.RearBlock) ? extent.RearBlock : parent.HeadBlock;
  if (!ValidBlock(rear) || !ValidBlock(oldRear)) {
    store.UpdateTrainStatus(train, parentBefore);
    return;
  }
  BlockStatus rearStatus = store.GetBlockStatus(rear);
  if (CountTrains(rearStatus) >= kBlockTrainSlots) {
    // No room in the block for one more train: the split does not happen.
    store.UpdateTrainStatus(train, parentBefore);
    return;
  }
  parent.RearBlock = static_cast<int16_t>(rear);
  parent.RearDirection = extent.RearDirection;
  store.UpdateTrainStatus(train, parent);

  TrainStatus split = store.GetTrainStatus(slot);
  split.InUse = 1;
  split.TrainIndex = static_cast<int16_t>(schedule);
  split.State = TrainState::Stopped;
  split.Reason = StopReason::WaitSignal;
  SetFieldText(split.TrainId, FieldText(data.TrainId));
  split.Type = data.Type;
  split.Length = data.Length;
  SetFieldText(split.Entrance, FieldText(data.Entrance));
  SetFieldText(split.Exit, FieldText(data.Exit));
  split.HeadEventTime = clock + 30;
  split.Speed = 0;
  split.ScheduledEntry = clock;
  const bool typed = ValidType(data.Type);
  split.ReverseSpeed = typed ? store.GetTrainType(data.Type).ReverseSpeed : int16_t{-1};
  split.SpeedCap = typed ? store.GetTrainType(data.Type).TopSpeed : int16_t{-1};
  split.CrewExpiry = CrewExpiryFor(data, parent.CrewExpiry, clock);
  split.HeadBlock = static_cast<int16_t>(rear);
  split.HeadPosition = split.PreviousHeadPosition = extent.RearPosition;
  split.HeadDirection = extent.RearDirection;
  split.RearBlock = static_cast<int16_t>(oldRear);
  split.RearDirection = oldRearDirection;
  const TrainStationTime times = StationTimesFrom(store, data);
  const int platform = DuePlatform(store, rear, times, store.GetTrainStop(slot));
  if (platform >= 0) {
    split.Platform = static_cast<int16_t>(platform);
    split.HeadEventTime = times.Times[platform];
    split.Reason = StopReason::Platform;
  }
  if (ChangePlaceHere(store, data, rear)) {
    split.BecomeDue = 1;
    split.HeadEventTime = clock + data.BecomeMinutes * 60;
    split.Reason = StopReason::Platform;
  }

  split.PerformancePercent = 100;
  if (typed) {
    const RandomData random = store.GetRandomData();
    const int late = random.LateStartPercent[data.Type];
    if (late != 0 && Random().Next(100) <= late) {
      const int hours = (RandomHalvingIndex(1000) >> 16) & 0xFFFF;
      split.HeadEventTime = TimeAfter(split.HeadEventTime, 3600 * hours + 60 * Random().Next(59));
    }
    const int spread = random.PerformanceSpread[data.Type];
    if (spread > 0) split.PerformancePercent = static_cast<int16_t>(100 + spread - Random().Next(2 * spread));
    if (Random().Next(100) < random.LocoProblemPercent[data.Type]) split.LocoProblem = 5;
    if (Random().Next(100) < random.TrainProblemPercent[data.Type]) split.TrainProblem = 5;
  }
  store.UpdateTrainStatus(slot, split, 1);
  store.UpdateTrainStationTime(slot, times);

  // Beside the parent in the block both stand in: behind it for a rear moving right, in its place otherwise.
  int at = FindSlot(rearStatus, train);
  if (at < 0) {
    at = CountTrains(rearStatus);
  } else if (extent.RearDirection == 1) {
    ++at;
  }
  for (int k = kBlockTrainSlots - 1; k > at; --k) rearStatus.Trains[k] = rearStatus.Trains[k - 1];
  rearStatus.Trains[at] = static_cast<uint16_t>(slot);
  store.UpdateBlockStatus(rear, rearStatus);
  store.InvalidateDevice(rear);

  // Behind its head, the blocks the parent's rear has left are the new train's.
  if (rear != oldRear) {
    DevicePath path;
    TraceDevicePath(split.HeadDirection == 1 ? 0 : 1, rear, path);
    for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
      const int block = path.Ids[i];
      if (!ValidBlock(block)) continue;
      if (store.GetBlockData(block).PassThrough != 1) {
        BlockStatus status = store.GetBlockStatus(block);
        const int k = FindSlot(status, train);
        if (k >= 0) {
          status.Trains[k] = static_cast<uint16_t>(slot);
          store.UpdateBlockStatus(block, status);
          store.InvalidateDevice(block);
        }
      }
      if (block == oldRear) break;
    }
  }

  PerformStatus perform = store.GetPerformStatus();
  ++perform.Trains;
  store.FormatPerformanceLine(perform);

  const int direction = split.HeadDirection == 1 ? 1 : 0;
  const bool turned = split.HeadDirection != data.EntryDirection && ReverseTrainQuiet(slot, 0) == 1;
  if (!turned && ExitSignal(store.GetBlockData(rear), direction) == -1)
    CheckRoute(direction, rear, 1, 1, kScreenRequest);
}
