// The head of a train inside its block: how far it may run, where its next
// event lies, and the step into the next block.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "engine/movement_common.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/train_codes.h"

using namespace movement;

namespace {

// The rear of the train ahead in the block, when it bounds this train's run:
// its rear must lie in this block.
bool RearAhead(Engine& engine, int block, int train, int direction, int32_t& rearPosition) {
  const int ahead = TrainAhead(engine.Store().BlockStatusRef(block), train, direction);
  if (!ValidTrain(ahead) || ahead == train) return false;
  const Engine::TrainExtent extent = engine.GetTrainHeadPosition(ahead);
  if (extent.RearBlock != block) return false;
  rearPosition = extent.RearPosition;
  return true;
}

}  // namespace

Engine::HeadCheck Engine::CheckHeadInBlock(int train) {
  Corvane3Data& store = Store();
  HeadCheck check;
  if (!ValidTrain(train)) {
    store.InternalErrorTrap(train, "Train index error - CheckHeadInBlock");
    return check;
  }
  const TrainStatus& status = store.TrainStatusRef(train);
  if (!ValidBlock(status.HeadBlock)) return check;
  const int direction = status.HeadDirection == 1 ? 1 : 0;
  const int32_t low = direction == 0 ? 0 : store.BlockDataRef(status.HeadBlock).Length;
  int32_t limit = low;
  int32_t rear = 0;
  if (RearAhead(*this, status.HeadBlock, train, direction, rear) && (direction == 0 ? rear > limit : rear < limit))
    limit = rear;
  const int32_t position = status.HeadPosition;
  check.Code = position == low ? 0 : position == limit ? 2 : 1;
  check.Distance = Gap(position, limit);
  check.Limit = limit;
  return check;
}

Engine::BlockEvent Engine::ComputeBlockEvent(int block, int train, uint8_t switchLimited, uint8_t restrictedSwitch) {
  Corvane3Data& store = Store();
  BlockEvent event;
  if (!ValidTrain(train) || !ValidBlock(block)) {
    store.InternalErrorTrap(ValidTrain(train) ? block : train, "Index error - ComputeBlockEvent");
    return event;
  }
  const TrainStatus& status = store.TrainStatusRef(train);
  const int32_t length = store.BlockDataRef(block).Length;
  const int32_t trainLength = status.Length;
  const int32_t position = status.HeadPosition;
  const bool stopHere = status.CrewChangeOrdered == 1 || status.BecomeDue != -1;
  const int direction = status.HeadDirection == 1 ? 1 : 0;

  if (direction == 0) {
    event.Point = 0;
    if (status.LocoProblemHere == 1) {
      event = {HeadEvent::LocoProblem, length * 4 / 5};
    } else if (status.BrokenHoseHere == 1) {
      event = {HeadEvent::BrokenHose, length * 3 / 4};
    } else if (status.Platform != -1) {
      event = {HeadEvent::PlatformStop, std::max<int32_t>(length / 2 - trainLength / 2, 0)};
    } else if (status.Detector != -1) {
      event = {HeadEvent::Detector, length / 4};
    } else if (stopHere) {
      event = {HeadEvent::PlatformStop, 0};
    }
    if (position < event.Point) event.Point = position;
  } else {
    event.Point = length;
    if (status.Detector != -1) {
      event = {HeadEvent::Detector, length / 4};
    } else if (status.Platform != -1) {
      event = {HeadEvent::PlatformStop, std::min<int32_t>(length / 2 + trainLength / 2, length)};
    } else if (status.LocoProblemHere == 1) {
      event = {HeadEvent::LocoProblem, length * 3 / 4};
    } else if (status.BrokenHoseHere == 1) {
      event = {HeadEvent::BrokenHose, length * 4 / 5};
    } else if (stopHere) {
      event = {HeadEvent::PlatformStop, length};
    }
    if (position > event.Point) event.Point = position;
  }

  int32_t rear = 0;
  if (RearAhead(*this, block, train, direction, rear) && (direction == 0 ? rear > event.Point : rear < event.Point))
    event = {HeadEvent::Running, rear};

  if (switchLimited != 0 || restrictedSwitch != 0) {
    // The whole train must clear the switch at the block's start.
    if (direction == 0 && length - trainLength > event.Point) event.Point = length - trainLength;
    if (direction == 1 && trainLength < event.Point) event.Point = trainLength;
    event.Code = restrictedSwitch != 0 ? HeadEvent::ThrowSwitchByHand : HeadEvent::ReverseSwitch;
  }
  return event;
}

