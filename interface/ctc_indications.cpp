#include "interface/ctc_indications.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "engine/engine.h"
#include "engine/interlocking_devices.h"
#include "interface/ctc_reader.h"
#include "interface/ctc_requests.h"
#include "interface/incoming.h"
#include "interface/outgoing.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/train_codes.h"

namespace xfer {

namespace {

using device::IsBlock;
using device::IsDiamond;
using device::IsSwitch;
using device::kDiamondBase;
using device::kSignalBase;
using device::kSwitchBase;

bool StartsWith(const std::string& text, const char* word) { return text.rfind(word, 0) == 0; }

// A cleared (or running-time) code turned into the occupied code of its direction.
bool OccupyCleared(int& code) {
  if (code == occupancy::kClearedRight || code == occupancy::kRunningTimeRight) {
    code = occupancy::kOccupiedRight;
    return true;
  }
  if (code == occupancy::kClearedLeft || code == occupancy::kRunningTimeLeft) {
    code = occupancy::kOccupiedLeft;
    return true;
  }
  return false;
}

// Packed record: the slots are written one by one, never through a pointer.
void FreeTrainSlots(BlockStatus& status) {
  for (int slot = 0; slot < kBlockTrainSlots; ++slot) status.Trains[slot] = kEmptyTrainSlot;
}

// The block's trains as the field reports them: stored, repainted, but never sent back to the field.
void StoreBlock(Corvane3Data& store, int index, const BlockStatus& status) {
  store.UpdateBlockStatus(index, status, 0, 1);
  int trains = 0;
  for (int slot = 0; slot < kBlockTrainSlots; ++slot)
    if (status.Trains[slot] != kEmptyTrainSlot) ++trains;
  store.InvalidateDevice(index, 0, std::max(1, trains));
}
void StoreSwitch(Corvane3Data& store, int index, const SwitchStatus& status) {
  store.UpdateSwitchStatus(index, status, 1);
  store.InvalidateDevice(kSwitchBase + index, 0, 1);
}
void StoreDiamond(Corvane3Data& store, int index, const CrossStatus& status) {
  store.UpdateCrossStatus(index, status);
  store.InvalidateDevice(kDiamondBase + index, 0, 1);
}
void StoreSignal(Corvane3Data& store, int index, const SignalStatus& status) {
  store.UpdateSignalStatus(index, status, 1);
  store.InvalidateDevice(kSignalBase + index, 0, 1);
}

// The running train of a slot number; -1 for an empty slot or one that names no train in use.
int UsableTrain(const Corvane3Data& store, uint16_t slot) {
  if (slot == kEmptyTrainSlot || slot >= kMaxTrainStatus) return -1;
  return store.GetTrainStatus(slot).InUse == 1 ? slot : -1;
}
int FirstTrain(const Corvane3Data& store, const BlockStatus& block) { return UsableTrain(store, block.Trains[0]); }
int LastTrain(const Corvane3Data& store, const BlockStatus& block) {
  for (int i = kBlockTrainSlots - 1; i >= 0; --i)
    if (block.Trains[i] != kEmptyTrainSlot) return UsableTrain(store, block.Trains[i]);
  return -1;
}
// The train an occupied block holds: the first slot heading right, the last used one heading left.
int TrainOfOccupied(const Corvane3Data& store, const BlockStatus& block) {
  return block.Occupancy == occupancy::kOccupiedRight ? FirstTrain(store, block) : LastTrain(store, block);
}

// A new train standing for occupancy the field reported and no known train explains. -1 when
// every train slot is taken: the occupancy is then shown without a train.
int MakeProxyTrain(Corvane3Data& store, int block, int direction) {
  const int slot = store.FindFreeTrainStatus();
  if (slot < 0 || slot >= kMaxTrainStatus) return -1;
  const std::string id = ProxyTrainId(store);
  // A reused slot must not lend the proxy the schedule, crew or stops of the train that left.
  store.ClearTrainStatus(slot);
  TrainStatus train = store.GetTrainStatus(slot);
  train.InUse = 1;
  train.HeadBlock = train.RearBlock = static_cast<int16_t>(block);
  train.HeadDirection = train.RearDirection = static_cast<uint8_t>(direction);
  SetFieldText(train.TrainId, id);
  train.State = TrainState::OnTerritory;
  store.UpdateTrainStatus(slot, train, 1);
  if (store.ProxyTrainCount < INT32_MAX) ++store.ProxyTrainCount;
  return slot;
}

void MoveTrainTo(Corvane3Data& store, int train, int block, int direction) {
  TrainStatus status = store.GetTrainStatus(train);
  status.HeadBlock = static_cast<int16_t>(block);
  if (status.RearBlock == -1) status.RearBlock = static_cast<int16_t>(block);
  status.HeadDirection = static_cast<uint8_t>(direction);
  store.UpdateTrainStatus(train, status);
}

// A train has entered `block`, whose route was cleared for it, travelling `travel`: the
// connecting devices behind it become occupied, the signal it passed drops, and the train of the
// block behind moves in (or a proxy stands for it).
void EnterClearedBlock(Engine& engine, int block, int travel) {
  Corvane3Data& store = engine.Store();
  BlockStatus status = store.GetBlockStatus(block);
  status.Occupancy = static_cast<int16_t>(occupancy::Occupied(travel));
  StoreBlock(store, block, status);

  DevicePath path;
  engine.TraceDevicePath(1 - travel, block, path);
  std::vector<int> switchesPassed;
  int train = -1;
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    const int walk = path.Dirs[i];
    if (IsBlock(device)) {
      BlockStatus behind = store.GetBlockStatus(device);
      if (behind.PassThrough != 0) {
        int code = behind.Occupancy;
        if (OccupyCleared(code)) {
          behind.Occupancy = static_cast<int16_t>(code);
          StoreBlock(store, device, behind);
        }
        continue;
      }
      // The signal the train passed stands at this block's end that faces the entered block.
      const BlockData data = store.GetBlockData(device);
      const int signal = walk == 0 ? data.RightSignal : data.LeftSignal;
      if (signal >= 0 && signal < kMaxSignals) {
        SignalStatus passed = store.GetSignalStatus(signal);
        if (aspect::IsClear(passed.Aspect)) {
          passed.Aspect = aspect::kStop;
          StoreSignal(store, signal, passed);
        }
      }
      if (occupancy::IsOccupied(behind.Occupancy)) train = TrainOfOccupied(store, behind);
      if (train < 0) train = MakeProxyTrain(store, block, travel);
      if (train >= 0) {
        MoveTrainTo(store, train, block, travel);
        status = store.GetBlockStatus(block);
        status.Trains[0] = static_cast<uint16_t>(train);
        StoreBlock(store, block, status);
        if (occupancy::IsOccupied(behind.Occupancy)) store.CheckOSHits(block, train);
      }
      break;
    }
    if (IsSwitch(device)) {
      const int index = device - kSwitchBase;
      SwitchStatus sw = store.GetSwitchStatus(index);
      int code = sw.Occupancy;
      if (OccupyCleared(code)) {
        sw.Occupancy = static_cast<uint8_t>(code);
        StoreSwitch(store, index, sw);
      }
      switchesPassed.push_back(device);
    } else if (IsDiamond(device)) {
      const int index = device - kDiamondBase;
      CrossStatus cross = store.GetCrossStatus(index);
      const int side = store.GetCrossRoute(index, path.Ids[i - 1]);
      int code = cross.Occupancy[side];
      if (OccupyCleared(code)) {
        cross.Occupancy[side] = static_cast<int16_t>(code);
        cross.SidePending[0] = cross.SidePending[1] = 0;
        StoreDiamond(store, index, cross);
      }
    }
  }
  if (train < 0) return;
  for (int device : switchesPassed) store.CheckOSHits(device, train);
}

// A train came onto the known track at an unoccupied block.
void EnterFreeBlock(Corvane3Data& store, int block, int travel) {
  const int train = MakeProxyTrain(store, block, travel);
  BlockStatus status = store.GetBlockStatus(block);
  if (train >= 0) status.Trains[0] = static_cast<uint16_t>(train);
  status.Occupancy = static_cast<int16_t>(occupancy::Occupied(travel));
  StoreBlock(store, block, status);
  if (train >= 0) store.CheckOSHits(block, train);
}

// A proxy for the other train found in `block`, followed on through the occupied blocks ahead of it.
void ProxyForOtherTrain(Engine& engine, int block) {
  Corvane3Data& store = engine.Store();
  const auto directionOf = [](const BlockStatus& status) {
    return status.Occupancy == occupancy::kOccupiedLeft ? 0 : 1;
  };
  BlockStatus status = store.GetBlockStatus(block);
  const int direction = directionOf(status);
  const int proxy = MakeProxyTrain(store, block, direction);
  if (proxy < 0) return;
  status.Trains[0] = static_cast<uint16_t>(proxy);
  StoreBlock(store, block, status);
  DevicePath path;
  engine.TraceDevicePath(direction, block, path);
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (!IsBlock(device)) continue;
    BlockStatus ahead = store.GetBlockStatus(device);
    if (ahead.PassThrough != 0) continue;
    if (!occupancy::IsOccupied(ahead.Occupancy)) break;
    TrainStatus train = store.GetTrainStatus(proxy);
    train.HeadBlock = static_cast<int16_t>(device);
    train.HeadDirection = static_cast<uint8_t>(directionOf(ahead));
    store.UpdateTrainStatus(proxy, train);
    ahead.Trains[0] = static_cast<uint16_t>(proxy);
    StoreBlock(store, device, ahead);
  }
}

