// Timed device work: running times that run out, fleeted signals that clear
// again, crew throws of hand-thrown switches, maintainer repairs, and the two
// blinking displays.
#include <algorithm>

#include "engine/interlocking_devices.h"
#include "store/device_numbers.h"
#include "store/status_codes.h"
#include "store/track_codes.h"

using namespace interlocking;

namespace {

constexpr int kCrewThrowDelaySeconds = 120;

// Table walks are bounded by the territory's counts, never beyond the tables.
int CountOf(const Corvane3Data& store, int word, int capacity) {
  return std::clamp(store.GetCountData().Words[word], 0, capacity);
}

int SignalDirection(const SignalStatus& status) { return track::SignalDirection(status.TrackCode); }
using aspect::Clear;
using occupancy::IsOccupied;

}  // namespace

void Engine::ExpireRunningTimes() {
  Corvane3Data& store = Store();
  const int signals = CountOf(store, kCountSignals, kMaxSignals);
  for (int index = store.NextSignalWithTimedWork(-1, signals); index >= 0;
       index = store.NextSignalWithTimedWork(index, signals)) {
    if (store.SignalDataRef(index).InUse == 0) continue;
    const SignalStatus& view = store.SignalStatusRef(index);
    if (view.RunningTimeEnd == -1 || view.RunningTimeEnd > store.SimClock) continue;
    SignalStatus status = view;

    DevicePath path;
    TraceDevicePath(SignalDirection(status), store.GetSignalData(index).Block, path);
    // The release ends at the path's end mark: the last entry may name a
    // switch lying against the path, which is no part of the route. A train
    // on a switch or diamond ends it as a train in a block does.
    for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
      const int device = path.Ids[i];
      const int d = path.Dirs[i];
      if (IsBlock(device)) {
        BlockStatus block = store.GetBlockStatus(device);
        if (IsOccupied(block.Occupancy)) break;
        block.Occupancy = occupancy::kFree;
        store.UpdateBlockStatus(device, block);
        store.InvalidateDevice(device, 0, 1);
        if (RouteEndsAt(store.GetBlockData(device), d)) break;
      } else if (IsSwitch(device)) {
        SwitchStatus sw = store.GetSwitchStatus(device - kSwitchBase);
        if (IsOccupied(sw.Occupancy)) break;
        sw.Occupancy = occupancy::kFree;
        store.UpdateSwitchStatus(device - kSwitchBase, sw);
        store.InvalidateDevice(device, 0, 1);
      } else if (IsDiamond(device)) {
        const int route = store.GetCrossRoute(device - kDiamondBase, path.Ids[i - 1]);
        CrossStatus cross = store.GetCrossStatus(device - kDiamondBase);
        if (IsOccupied(cross.Occupancy[route])) break;
        cross.Occupancy[route] = occupancy::kFree;
        store.UpdateCrossStatus(device - kDiamondBase, cross);
        store.InvalidateDevice(device, 0, 1);
      }
    }

    status.Aspect = aspect::kStop;
    status.RunningTimeEnd = -1;
    store.UpdateSignalStatus(index, status);
    store.InvalidateDevice(kSignalBase + index, 0, 1);
  }
}

void Engine::BlinkRunningTimeSignals() {
  Corvane3Data& store = Store();
  const bool phaseOn = (Run().BlinkCounter & 1) != 0;
  const int signals = CountOf(store, kCountSignals, kMaxSignals);
  for (int index = store.NextSignalWithTimedWork(-1, signals); index >= 0;
       index = store.NextSignalWithTimedWork(index, signals)) {
    SignalStatus status = store.GetSignalStatus(index);
    if (status.InUse == 0 || status.RunningTimeEnd == -1) continue;
    status.Aspect = static_cast<int16_t>(phaseOn ? aspect::kStop : Clear(SignalDirection(status)));
    store.UpdateSignalStatus(index, status);
    store.InvalidateDevice(kSignalBase + index, 0, 1);
  }
}

void Engine::FlashSelectedDevice() {
  Corvane3Data& store = Store();
  const int device = Run().SelectedDevice;
  if (!device::IsDevice(device)) return;
  const uint8_t phase = (Run().BlinkCounter & 1) != 0 ? 1 : 0;
  // The record is stored before the device is drawn, so the drawing shows this phase.
  if (IsBlock(device)) {
    BlockStatus status = store.GetBlockStatus(device);
    status.Highlight = phase;
    store.UpdateBlockStatus(device, status);
  } else if (IsSwitch(device)) {
    SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
    status.Highlight = phase;
    store.UpdateSwitchStatus(device - kSwitchBase, status);
  } else if (IsSignal(device)) {
    SignalStatus status = store.GetSignalStatus(device - kSignalBase);
    status.Highlight2 = phase;
    store.UpdateSignalStatus(device - kSignalBase, status);
  } else {
    CrossStatus status = store.GetCrossStatus(device - kDiamondBase);
    status.Highlight2 = phase;
    store.UpdateCrossStatus(device - kDiamondBase, status);
  }
  if (phase)
    store.DrawDevice(device);
  else
    store.InvalidateDevice(device, 0, 1);
}

