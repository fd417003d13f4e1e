#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/engine/train_life_fixture.h"

namespace {

// A day on a double-track line, run headless the way the tick runs it; the
// test plays the dispatcher and clears the signal in front of every train
// that waits at one.
//
//   x:  2     9  11   18  20   27  29   36  38   45
//   WST ==E0==   ==E1==   ==E2==   ==E3==   ==E4== EST    y=4   eastbound, direction 1
//                [Ash 1]           [Bex 1]
//   WWT ==W0==   ==W1==   ==W2==   ==W3==   ==W4== EWT    y=8   westbound, direction 0
//                [Ash 2]           [Bex 2]
class SimulatedDayTest : public TrainLifeTest {
 protected:
  void SetUp() override {
    for (int i = 0; i < 5; ++i) {
      east[i] = t.Block({.Name = "E" + std::to_string(i), .From = {2 + 9 * i, 4}, .To = {9 + 9 * i, 4}});
      westLine[i] = t.Block({.Name = "W" + std::to_string(i), .From = {2 + 9 * i, 8}, .To = {9 + 9 * i, 8}});
      if (i > 0) {
        t.Link(east[i - 1], east[i]);
        t.Link(westLine[i - 1], westLine[i]);
      }
      t.Signal(east[i], End::Right, "ER" + std::to_string(i));
      t.Signal(westLine[i], End::Left, "WL" + std::to_string(i));
    }
    t.Location("WST", east[0], End::Left);
    t.Location("EST", east[4], End::Right);
    t.Location("EWT", westLine[4], End::Right);
    t.Location("WWT", westLine[0], End::Left);
    const int ash1 = t.Platform("Ash 1", east[1]);
    const int bex1 = t.Platform("Bex 1", east[3]);
    const int ash2 = t.Platform("Ash 2", westLine[1]);
    const int bex2 = t.Platform("Bex 2", westLine[3]);
    const int passenger = t.TrainType("Passenger");
    const int freight = t.TrainType("Freight");
    for (int k = 0; k < 8; ++k) {
      const int e = 360 + 120 * k, w = 400 + 120 * k;
      Add(t.Train({.Id = std::to_string(101 + 2 * k),
                   .Type = passenger,
                   .Entrance = "WST",
                   .Exit = "EST",
                   .EntranceMinutes = e,
                   .Direction = 1,
                   .Length = 600,
                   .Stops = {{ash1, e + 3}, {bex1, e + 8}}}),
          {ash1, bex1});
      Add(t.Train({.Id = std::to_string(102 + 2 * k),
                   .Type = passenger,
                   .Entrance = "EWT",
                   .Exit = "WWT",
                   .EntranceMinutes = w,
                   .Direction = 0,
                   .Length = 600,
                   .Stops = {{bex2, w + 3}, {ash2, w + 8}}}),
          {bex2, ash2});
    }
    for (const int m : {90, 700, 1300}) {
      Add(t.Train({.Id = "E" + std::to_string(m),
                   .Type = freight,
                   .Entrance = "WST",
                   .Exit = "EST",
                   .EntranceMinutes = m,
                   .Direction = 1,
                   .Length = 4000}),
          {});
      Add(t.Train({.Id = "W" + std::to_string(m),
                   .Type = freight,
                   .Entrance = "EWT",
                   .Exit = "WWT",
                   .EntranceMinutes = m + 15,
                   .Direction = 0,
                   .Length = 4000}),
          {});
    }
    Start();
    store().LoadedTrackVersion = 37;
    for (const int type : {passenger, freight}) {
      TrainType record = store().GetTrainType(type);
      record.StartupSeconds = 30;
      store().UpdateTrainType(type, record);
    }
  }
  void Add(int schedule, std::vector<int> platforms) { stops[schedule] = std::move(platforms); }

  // The dispatcher: a train waiting at a signal at stop gets it cleared (refusals come back next tick).
  void Dispatch() {
    for (int slot = 0; slot < RunningSlots(); ++slot) {
      const TrainStatus train = Train(slot);
      if (train.InUse != 1 || train.State != TrainState::Stopped || train.Reason != StopReason::WaitSignal ||
          train.HeadBlock < 0)
        continue;
      const BlockData head = store().GetBlockData(train.HeadBlock);
      const int signal = train.HeadDirection == 1 ? head.RightSignal : head.LeftSignal;
      if (signal >= 0 && Aspect(signal) == 5) engine.ClearSignal(3000 + signal, 0, 1);
    }
  }

  int east[5] = {}, westLine[5] = {};
  std::map<int, std::vector<int>> stops;  // schedule -> platforms it stops at
};

TEST_F(SimulatedDayTest, EveryTrainOfTheDayEntersStopsAtItsPlatformsAndLeaves) {
  const int32_t midnight = kMonday;
  store().SimClock = midnight;
  engine.ScheduleTrains();  // the first running tick
  int most = 0;
  while (store().SimClock < midnight + kDay) {
    LifeTick();
    Dispatch();
    most = std::max(most, +store().GetPerformStatus().Trains);
  }

  for (const MessageCall& call : messages.Calls) EXPECT_NE(call.Caption, "Internal Error Trap") << call.Text;
  EXPECT_GE(most, 2);
  std::map<int, int> runs;
  for (int slot = 0; slot < RunningSlots(); ++slot) {
    const TrainStatus train = Train(slot);
    if (train.InUse != 1 || train.ScheduledEntry >= midnight + kDay) continue;  // tomorrow's, still to come
    SCOPED_TRACE(FieldText(train.TrainId));
    ++runs[train.TrainIndex];
    EXPECT_EQ(+train.State, TrainState::Gone);
    EXPECT_EQ(+train.MissedExits, 0);
    EXPECT_GT(+train.Distance, 0);
    const TrainStop stopped = store().GetTrainStop(slot);
    for (const int platform : stops[train.TrainIndex]) EXPECT_EQ(+stopped.Stops[platform], 1) << platform;
  }
  for (const auto& [schedule, platforms] : stops) EXPECT_EQ(runs[schedule], 1) << schedule;
  EXPECT_EQ(+store().GetPerformStatus().Trains, 0);
  EXPECT_GT(store().GetPerformStatus().Distance, 0);
}

}  // namespace
