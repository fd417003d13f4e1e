// Clearing and cancelling signals, checking and marking routes, and writing
// occupancy along a route as trains occupy and vacate it.
#include <algorithm>

#include "engine/device_walks.h"
#include "engine/interlocking_devices.h"
#include "engine/interlocking_rules.h"
#include "store/device_numbers.h"
#include "store/status_codes.h"
#include "store/track_codes.h"
#include "store/train_codes.h"

using namespace interlocking;

namespace {

constexpr int kRunningTimeSeconds = 300;
// A report source other than the screen: refusals show no message box.
constexpr int kWithoutMessages = 0;
constexpr int kTrainStateGone = 13;

int SignalDirection(const SignalStatus& status) { return track::SignalDirection(status.TrackCode); }

int OccupiedSlots(const BlockStatus& status) {
  int count = 0;
  for (int k = 0; k < kBlockTrainSlots; ++k)
    if (status.Trains[k] != kEmptyTrainSlot) ++count;
  return count;
}

// 1 and 2 swap, 3 and 4 swap: the same code seen from the other direction.
int TurnCode(int code) {
  switch (code) {
    case 1:
      return 2;
    case 2:
      return 1;
    case 3:
      return 4;
    case 4:
      return 3;
    default:
      return code;
  }
}

// A held clear spent on a device that carried a second route gives back the
// cleared code of the direction it was occupied in.
int HeldClearedCode(int code) {
  return code == occupancy::kOccupiedRight ? occupancy::kClearedRight : occupancy::kClearedLeft;
}

// The distance of a train's head from the signal at the end of its block,
// from the head position it has reached by now.
int32_t HeadDistanceToSignal(Corvane3Data& store, const TrainStatus& train) {
  int32_t position = train.HeadPosition;
  const bool english = store.GetTerritoryOptions().Units == 1;
  if (train.State == TrainState::Moving && train.HeadEventTime != -1) {
    const int64_t seconds = static_cast<int64_t>(train.HeadEventTime) - store.SimClock;
    const int64_t speed = train.Speed;
    const int64_t still = english ? speed * 63360 / 3600 * seconds / 12 : speed * 50000 / 3600 * seconds / 50;
    position = static_cast<int32_t>(train.HeadDirection == 0 ? position + still : position - still);
  }
  if (train.HeadDirection == 0) return position;
  return store.GetBlockData(train.HeadBlock).Length - position;
}

// The train in a signal's own block heading for the signal, -1 none.
int ApproachingTrain(Corvane3Data& store, int block, int signalAspect) {
  if (!IsBlock(block)) return -1;
  const int code = store.GetBlockStatus(block).Occupancy;
  if (!((code == occupancy::kOccupiedRight && signalAspect == aspect::kClearRight) ||
        (code == occupancy::kOccupiedLeft && signalAspect == aspect::kClearLeft)))
    return -1;
  for (int t = 0; t < kMaxTrainStatus; ++t) {
    const TrainStatus& train = store.TrainStatusRef(t);
    if (train.InUse == 1 && train.State != kTrainStateGone && train.HeadBlock == block) return t;
  }
  return -1;
}

}  // namespace

