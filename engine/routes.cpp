// Entrance-exit routes and the signal stack: the route search over chosen
// switch positions, setting up a whole route at once, and the stack of
// routes that wait until they are free.
#include <algorithm>
#include <array>
#include <bitset>
#include <cstdio>
#include <string>

#include "engine/interlocking_devices.h"
#include "engine/interlocking_rules.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/track_codes.h"

using namespace interlocking;

namespace {

constexpr int kFaultBase = 10000;
// Each search flips one more facing switch; a damaged territory must not keep
// the backtracking busy for ever.
constexpr int kMaxRouteSearches = 4096;

using Positions = std::array<int32_t, kPathEntries>;

// A signal whose cell code is 19 or 21 governs moves to the left.
int SignalDataDirection(const SignalData& data) { return track::SignalDirection(data.TrackCode); }

int FarSignal(const BlockData& block, int d) { return d == 1 ? block.RightSignal : block.LeftSignal; }
int NearSignal(const BlockData& block, int d) { return d == 1 ? block.LeftSignal : block.RightSignal; }
bool SignalledFor(const BlockData& block, int d) { return (d == 1 ? block.SignalledRight : block.SignalledLeft) != 0; }

bool SameDirectionCode(int code, int d) { return code == ClearedCode(d) || code == OccupiedCode(d); }
bool FreeOrSameDirection(int code, int d) { return code == occupancy::kFree || SameDirectionCode(code, d); }

// Entered from its diverging leg by a trailing move: the switch must lie reversed.
bool TrailsFromDivergingLeg(const SwitchData& data, int code, int from, int d) {
  if (d == 0) return DivergesRight(code) && from == data.Legs[2];
  return DivergesLeft(code) && from == data.Legs[0];
}

std::string SignalName(const Corvane3Data& store, int signal) {
  if (signal < 0 || signal >= kMaxSignals) return "";
  return FieldText(store.GetSignalData(signal).Name);
}

std::string SignalRouteText(const char* format, const std::string& from, const std::string& to) {
  char text[256];
  std::snprintf(text, sizeof text, format, from.c_str(), to.c_str());
  return text;
}

// The added and deleted notices carry the first caption; the run pauses while they show.
void ShowNotice(Engine& engine, const std::string& text) {
  Corvane3Data& store = engine.Store();
  engine.SetStopStatus();
  store.Messages().ShowMessage(text, FieldText(store.Captions[0], kCaptionChars), MessageIcon::Information,
                               MessageButtons::Ok);
  engine.ClearStopStatus();
}

}  // namespace

