// Fleeting: a fleeted signal stays cleared for the trains that follow, and
// every switch of its route up to the next signal is locked against throwing
// until the fleet is removed.
#include "engine/interlocking_devices.h"
#include "store/status_codes.h"
#include "store/track_codes.h"

using namespace interlocking;

namespace {

constexpr int kStopAspect = aspect::kStop;
constexpr int kClearedRight = 1;
constexpr int kClearedLeft = 2;

// Signals drawn for vertical track have no fleeting.
bool CanBeFleeted(int trackCode) { return !track::IsStubSignal(trackCode); }

// Sets or clears the fleet lock of each switch on the traced route, from the
// device after the signal's block up to the block that carries the next signal.
void LockRouteSwitches(Corvane3Data& store, const DevicePath& path, int count, uint8_t lock) {
  for (int k = 1; k < count && k < kPathEntries; ++k) {
    const int device = path.Ids[k];
    if (device == -1) return;
    if (IsBlock(device)) {
      const BlockData block = store.GetBlockData(device);
      if ((path.Dirs[k] == 0 ? block.LeftSignal : block.RightSignal) != -1) return;
    } else if (IsSwitch(device)) {
      SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
      status.FleetLocked = lock;
      store.UpdateSwitchStatus(device - kSwitchBase, status);
    }
  }
}

}  // namespace

void Engine::FleetSignal(int signalDevice, int source) {
  Corvane3Data& store = Store();
  if (signalDevice >= 10000) signalDevice -= 10000;
  if (!IsSignal(signalDevice) || signalDevice - kSignalBase >= kMaxSignals) {
    store.InternalErrorTrap(signalDevice, "Signal index error - FleetSignal");
    return;
  }
  const int index = signalDevice - kSignalBase;
  const bool tell = source == kScreenRequest && store.GetOptionData().HelpMessagesOn == 1;
  auto refuse = [&](const char* text) {
    if (tell) ShowPaused(*this, text, MessageIcon::Error, MessageButtons::Ok);
  };

  SignalStatus status = store.GetSignalStatus(index);
  const SignalData data = store.GetSignalData(index);
  if (!CanBeFleeted(status.TrackCode)) return refuse("This type of signal cannot be fleeted.");
  if (status.RunningTimeEnd != -1) return refuse("This signal cannot be fleeted because it is running time.");
  if (status.Aspect == kStopAspect) {
    if (ClearSignal(signalDevice, 0, source) == 0) return;  // the refusal was its own
    status = store.GetSignalStatus(index);
  }
  if (status.Aspect == kStopAspect && status.Fleet == 0)
    return refuse("A signal cannot be fleeted unless it is first cleared.");

  DevicePath path;
  const int direction = track::SignalDirection(status.TrackCode);
  const int count = TraceDevicePath(direction, data.Block, path);
  if (status.Fleet == 1) {
    status.Fleet = 0;
    LockRouteSwitches(store, path, count, 0);
  } else if (status.Aspect == kClearedRight || status.Aspect == kClearedLeft) {
    status.Fleet = 1;
    LockRouteSwitches(store, path, count, 1);
  }
  store.UpdateSignalStatus(index, status);
  store.InvalidateDevice(signalDevice, 0, 1);
}
