// The dispatcher's commands on one running train from the train pop-up menu:
// looking at it, stopping and starting it, letting it pass a red signal and
// clearing the block ahead of it. Each leaves the train's further life to the
// state machine through the flags it sets.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "engine/interlocking_devices.h"
#include "engine/movement_common.h"
#include "engine/train_commands.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/text_format.h"
#include "store/train_codes.h"

using textfmt::Format;

using namespace movement;

namespace train_menu {

int PopupTrain(Engine& engine, int id, int base) {
  const int entry = id - base;
  if (entry < 0 || entry >= RangeSize(base)) return -1;
  const auto& trains = engine.Run().PopupTrains;
  if (entry >= static_cast<int>(trains.size())) return -1;
  const int train = trains[entry];
  if (!ValidTrain(train) || engine.Store().GetTrainStatus(train).InUse != 1) return -1;
  return train;
}

void ShowCommandMessage(Engine& engine, const std::string& text, MessageIcon icon) {
  interlocking::ShowPaused(engine, text, icon, MessageButtons::Ok);
}

}  // namespace train_menu

using namespace train_menu;

bool Engine::TrainCommand(int id) {
  struct Range {
    int Base;
    void (Engine::*Handler)(int);
  };
  static constexpr Range kRanges[] = {
      {kProperties, &Engine::CmTrainProperties},
      {kStatus, &Engine::CmTrainStatus},
      {kReverse, &Engine::CmTrainReverse},
      {kStopNow, &Engine::CmTrainStopNow},
      {kMerge, &Engine::CmTrainMerge},
      {kSplit, &Engine::CmTrainSplit},
      {kStopInBlock, &Engine::CmTrainStopInBlock},
      {kChangeCrew, &Engine::CmTrainChangeCrew},
      {kPassRedSignal, &Engine::CmTrainPassRedSignal},
      {kOS, &Engine::CmTrainOS},
      {kStartMovement, &Engine::CmTrainStartMovement},
      {kClearStop, &Engine::CmTrainClearStop},
      {kNewCrewLocation, &Engine::CmTrainNewCrewLocation},
      {kMergeAhead, &Engine::CmTrainMergeAhead},
      {kMergeBehind, &Engine::CmTrainMergeBehind},
      {kClearBlockAhead, &Engine::CmTrainClearBlockAhead},
  };
  for (const Range& range : kRanges) {
    if (id >= range.Base && id < range.Base + RangeSize(range.Base)) {
      (this->*range.Handler)(id);
      return true;
    }
  }
  return false;
}

void train_menu::RedrawTrainBlocks(Corvane3Data& store, int trainSlot) {
  if (trainSlot < 0 || trainSlot >= kMaxTrainStatus) return;
  const TrainStatus train = store.GetTrainStatus(trainSlot);
  if (ValidBlock(train.HeadBlock)) {
    store.InvalidateDevice(train.HeadBlock);
    store.DrawBlock(train.HeadBlock);
  }
  if (train.RearBlock != train.HeadBlock && ValidBlock(train.RearBlock)) {
    store.InvalidateDevice(train.RearBlock);
    store.DrawBlock(train.RearBlock);
  }
}

void train_menu::ViewTrainSchedule(Corvane3Data& store, int trainSlot) {
  if (trainSlot < 0 || trainSlot >= kMaxTrainStatus) return;
  const TrainStatus status = store.GetTrainStatus(trainSlot);
  if (status.TrainIndex < 0 || status.TrainIndex >= kMaxTrains) return;
  const TrainData data = store.GetTrainData(status.TrainIndex);
  const std::string title = Format("View Train \"%s %s\"", FieldText(data.TrainId), FieldText(data.Description));
  int platforms = 0;
  const int count = std::clamp(+store.GetCountData().Words[kCountPlatforms], 0, kMaxPlatforms);
  for (int i = 0; i < count; ++i)
    if (store.GetPlatformData(i).InUse != 0) ++platforms;
  // One passenger page per ten platforms; the sheet holds at most ten.
  const int pages = std::min((platforms - 1) / 10 + 1, 10);
  store.Dialogs().RunTrainSheet(title, status.TrainIndex, pages);
}