int Engine::ClearSignal(int signalDevice, uint8_t forced, int source) {
  Corvane3Data& store = Store();
  if (signalDevice >= device::kSignalBesideOffset) signalDevice -= device::kSignalBesideOffset;
  if (!IsSignal(signalDevice)) {
    store.InternalErrorTrap(signalDevice, "Signal index error - ClearSignal");
    return 0;
  }
  if (store.GetOptionData().CTCControlOn == 1) return store.Interface().CTCClearSignal(signalDevice, forced);

  // The signal stack's forced requests open no message box, like an interface's.
  const bool screen = source == kScreenRequest && !forced;
  const int routeSource = forced ? kWithoutMessages : source;
  const bool help = store.GetOptionData().HelpMessagesOn == 1;
  const int index = signalDevice - kSignalBase;
  if (screen) Run().PendingRouteEntrance = -1;  // as for a switch: the stack leaves a picked entrance
  const SignalData data = store.GetSignalData(index);
  SignalStatus status = store.GetSignalStatus(index);
  const int direction = SignalDirection(status);

  if (const Refusal refusal = SignalClearRefusal(status, forced != 0)) {
    ++status.RefusalCount;
    store.UpdateSignalStatus(index, status);
    if (help && screen) ShowPaused(*this, refusal.Text, MessageIcon::Error, MessageButtons::Ok);
    return 0;
  }

  if (status.Aspect == aspect::kStop && status.Fleet == 0) {
    const HalvingDraw draw = ReseedAndDraw(*this, 1000);
    if (status.FailureCount == 0xFF) {
      if (draw.Value < store.GetRandomData().SignalFailuresPer1000 && !forced) {
        if (screen) ShowPaused(*this, "Signal failure. Try to clear again.", MessageIcon::Error, MessageButtons::Ok);
        status.FailureCount = 0;
        ++status.RefusalCount;
        store.UpdateSignalStatus(index, status);
        return 0;
      }
    } else if (draw.Band == status.FailureCount && status.MaintainerCalled == 0) {
      status.FailureCount = 0xFF;
      status.MaintainerCalled = 0;
      status.MaintainerFixTime = -1;
    } else {
      status.FailureCount = static_cast<uint8_t>(std::min(status.FailureCount + 1, 3));
      if (status.MaintainerCalled == 0 && !forced) {
        OfferMaintainer(*this, status, screen, "Signal is still not working.  Do you wish to call a maintainer?");
      } else if (!forced && screen) {
        ShowPaused(*this, "Signal is still not working.", MessageIcon::Error, MessageButtons::Ok);
      }
      ++status.RefusalCount;
      store.UpdateSignalStatus(index, status);
      return 0;
    }

    if (CheckRoute(direction, data.Block, 0, 0, routeSource) > 0) {
      status.Aspect = static_cast<int16_t>(aspect::Clear(direction));
      status.RefusalCount = 0;
      store.UpdateSignalStatus(index, status);
      store.InvalidateDevice(signalDevice, forced, 1);
      walks::UpdateBlocksClearedAhead(*this);
      return 1;
    }
    ++status.RefusalCount;
    store.UpdateSignalStatus(index, status);
    return 0;
  }

  if (status.Aspect == aspect::kClearRight || status.Aspect == aspect::kClearLeft) {
    DevicePath path;
    TraceDevicePath(direction, data.Block, path);
    const ApproachCancel cancel = CancelBeforeApproachingTrain(index, path, status, {.Ask = screen});
    if (cancel == ApproachCancel::Declined) return 0;
    if (cancel == ApproachCancel::NoTrain) ReleaseRoute(path.Ids.data(), path.Dirs.data(), kPathEntries);
    status.Aspect = aspect::kStop;
    status.Fleet = 0;
    status.RefusalCount = 0;
    store.UpdateSignalStatus(index, status);
    store.InvalidateDevice(signalDevice, 0, 1);
    store.PaintSignal(index);
    walks::UpdateBlocksClearedAhead(*this);
    return 1;
  }

  walks::UpdateBlocksClearedAhead(*this);
  return 1;
}

ApproachCancel Engine::CancelBeforeApproachingTrain(int index, const DevicePath& path, SignalStatus& status,
                                                    const SignalCancelRules& rules) {
  Corvane3Data& store = Store();
  if (rules.StoppedRunReleases && Run().SimStopped) return ApproachCancel::NoTrain;
  const int block = store.GetSignalData(index).Block;
  const int approaching = ApproachingTrain(store, block, status.Aspect);
  if (approaching == -1) return ApproachCancel::NoTrain;

  const auto show = [&](const char* text, MessageIcon icon, MessageButtons buttons) {
    return rules.PauseForMessages ? ShowPaused(*this, text, icon, buttons) : store.ShowMessage(text, icon, buttons);
  };
  if (rules.Ask && show("There is a train approaching the signal. Are you sure you want to cancel the signal?",
                        MessageIcon::Question, MessageButtons::YesNo) != MessageResult::Yes)
    return ApproachCancel::Declined;
  SetRouteRunningTime(path);
  status.RunningTimeEnd = store.SimClock + kRunningTimeSeconds;
  if (rules.Ask)
    show("Signal is running time.  It will cancel in five minutes.", MessageIcon::None, MessageButtons::Ok);
  if (!rules.MayRunPast) return ApproachCancel::RunningTime;

  TrainStatus train = store.GetTrainStatus(approaching);
  const int type = train.Type < kMaxTrainTypes ? train.Type : 0;
  const int chance = store.GetRandomData().RunPastChance[type];
  if (train.Speed != 0 && chance != 0) {
    int x = RandomHalvingIndex(100) & 0xFFFF;
    if (train.Speed < 35) x /= 2;
    const int32_t nearLimit = store.GetTerritoryOptions().Units == 1 ? 10000 : 3000;
    if (x < chance && HeadDistanceToSignal(store, train) < nearLimit) {
      train.RunPast = 1;
      store.UpdateTrainStatus(approaching, train);
    }
  }
  return ApproachCancel::RunningTime;
}