PathCheckResult Engine::EnterNextBlock(int train, int block, int firstEntry, int32_t timeBase) {
  Corvane3Data& store = Store();
  PathCheckResult result;
  result.AllowedSpeed = 0;
  if (!ValidTrain(train) || !ValidBlock(block)) {
    store.InternalErrorTrap(ValidTrain(train) ? block : train, "Index error - EnterNextBlock");
    return result;
  }
  const int32_t clock = store.GetSimClock();
  TrainStatus status = store.GetTrainStatus(train);
  const bool validData = status.TrainIndex >= 0 && status.TrainIndex < kMaxTrains;
  const TrainData& data = validData ? store.TrainDataRef(status.TrainIndex) : kNoTrainData;
  const BlockData& here = store.BlockDataRef(block);

  // Local work due in the block the head is leaving.
  bool work = false;
  int32_t workSeconds = 0;
  const std::string area(FieldText(here.AreaName));
  if (!area.empty() && status.LocalWorkIndex < kTrainLocalWork && status.LastLocalWorkBlock != block) {
    for (int k = status.LocalWorkIndex; validData && k < kTrainLocalWork; ++k) {
      if (FieldText(data.LocalWork[k].AreaName) != area) continue;
      status.LocalWorkIndex = static_cast<uint8_t>(k);
      workSeconds = (data.LocalWork[k].Minutes == 0xFFFF ? 0 : data.LocalWork[k].Minutes) * 60;
      work = true;
      break;
    }
    if (!work) status.LastLocalWorkBlock = -1;
  }

  DevicePath path;
  // The check stops at the first main block not cleared, unless it skips the entry after the start.
  TraceDevicePath(status.HeadDirection == 1 ? 1 : 0, block, path, {.UnclearedBlock = firstEntry <= 1});
  CheckPathAhead(result, train, path.Ids, path.Dirs, firstEntry, 1, 0);
  status.LocalWorkDue = 0;
  if (ValidBlock(result.NextBlock) && status.LocalWorkIndex < kTrainLocalWork && validData) {
    const std::string nextArea(FieldText(store.BlockDataRef(result.NextBlock).AreaName));
    if (!nextArea.empty() && nextArea == FieldText(data.LocalWork[status.LocalWorkIndex].AreaName))
      status.LocalWorkDue = 1;
  }

  if (work && status.LocalWorkDue == 0) {
    const int32_t elapsed = status.WaitStart == -1 ? 0 : clock - status.WaitStart;
    if (elapsed <= workSeconds) {
      result.StoppedForLocalWork = 1;
      const bool wasStopped = status.State == TrainState::Stopped;
      status.HeadEventTime = clock + workSeconds - elapsed;
      status.Speed = 0;
      status.State = TrainState::Stopped;
      status.Reason = StopReason::LocalWork;
      status.PreviousHeadPosition = status.HeadPosition;
      store.UpdateTrainStatus(train, status);
      if (!wasStopped) UpdateTrainRear(train, timeBase, 0);
      return result;
    }
    ++status.LocalWorkIndex;  // that work is done
  }

  const int next = result.NextBlock;
  // A block holds five trains at most: a full one is not entered, as at a red signal.
  if (result.AllowedSpeed != 0 && (!ValidBlock(next) || CountTrains(store.GetBlockStatus(next)) >= kBlockTrainSlots))
    result.AllowedSpeed = 0;
  if (result.AllowedSpeed == 0) {
    store.UpdateTrainStatus(train, status);
    return result;
  }

  if (result.SwitchLimited == 1 || result.RestrictedSwitch == 1) status.LimitBlock = result.StopBlock;
  status.State = TrainState::Moving;
  status.HeadBlock = static_cast<int16_t>(next);
  status.AspectSpeed = result.AspectSpeed;
  status.Speed = result.AllowedSpeed;
  status.Reason = HeadEvent::Running;
  status.Platform = -1;

  // What is due at the stop block: becoming or splitting, a platform stop, a crew change.
  const int stopBlock = ValidBlock(result.StopBlock) ? result.StopBlock : next;
  const BlockData& stop = store.BlockDataRef(stopBlock);
  const std::string stopArea(FieldText(stop.AreaName));
  const std::string stopPlatform(FieldText(stop.PlatformName));
  if (data.BecomesTrain != -1 || data.SplitTrain != -1) {
    const std::string place(FieldText(data.ChangePlaceName));
    if (!place.empty() &&
        ((data.ChangePlaceKind == 'A' && place == stopArea) || (data.ChangePlaceKind == 'P' && place == stopPlatform)))
      status.BecomeDue = 1;
  }
  int platform = -1;
  if (!stopPlatform.empty()) {
    platform = store.FindPlatformData(stopPlatform);
    if (platform >= 0 && platform < kTrainStations && store.GetTrainStop(train).Stops[platform] == 0 &&
        store.GetTrainStationTime(train).Times[platform] != -1)
      status.Platform = static_cast<int16_t>(platform);
  }
  if (store.OptionDataRef().CrewExpirationActive == 1 && status.CrewChangeLocation >= 0) {
    const int where = status.CrewChangeLocation;
    const bool match = where < device::kPlatformPlaceBase
                           ? where == result.StopBlock
                           : platform >= 0 && where - device::kPlatformPlaceBase == platform;
    status.CrewChangeOrdered = match ? 1 : 0;
  }

  // Wayside detectors: the first that finds something stops the train.
  status.Detector = -1;
  const RandomData random = store.GetRandomData();
  for (int k = 0; k < 3; ++k) {
    if (stop.DetectorNames[k][0] == '\0') continue;
    const int r = Random().Next(1000);
    const int detector = store.DetectorOfBlock(stopBlock, k);
    if (detector >= 0 && detector < kMaxDetectors && r < random.Values0[detector]) {
      status.Detector = static_cast<int16_t>(detector);
      break;
    }
  }
  if (ValidType(status.Type)) {
    if (status.LocoProblem == 5 && random.LocoProblemPercent[status.Type] != 0) {
      if (Random().Next(40) == 20) status.LocoProblemHere = 1;
    } else if (status.TrainProblem == 5 && random.TrainProblemPercent[status.Type] != 0) {
      if (Random().Next(40) == 20) status.BrokenHoseHere = 1;
    }
  }

  BlockStatus nextStatus = store.GetBlockStatus(next);
  const BlockData& nextData = store.BlockDataRef(next);
  if (result.NextBlockDirection != 0) {
    nextStatus.Occupancy = occupancy::kOccupiedRight;
    status.HeadDirection = 1;
    status.HeadPosition = status.PreviousHeadPosition = 0;
  } else {
    nextStatus.Occupancy = occupancy::kOccupiedLeft;
    status.HeadDirection = 0;
    status.HeadPosition = status.PreviousHeadPosition = nextData.Length;
  }
  store.UpdateTrainStatus(train, status);

  const BlockEvent event = ComputeBlockEvent(next, train, result.SwitchLimited, result.RestrictedSwitch);
  status.Reason = static_cast<uint8_t>(event.Code);
  status.NextStartSpeed =
      event.Code == HeadEvent::ReverseSwitch || event.Code == HeadEvent::ThrowSwitchByHand ? result.AspectSpeed : -1;
  if (event.Point != status.HeadPosition) {
    status.HeadEventTime = TimeAfter(timeBase, TravelTime(status.Speed, Gap(event.Point, status.HeadPosition)));
    status.HeadPosition = event.Point;
  }
  ++status.BlockEntries;
  store.UpdateTrainStatus(train, status);
  store.CheckOSHits(next, train);

  if (FindSlot(nextStatus, train) < 0) {
    if (status.HeadDirection == 1) {
      for (int k = 0; k < kBlockTrainSlots; ++k)
        if (nextStatus.Trains[k] == kEmptyTrainSlot) {
          nextStatus.Trains[k] = static_cast<uint16_t>(train);
          break;
        }
    } else {
      for (int k = kBlockTrainSlots - 1; k > 0; --k) nextStatus.Trains[k] = nextStatus.Trains[k - 1];
      nextStatus.Trains[0] = static_cast<uint16_t>(train);
    }
  }
  store.UpdateBlockStatus(next, nextStatus);
  store.InvalidateDevice(next);
  store.Shell().EraseBlockLabels(next);
  return result;
}