void Engine::CmTrainProperties(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kProperties);
  if (train < 0) return;

  if (store.GetOptionData().CTCControlOn == 1) {
    // The CTC train dialog may change where the train stands.
    if (store.Dialogs().RunTrainDialog(train) != 1) return;
    RedrawTrainBlocks(store, train);
    return;
  }

  ViewTrainSchedule(store, train);
  ClearStopStatus();
}

void Engine::CmTrainStatus(int id) {
  const int train = PopupTrain(*this, id, kStatus);
  if (train < 0) return;
  Store().Shell().ShowActiveTrain(train);
  ClearStopStatus();
}

void Engine::CmTrainReverse(int id) {
  const int train = PopupTrain(*this, id, kReverse);
  if (train < 0) return;
  ReverseTrain(train);
}

void Engine::CmTrainStopNow(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kStopNow);
  if (train < 0) return;
  TrainStatus status = store.GetTrainStatus(train);
  status.DispatcherStop = 1;
  if (status.State == TrainState::Stopped) {
    status.Reason = StopReason::DispatcherRequest;
    store.UpdateTrainStatus(train, status);
    ClearStopStatus();
    return;
  }

  const StopPoint stop =
      PlanDispatcherStop(store, status, GetTrainHeadPosition(train).HeadPosition, store.GetSimClock());
  if (!stop.Reached) {
    // The train reaches its next event first; the flag stops it there.
    store.UpdateTrainStatus(train, status);
    ClearStopStatus();
    return;
  }
  status.Reason = HeadEvent::DispatcherStop;
  status.HeadEventTime = stop.Time;
  status.HeadPosition = stop.Position;
  store.UpdateTrainStatus(train, status);
  ClearStopStatus();
}

void Engine::CmTrainStopInBlock(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kStopInBlock);
  if (train < 0) return;
  const std::string name = FieldText(store.GetTrainStatus(train).TrainId);
  const int result = store.Dialogs().RunStopTrainDialog(Format("Block To Stop \"%s\" In", name));
  const int block = result - 1000;
  if (result != 2 && ValidBlock(block) && store.GetTrainStatus(train).InUse == 1) {
    // The dialog let the clock run: decide on the train as it stands now.
    TrainStatus status = store.GetTrainStatus(train);
    if (status.HeadBlock == block && status.State == TrainState::Stopped && status.Reason == StopReason::WaitSignal) {
      status.DispatcherStop = 1;
      status.Reason = StopReason::DispatcherRequest;
    } else {
      status.StopInBlock = static_cast<int16_t>(block);
    }
    store.UpdateTrainStatus(train, status);
  }
  ClearStopStatus();
}

void Engine::CmTrainClearStop(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kClearStop);
  if (train < 0) return;
  TrainStatus status = store.GetTrainStatus(train);
  status.StopInBlock = -1;
  store.UpdateTrainStatus(train, status);
  ClearStopStatus();
}

void Engine::CmTrainStartMovement(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kStartMovement);
  if (train < 0) return;
  TrainStatus status = store.GetTrainStatus(train);
  if (!ValidBlock(status.HeadBlock)) {
    ClearStopStatus();
    return;
  }
  const int32_t clock = store.GetSimClock();
  status.Speed = status.SpeedBeforeStop;
  status.DispatcherStop = 0;
  status.StopInBlock = -1;
  status.State = TrainState::Moving;
  store.UpdateTrainStatus(train, status);

  const BlockEvent event = ComputeBlockEvent(status.HeadBlock, train, 0, 0);
  status = store.GetTrainStatus(train);
  status.Reason = static_cast<uint8_t>(event.Code);
  const int32_t gap = Gap(event.Point, status.HeadPosition);
  const int32_t seconds = gap != 0 ? TravelTime(status.Speed, gap) : 0;
  status.HeadPosition = event.Point;
  status.HeadEventTime = TimeAfter(clock, seconds);
  store.UpdateTrainStatus(train, status);
  UpdateTrainRear(train, clock, 0);
  ClearStopStatus();
}