// The field reports `block` empty: the train that held it has moved on to the block ahead, or left
// the territory when no train is found there.
void LeaveBlock(Engine& engine, int block) {
  Corvane3Data& store = engine.Store();
  BlockStatus status = store.GetBlockStatus(block);
  const int travel = status.Occupancy == occupancy::kOccupiedRight ? 1 : 0;
  const int leaving = TrainOfOccupied(store, status);
  status.Occupancy = occupancy::kFree;
  FreeTrainSlots(status);
  StoreBlock(store, block, status);

  DevicePath path;
  engine.TraceDevicePath(travel, block, path);
  int aheadBlock = -1;
  int ahead = -1;
  for (int i = 1; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    const int walk = path.Dirs[i];
    const int passing = occupancy::Occupied(walk);
    if (IsBlock(device)) {
      BlockStatus next = store.GetBlockStatus(device);
      if (next.PassThrough == 0) {
        aheadBlock = device;
        ahead = walk == 0 ? FirstTrain(store, next) : LastTrain(store, next);
        break;
      }
      if (next.Occupancy != occupancy::kFree && next.Occupancy != passing) break;
      next.Occupancy = occupancy::kFree;
      FreeTrainSlots(next);
      StoreBlock(store, device, next);
    } else if (IsSwitch(device)) {
      const int index = device - kSwitchBase;
      SwitchStatus sw = store.GetSwitchStatus(index);
      if (sw.Occupancy != occupancy::kFree && sw.Occupancy != passing) break;
      sw.Occupancy = occupancy::kFree;
      StoreSwitch(store, index, sw);
    } else if (IsDiamond(device)) {
      const int index = device - kDiamondBase;
      CrossStatus cross = store.GetCrossStatus(index);
      const int side = store.GetCrossRoute(index, path.Ids[i - 1]);
      if (cross.Occupancy[side] != passing) break;
      cross.Occupancy[side] = occupancy::kFree;
      cross.SidePending[0] = cross.SidePending[1] = 0;
      StoreDiamond(store, index, cross);
    }
  }
  // Occupancy without a known train only frees the track.
  if (leaving < 0) return;

  if (ahead == leaving) {
    // Recorded neither here nor where it was found, the train's front block holds some other train.
    // (Found where it is recorded, it simply moved on: its record stands for it there.)
    const int recorded = store.GetTrainStatus(leaving).HeadBlock;
    if (recorded != block && recorded != aheadBlock && recorded >= 0 && recorded < kMaxBlocks) {
      ProxyForOtherTrain(engine, recorded);
    }
    TrainStatus train = store.GetTrainStatus(leaving);
    train.HeadBlock = static_cast<int16_t>(aheadBlock);
    // The train has left the vacated block whole.
    if (train.RearBlock == block) train.RearBlock = static_cast<int16_t>(aheadBlock);
    store.UpdateTrainStatus(leaving, train);
  } else if (ahead < 0) {
    TrainStatus train = store.GetTrainStatus(leaving);
    train.State = TrainState::Gone;
    train.HeadBlock = train.RearBlock = -1;
    store.UpdateTrainStatus(leaving, train);
  }
}

}  // namespace