namespace routes {

// The route search with backtracking over facing switches: search; while no
// route is found, turn the last facing switch still normal to reversed, forget
// what lies beyond it and search again.
int SearchWithBacktracking(Engine& engine, int entrance, int exitSignal, DevicePath& path, Positions& positions,
                           uint8_t stopAtNextSignal, bool resetTrailing) {
  Corvane3Data& store = engine.Store();
  const SignalData entry = store.GetSignalData(entrance);
  const int direction = SignalDataDirection(entry);
  positions.fill(0);
  path.Ids.fill(-1);
  path.Dirs.fill(-1);
  auto search = [&] {
    return engine.SearchRoute(direction, entry.Block, path.Ids.data(), path.Dirs.data(), positions.data(), exitSignal,
                              kPathEntries, stopAtNextSignal);
  };
  int r = search();
  for (int searches = 1; r == -1 && searches < kMaxRouteSearches; ++searches) {
    int turn = -1;
    // Only walked entries count: the last entry may remember a switch that is no part of the walk.
    for (int i = kPathEntries - 2; i >= 1 && turn == -1; --i) {
      const int device = path.Ids[i];
      if (!IsSwitch(device) || path.Dirs[i] < 0) continue;
      if (SwitchFacesMove(store.GetSwitchStatus(device - kSwitchBase).TrackCode, path.Dirs[i])) {
        if (positions[i] == 0) turn = i;
      } else if (resetTrailing) {
        positions[i] = 0;
      }
    }
    if (turn == -1) break;
    positions[turn] = 1;
    for (int j = turn + 1; j < kPathEntries; ++j) {
      path.Ids[j] = -1;
      positions[j] = 0;
    }
    r = search();
  }
  return r;
}

// Shows why no route was found, highlighting the device at fault.
void RefuseRoute(Engine& engine, int r) {
  Corvane3Data& store = engine.Store();
  if (r > -kFaultBase) {
    ShowPaused(engine,
               "Could not create a route to the exit signal.  The exit signal may be too far from the entrance "
               "signal.  The system will only search up to 48 devices (blocks, switches and diamonds) from the "
               "entrance signal.",
               MessageIcon::Error, MessageButtons::Ok);
    return;
  }
  const int device = -r - kFaultBase;
  if (IsBlock(device)) {
    BlockStatus status = store.GetBlockStatus(device);
    status.Highlight = status.Highlight2 = 1;
    store.UpdateBlockStatus(device, status);
    store.DrawDevice(device);
    engine.Run().HighlightedDevice = device;
    ShowPaused(engine,
               "A route could not be established.  There is a block that is not signalled in the same direction as "
               "the route.",
               MessageIcon::Error, MessageButtons::Ok);
  } else if (IsSwitch(device)) {
    SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
    status.Highlight = status.Highlight2 = 1;
    store.UpdateSwitchStatus(device - kSwitchBase, status);
    store.DrawDevice(device);
    engine.Run().HighlightedDevice = device;
    ShowPaused(engine,
               "A route could not be established.  There is a switch between the exit signal you selected and the "
               "next control signal in the direction of travel.",
               MessageIcon::Error, MessageButtons::Ok);
  }
}

// The entrance signal picked before stops flashing.
void DropPickedEntrance(Engine& engine) {
  Corvane3Data& store = engine.Store();
  const int device = engine.Run().SelectedDevice;
  if (IsSignal(device)) {
    SignalStatus status = store.GetSignalStatus(device - kSignalBase);
    status.Highlight = status.Highlight2 = 0;
    store.UpdateSignalStatus(device - kSignalBase, status);
    store.InvalidateDevice(device, 0, 1);
  }
  engine.Run().SelectedDevice = -1;
}

// Throws every switch of a route that does not lie as the route needs it,
// up to the block whose far-end signal is `exitSignal` (-1: the whole route).
// A switch that moves with the one just handled (its crossover partner) is
// left to it. False when a switch refused.
bool ThrowRouteSwitches(Engine& engine, const int32_t* ids, const int32_t* dirs, const int32_t* positions,
                        int exitSignal, uint8_t forced) {
  Corvane3Data& store = engine.Store();
  int lastSwitch = -1;
  for (int i = 0; i < kPathEntries - 1 && ids[i] != -1; ++i) {
    const int device = ids[i];
    const int d = dirs[i];
    if (IsBlock(device)) {
      if (exitSignal != -1 && FarSignal(store.GetBlockData(device), d) == exitSignal) break;
      continue;
    }
    if (!IsSwitch(device)) continue;
    const int index = device - kSwitchBase;
    const SwitchData data = store.GetSwitchData(index);
    const SwitchStatus status = store.GetSwitchStatus(index);
    const bool partnerOfLast = lastSwitch != -1 && data.Partner == lastSwitch;
    lastSwitch = index;
    if (partnerOfLast) continue;
    int required = positions[i] != 0 ? 1 : 0;
    if (i > 0 && TrailsFromDivergingLeg(data, status.TrackCode, ids[i - 1], d)) required = 1;
    if (status.Position != required && engine.ThrowSwitch(device, forced, 0, kScreenRequest) == 0) return false;
  }
  return true;
}

}  // namespace routes

using namespace routes;