void Engine::SetRouteRunningTime(const DevicePath& path) {
  Corvane3Data& store = Store();
  bool shared = false;
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    const int d = path.Dirs[i];
    if (IsBlock(device)) {
      BlockStatus block = store.GetBlockStatus(device);
      if (!shared && block.Occupancy == ClearedCode(d)) {
        block.Occupancy = static_cast<int16_t>(RunningTimeCode(d));
      } else {
        shared = true;
        block.HeldRoutes = static_cast<int16_t>(std::max(block.HeldRoutes - 1, 0));
      }
      store.UpdateBlockStatus(device, block);
      store.InvalidateDevice(device, 0, 1);
      if (RouteEndsAt(store.GetBlockData(device), d)) break;
    } else if (IsSwitch(device)) {
      SwitchStatus sw = store.GetSwitchStatus(device - kSwitchBase);
      if (!shared && sw.Occupancy == ClearedCode(d)) {
        sw.Occupancy = static_cast<uint8_t>(RunningTimeCode(d));
      } else {
        shared = true;
        sw.HeldRoutes = static_cast<uint8_t>(std::max(sw.HeldRoutes - 1, 0));
      }
      sw.FleetLocked = 0;
      store.UpdateSwitchStatus(device - kSwitchBase, sw);
      store.InvalidateDevice(device, 0, 1);
    }
  }
}