std::string ProxyTrainId(const Corvane3Data& store) {
  const int weekday = store.GetRealTime().tm_wday;
  char id[32];
  std::snprintf(id, sizeof id, "T%d%04d", weekday == 0 ? 7 : weekday, static_cast<int>(store.ProxyTrainCount));
  return id;
}

void CTCBuildTimeMsg(Corvane3Data& store) { BuildTimeMsg(store, Channel::CTCControl); }

void CTCProcessSwitchMsg(Engine& engine, const std::string& line, const std::string& name, const std::string& position,
                         const std::string& status) {
  Corvane3Data& store = engine.Store();
  if (name.empty()) return CTCBuildErrorMsg(store, line, "This message does not have a switch name in the third field");
  const std::string wanted = LowerText(position);
  if (wanted != "normal" && wanted != "reverse") {
    return CTCBuildErrorMsg(store, line, "This message does not have a legal switch indication in the fifth field");
  }
  const std::string state = LowerText(status);
  if (state != "unoccupied" && !StartsWith(state, "occupied") && !StartsWith(state, "cleare")) {
    return CTCBuildErrorMsg(store, line, "This message does not have a legal switch status in the fifth field");
  }
  const int index = FindDevice(store, DeviceTable::Switch, name);
  if (index < 0) {
    return CTCBuildErrorMsg(
        store, line, "The switch named in the third field of the message could not be found on the track layout");
  }
  SwitchStatus sw = store.GetSwitchStatus(index);
  // The switch stops blinking once no request of either position waits any longer.
  if (wanted == "normal") {
    sw.Position = 0;
    sw.NormalRequested = 0;
    if (sw.ReverseRequested == 0) sw.Highlight = sw.Highlight2 = 0;
  } else {
    sw.Position = 1;
    sw.ReverseRequested = 0;
    if (sw.NormalRequested == 0) sw.Highlight = sw.Highlight2 = 0;
  }
  if (StartsWith(state, "occupie")) {
    if (sw.Occupancy == occupancy::kClearedRight) sw.Occupancy = occupancy::kOccupiedRight;
    if (sw.Occupancy == occupancy::kClearedLeft) sw.Occupancy = occupancy::kOccupiedLeft;
  }
  StoreSwitch(store, index, sw);
}