int Engine::SearchRoute(int direction, int startBlock, int32_t* ids, int32_t* dirs, int32_t* positions, int exitSignal,
                        int count, uint8_t stopAtNextSignal) {
  if (ids == nullptr || dirs == nullptr || positions == nullptr || count < 3 || count > kPathEntries) return -1;
  if (!IsBlock(startBlock) || exitSignal < 0) return -1;
  Corvane3Data& store = Store();
  std::fill(ids, ids + count, -1);
  std::fill(dirs, dirs + count, -1);
  ids[0] = startBlock;
  dirs[0] = direction;
  int n = 1;
  int badBlock = -1;
  int exitPoint = 0;  // the entry of the block beyond an exit met at its near end; 0 none
  int lastEndCode = -1;
  auto fault = [](int device) { return -(kFaultBase + device); };
  auto endOfWalk = [&] { return exitPoint > 0 ? exitPoint : -1; };

  for (;;) {
    const int current = ids[n - 1];
    int d = dirs[n - 1];
    const int previous = n >= 2 ? ids[n - 2] : -1;
    int next = -1;
    if (IsBlock(current)) {
      const BlockData block = store.GetBlockData(current);
      WalkInBlock(store, current, block, n, previous, lastEndCode, dirs[n - 1], d);
      if (n >= 2) {
        const int e = dirs[n - 1];
        if (block.PassThrough != 1 && badBlock == -1 && !SignalledFor(block, e)) badBlock = current;
        const int far = FarSignal(block, e);
        if (far == exitSignal) return badBlock != -1 ? fault(badBlock) : n;
        if (NearSignal(block, e) == exitSignal) {
          if (badBlock != -1) return fault(badBlock);
          exitPoint = n - 1;
        }
        if (far != -1 && (exitPoint > 0 || stopAtNextSignal)) return endOfWalk();
      }
      next = d == 1 ? block.RightNeighbour : block.LeftNeighbour;
    } else if (IsSwitch(current)) {
      const SwitchStatus status = store.GetSwitchStatus(current - kSwitchBase);
      if (exitPoint > 0 && SwitchFacesMove(status.TrackCode, d)) return fault(current);
      next = SwitchExitLeg(store.GetSwitchData(current - kSwitchBase), status.TrackCode, positions[n - 1] != 0, d);
    } else if (IsDiamond(current)) {
      next = WalkOverDiamond(store, store.GetCrossData(current - kDiamondBase), previous, lastEndCode, d);
    }

    if (!IsPathDevice(next)) return endOfWalk();
    if (n >= count - 2) return -1;
    if (IsSwitch(next)) {
      const SwitchData data = store.GetSwitchData(next - kSwitchBase);
      const int code = store.GetSwitchStatus(next - kSwitchBase).TrackCode;
      if (positions[n] == 0) {
        if (!SwitchJoinsEntry(data, code, false, current, d)) positions[n] = 1;
      } else if (SwitchRefusesEntry(data, code, true, current, d)) {
        ids[count - 1] = next;
      }
    }
    ids[n] = next;
    dirs[n] = d;
    ++n;
  }
}

int Engine::CreateRoute(int entranceSignal, int exitSignal) {
  Corvane3Data& store = Store();
  if (entranceSignal < 0 || entranceSignal >= kMaxSignals || exitSignal < 0 || exitSignal >= kMaxSignals) {
    store.InternalErrorTrap(entranceSignal < 0 || entranceSignal >= kMaxSignals ? entranceSignal : exitSignal,
                            "Signal index error - CreateRoute");
    return 0;
  }
  DropPickedEntrance(*this);
  DevicePath path;
  Positions positions{};
  const int r = SearchWithBacktracking(*this, entranceSignal, exitSignal, path, positions, 0, true);
  if (r <= 0) {
    RefuseRoute(*this, r);
    return 0;
  }
  if (!ThrowRouteSwitches(*this, path.Ids.data(), path.Dirs.data(), positions.data(), exitSignal, 0)) return 0;

  for (int i = 0; i < kPathEntries - 1 && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (!IsBlock(device)) continue;
    const BlockData block = store.GetBlockData(device);
    if (block.LeftSignal == exitSignal || block.RightSignal == exitSignal) break;
    const int signal = FarSignal(block, path.Dirs[i]);
    if (signal < 0 || signal >= kMaxSignals) continue;
    if (store.GetSignalStatus(signal).Aspect == aspect::kStop) ClearSignal(kSignalBase + signal, 0, kScreenRequest);
  }
  return 1;
}

