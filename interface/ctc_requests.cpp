#include "interface/ctc_requests.h"

#include "engine/device_walks.h"
#include "engine/engine.h"
#include "engine/interlocking_devices.h"
#include "engine/interlocking_rules.h"
#include "interface/outgoing.h"
#include "interface/xfer_msg.h"
#include "store/device_numbers.h"
#include "store/status_codes.h"
#include "store/track_codes.h"

namespace xfer {

namespace {

using interlocking::IsBlock;
using interlocking::IsDiamond;
using interlocking::IsSwitch;
using interlocking::kDiamondBase;
using interlocking::kSignalBase;
using interlocking::kSwitchBase;

bool HelpOn(const Corvane3Data& store) { return store.GetOptionData().HelpMessagesOn == 1; }

// The refusals of the dispatcher's office open no question and stop no clock.
void Refuse(Corvane3Data& store, const char* text) {
  if (text != nullptr && HelpOn(store)) store.ShowMessage(text, MessageIcon::Error, MessageButtons::Ok);
}

int SignalDirection(const SignalStatus& status) { return track::SignalDirection(status.TrackCode); }

bool IsPartner(int index) { return index >= 0 && index < kMaxSwitches; }

// Sends the opposite of an outstanding request, then forgets the request.
void WithdrawSwitchRequest(Corvane3Data& store, int index, SwitchStatus status) {
  const bool normal = status.NormalRequested == 1;
  status.NormalRequested = normal ? 0 : 1;
  status.ReverseRequested = normal ? 1 : 0;
  store.UpdateSwitchStatus(index, status);
  CTCBuildXferOutMsg(store, kCTCSwitch, index);
  status.NormalRequested = status.ReverseRequested = 0;
  status.Highlight = status.Highlight2 = 0;
  store.UpdateSwitchStatus(index, status);
  store.InvalidateDevice(kSwitchBase + index, 0, 1);
}

// Asks the field for the switch's other position; the switch blinks until the field answers.
void RequestSwitch(Corvane3Data& store, int index, SwitchStatus status) {
  status.ReverseRequested = status.Position == 0 ? 1 : 0;
  status.NormalRequested = status.Position == 0 ? 0 : 1;
  status.Refused = 0;
  status.Highlight = status.Highlight2 = 1;
  store.DrawDevice(kSwitchBase + index);
  store.UpdateSwitchStatus(index, status);
  CTCBuildXferOutMsg(store, kCTCSwitch, index);
  store.InvalidateDevice(kSwitchBase + index, 0, 1);
}

// Sends the signal's request word (CLEAR or CANCEL) and drops it again: a withdrawal waits for nothing.
void SendSignalWord(Corvane3Data& store, int index, bool cancel) {
  SignalStatus status = store.GetSignalStatus(index);
  (cancel ? status.CTCCancelRequest : status.CTCClearRequest) = 1;
  store.UpdateSignalStatus(index, status);
  CTCBuildXferOutMsg(store, kCTCSignal, index);
  (cancel ? status.CTCCancelRequest : status.CTCClearRequest) = 0;
  store.UpdateSignalStatus(index, status);
}

void SetRoutePending(Engine& engine, int signal, bool mark) {
  Corvane3Data& store = engine.Store();
  if (signal < 0 || signal >= kMaxSignals) {
    store.InternalErrorTrap(signal, "Signal index error - CTCRoutePending");
    return;
  }
  const uint8_t value = mark ? 1 : 0;
  DevicePath path;
  engine.TraceDevicePath(SignalDirection(store.GetSignalStatus(signal)), store.GetSignalData(signal).Block, path);
  for (int i = 1; i < kPathEntries; ++i) {
    const int device = path.Ids[i];
    if (IsBlock(device)) {
      BlockStatus status = store.GetBlockStatus(device);
      status.RequestPending = value;
      store.UpdateBlockStatus(device, status);
      store.InvalidateDevice(device, 0, 1);
      if (interlocking::RouteEndsAt(store.GetBlockData(device), path.Dirs[i])) return;
    } else if (IsSwitch(device)) {
      SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
      status.RequestPending = value;
      store.UpdateSwitchStatus(device - kSwitchBase, status);
      store.InvalidateDevice(device, 0, 1);
    } else if (IsDiamond(device)) {
      const int diamond = device - kDiamondBase;
      CrossStatus status = store.GetCrossStatus(diamond);
      if (mark)
        status.SidePending[store.GetCrossRoute(diamond, path.Ids[i - 1]) == 0 ? 0 : 1] = 1;
      else
        status.SidePending[0] = status.SidePending[1] = 0;
      store.UpdateCrossStatus(diamond, status);
      store.InvalidateDevice(device, 0, 1);
    }
  }
}

}  // namespace

int CTCThrowSwitch(Engine& engine, int switchDevice) {
  Corvane3Data& store = engine.Store();
  engine.Run().PendingRouteEntrance = -1;
  engine.Run().PendingStackEntrance = -1;
  if (!IsSwitch(switchDevice)) {
    store.InternalErrorTrap(switchDevice, "Switch index error - CTCThrowSwitch");
    return 0;
  }
  const int index = switchDevice - kSwitchBase;
  SwitchStatus status = store.GetSwitchStatus(index);
  status.Refused = 0;
  const int partner = IsPartner(status.Partner) ? status.Partner : -1;

  if (status.NormalRequested == 1 || status.ReverseRequested == 1) {
    WithdrawSwitchRequest(store, index, status);
    if (partner != -1) WithdrawSwitchRequest(store, partner, store.GetSwitchStatus(partner));
    return 1;
  }

  // The field's office knows no switch failures: a failed partner does not lock here.
  if (const interlocking::Refusal refusal =
          interlocking::SwitchLockRefusal(store, index, {.PartnerFailureLocks = false})) {
    MarkSwitchRefused(engine, index, refusal);
    Refuse(store, refusal.Text);
    return 0;
  }

  RequestSwitch(store, index, status);
  if (partner != -1) RequestSwitch(store, partner, store.GetSwitchStatus(partner));
  return 0;
}

void CTCBlinkPendingSwitches(Engine& engine) {
  Corvane3Data& store = engine.Store();
  if (store.GetOptionData().CTCControlOn != 1) return;
  const uint8_t phase = static_cast<uint8_t>(engine.Run().BlinkCounter & 1);
  const int switches = walks::TableCount(store, kCountSwitches, kMaxSwitches);
  for (int index = 0; index < switches; ++index) {
    SwitchStatus status = store.GetSwitchStatus(index);
    if (status.InUse == 0 || status.Highlight2 == 0) continue;
    // The phase byte hides the switch from the painter while it is set.
    status.Highlight = phase;
    if (phase == 1)
      store.DrawDevice(kSwitchBase + index);
    else
      store.InvalidateDevice(kSwitchBase + index, 0, 1);
    store.UpdateSwitchStatus(index, status);
  }
}

int CTCClearSignal(Engine& engine, int signalDevice, int fromStack) {
  Corvane3Data& store = engine.Store();
  engine.Run().PendingRouteEntrance = -1;
  if (signalDevice >= device::kSignalBesideOffset) signalDevice -= device::kSignalBesideOffset;
  if (!device::IsSignal(signalDevice)) {
    store.InternalErrorTrap(signalDevice, "Signal index error - CTCClearSignal");
    return 0;
  }
  const int index = signalDevice - kSignalBase;
  const SignalData data = store.GetSignalData(index);
  SignalStatus status = store.GetSignalStatus(index);
  const int direction = SignalDirection(status);

  if (status.CTCClearRequest == 1) {
    CTCDropSignalRoute(engine, index);
    SendSignalWord(store, index, true);
    return 0;
  }

  if (status.CTCCancelRequest == 1) {
    status.Aspect = static_cast<int16_t>(aspect::Clear(direction));
    status.RequestPending = 0;
    status.CTCCancelRequest = 0;
    store.UpdateSignalStatus(index, status);
    CTCClearRoutePending(engine, index);
    SendSignalWord(store, index, false);
    store.InvalidateDevice(signalDevice, 0, 1);
    return 0;
  }

  if (const interlocking::Refusal refusal = interlocking::SignalClearRefusal(status, fromStack != 0)) {
    ++status.RefusalCount;
    store.UpdateSignalStatus(index, status);
    Refuse(store, refusal.Text);
    return 0;
  }

  if (status.Aspect == aspect::kStop && status.Fleet == 0) {
    if (CTCCheckRoute(engine, direction, data.Block, false, false) > 0) {
      status = store.GetSignalStatus(index);
      status.Aspect = static_cast<int16_t>(aspect::Clear(direction));
      status.RequestPending = 1;
      status.RefusalCount = 0;
      status.CTCCancelRequest = 0;
      // Stays set until the field's indication: the request is outstanding.
      status.CTCClearRequest = 1;
      store.UpdateSignalStatus(index, status);
      store.InvalidateDevice(signalDevice, fromStack == 1 ? 1 : 0, 1);
      CTCBuildXferOutMsg(store, kCTCSignal, index);
    } else {
      status = store.GetSignalStatus(index);
      ++status.RefusalCount;
      store.UpdateSignalStatus(index, status);
    }
    return 0;
  }

  if (aspect::IsClear(status.Aspect)) {
    DevicePath path;
    engine.TraceDevicePath(direction, data.Block, path);
    // The office asks whenever a train is there, even with the run stopped; with none the route waits,
    // marked, for the field to take it back.
    const ApproachCancel cancel = engine.CancelBeforeApproachingTrain(
        index, path, status, {.StoppedRunReleases = false, .PauseForMessages = false, .MayRunPast = false});
    if (cancel == ApproachCancel::Declined) return 0;
    if (cancel == ApproachCancel::NoTrain) CTCMarkRoutePending(engine, index);
    status.Aspect = aspect::kStop;
    status.Fleet = 0;
    status.CTCCancelRequest = 1;
    status.RequestPending = 1;
    status.RefusalCount = 0;
    store.UpdateSignalStatus(index, status);
    store.InvalidateDevice(signalDevice, 0, 1);
    store.PaintSignal(index);
    CTCBuildXferOutMsg(store, kCTCSignal, index);
    walks::UpdateBlocksClearedAhead(engine);
    return 1;
  }

  // A fleeted signal at stop: nothing for a click to change.
  walks::UpdateBlocksClearedAhead(engine);
  return 1;
}

int CTCCheckRoute(Engine& engine, int direction, int startBlock, bool silent, bool force) {
  const RouteRequestRules rules{.RefuseRequestedSwitch = true, .MarkPending = true, .PauseForMessages = false};
  return engine.CheckRoute(direction, startBlock, silent ? 1 : 0, force ? 1 : 0, kScreenRequest, rules);
}

void CTCDropSignalRoute(Engine& engine, int signal) {
  Corvane3Data& store = engine.Store();
  if (signal < 0 || signal >= kMaxSignals) {
    store.InternalErrorTrap(signal, "Signal index error - CTCDropSignalRoute");
    return;
  }
  // The released devices wait for nothing any more: no mark may keep them flashing.
  SetRoutePending(engine, signal, false);
  SignalStatus status = store.GetSignalStatus(signal);
  DevicePath path;
  engine.TraceDevicePath(SignalDirection(status), store.GetSignalData(signal).Block, path);
  engine.ReleaseRoute(path.Ids.data(), path.Dirs.data(), kPathEntries);
  status = store.GetSignalStatus(signal);
  status.CTCCancelRequest = status.CTCClearRequest = status.RequestPending = 0;
  status.Aspect = aspect::kStop;
  store.UpdateSignalStatus(signal, status);
  store.InvalidateDevice(kSignalBase + signal, 0, 1);
}

void CTCMarkRoutePending(Engine& engine, int signal) { SetRoutePending(engine, signal, true); }
void CTCClearRoutePending(Engine& engine, int signal) { SetRoutePending(engine, signal, false); }

}  // namespace xfer
