// A line of four signalled blocks for the train movement tests, with the
// engine stepped by hand: no window, no tick.
//
//   x:    2      9   11    18   20    27   29    36
//   WST   ===B0===   ===B1===   ===B2===   ===B3===  EST      y=4
//        <L0    R0> <L1   R1>  <L2   R2>  <L3   R3>
//
// Location names have three letters, the most a schedule's leg holds.
// Every block is 5,280 ft long and allows 60 mph; every block end has a
// signal for moves leaving by it. Feet and miles.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/fixed_text.h"
#include "store/train_codes.h"
#include "tests/engine/interlocking_fixture.h"

class MovementTest : public InterlockingTest {
 protected:
  static constexpr int32_t kMile = 5280;
  static constexpr int32_t kStart = 86400 + 8 * 3600;

  // Builds the line; call Ready() after adding anything else.
  void Line(int32_t length = kMile) {
    for (int i = 0; i < 4; ++i) {
      b[i] = t.Block({.Name = "B" + std::to_string(i), .From = {2 + 9 * i, 4}, .To = {9 + 9 * i, 4}, .Length = length});
      if (i > 0) t.Link(b[i - 1], b[i]);
    }
    for (int i = 0; i < 4; ++i) {
      left[i] = t.Signal(b[i], End::Left, "L" + std::to_string(i));
      right[i] = t.Signal(b[i], End::Right, "R" + std::to_string(i));
    }
    west = t.Location("WST", b[0], End::Left);
    east = t.Location("EST", b[3], End::Right);
    type = t.TrainType("Freight");
    data = t.Train({.Id = "101", .Type = type, .Entrance = "WST", .Exit = "EST", .EntranceMinutes = 480});
  }

  // Feet and miles, every alert on, the clock at 08:00 of day 1.
  void Start() {
    Ready();
    TerritoryOptions units = store().GetTerritoryOptions();
    units.Units = 1;
    store().UpdateTerritoryOptions(units);
    AlertData alerts = store().GetAlertData();
    for (auto& enabled : alerts.Enabled) enabled = 1;
    store().UpdateAlertData(alerts);
    store().SimClock = kStart;
  }

  // A train in slot `slot` with its head in `head` at `position`, heading
  // `direction`, entered in the slots of `head` (and of `rear` when it differs).
  TrainStatus Put(int slot, int head, int direction, int32_t position, int rear = -2, uint8_t state = 3,
                  int16_t speed = 0, int32_t length = 1000) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    train.TrainIndex = static_cast<int16_t>(data);
    SetFieldText(train.TrainId, slot == 0 ? "101" : "T" + std::to_string(slot));
    SetFieldText(train.Entrance, "WST");
    SetFieldText(train.Exit, "EST");
    train.Type = static_cast<uint8_t>(type);
    train.Length = length;
    train.State = state;
    train.Reason = state == TrainState::Moving ? HeadEvent::Running : StopReason::WaitSignal;
    train.HeadDirection = static_cast<uint8_t>(direction);
    train.RearDirection = static_cast<uint8_t>(direction);
    train.HeadBlock = static_cast<int16_t>(head);
    train.RearBlock = static_cast<int16_t>(rear == -2 ? head : rear);
    train.HeadPosition = train.PreviousHeadPosition = position;
    train.Speed = speed;
    train.HeadEventTime = store().SimClock;
    train.RearEventTime = -1;
    train.PerformancePercent = 100;
    store().UpdateTrainStatus(slot, train, 1);
    Enter(head, slot, direction);
    if (rear >= 0 && rear != head) Enter(rear, slot, direction);
    CountData counts = store().GetCountData();
    if (counts.Words[kCountRunningTrains] < slot + 1) counts.Words[kCountRunningTrains] = slot + 1;
    store().UpdateCountData(counts);
    return store().GetTrainStatus(slot);
  }

  // Adds a train to a block's slots the way a head entering it does; the block becomes occupied.
  void Enter(int block, int slot, int direction) {
    BlockStatus status = store().GetBlockStatus(block);
    if (direction == 1) {
      for (int k = 0; k < kBlockTrainSlots; ++k)
        if (status.Trains[k] == 0xFFFF) {
          status.Trains[k] = static_cast<uint16_t>(slot);
          break;
        }
    } else {
      for (int k = kBlockTrainSlots - 1; k > 0; --k) status.Trains[k] = status.Trains[k - 1];
      status.Trains[0] = static_cast<uint16_t>(slot);
    }
    status.Occupancy = static_cast<int16_t>(direction == 1 ? 3 : 4);
    store().UpdateBlockStatus(block, status);
  }

  TrainStatus Train(int slot) { return store().GetTrainStatus(slot); }
  void Store(int slot, const TrainStatus& train) { store().UpdateTrainStatus(slot, train); }
  std::vector<int> Slots(int block) {
    std::vector<int> slots;
    const BlockStatus status = store().GetBlockStatus(block);
    for (int k = 0; k < kBlockTrainSlots; ++k)
      if (status.Trains[k] != 0xFFFF) slots.push_back(status.Trains[k]);
    return slots;
  }
  void ClearRight(std::initializer_list<int> blocks) {
    for (int block : blocks) SetBlockCode(block, 1);
  }
  std::string Alert(int i) { return store().Run.AlertLines[i].data(); }
  void SetTrainsOnTerritory(int n) {
    PerformStatus perform = store().GetPerformStatus();
    perform.Trains = static_cast<int16_t>(n);
    store().FormatPerformanceLine(perform);
  }

  // One tick of 10 s for the trains stepped here: head events of starting and
  // running trains, then rear events.
  void Tick() {
    store().SimClock += 10;
    const int count = store().GetCountData().Words[kCountRunningTrains];
    for (int slot = 0; slot < count; ++slot) {
      const TrainStatus train = Train(slot);
      const bool runs = train.State == TrainState::Starting ||
                        (train.State == TrainState::Moving &&
                         (train.Reason == HeadEvent::Running || train.Reason == HeadEvent::ReverseSwitch));
      if (train.InUse && runs && store().SimClock >= train.HeadEventTime) engine.StartOrMoveTrain(slot);
    }
    for (int slot = 0; slot < count; ++slot) {
      const TrainStatus train = Train(slot);
      const bool moves = train.State == TrainState::Moving || train.State == TrainState::Leaving ||
                         train.State == TrainState::ToWorkArea;
      if (train.InUse && moves && train.RearEventTime != -1 && store().SimClock >= train.RearEventTime)
        engine.MoveTrain(slot);
    }
  }

  int b[4] = {}, left[4] = {}, right[4] = {};
  int west = -1, east = -1, type = -1, data = -1;
};
