// Train crews: the minute watch that warns two hours before a crew's time
// runs out and stops the train when it has, and the two pop-up commands that
// call a relief crew or move the place where the crew is changed.
#include <algorithm>
#include <string>

#include "engine/engine.h"
#include "engine/movement_common.h"
#include "engine/train_commands.h"
#include "store/alert_kinds.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/train_codes.h"

using namespace movement;
using namespace train_menu;

namespace {

using device::kPlatformPlaceBase;
inline constexpr int32_t kWarningSeconds = 7200;

// The crew change location is a block (below kPlatformPlaceBase) or kPlatformPlaceBase + a platform
// index; a platform is reached when the head block belongs to it by name.
bool AtCrewChangeLocation(const Corvane3Data& store, const TrainStatus& train) {
  const int location = train.CrewChangeLocation;
  if (location < 0 || !ValidBlock(train.HeadBlock)) return false;
  if (location < kPlatformPlaceBase) return location == train.HeadBlock;
  const int platform = location - kPlatformPlaceBase;
  if (platform >= kMaxPlatforms) return false;
  const PlatformData data = store.GetPlatformData(platform);
  const std::string name = FieldText(data.Name);
  // An unused platform slot must not match every block without a platform.
  if (data.InUse == 0 || name.empty()) return false;
  return FieldText(store.GetBlockData(train.HeadBlock).PlatformName) == name;
}

bool Watched(const TrainStatus& train) {
  return train.State == TrainState::Moving || train.State == TrainState::Stopped;
}

}  // namespace

void Engine::CheckCrewTimes() {
  Corvane3Data& store = Store();
  const bool on = store.GetOptionData().CrewExpirationActive == 1;
  if (!on) return;
  const int count = std::clamp(+store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  // Only trains still in the run are watched: the walk passes the slots of trains that left.
  for (int slot = store.NextLiveTrainSlot(-1); slot >= 0 && slot < count; slot = store.NextLiveTrainSlot(slot)) {
    TrainStatus train = store.GetTrainStatus(slot);
    if (train.InUse != 1) continue;
    const int32_t clock = store.GetSimClock();
    if (train.CrewExpiry < clock + kWarningSeconds && train.CrewWarningGiven == 0 && Watched(train)) {
      WarnCrewExpiry(slot);
      train = store.GetTrainStatus(slot);
    }
    if (train.MergePrevious == -1 && clock > train.CrewExpiry && train.Reason != StopReason::CrewTimeExpired &&
        Watched(train))
      ExpireCrew(slot);
  }
}

void Engine::WarnCrewExpiry(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - WarnCrewExpiry");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  status.CrewWarningGiven = 1;
  store.UpdateTrainStatus(train, status);
  const std::string at = FormatClockTime(((status.CrewExpiry % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
  const std::string name = FieldText(status.TrainId);
  RaiseAlert(alert_kind::kCrewTimeWarning, name.c_str(), at.c_str());
}

void Engine::ExpireCrew(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - ExpireCrew");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  if (status.CrewExpiredHandled == 1) return;
  // Waiting for the relief crew where it will come, or working: looked at again next minute.
  if (status.Reason == StopReason::CrewChange && AtCrewChangeLocation(store, status)) return;
  if (status.Reason == StopReason::LocalWork) return;

  const int32_t clock = store.GetSimClock();
  if (status.CrewChangeOrdered == 0) {
    const bool wasStopped = status.State == TrainState::Stopped;
    const TrainExtent extent = GetTrainHeadPosition(train);
    status = store.GetTrainStatus(train);
    if (ValidBlock(extent.HeadBlock)) status.HeadPosition = status.PreviousHeadPosition = extent.HeadPosition;
    status.State = TrainState::Stopped;
    status.Reason = StopReason::CrewTimeExpired;
    status.HeadEventTime = -1;
    // A train already standing keeps the speed it stopped from, for its restart.
    if (status.Speed != 0) status.SpeedBeforeStop = status.Speed;
    status.Speed = 0;
    status.WaitStart = status.StandingSince = clock;
    store.UpdateTrainStatus(train, status);
    if (!wasStopped) UpdateTrainRear(train, clock, 0);
    status = store.GetTrainStatus(train);
  }
  status.CrewExpiredHandled = 1;
  store.UpdateTrainStatus(train, status);
  const std::string name = FieldText(status.TrainId);
  RaiseAlert(alert_kind::kCrewExpired, name.c_str());
}

namespace {

// Step 1 of both crew commands: a train stopped by its expired crew gets its
// crew changed where it stands.
void ExpiredCrewHere(Corvane3Data& store, int train) {
  TrainStatus status = store.GetTrainStatus(train);
  if (status.Reason != StopReason::CrewTimeExpired) return;
  status.CrewChangeLocation = status.HeadBlock;
  store.UpdateTrainStatus(train, status);
}

// The crew change is under way; a train standing at the location waits there
// until the relief crew has come.
void OrderCrewChange(Corvane3Data& store, int train) {
  TrainStatus status = store.GetTrainStatus(train);
  if (status.InUse != 1 || !AtCrewChangeLocation(store, status)) return;
  status.CrewChangeOrdered = 1;
  if (status.State == TrainState::Stopped &&
      (status.Reason == StopReason::WaitSignal || status.Reason == StopReason::CrewTimeExpired)) {
    status.HeadEventTime =
        TimeAfter(status.CrewReadyTime, int64_t{store.GetBlockData(status.HeadBlock).CrewReliefMinutes} * 60);
    status.Reason = StopReason::CrewChange;
    status.WaitStart = -1;
  }
  store.UpdateTrainStatus(train, status);
}

}  // namespace

void Engine::CmTrainNewCrewLocation(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kNewCrewLocation);
  if (train < 0) return;
  ExpiredCrewHere(store, train);
  store.Dialogs().RunCrewChangeLocationDialog(train);
  OrderCrewChange(store, train);
  ClearStopStatus();
}

void Engine::CmTrainChangeCrew(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kChangeCrew);
  if (train < 0) return;
  ExpiredCrewHere(store, train);
  const int result = store.Dialogs().RunCrewCallDialog(train);
  TrainStatus status = store.GetTrainStatus(train);
  if (status.InUse != 1) {
    ClearStopStatus();
    return;
  }
  if (result != 1 || status.CrewChangeLocation == -1) {
    status.CrewChangeLocation = -1;
    store.UpdateTrainStatus(train, status);
    ClearStopStatus();
    return;
  }
  OrderCrewChange(store, train);
  ClearStopStatus();
}
