// The train state machine: each tick hands every train whose head event has
// come to the handler of its state, then moves the rears; and the handlers of
// the first states: entering the territory, waiting at a signal, waiting for a yard.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/movement_common.h"
#include "store/alert_kinds.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/train_codes.h"

using namespace movement;

namespace {

constexpr int kLowestEntryPriority = 8;

int RunningSlots(const Corvane3Data& store) {
  return std::clamp(+store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
}

// Trains the tick looks at: in use, the front of any merge chain, still on (or coming to) the territory.
bool Steppable(const TrainStatus& train) {
  return train.InUse == 1 && train.MergePrevious == -1 && train.State != TrainState::Gone &&
         train.State != TrainState::Became;
}

// The block an entering train may take from this location now, or -1.
int AcceptingBlock(Corvane3Data& store, const OrgData& org) {
  if (!ValidBlock(org.Block)) return -1;
  const BlockData& block = store.BlockDataRef(org.Block);
  const uint8_t signalled = org.Side == 1 ? block.SignalledLeft : block.SignalledRight;
  if (signalled == 0) return -1;
  const BlockStatus status = store.GetBlockStatus(org.Block);
  if (status.Occupancy != occupancy::kFree || status.PermitActive != 0) return -1;
  return org.Block;
}

}  // namespace

void Engine::StepTrains() {
  Corvane3Data& store = Store();
  const int slots = RunningSlots(store);
  // A slot is looked at when the walk reaches it: one a handler brings into the run further on is stepped too.
  for (int slot = store.NextLiveTrainSlot(-1); slot >= 0 && slot < slots; slot = store.NextLiveTrainSlot(slot)) {
    if (store.GetSimClock() < store.TrainHeadEventTime(slot)) continue;
    // Read before the handler changes the record.
    const TrainStatus& train = store.TrainStatusRef(slot);
    if (!Steppable(train)) continue;
    switch (train.State) {
      case TrainState::Scheduled:
        EnterTerritory(slot);
        break;
      case TrainState::Stopped:
        switch (train.Reason) {
          case StopReason::WaitYard:
            WaitYardPermission(slot);
            break;
          case StopReason::DetectorAlarm:
            DetectorAlarmCheck(slot);
            break;
          case StopReason::DetectorProblem:
            RestartAfterProblem(slot);
            break;
          case StopReason::Platform:
          case StopReason::BecomeOrSplit:
          case StopReason::CrewChange:
            StopAtPlatform(slot);
            break;
          case StopReason::BrokenHose:
            RestartAfterBrokenHose(slot);
            break;
          case StopReason::Derailment:
            RestartAfterDerailment(slot);
            break;
          case StopReason::LocalWork:
            FinishLocalWork(slot);
            break;
          case StopReason::CrewTimeExpired:
            break;  // stays until a crew command moves it
          default:
            WaitSignal(slot);
            break;
        }
        break;
      case TrainState::Starting:
        StartOrMoveTrain(slot);
        break;
      case TrainState::Moving:
        switch (train.Reason) {
          case HeadEvent::Running:
          case HeadEvent::ReverseSwitch:
            StartOrMoveTrain(slot);
            break;
          case HeadEvent::Detector:
            DetectorCheck(slot);
            break;
          case HeadEvent::PlatformStop:
          case HeadEvent::PlatformStopBecome:
            ArriveAtPlatform(slot);
            break;
          case HeadEvent::LocoProblem:
            LocomotiveProblem(slot);
            break;
          case HeadEvent::BrokenHose:
            BrokenHose(slot);
            break;
          case HeadEvent::DispatcherStop:
            DispatcherStop(slot);
            break;
          case HeadEvent::StopAndReverse:
            StopAndReverse(slot);
            break;
          case HeadEvent::ThrowSwitchByHand:
            StopToThrowSwitch(slot);
            break;
          default:
            break;  // 14 and unknown codes: nothing happens
        }
        break;
      default:
        break;
    }

    if (slot != Run().SelectedTrain) continue;
    // Follow the selected train: its status line, and its label cell kept in view while it runs.
    const TrainStatus now = store.GetTrainStatus(slot);
    store.Shell().ShowTrainStatusLine(slot);
    if (now.State == TrainState::Gone || now.State == TrainState::Scheduled || now.State == TrainState::Leaving ||
        now.Speed == 0 || !ValidBlock(now.HeadBlock))
      continue;
    const BlockStatus head = store.GetBlockStatus(now.HeadBlock);
    const int x = now.HeadDirection == 1 ? +head.RightLabelX : +head.LeftLabelX;
    const int y = now.HeadDirection == 1 ? +head.RightLabelY : +head.LeftLabelY;
    if (!store.Shell().IsCellVisible(x, y)) store.Shell().ScrollCellIntoView(x, y);
    store.Shell().PlaceCursorOnCell(x, y);
  }
}

void Engine::AdvanceMovingTrains() {
  Corvane3Data& store = Store();
  const int slots = RunningSlots(store);
  // Only slots with a rear event to come: a train standing or waiting to enter has none.
  for (int slot = store.NextRearEventTrainSlot(-1); slot >= 0 && slot < slots;
       slot = store.NextRearEventTrainSlot(slot)) {
    if (store.GetSimClock() < store.TrainRearEventTime(slot)) continue;
    const TrainStatus& train = store.TrainStatusRef(slot);
    if (!Steppable(train)) continue;
    if (train.State == TrainState::Moving || train.State == TrainState::Leaving ||
        train.State == TrainState::ToWorkArea)
      MoveTrain(slot);
  }
}

void Engine::EnterTerritory(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - EnterTerritory");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  const int32_t clock = store.GetSimClock();
  const std::string entrance(FieldText(status.Entrance));

  // The first accepting location of that name, lower priority numbers (0-8) first: one pass keeps the
  // lowest priority found so far, and the first location of it.
  int location = -1;
  int block = -1;
  int best = kLowestEntryPriority + 1;
  // A train that cannot get in retries every five minutes for as long as it waits: its entrance's
  // locations are known by name, read in place.
  const std::vector<int> none;
  const std::vector<int>& named = entrance.empty() ? none : store.LocationsNamed(entrance);
  for (size_t k = 0; k < named.size() && best > 0; ++k) {
    const int i = named[k];
    const OrgData& org = store.OrgDataRef(i);
    if (org.Priority < 0 || org.Priority >= best) continue;
    const int accepting = AcceptingBlock(store, org);
    if (accepting < 0) continue;
    best = org.Priority;
    location = i;
    block = accepting;
  }
  if (location < 0) {
    status.HeadEventTime += 300;
    store.UpdateTrainStatus(train, status);
    return;
  }
  const OrgData org = store.GetOrgData(location);

  if (org.PermissionRequired == 1 && store.OptionDataRef().PermissionToEnterActive == 1) {
    if (status.EntryGranted == 0) {
      if (status.EntryDialogOpen == 0) {
        store.Dialogs().CloseTrainEntryDialog(train);
        store.Dialogs().OpenTrainEntryDialog(train, location);
      } else {
        store.Dialogs().FocusTrainEntryDialog(train);
      }
      // The window marks the record when it opens: keep that mark.
      status = store.GetTrainStatus(train);
      status.HeadEventTime += 900;
      store.UpdateTrainStatus(train, status);
      return;
    }
    store.Dialogs().CloseTrainEntryDialog(train);
  }

  if ((org.Side == 0 && status.HeadDirection == 0) || (org.Side == 1 && status.HeadDirection == 1)) {
    status.HeadDirection = status.HeadDirection == 1 ? 0 : 1;
    if (ValidType(status.Type) && store.TrainTypeRef(status.Type).DualCab == 0) status.Reversing = 1;
  }
  const int direction = status.HeadDirection == 1 ? 1 : 0;
  if (ExitSignal(store.BlockDataRef(block), direction) == -1) CheckRoute(direction, block, 1, 1, kScreenRequest);

  status.EntryGranted = 0;
  store.UpdateTrainStatus(train, status);
  BlockStatus entered = store.GetBlockStatus(block);
  const int16_t occupancyBefore = entered.Occupancy;
  entered.Occupancy = static_cast<int16_t>(occupancy::Cleared(direction));
  store.UpdateBlockStatus(block, entered);

  EnterNextBlock(train, block, 0, clock);
  if (store.TrainStatusRef(train).HeadBlock != block) {
    // The head could not be placed: the train has not arrived. Give the block back and try again later.
    entered = store.GetBlockStatus(block);
    entered.Occupancy = occupancyBefore;
    store.UpdateBlockStatus(block, entered);
    status = store.GetTrainStatus(train);
    status.HeadEventTime = clock + 300;
    store.UpdateTrainStatus(train, status);
    return;
  }

  const std::string id(FieldText(status.TrainId));
  RaiseAlert(alert_kind::kTrainArrived, id.c_str(), entrance.c_str());
  PerformStatus perform = store.GetPerformStatus();
  ++perform.Trains;
  store.FormatPerformanceLine(perform);
}

namespace {

// Standing where it is: the speed saved, the wait counted on, looked at again in 30 s.
void HoldAtSignal(Engine& engine, TrainStatus& status, int train, uint8_t reason) {
  Corvane3Data& store = engine.Store();
  const bool wasStopped = status.State == TrainState::Stopped;
  const int32_t oldEvent = status.HeadEventTime;
  if (status.Speed != 0) status.SpeedBeforeStop = status.Speed;
  status.Speed = 0;
  status.HeadEventTime += 30;
  status.State = TrainState::Stopped;
  status.Reason = reason;
  status.PreviousHeadPosition = status.HeadPosition;
  store.UpdateTrainStatus(train, status);
  if (!wasStopped) engine.UpdateTrainRear(train, oldEvent, 0);
}

// The train starts after its type's start-up time (and, for some types, a random extra wait).
void StartAfterStartup(Engine& engine, TrainStatus& status, int train, bool resetWait) {
  Corvane3Data& store = engine.Store();
  status.State = TrainState::Starting;
  if (resetWait) status.WaitStart = -1;
  status.HeadEventTime = store.GetSimClock();
  if (ValidType(status.Type)) {
    status.HeadEventTime += store.TrainTypeRef(status.Type).StartupSeconds;
    if (store.GetRandomData().Bytes60[status.Type] == 1)
      status.HeadEventTime += 15 * ((engine.RandomHalvingIndex(1000) >> 16) & 0xFFFF);
  }
  store.UpdateTrainStatus(train, status);
}

}  // namespace

void Engine::WaitSignal(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - WaitSignal");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  if (status.DispatcherStop == 1) {
    HoldAtSignal(*this, status, train, StopReason::DispatcherRequest);
    return;
  }
  const HeadCheck check = CheckHeadInBlock(train);
  if (check.Code == 2) {
    HoldAtSignal(*this, status, train, StopReason::WaitSignal);
    return;
  }
  if (check.Code == 1) {
    StartAfterStartup(*this, status, train, true);
    return;
  }
  // At the end of its block: the way ahead decides.
  const int direction = status.HeadDirection == 1 ? 1 : 0;
  if (ValidBlock(status.HeadBlock)) {
    const BlockData& head = store.BlockDataRef(status.HeadBlock);
    if ((direction == 0 ? head.LeftNeighbour : head.RightNeighbour) != -1) {
      DevicePath path;
      TraceDevicePath(direction, status.HeadBlock, path, {.UnclearedBlock = true});
      PathCheckResult result;
      CheckPathAhead(result, train, path.Ids, path.Dirs, 1, 1, 0);
      if (result.AllowedSpeed == 0) {
        status.Speed = 0;
        HoldAtSignal(*this, status, train,
                     result.WaitingForHelper == 1 ? StopReason::WaitHelper : StopReason::WaitSignal);
        return;
      }
    }
  }
  StartAfterStartup(*this, status, train, false);
}

void Engine::WaitYardPermission(int train) {
  Corvane3Data& store = Store();
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - WaitYardPermission");
    return;
  }
  TrainStatus status = store.GetTrainStatus(train);
  status.State = TrainState::Starting;
  status.Reason = HeadEvent::Running;
  status.WaitStart = -1;
  status.Speed = status.SpeedBeforeStop;
  store.UpdateTrainStatus(train, status);
}