int Engine::CheckRoute(int direction, int block, uint8_t quiet, uint8_t permissive, int source,
                       const RouteRequestRules& rules) {
  Corvane3Data& store = Store();
  DevicePath path;
  // The walk goes no further than the check reads: to the route's end, or to the device that refuses it.
  PathTrace trace(store, direction, block, path.Ids.data(), path.Dirs.data(), kPathEntries, PathEnd{.RouteEnd = true});
  int blocker = -1;  // the first device that gave a reason; with none, the switch the walk ended at
  using Reason = RouteReason;
  Reason reason = Reason::None;
  int reasonCode = 0;  // the code of the block that gave the reason
  int free = 0;
  int end = -1;
  auto blockAt = [&](Reason why, int device) {
    reason = why;
    if (!IsBlock(blocker) && !IsDiamond(blocker)) blocker = device;
  };

  for (int i = 1; trace.Settle(i); ++i) {
    const int device = path.Ids[i];
    const int d = path.Dirs[i];
    if (IsBlock(device)) {
      const BlockData& data = store.BlockDataRef(device);
      const BlockStatus& status = store.BlockStatusRef(device);
      const int code = status.Occupancy;
      const bool permit = status.PermitActive != 0;
      if (code != occupancy::kFree && code != OccupiedCode(d) && code != ClearedCode(d)) {
        reasonCode = code;
        blockAt(Reason::NextBlock, device);
        break;
      }
      if (data.PassThrough == 1) {
        if (!permit) continue;
        reasonCode = code;
        blockAt(Reason::NextBlock, device);
        break;
      }
      if (code == occupancy::kFree && !permit) {
        if ((d == 1 ? data.SignalledRight : data.SignalledLeft) == 0) {
          blockAt(Reason::NotSignalled, device);
          break;
        }
        ++free;
      } else if (permit) {
        reasonCode = code;
        blockAt(Reason::NextBlock, device);
        break;
      } else {
        reasonCode = code;
        blockAt(Reason::NextBlock, device);
        if (free == 0 && !permissive) break;
      }
      if (RouteEndsAt(data, d)) {
        end = i;
        break;
      }
    } else if (IsSwitch(device) && rules.RefuseRequestedSwitch) {
      // The field will move it before this route could be used.
      const SwitchStatus& status = store.SwitchStatusRef(device - kSwitchBase);
      if ((status.NormalRequested == 1 && status.Position == 1) ||
          (status.ReverseRequested == 1 && status.Position == 0)) {
        blockAt(Reason::RequestedSwitch, device);
        break;
      }
    } else if (IsDiamond(device)) {
      const int route = store.GetCrossRoute(device - kDiamondBase, path.Ids[i - 1]);
      const CrossStatus& status = store.CrossStatusRef(device - kDiamondBase);
      const int own = status.Occupancy[route];
      const int other = status.Occupancy[1 - route];
      const bool ownFree = own == occupancy::kFree || own == ClearedCode(d) || own == OccupiedCode(d);
      const bool otherFree = other == occupancy::kFree || store.GetCrossData(device - kDiamondBase).BothRoutes == 1;
      if (!ownFree || !otherFree) {
        blockAt(Reason::Diamond, device);
        break;
      }
    }
  }

  // With no reason given, the check read to where the walk ended.
  if (reason == Reason::None) blocker = trace.Blocking();
  if ((free < 1 || end == -1) && !permissive) {
    if (quiet) return 0;
    if (reason == Reason::None) reason = Reason::OpenSwitch;
    if (IsBlock(blocker)) {
      BlockStatus status = store.GetBlockStatus(blocker);
      status.Highlight = status.Highlight2 = 1;
      store.DrawDevice(blocker);
      Run().HighlightedDevice = blocker;
      store.UpdateBlockStatus(blocker, status);
    } else if (IsSwitch(blocker) && reason != Reason::RequestedSwitch) {
      SwitchStatus status = store.GetSwitchStatus(blocker - kSwitchBase);
      status.Highlight = status.Highlight2 = 1;
      store.DrawDevice(blocker);
      Run().HighlightedDevice = blocker;
      store.UpdateSwitchStatus(blocker - kSwitchBase, status);
    } else if (IsDiamond(blocker)) {
      CrossStatus status = store.GetCrossStatus(blocker - kDiamondBase);
      status.Highlight = status.Highlight2 = 1;
      store.DrawDevice(blocker);
      Run().HighlightedDevice = blocker;
      store.UpdateCrossStatus(blocker - kDiamondBase, status);
    }
    if (store.GetOptionData().HelpMessagesOn == 1 && source == kScreenRequest) {
      const char* text = RouteRefusal(reason, reasonCode).Text;
      if (text != nullptr) {
        if (rules.PauseForMessages)
          ShowPaused(*this, text, MessageIcon::Error, MessageButtons::Ok);
        else
          store.ShowMessage(text, MessageIcon::Error, MessageButtons::Ok);
      }
    }
    return 0;
  }

  const uint8_t pending = rules.MarkPending ? 1 : 0;
  int held = 0;
  for (int i = 1; i <= end; ++i) {
    const int device = path.Ids[i];
    const int d = path.Dirs[i];
    if (IsBlock(device)) {
      BlockStatus status = store.GetBlockStatus(device);
      if (status.Occupancy == occupancy::kFree) {
        status.Occupancy = static_cast<int16_t>(ClearedCode(d));
        store.Shell().EraseBlockLabels(device);
        status.HeldRoutes = static_cast<int16_t>(status.HeldRoutes + held);
      } else {
        status.HeldRoutes = static_cast<int16_t>(status.HeldRoutes + 1);
        held += OccupiedSlots(status);
      }
      status.ClearedValue = -1;
      status.Highlight = status.Highlight2 = 0;
      if (pending) status.RequestPending = 1;
      store.UpdateBlockStatus(device, status);
    } else if (IsSwitch(device)) {
      SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
      if (status.Occupancy == occupancy::kFree)
        status.Occupancy = static_cast<uint8_t>(ClearedCode(d));
      else
        ++status.HeldRoutes;
      status.Highlight = status.Highlight2 = 0;
      if (pending) status.RequestPending = 1;
      store.UpdateSwitchStatus(device - kSwitchBase, status);
    } else if (IsDiamond(device)) {
      const int route = store.GetCrossRoute(device - kDiamondBase, path.Ids[i - 1]);
      CrossStatus status = store.GetCrossStatus(device - kDiamondBase);
      if (status.Occupancy[route] == occupancy::kFree)
        status.Occupancy[route] = static_cast<int16_t>(ClearedCode(d));
      else
        ++status.HeldRoutes[route];
      status.Highlight = status.Highlight2 = 0;
      if (pending) status.SidePending[route] = 1;
      store.UpdateCrossStatus(device - kDiamondBase, status);
    }
    if (Run().HighlightedDevice == device) Run().HighlightedDevice = -1;
    store.InvalidateDevice(device, 0, 1);
  }
  return free;
}