int Engine::CheckStackRoute(int entranceSignal, int exitSignal, int32_t* ids, int32_t* dirs, int32_t* positions) {
  if (ids == nullptr || dirs == nullptr || positions == nullptr) return 0;
  if (entranceSignal < 0 || entranceSignal >= kMaxSignals || exitSignal < 0 || exitSignal >= kMaxSignals) {
    Store().InternalErrorTrap(entranceSignal < 0 || entranceSignal >= kMaxSignals ? entranceSignal : exitSignal,
                              "Signal index error - CheckStackRoute");
    return 0;
  }
  DevicePath path;
  Positions chosen{};
  const int r = SearchWithBacktracking(*this, entranceSignal, exitSignal, path, chosen, 1, false);
  if (r <= 0) {
    RefuseRoute(*this, r);
    return 0;
  }
  std::copy(path.Ids.begin(), path.Ids.end(), ids);
  std::copy(path.Dirs.begin(), path.Dirs.end(), dirs);
  std::copy(chosen.begin(), chosen.end(), positions);
  return 1;
}

int Engine::AddStackCommand(int entranceSignal, int exitSignal) {
  Corvane3Data& store = Store();
  DevicePath path;
  Positions positions{};
  if (CheckStackRoute(entranceSignal, exitSignal, path.Ids.data(), path.Dirs.data(), positions.data()) == 0) return 0;

  const int slot = store.FindFreeStackData();
  if (slot == -1) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Could not add another stack command.  The maximum allowed is %d.  You must delete one to add "
                  "another.",
                  kMaxStack);
    ShowPaused(*this, text, MessageIcon::Error, MessageButtons::Ok);
    return 0;
  }

  StackData command{};
  command.InUse = 1;
  command.EntranceSignal = static_cast<int16_t>(entranceSignal);
  command.ExitSignal = static_cast<int16_t>(exitSignal);
  for (int i = 0; i < kStackRouteDevices; ++i) {
    command.Devices[i] = static_cast<int16_t>(path.Ids[i]);
    command.Directions[i] = static_cast<int16_t>(path.Dirs[i]);
    command.Positions[i] = static_cast<int16_t>(positions[i]);
  }
  store.UpdateStackData(slot, command);

  DropPickedEntrance(*this);
  RefreshStackMarks();
  if (store.GetOptionData().StackMessage == 1)
    ShowNotice(*this,
               SignalRouteText("A signal stack command was added for a route from Signal \"%s\" to Signal \"%s\".",
                               SignalName(store, entranceSignal), SignalName(store, exitSignal)));
  return 1;
}

void Engine::DeleteStackCommand(int position) {
  Corvane3Data& store = Store();
  const int target = Run().PopupSignal;
  if (!IsSignal(target) || position < 0) return;
  const int signal = target - kSignalBase;
  int slot = -1;
  for (int i = 0, seen = 0; i < kMaxStack && slot == -1; ++i) {
    const StackData command = store.GetStackData(i);
    if (command.InUse != 1) break;
    if (command.EntranceSignal == signal && seen++ == position) slot = i;
  }
  if (slot == -1) return;

  const StackData command = store.GetStackData(slot);
  for (int i = 1; i < kStackRouteDevices - 1 && command.Devices[i] != -1; ++i)
    if (IsPathDevice(command.Devices[i])) store.InvalidateDevice(command.Devices[i], 0, 1);
  store.FreeStackData(slot);
  RefreshStackMarks();
  ShowNotice(*this,
             SignalRouteText("A signal stack command was deleted for a route from Signal \"%s\" to Signal \"%s\".",
                             SignalName(store, command.EntranceSignal), SignalName(store, command.ExitSignal)));
  store.InvalidateDevice(target, 0, 1);
}