void Engine::ReclearSignals() {
  Corvane3Data& store = Store();
  const int signals = CountOf(store, kCountSignals, kMaxSignals);
  for (int index = store.NextSignalWithTimedWork(-1, signals); index >= 0;
       index = store.NextSignalWithTimedWork(index, signals)) {
    // Only a fleeted signal is cleared again: most are passed over on that flag alone.
    const SignalStatus& view = store.SignalStatusRef(index);
    const SignalData& data = store.SignalDataRef(index);
    if (view.Fleet == 0 || view.Aspect != aspect::kStop || data.InUse == 0) continue;
    const int direction = SignalDirection(view);
    if (CheckRoute(direction, data.Block, 1, 0, kScreenRequest) <= 0) continue;
    SignalStatus status = store.GetSignalStatus(index);
    status.Aspect = static_cast<int16_t>(Clear(direction));
    store.UpdateSignalStatus(index, status);
    store.InvalidateDevice(kSignalBase + index, 0, 1);
  }
}

void Engine::ProcessCrewSwitchThrows() {
  Corvane3Data& store = Store();
  const int switches = CountOf(store, kCountSwitches, kMaxSwitches);
  for (int index = store.NextSwitchWithTimedWork(-1, switches); index >= 0;
       index = store.NextSwitchWithTimedWork(index, switches)) {
    // Most switches have no crew throw asked for or under way: they are passed over without a copy.
    const SwitchStatus& view = store.SwitchStatusRef(index);
    if (view.InUse == 0 || (view.CrewThrowRequest != 1 && view.CrewThrowTime == -1)) continue;
    SwitchStatus status = view;
    const bool handThrown = store.GetSwitchData(index).HandThrown == 1;
    if (handThrown && status.CrewThrowRequest == 1 && status.CrewThrowTime == -1 &&
        status.Occupancy == occupancy::kFree) {
      status.CrewThrowTime = store.SimClock + kCrewThrowDelaySeconds;
      status.CrewThrowRequest = 0;
      store.UpdateSwitchStatus(index, status);
    } else if (status.CrewThrowTime != -1) {
      if (status.FailureCount == -1 && !handThrown) {
        status.CrewThrowTime = -1;
        store.UpdateSwitchStatus(index, status);
      } else if (status.CrewThrowTime <= store.SimClock) {
        status.CrewThrowTime = -1;
        store.UpdateSwitchStatus(index, status);
        ThrowSwitch(kSwitchBase + index, 0, 1, kScreenRequest);
      }
    }
  }
}

void Engine::RepairSwitches() {
  Corvane3Data& store = Store();
  const int switches = CountOf(store, kCountSwitches, kMaxSwitches);
  for (int index = store.NextSwitchWithTimedWork(-1, switches); index >= 0;
       index = store.NextSwitchWithTimedWork(index, switches)) {
    const SwitchStatus& view = store.SwitchStatusRef(index);
    if (view.InUse == 0 || view.MaintainerFixTime == -1 || view.MaintainerFixTime > store.SimClock) continue;
    SwitchStatus status = view;
    status.MaintainerFixTime = -1;
    status.FailureCount = -1;
    status.MaintainerCalled = 0;
    store.UpdateSwitchStatus(index, status);
    store.InvalidateDevice(kSwitchBase + index, 0, 1);
  }
}

void Engine::RepairSignals() {
  Corvane3Data& store = Store();
  const int signals = CountOf(store, kCountSignals, kMaxSignals);
  for (int index = store.NextSignalWithTimedWork(-1, signals); index >= 0;
       index = store.NextSignalWithTimedWork(index, signals)) {
    const SignalStatus& view = store.SignalStatusRef(index);
    if (view.InUse == 0 || view.MaintainerFixTime == -1 || view.MaintainerFixTime > store.SimClock) continue;
    SignalStatus status = view;
    status.MaintainerFixTime = -1;
    status.FailureCount = 0xFF;
    status.MaintainerCalled = 0;
    store.UpdateSignalStatus(index, status);
    store.InvalidateDevice(kSignalBase + index, 0, 1);
  }
}