void Engine::ReleaseRoute(const int32_t* ids, const int32_t* dirs, int count) {
  Corvane3Data& store = Store();
  // A device cleared the same way that still holds another route's clear only gives up this route's
  // hold, and so does every device beyond it.
  bool shared = false;
  for (int i = 1; i < count && i < kPathEntries && ids[i] != -1; ++i) {
    const int device = ids[i];
    const int d = dirs[i];
    if (IsBlock(device)) {
      BlockStatus status = store.GetBlockStatus(device);
      if (!shared && status.Occupancy == ClearedCode(d) && status.HeldRoutes < 1) {
        status.Occupancy = occupancy::kFree;
        status.HeldRoutes = 0;
      } else {
        status.HeldRoutes = static_cast<int16_t>(std::max(status.HeldRoutes - 1, 0));
        shared = true;
      }
      status.RouteByte = 0;
      store.UpdateBlockStatus(device, status);
      store.InvalidateDevice(device, 0, 1);
      if (RouteEndsAt(store.GetBlockData(device), d)) break;
    } else if (IsSwitch(device)) {
      SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
      if (!shared && status.Occupancy == ClearedCode(d) && status.HeldRoutes < 1) {
        status.Occupancy = occupancy::kFree;
        status.HeldRoutes = 0;
      } else {
        status.HeldRoutes = static_cast<uint8_t>(std::max(status.HeldRoutes - 1, 0));
        shared = true;
      }
      status.FleetLocked = 0;
      status.RouteMark = 0;
      store.UpdateSwitchStatus(device - kSwitchBase, status);
      store.InvalidateDevice(device, 0, 1);
    } else if (IsDiamond(device)) {
      const int route = store.GetCrossRoute(device - kDiamondBase, ids[i - 1]);
      CrossStatus status = store.GetCrossStatus(device - kDiamondBase);
      if (!shared && status.Occupancy[route] == ClearedCode(d) && status.HeldRoutes[route] < 1) {
        status.Occupancy[route] = occupancy::kFree;
        status.HeldRoutes[route] = 0;
      } else {
        status.HeldRoutes[route] = static_cast<uint8_t>(std::max(status.HeldRoutes[route] - 1, 0));
        shared = true;
      }
      status.RouteMarks[0] = status.RouteMarks[1] = 0;
      store.UpdateCrossStatus(device - kDiamondBase, status);
      store.InvalidateDevice(device, 0, 1);
    }
  }
}

void Engine::SetRouteStatus(int direction, int start, int end, int code, int train, int mode, uint8_t useHeld) {
  Corvane3Data& store = Store();
  DevicePath path;
  TraceDevicePath(direction, start, path, {.Device = end});
  for (int i = mode == 1 ? 0 : 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (mode == 1 && device == end) break;
    const int own = path.Dirs[i] == direction ? code : TurnCode(code);
    if (IsBlock(device)) {
      BlockStatus status = store.GetBlockStatus(device);
      if (own == occupancy::kFree) {
        int result = 0;
        if (useHeld == 1 && status.HeldRoutes > 0) {
          --status.HeldRoutes;
          result = HeldClearedCode(status.Occupancy);
        }
        int kept = 0;
        for (int k = 0; k < kBlockTrainSlots; ++k)
          if (status.Trains[k] != kEmptyTrainSlot && status.Trains[k] != train)
            status.Trains[kept++] = status.Trains[k];
        for (int k = kept; k < kBlockTrainSlots; ++k) status.Trains[k] = kEmptyTrainSlot;
        if (kept == 0) status.Occupancy = static_cast<int16_t>(result);
      } else {
        status.Occupancy = static_cast<int16_t>(own);
      }
      store.UpdateBlockStatus(device, status);
    } else if (IsSwitch(device)) {
      SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
      int result = own;
      if (own == occupancy::kFree && useHeld == 1 && status.HeldRoutes > 0) {
        --status.HeldRoutes;
        result = HeldClearedCode(status.Occupancy);
      }
      status.Occupancy = static_cast<uint8_t>(result);
      store.UpdateSwitchStatus(device - kSwitchBase, status);
    } else if (IsDiamond(device)) {
      const int neighbour = i > 0 ? path.Ids[i - 1] : path.Ids[i + 1];
      const int route = store.GetCrossRoute(device - kDiamondBase, neighbour);
      CrossStatus status = store.GetCrossStatus(device - kDiamondBase);
      int result = own;
      if (own == occupancy::kFree && useHeld == 1 && status.HeldRoutes[route] > 0) {
        --status.HeldRoutes[route];
        result = HeldClearedCode(status.Occupancy[route]);
      }
      status.Occupancy[route] = static_cast<int16_t>(result);
      store.UpdateCrossStatus(device - kDiamondBase, status);
    }
    store.InvalidateDevice(device, 0, 1);
    if ((own == 3 || own == 4) && train >= 0) store.CheckOSHits(device, train);
    if (device == end) break;
  }
}
