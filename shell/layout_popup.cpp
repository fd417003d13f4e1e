#include "shell/layout_popup.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/device_walks.h"
#include "engine/engine.h"
#include "engine/train_commands.h"
#include "resources/layout_popup_ids.h"
#include "shell/corvane3_window.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/status_codes.h"
#include "store/track_codes.h"
#include "store/train_codes.h"

namespace popup {

namespace {

using namespace train_menu;

template <class... Args>
std::string Text(const char* format, Args... args) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

bool Simulating(const Corvane3Data& store) {
  return store.OperatingMode == operating_mode::kSimulation || store.OperatingMode == operating_mode::kRecording;
}
bool CTCOn(const Corvane3Data& store) { return store.GetOptionData().CTCControlOn == 1; }

void Add(Engine& engine, Menu& menu, int id, std::string text) {
  menu.Items.push_back({id, std::move(text), HandlerFor(engine, id) != nullptr});
}

std::string TrainName(Corvane3Data& store, int train) { return FieldText(store.GetTrainStatus(train).TrainId); }

// The items of one train in a block: `slot` is its block train slot, `status` the block's.
void AddTrainGroup(Engine& engine, Menu& menu, int slot, int train, const BlockStatus& status) {
  Corvane3Data& store = engine.Store();
  const TrainStatus t = store.GetTrainStatus(train);
  const std::string name = FieldText(t.TrainId);
  const char* n = name.c_str();
  auto add = [&](int base, const std::string& text) { Add(engine, menu, base + slot, text); };

  add(kOS, Text("Train \"%s\" OS", n));
  add(kProperties, Text("Train \"%s\" Properties", n));
  add(kStatus, Text("Train \"%s\" Status", n));
  if (CTCOn(store)) {
    add(kReverse, Text("Train \"%s\" Reverse Direction", n));
    const int ahead = walks::FindTrainInNextBlock(engine, train, 0);
    if (ahead >= 0 && ahead < kMaxTrainStatus)
      add(kMergeAhead, Text("Train \"%s\" Merge Ahead with Train \"%s\"", n, TrainName(store, ahead).c_str()));
    const int behind = walks::FindTrainInNextBlock(engine, train, 1);
    if (behind >= 0 && behind < kMaxTrainStatus)
      add(kMergeBehind, Text("Train \"%s\" Merge Behind with Train \"%s\"", n, TrainName(store, behind).c_str()));
    if (t.HeadBlock >= 0 && t.HeadBlock < kMaxBlocks && store.GetBlockData(t.HeadBlock).RightSignal == -1)
      add(kClearBlockAhead, Text("Train \"%s\" Clear Block Ahead", n));
    return;
  }
  if (!Simulating(store)) return;

  const bool crewWatch = store.GetOptionData().CrewExpirationActive != 0 && t.CrewChangeOrdered == 0;
  if (crewWatch && t.CrewChangeLocation == -1) add(kChangeCrew, Text("Train \"%s\" Change Crew", n));
  if (crewWatch && t.CrewChangeLocation != -1) add(kNewCrewLocation, Text("Train \"%s\" New Crew Change Location", n));
  const bool occupiedRight = status.Occupancy == occupancy::kOccupiedRight;
  const bool crewHold = t.Reason == StopReason::CrewChange || t.Reason == StopReason::CrewTimeExpired;
  const int neighbourSlot = occupiedRight ? slot - 1 : slot + 1;
  const bool hasNeighbour = neighbourSlot >= 0 && neighbourSlot < kBlockTrainSlots &&
                            status.Trains[neighbourSlot] != kEmptyTrainSlot &&
                            status.Trains[neighbourSlot] < kMaxTrainStatus;
  if (hasNeighbour && t.State == TrainState::Stopped && !crewHold)
    add(kMerge,
        Text("Train \"%s\" Merge with Train \"%s\"", n, TrainName(store, status.Trains[neighbourSlot]).c_str()));
  if (t.State == TrainState::Stopped && !crewHold) add(kPassRedSignal, Text("Train \"%s\" Pass Next Red Signal", n));
  if (t.Reason == StopReason::DispatcherRequest) add(kStartMovement, Text("Train \"%s\" Start Movement", n));
  if (t.MergeNext != -1) add(kSplit, Text("Train \"%s\" Split", n));
  if (t.StopAndReverse == 0 && t.Reason != StopReason::CrewTimeExpired && t.Reason != StopReason::LocalWork &&
      t.Reason != StopReason::Platform && (occupiedRight || t.Reason != StopReason::CrewChange))
    add(kReverse, Text("Train \"%s\" Reverse Direction", n));
  add(kStopInBlock, Text("Train \"%s\" Stop in Block", n));
  if (t.StopInBlock != -1 && t.Reason != StopReason::CrewTimeExpired)
    add(kClearStop, Text("Train \"%s\" Clear Stop in Block %d", n, t.StopInBlock));
  if (t.Reason != StopReason::DispatcherRequest && t.DispatcherStop == 0 && t.StopAndReverse == 0 &&
      t.Reason != StopReason::CrewTimeExpired)
    add(kStopNow, Text("Train \"%s\" Stop Now", n));
}

// ---- the handler table: one entry per command or id range
void Train(TCorvane3Window& window, int id) { window.TheEngine().TrainCommand(id); }

struct Entry {
  int First;
  int Last;
  Handler Run;                       // null: the command's window is not built yet
  bool (*Ready)(Engine&) = nullptr;  // set: the handler serves only while this holds
};

const Entry kHandlers[] = {
    {res::CM_PLATFORM_TRAINS, res::CM_PLATFORM_TRAINS, [](TCorvane3Window& w, int) { w.CmPlatformTrains(); }},
    {res::CM_BLOCK_PROPERTIES, res::CM_BLOCK_PROPERTIES, [](TCorvane3Window& w, int) { w.CmBlockProperties(); }},
    {res::CM_FLEET, res::CM_FLEET, [](TCorvane3Window& w, int) { w.CmFleet(); }},
    {res::CM_ENTRANCE_SIGNAL, res::CM_ENTRANCE_SIGNAL, [](TCorvane3Window& w, int) { w.CmEntranceSignal(); }},
    {res::CM_ADD_STACK_COMMAND, res::CM_ADD_STACK_COMMAND, [](TCorvane3Window& w, int) { w.CmAddStackCommand(); }},
    {res::CM_DELETE_STACK_COMMAND, res::CM_DELETE_STACK_COMMAND + res::kStackCommandsPerSignal - 1,
     [](TCorvane3Window& w, int id) { w.TheEngine().DeleteStackCommand(id - res::CM_DELETE_STACK_COMMAND); }},
    {res::CM_FIND_BLOCK_LEFT, res::CM_FIND_BLOCK_LEFT, [](TCorvane3Window& w, int) { w.CmFindBlockLeft(); }},
    {res::CM_FIND_BLOCK_RIGHT, res::CM_FIND_BLOCK_RIGHT, [](TCorvane3Window& w, int) { w.CmFindBlockRight(); }},
    {res::CM_SWITCH_PROPERTIES, res::CM_SWITCH_PROPERTIES, [](TCorvane3Window& w, int) { w.CmSwitchProperties(); }},
    {res::CM_CREW_THROW_SWITCH, res::CM_CREW_THROW_SWITCH, [](TCorvane3Window& w, int) { w.CmCrewThrowSwitch(); }},
    {res::CM_ISSUE_BLOCK_PERMIT, res::CM_ISSUE_BLOCK_PERMIT, [](TCorvane3Window& w, int) { w.CmIssueBlockPermit(); }},
    // Train commands, by range. In CTC control mode Properties opens the train data dialog.
    {kProperties, kProperties + 5, Train},
    {kStatus, kStatus + 5, Train},
    {kReverse, kReverse + 5, Train},
    {kStopNow, kStopNow + 5, Train},
    {kMerge, kMerge + 5, Train},
    {kSplit, kSplit + 5, Train},
    {kStopInBlock, kStopInBlock + 5, Train},
    {kChangeCrew, kChangeCrew + 5, Train},
    {kPassRedSignal, kPassRedSignal + 5, Train},
    {kOS, kOS + 5, Train},
    {kStartMovement, kStartMovement + 5, Train},
    {kClearStop, kClearStop + 5, Train},
    {kNewCrewLocation, kNewCrewLocation + 4, Train},
    {kMergeAhead, kMergeAhead + 4, Train},
    {kMergeBehind, kMergeBehind + 4, Train},
    {kClearBlockAhead, kClearBlockAhead + 4, Train},
};

}  // namespace

Handler HandlerFor(Engine& engine, int id) {
  for (const Entry& entry : kHandlers) {
    if (id < entry.First || id > entry.Last) continue;
    if (entry.Ready && !entry.Ready(engine)) return nullptr;
    return entry.Run;
  }
  return nullptr;
}

bool BlockHasMenu(Engine& engine, int block) {
  Corvane3Data& store = engine.Store();
  const BlockData data = store.GetBlockData(block);
  return (CTCOn(store) && data.PassThrough != 1) || !FieldText(data.PlatformName).empty() ||
         store.GetBlockStatus(block).Trains[0] != kEmptyTrainSlot || data.LeftLinked == 1 || data.RightLinked == 1;
}

Menu BlockMenu(Engine& engine, int block) {
  Corvane3Data& store = engine.Store();
  Menu menu;
  if (block < 0 || block >= kMaxBlocks || !BlockHasMenu(engine, block)) return menu;
  const BlockData data = store.GetBlockData(block);
  const BlockStatus status = store.GetBlockStatus(block);
  Add(engine, menu, res::CM_BLOCK_PROPERTIES, Text("Block %d Properties", block));
  if (data.LeftLinked == 1) Add(engine, menu, res::CM_FIND_BLOCK_LEFT, "Find Block to Left");
  if (data.RightLinked == 1) Add(engine, menu, res::CM_FIND_BLOCK_RIGHT, "Find Block to Right");
  if (!FieldText(data.PlatformName).empty() && !CTCOn(store))
    Add(engine, menu, res::CM_PLATFORM_TRAINS, "Trains Stopping at Platform");
  if (CTCOn(store)) Add(engine, menu, res::CM_ISSUE_BLOCK_PERMIT, "Issue Block Permit");

  // The train at the block's leading end comes first.
  const bool occupiedRight = status.Occupancy == occupancy::kOccupiedRight;
  for (int i = 0; i < kBlockTrainSlots; ++i) {
    const int slot = occupiedRight ? i : kBlockTrainSlots - 1 - i;
    const uint16_t train = status.Trains[slot];
    if (train == kEmptyTrainSlot || train >= kMaxTrainStatus) continue;
    menu.Items.push_back(PopupSeparator());
    AddTrainGroup(engine, menu, slot, train, status);
    menu.Trains[slot] = train;
  }
  return menu;
}

Menu SwitchMenu(Engine& engine, int switchIndex) {
  Corvane3Data& store = engine.Store();
  Menu menu;
  if (switchIndex < 0 || switchIndex >= kMaxSwitches) return menu;
  const bool working = store.GetSwitchStatus(switchIndex).FailureCount == -1;
  if (working && store.GetSwitchData(switchIndex).HandThrown != 1) return menu;
  if (engine.FindSwitchCrewTrain(switchIndex) == -1) return menu;
  Add(engine, menu, res::CM_SWITCH_PROPERTIES, Text("Switch %d Properties", switchIndex));
  menu.Items.push_back(PopupSeparator());
  Add(engine, menu, res::CM_CREW_THROW_SWITCH, Text("Crew to throw Switch %d Manually", switchIndex));
  return menu;
}

Menu SignalMenu(Engine& engine, int signalIndex) {
  Corvane3Data& store = engine.Store();
  Menu menu;
  if (signalIndex < 0 || signalIndex >= kMaxSignals) return menu;
  const SignalData data = store.GetSignalData(signalIndex);
  const SignalStatus status = store.GetSignalStatus(signalIndex);
  if (track::IsMainSignal(data.TrackCode))
    Add(engine, menu, res::CM_FLEET, status.Fleet == 0 ? "Fleet" : "Remove Fleet");
  if (status.Aspect == aspect::kStop) Add(engine, menu, res::CM_ENTRANCE_SIGNAL, "Entrance Signal");

  // The stack keeps its commands at the front: the walk ends at the first free slot.
  std::vector<int> stacked;
  for (int slot = 0; slot < kMaxStack; ++slot) {
    const StackData command = store.GetStackData(slot);
    if (command.InUse == 0) break;
    if (command.EntranceSignal == signalIndex) stacked.push_back(slot);
  }
  if (static_cast<int>(stacked.size()) < res::kStackCommandsPerSignal && status.Fleet == 0) {
    if (!menu.Items.empty()) menu.Items.push_back(PopupSeparator());
    Add(engine, menu, res::CM_ADD_STACK_COMMAND, "Add Stack Command (to next signal only)");
  }
  const int shown = std::min(static_cast<int>(stacked.size()), res::kStackCommandsPerSignal);
  for (int m = 0; m < shown; ++m) {
    const StackData command = store.GetStackData(stacked[m]);
    auto name = [&](int signal) {
      return signal >= 0 && signal < kMaxSignals ? FieldText(store.GetSignalData(signal).Name) : std::string();
    };
    Add(engine, menu, res::CM_DELETE_STACK_COMMAND + m,
        Text("Delete Stack Command %03d %s-%s", stacked[m], name(command.EntranceSignal).c_str(),
             name(command.ExitSignal).c_str()));
  }
  return menu;
}

Menu MenuForDevice(Engine& engine, int device) {
  namespace devices = ::device;
  if (devices::IsBlock(device)) return BlockMenu(engine, device);
  if (devices::IsSwitch(device)) return SwitchMenu(engine, devices::SwitchIndex(device));
  if (devices::IsSignalCell(device) && Simulating(engine.Store()))
    return SignalMenu(engine, devices::SignalIndexOfCell(device));
  return {};
}

}  // namespace popup