void Engine::CmTrainPassRedSignal(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kPassRedSignal);
  if (train < 0) return;
  TrainStatus status = store.GetTrainStatus(train);
  auto refuse = [&](const std::string& text) {
    ShowCommandMessage(*this, text, MessageIcon::Error);
    ClearStopStatus();
  };

  int next = -1;
  int entry = 0;
  if (ValidBlock(status.HeadBlock)) {
    DevicePath path;
    TraceDevicePath(status.HeadDirection == 1 ? 1 : 0, status.HeadBlock, path);
    for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
      if (ValidBlock(path.Ids[i]) && store.GetBlockData(path.Ids[i]).PassThrough != 1) {
        next = path.Ids[i];
        entry = path.Dirs[i] == 1 ? 1 : 0;
        break;
      }
    }
  }
  if (next == -1) {
    refuse(
        "Could not find next block.  This could be because there is an open switch or there is no available blocks "
        "before the territory terminates.");
    return;
  }
  const BlockStatus nextStatus = store.GetBlockStatus(next);
  if (nextStatus.Trains[kBlockTrainSlots - 1] != kEmptyTrainSlot) {
    char text[100];
    std::snprintf(text, sizeof text, "The maximum number of train allowed in a single block is %d.", kBlockTrainSlots);
    refuse(text);
    return;
  }
  const int code = nextStatus.Occupancy;
  const int32_t length = store.GetBlockData(next).Length;
  int nearest = -1;
  int32_t entryEnd;
  if (entry == 0) {
    if (code == occupancy::kOccupiedRight)
      return refuse("There is a train in the next block moving in the opposite direction.");
    if (code == occupancy::kClearedRight) return refuse("The next block is cleared in the opposite direction.");
    if (nextStatus.Trains[0] != kEmptyTrainSlot) nearest = nextStatus.Trains[0];
    entryEnd = length;
  } else {
    if (code == occupancy::kOccupiedLeft)
      return refuse("There is a train in the next block moving in the opposite direction.");
    if (code == occupancy::kClearedLeft) return refuse("The next block is cleared in the opposite direction.");
    for (int k = kBlockTrainSlots - 1; k >= 0 && nearest == -1; --k)
      if (nextStatus.Trains[k] != kEmptyTrainSlot) nearest = nextStatus.Trains[k];
    entryEnd = 0;
  }
  int32_t room = length;
  if (ValidTrain(nearest)) room = Gap(entryEnd, GetTrainHeadPosition(nearest).HeadPosition);
  if (room == 0) return refuse("The train in the next block is too close to allow movement past the signal.");

  status = store.GetTrainStatus(train);
  status.PassRedPermission = 1;
  store.UpdateTrainStatus(train, status);
  ClearStopStatus();
}

void Engine::CmTrainOS(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kOS);
  if (train < 0) return;
  const std::string name = FieldText(store.GetTrainStatus(train).TrainId);
  store.Lists().ShowTrainOSWindow(Format(" Train \"%s\" OS Report", name), train);
  ClearStopStatus();
}

void Engine::CmTrainClearBlockAhead(int id) {
  Corvane3Data& store = Store();
  const int train = PopupTrain(*this, id, kClearBlockAhead);
  if (train < 0) return;
  const int head = store.GetTrainStatus(train).HeadBlock;
  if (!ValidBlock(head)) return;
  const int direction = store.GetBlockStatus(head).Occupancy == occupancy::kOccupiedLeft ? 0 : 1;
  CheckRoute(direction, head, 0, 0, kScreenRequest);
}