void Engine::ProcessSignalStack() {
  Corvane3Data& store = Store();
  // Devices named by the commands before the one looked at: a command waits
  // while an earlier one shares a device with it, so the earlier goes first.
  std::bitset<device::kDeviceLimit> earlier;
  for (int slot = 0; slot < kMaxStack; ++slot) {
    const StackData command = store.GetStackData(slot);
    if (command.InUse != 1) break;
    bool overlaps = false;
    for (int i = 1; i < kStackRouteDevices - 1 && command.Devices[i] != -1; ++i) {
      const int device = command.Devices[i];
      if (!device::IsDevice(device)) continue;
      overlaps = overlaps || earlier.test(device);
      earlier.set(device);
    }
    const int entrance = command.EntranceSignal;
    if (overlaps || entrance < 0 || entrance >= kMaxSignals) continue;
    const SignalStatus signal = store.GetSignalStatus(entrance);
    if (signal.Aspect != aspect::kStop || signal.Fleet == 1) continue;
    if (StackRouteIsFree(slot) == 0) continue;
    if (ExecuteStackCommand(slot) == 0) continue;
    store.FreeStackData(slot);
    RefreshStackMarks();
    return;
  }
}

int Engine::StackRouteIsFree(int slot) {
  Corvane3Data& store = Store();
  if (slot < 0 || slot >= kMaxStack) return 0;
  const StackData command = store.GetStackData(slot);
  if (command.EntranceSignal < 0 || command.EntranceSignal >= kMaxSignals) return 0;
  if (store.GetSignalStatus(command.EntranceSignal).FailureCount != 0xFF) return 0;
  int freeBlocks = 0;
  for (int i = 1; i < kStackRouteDevices - 1 && command.Devices[i] != -1; ++i) {
    const int device = command.Devices[i];
    const int d = command.Directions[i] == 1 ? 1 : 0;
    if (IsBlock(device)) {
      const BlockData data = store.GetBlockData(device);
      const BlockStatus status = store.GetBlockStatus(device);
      const int code = status.Occupancy;
      if (!FreeOrSameDirection(code, d) || status.PermitActive != 0) return 0;
      if (freeBlocks > 0 || data.PassThrough == 1) continue;
      if (code == 0) {
        if (!SignalledFor(data, d)) return 0;
        ++freeBlocks;
      } else if (code == OccupiedCode(d)) {
        break;
      }
    } else if (IsSwitch(device)) {
      const int index = device - kSwitchBase;
      const SwitchStatus status = store.GetSwitchStatus(index);
      if (!FreeOrSameDirection(status.Occupancy, d)) return 0;
      if (status.Position != (command.Positions[i] != 0 ? 1 : 0)) {
        const SwitchData data = store.GetSwitchData(index);
        // A hand-thrown or failed switch, or a lock on it or its partner, keeps the command waiting.
        if (data.HandThrown == 1 || status.FailureCount != -1) return 0;
        const bool paired = data.Partner >= 0 && data.Partner < kMaxSwitches;
        const SwitchStatus partner = paired ? store.GetSwitchStatus(data.Partner) : SwitchStatus{};
        if (SwitchLockRefusal(status, paired ? &partner : nullptr)) return 0;
      }
    } else if (IsDiamond(device)) {
      const int index = device - kDiamondBase;
      const int route = store.GetCrossRoute(index, command.Devices[i - 1]);
      const CrossStatus status = store.GetCrossStatus(index);
      if (!FreeOrSameDirection(status.Occupancy[route], d)) return 0;
      const int other = status.Occupancy[1 - route];
      if (other != 0 && !(store.GetCrossData(index).BothRoutes == 1 && (other == 1 || other == 2))) return 0;
    }
  }
  return freeBlocks > 0 ? 1 : 0;
}