void CTCProcessSignalMsg(Engine& engine, const std::string& line, const std::string& name, const std::string& status) {
  Corvane3Data& store = engine.Store();
  if (name.empty()) return CTCBuildErrorMsg(store, line, "This message does not have a signal name in the third field");
  const std::string state = LowerText(status);
  if (state != "cleared" && state != "stop") {
    return CTCBuildErrorMsg(store, line, "This message does not have a legal signal status in the fifth field");
  }
  const int index = FindDevice(store, DeviceTable::Signal, name);
  if (index < 0) {
    return CTCBuildErrorMsg(
        store, line, "The signal named in the third field of the message could not be found on the track layout");
  }
  SignalStatus signal = store.GetSignalStatus(index);
  if (signal.CTCClearRequest != 0 && state == "cleared") {
    signal.CTCClearRequest = signal.RequestPending = 0;
    StoreSignal(store, index, signal);
    CTCClearRoutePending(engine, index);
  } else if (signal.CTCCancelRequest != 0 && state == "stop") {
    signal.CTCCancelRequest = signal.RequestPending = 0;
    StoreSignal(store, index, signal);
    CTCDropSignalRoute(engine, index);
  }
}

void CTCProcessBlockMsg(Engine& engine, const std::string& line, const std::string& name,
                        const std::string& indication) {
  Corvane3Data& store = engine.Store();
  if (name.empty()) return CTCBuildErrorMsg(store, line, "This message does not have a block name in the third field");
  const std::string reported = LowerText(indication);
  if (reported != "unoccupied" && reported != "occupiedleft" && reported != "occupiedright" && reported != "occupied") {
    return CTCBuildErrorMsg(store, line, "This message does not have a legal block indication in the fifth field");
  }
  const int block = FindDevice(store, DeviceTable::Block, name);
  if (block < 0) {
    return CTCBuildErrorMsg(store, line,
                            "The block named in the third field of the message could not be found on the track layout");
  }
  const int code = store.GetBlockStatus(block).Occupancy;
  if (reported == "unoccupied") {
    if (occupancy::IsOccupied(code)) LeaveBlock(engine, block);
    return;
  }
  if (code == occupancy::kClearedRight || code == occupancy::kClearedLeft) {
    EnterClearedBlock(engine, block, code == occupancy::kClearedLeft ? 0 : 1);
  } else if (code == occupancy::kFree) {
    EnterFreeBlock(store, block, reported.find("right") != std::string::npos ? 1 : 0);
  }
}

}  // namespace xfer
