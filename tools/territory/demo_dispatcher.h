// A small dispatcher for runs on the demonstration territory, shared by the tests, the benchmarks and the
// tools: it finds a train's way over the track graph (blocks, switches by their legs and positions,
// diamonds), throws the switches for it and clears the signals ahead. The territory keeps one direction of
// travel along each way (it has no loops). It has no test framework in it.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <queue>
#include <string>
#include <tuple>
#include <vector>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/train_codes.h"

namespace demo {

inline constexpr int kSource = 1;  // requests as an interface makes them: no message boxes

// Resets the store's run to start at `start` (seconds from the week's start), neither stopped nor paused.
inline void StartRunAt(Corvane3Data& store, int32_t start) {
  store.InitSimulationStatus();
  store.SimStartTime = start;
  store.SimStartDay = start / kSecondsPerDay;
  store.SimEndTime = -1;
  store.SimClock = start;
  store.Run.ClockSpeed = 20;
  store.Run.SimStopped = 0;
  store.Run.SimPaused = 0;
  store.Run.RunStarted = 0;
}

// A train stopped at a signal at stop, in front of it: that signal, or -1.
inline int SignalAtStopAhead(const Corvane3Data& store, const TrainStatus& train) {
  if (train.InUse != 1 || train.State != TrainState::Stopped || train.Reason != StopReason::WaitSignal ||
      train.HeadBlock < 0 || train.HeadBlock >= kMaxBlocks)
    return -1;
  const BlockData& head = store.BlockDataRef(train.HeadBlock);
  const int signal = train.HeadDirection == 1 ? head.RightSignal : head.LeftSignal;
  return signal >= 0 && signal < kMaxSignals && store.GetSignalStatus(signal).Aspect == 5 ? signal : -1;
}

// The plainest dispatcher: it clears the signal in front of every train waiting at one and throws no switch
// (the kept recording's run was made with it). The signals cleared.
inline int ClearSignalsForWaitingTrains(Corvane3Data& store, Engine& engine) {
  int cleared = 0;
  const int running = std::clamp(+store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  for (int slot = store.NextLiveTrainSlot(-1); slot >= 0 && slot < running; slot = store.NextLiveTrainSlot(slot)) {
    const int signal = SignalAtStopAhead(store, store.TrainStatusRef(slot));
    if (signal >= 0 && engine.ClearSignal(3000 + signal, 0, kSource) == 1) ++cleared;
  }
  return cleared;
}

inline bool OnTerritory(const TrainStatus& t) {
  return t.InUse == 1 && t.HeadBlock >= 0 && t.HeadBlock < kMaxBlocks &&
         (t.State == TrainState::Stopped || t.State == TrainState::Starting || t.State == TrainState::Moving ||
          t.State == TrainState::Leaving);
}

// One step of a planned way: the device, and for a switch the position the way needs.
struct Step {
  int Device = -1;
  int Position = -1;
};

class DemoDispatcher {
 public:
  DemoDispatcher(Corvane3Data& store, Engine& engine) : store_(store), engine_(engine) {}

  // The cheapest way from a block in a direction to the first block (not the start) for which `done` holds:
  // each reversed switch costs 1, each block run against its track's usual direction 10, the siding 5, and a
  // block under an active permit 100000. Empty when there is none.
  std::vector<Step> Plan(int block, int direction, const std::function<bool(int block)>& done) const {
    struct State {
      int Cost, Device, Previous, Direction;
      bool operator>(const State& o) const { return Cost > o.Cost; }
    };
    using Key = std::pair<int, int>;                // device, the device before it
    std::map<Key, std::tuple<Key, int, int>> from;  // key -> (previous key, position, cost)
    std::priority_queue<State, std::vector<State>, std::greater<>> open;
    open.push({0, block, -2, direction});
    from[{block, -2}] = {{-1, -1}, -1, 0};
    while (!open.empty()) {
      const State s = open.top();
      open.pop();
      const Key key{s.Device, s.Previous};
      if (std::get<2>(from[key]) < s.Cost) continue;
      if (s.Device < 2000) {
        if (s.Previous != -2 && done(s.Device)) return Unwind(from, key);
        const BlockData data = store_.GetBlockData(s.Device);
        const int next = s.Direction == 1 ? data.RightNeighbour : data.LeftNeighbour;
        if (next == -1) continue;
        Visit(open, from, key, next, s.Device, s.Direction, s.Cost + Cost(next, s.Direction), -1);
      } else if (s.Device < 3000) {
        const int index = s.Device - 2000;
        const SwitchData sw = store_.GetSwitchData(index);
        const bool rightDiverging = sw.TrackCode == 10 || sw.TrackCode == 13;
        const auto go = [&](int leg, int position) {
          const int next = sw.Legs[leg];
          if (next == -1) return;
          Visit(open, from, key, next, s.Device, s.Direction, s.Cost + position + Cost(next, s.Direction), position);
        };
        if (s.Direction == 1) {
          if (s.Previous == sw.Legs[1]) {
            go(3, 0);
            if (rightDiverging) go(2, 1);
          } else if (s.Previous == sw.Legs[0] && !rightDiverging) {
            go(3, 1);
          }
        } else {
          if (s.Previous == sw.Legs[3]) {
            go(1, 0);
            if (!rightDiverging) go(0, 1);
          } else if (s.Previous == sw.Legs[2] && rightDiverging) {
            go(1, 1);
          }
        }
      } else if (s.Device >= 4000) {
        const CrossData cross = store_.GetCrossData(s.Device - 4000);
        for (int leg = 0; leg < 4; ++leg) {
          if (cross.Legs[leg] != s.Previous) continue;
          const int next = cross.Legs[leg ^ 1];
          if (next != -1) Visit(open, from, key, next, s.Device, s.Direction, s.Cost + Cost(next, s.Direction), -1);
        }
      }
    }
    return {};
  }

  // The way of a train on the territory from its head block to its exit; empty when there is none.
  std::vector<Step> WayOut(const TrainStatus& train) const {
    const int direction = train.HeadDirection == 1 ? 1 : 0;
    std::string exit = FieldText(train.Exit);
    // A train that becomes another has no exit of its own: it runs on towards the new train's.
    if (exit.empty() && train.TrainIndex >= 0 && train.TrainIndex < kMaxTrains) {
      const int next = store_.TrainDataRef(train.TrainIndex).BecomesTrain;
      if (next >= 0 && next < kMaxTrains) exit = FieldText(store_.TrainDataRef(next).Exit);
    }
    return Plan(train.HeadBlock, direction, [&](int block) {
      const BlockData& data = store_.BlockDataRef(block);
      return FieldText(direction == 1 ? data.RightLocation : data.LeftLocation) == exit;
    });
  }

  // Lines up and clears up to three signals ahead of every train on the territory.
  void Dispatch() {
    const int running = std::clamp(+store_.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
    // Departed trains' slots are passed by: the walk stays as long as the run goes on.
    for (int slot = store_.NextLiveTrainSlot(-1); slot >= 0 && slot < running; slot = store_.NextLiveTrainSlot(slot)) {
      const TrainStatus train = store_.GetTrainStatus(slot);
      if (!OnTerritory(train) || train.MergePrevious != -1) continue;
      const int direction = train.HeadDirection == 1 ? 1 : 0;
      const std::vector<Step> way = WayOut(train);
      if (way.empty()) continue;
      int cleared = 0;
      for (size_t i = 0; i < way.size() && cleared < 3; ++i) {
        if (way[i].Device >= 2000) continue;
        const BlockData data = store_.GetBlockData(way[i].Device);
        const int signal = direction == 1 ? data.RightSignal : data.LeftSignal;
        if (signal < 0) continue;
        if (store_.GetSignalStatus(signal).Aspect != 5) {
          ++cleared;
          continue;
        }
        if (!LineUp(way, i + 1) || engine_.ClearSignal(3000 + signal, 0, kSource) != 1) break;
        if (store_.GetSignalStatus(signal).Aspect == 5) break;
        ++cleared;
      }
    }
  }

  // Only the trains waiting at a signal at stop: the route to the next block lined up for each (the branch's
  // junction thrown for its trains, whichever way they run) and the signal cleared. Cheaper than Dispatch,
  // as only the few waiting trains look for their way. The signals cleared.
  int ClearForWaitingTrains() {
    int cleared = 0;
    const int running = std::clamp(+store_.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
    for (int slot = store_.NextLiveTrainSlot(-1); slot >= 0 && slot < running; slot = store_.NextLiveTrainSlot(slot)) {
      const TrainStatus& train = store_.TrainStatusRef(slot);
      const int signal = SignalAtStopAhead(store_, train);
      if (signal < 0) continue;
      const std::vector<Step> way = WayOut(train);
      if (!way.empty() && !LineUp(way, 1)) continue;
      if (engine_.ClearSignal(3000 + signal, 0, kSource) == 1 && store_.GetSignalStatus(signal).Aspect != 5) ++cleared;
    }
    return cleared;
  }

  // Throws the switches of the way from step `first` up to its next block; true when they all lie right.
  bool LineUp(const std::vector<Step>& way, size_t first) {
    bool lined = true;
    for (size_t k = first; k < way.size() && way[k].Device >= 2000; ++k) {
      if (way[k].Device >= 3000) continue;
      const int index = way[k].Device - 2000;
      if (store_.GetSwitchStatus(index).Position != way[k].Position) engine_.ThrowSwitch(way[k].Device, 0, 0, kSource);
      lined = lined && store_.GetSwitchStatus(index).Position == way[k].Position;
    }
    return lined;
  }

 private:
  int Cost(int device, int direction) const {
    if (device < 0 || device >= 2000) return 0;
    const BlockData data = store_.GetBlockData(device);
    if (store_.GetBlockStatus(device).PermitActive == 1) return 100000;
    const std::string track = FieldText(data.TrackPart);
    if (track == "Siding") return 5;
    if ((track == "1" && direction == 1) || (track == "2" && direction == 0)) return 10;
    return 0;
  }

  template <class Open, class From>
  static void Visit(Open& open, From& from, std::pair<int, int> key, int next, int device, int direction, int cost,
                    int position) {
    const std::pair<int, int> nextKey{next, device};
    const auto found = from.find(nextKey);
    if (found != from.end() && std::get<2>(found->second) <= cost) return;
    from[nextKey] = {key, position, cost};
    open.push({cost, next, device, direction});
  }

  // The way back from the key to the start; a switch's position is kept with the device after it.
  template <class From>
  static std::vector<Step> Unwind(const From& from, std::pair<int, int> key) {
    std::vector<Step> way;
    int position = -1;
    while (key.first != -1) {
      const auto& [previous, positionBefore, cost] = from.at(key);
      way.insert(way.begin(), {key.first, position});
      position = positionBefore;
      key = previous;
    }
    return way;
  }

  Corvane3Data& store_;
  Engine& engine_;
};

}  // namespace demo