int Engine::ExecuteStackCommand(int slot) {
  Corvane3Data& store = Store();
  if (slot < 0 || slot >= kMaxStack) return 0;
  const StackData command = store.GetStackData(slot);
  std::array<int32_t, kPathEntries> ids{}, dirs{}, positions{};
  for (int i = 0; i < kPathEntries; ++i) {
    ids[i] = command.Devices[i];
    dirs[i] = command.Directions[i];
    positions[i] = command.Positions[i];
  }
  ids[kPathEntries - 1] = -1;  // the remembered switch is no part of the route
  if (!ThrowRouteSwitches(*this, ids.data(), dirs.data(), positions.data(), -1, 1)) return 0;

  for (int i = 0; ids[i] != -1; ++i) {
    if (!IsBlock(ids[i])) continue;
    const int signal = FarSignal(store.GetBlockData(ids[i]), dirs[i]);
    if (signal == -1) continue;
    if (signal < 0 || signal >= kMaxSignals) return 0;
    if (store.GetSignalStatus(signal).Aspect != aspect::kStop) return 1;
    return ClearSignal(kSignalBase + signal, 1, kScreenRequest);
  }
  return 1;
}

void Engine::RefreshStackMarks() {
  Corvane3Data& store = Store();
  constexpr uint8_t kNoMark = 4;
  const int blocks = std::clamp(store.GetCountData().Words[kCountBlocks], 0, kMaxBlocks);
  for (int index = 0; index < blocks; ++index) {
    BlockStatus status = store.GetBlockStatus(index);
    if (status.InUse == 0 || status.StackMark == kNoMark) continue;
    status.StackMark = kNoMark;
    store.UpdateBlockStatus(index, status);
  }
  const int switches = std::clamp(store.GetCountData().Words[kCountSwitches], 0, kMaxSwitches);
  for (int index = 0; index < switches; ++index) {
    SwitchStatus status = store.GetSwitchStatus(index);
    if (status.InUse == 0 || status.StackMark == kNoMark) continue;
    status.StackMark = kNoMark;
    store.UpdateSwitchStatus(index, status);
  }
  const int diamonds = std::clamp(store.GetCountData().Words[kCountDiamonds], 0, kMaxCrossings);
  for (int index = 0; index < diamonds; ++index) {
    CrossStatus status = store.GetCrossStatus(index);
    if (status.InUse == 0 || (status.Route[0].StackMark == kNoMark && status.Route[1].StackMark == kNoMark)) continue;
    status.Route[0].StackMark = status.Route[1].StackMark = kNoMark;
    store.UpdateCrossStatus(index, status);
  }
  MarkStackRoutes();
}

void Engine::MarkStackRoutes() {
  Corvane3Data& store = Store();
  constexpr uint8_t kNoMark = 4;
  for (int slot = 0; slot < kMaxStack; ++slot) {
    const StackData command = store.GetStackData(slot);
    if (command.InUse != 1) continue;
    for (int i = 1; i < kStackRouteDevices - 1 && command.Devices[i] != -1; ++i) {
      const int device = command.Devices[i];
      const uint8_t mark = command.Directions[i] == 1 ? 1 : 0;
      if (IsBlock(device)) {
        BlockStatus status = store.GetBlockStatus(device);
        if (status.StackMark != kNoMark) continue;
        status.StackMark = mark;
        store.UpdateBlockStatus(device, status);
      } else if (IsSwitch(device)) {
        SwitchStatus status = store.GetSwitchStatus(device - kSwitchBase);
        if (status.StackMark != kNoMark) continue;
        status.StackMark = mark;
        store.UpdateSwitchStatus(device - kSwitchBase, status);
      } else if (IsDiamond(device)) {
        const int route = store.GetCrossRoute(device - kDiamondBase, command.Devices[i - 1]);
        CrossStatus status = store.GetCrossStatus(device - kDiamondBase);
        if (status.Route[route].StackMark != kNoMark) continue;
        status.Route[route].StackMark = mark;
        store.UpdateCrossStatus(device - kDiamondBase, status);
      } else {
        continue;
      }
      store.InvalidateDevice(device, 0, 1);
    }
  }
}
