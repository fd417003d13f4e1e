#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "tests/engine/train_life_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

//   x:    2      9   11    18   20    27   29    36
//   WST   ===B0===   ===B1===   ===B2===   ===B3===  EST      y=4
//   WST   ===B4===                                            y=8  (priority 1)
class EntryTest : public TrainLifeTest {
 protected:
  void SetUp() override {
    Line();
    alt = t.Block({.Name = "B4", .From = {2, 8}, .To = {9, 8}});
    t.Signal(alt, End::Right, "R4");
    altWest = t.Location("WST", alt, End::Left, 1);
    Start();
    store().LoadedTrackVersion = 37;
    TrainType freight = store().GetTrainType(type);
    freight.StartupSeconds = 120;
    store().UpdateTrainType(type, freight);
    engine.ScheduleTrains();  // 101 is due now, 08:00 Monday
  }
  void Step() { engine.StepTrains(); }
  void SetOrg(int org, const std::function<void(OrgData&)>& change) {
    OrgData data = store().GetOrgData(org);
    change(data);
    store().UpdateOrgData(org, data);
  }
  void SetOptions(const std::function<void(OptionData&)>& change) {
    OptionData options = store().GetOptionData();
    change(options);
    store().UpdateOptionData(options);
  }
  int alt = -1, altWest = -1;
};

TEST_F(EntryTest, AScheduledTrainEntersRunsToTheRedSignalAndStartsOnceItClears) {
  ASSERT_EQ(+Train(0).State, TrainState::Scheduled);
  Step();
  TrainStatus train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.HeadBlock, b[0]);
  EXPECT_EQ(BlockCode(b[0]), 3);
  EXPECT_EQ(BlockCode(b[1]), 0);  // the entrance block's own signal governs the way on
  EXPECT_THAT(LastAlert(), EndsWith("Train - \"101\" has just arrived on territory at WST."));
  EXPECT_EQ(+store().GetPerformStatus().Trains, 1);

  // A mile at 60 mph: at the signal after a minute, then stopped waiting.
  RunFor(120);
  train = Train(0);
  ASSERT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::WaitSignal);
  EXPECT_THAT(LastAlert(), EndsWith("Train - \"101\" is stopped waiting for signal."));
  // Looked at again every 30 s while the signal stays at stop.
  int32_t next = train.HeadEventTime;
  for (int look = 0; look < 3; ++look) {
    store().SimClock = next;
    Step();
    ASSERT_EQ(+Train(0).State, TrainState::Stopped);
    EXPECT_EQ(+Train(0).HeadEventTime, next + 30);
    next += 30;
  }

  ASSERT_EQ(engine.ClearSignal(3000 + right[0], 0, kScreenRequest), 1);
  store().SimClock = next;
  Step();
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Starting);
  EXPECT_EQ(+train.HeadEventTime, next + 120);  // the type's start-up time
  RunFor(130);
  EXPECT_EQ(+Train(0).HeadBlock, b[1]);
}

TEST_F(EntryTest, WithoutASignalAtTheEntranceBlocksEndTheRouteIsClearedOnEntry) {
  BlockData entrance = store().GetBlockData(b[0]);
  entrance.RightSignal = -1;
  store().UpdateBlockData(b[0], entrance);
  Step();
  EXPECT_EQ(+Train(0).HeadBlock, b[0]);
  EXPECT_EQ(BlockCode(b[1]), 1);  // cleared right
}

TEST_F(EntryTest, TheEntranceBlockIsChosenByPriorityAndWhetherItTakesATrain) {
  struct Case {
    const char* Name;
    std::function<void()> Refuse;
    int Block;  // -1: no entry, retried in 5 minutes
  };
  const Case cases[] = {
      {"priority 0 free", [] {}, 0},
      {"priority 0 occupied", [&] { SetBlockCode(b[0], 4); }, 1},
      {"priority 0 under a permit",
       [&] {
         BlockStatus status = store().GetBlockStatus(b[0]);
         status.PermitActive = 1;
         store().UpdateBlockStatus(b[0], status);
       },
       1},
      {"priority 0 not signalled to the right",
       [&] {
         BlockData data = store().GetBlockData(b[0]);
         data.SignalledRight = 0;
         store().UpdateBlockData(b[0], data);
       },
       1},
      {"both occupied",
       [&] {
         SetBlockCode(b[0], 2);
         SetBlockCode(alt, 1);
       },
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Ready();  // a fresh run and territory state
    store().SimClock = kStart;
    BlockData data = store().GetBlockData(b[0]);
    data.SignalledRight = 1;
    store().UpdateBlockData(b[0], data);
    engine.ScheduleTrains();
    c.Refuse();
    Step();
    const TrainStatus train = Train(0);
    if (c.Block < 0) {
      EXPECT_EQ(+train.State, TrainState::Scheduled);
      EXPECT_EQ(+train.HeadEventTime, kStart + 300);
      EXPECT_EQ(+store().GetPerformStatus().Trains, 0);
    } else {
      EXPECT_EQ(+train.HeadBlock, c.Block == 0 ? b[0] : alt);
    }
  }
}

// The entrance's locations are looked up by name once and kept: a location renamed while a train waits to
// enter shows at the train's next try.
TEST_F(EntryTest, ALocationRenamedWhileATrainWaitsShowsAtItsNextTry) {
  SetBlockCode(b[0], 2);
  SetBlockCode(alt, 1);
  Step();
  ASSERT_EQ(+Train(0).State, TrainState::Scheduled);
  SetBlockCode(alt, 0);
  SetOrg(altWest, [](OrgData& org) { SetFieldText(org.Name, "NTH"); });
  store().SimClock = kStart + 300;
  Step();
  EXPECT_EQ(+Train(0).State, TrainState::Scheduled) << "a location of another name took the train";
  EXPECT_EQ(+Train(0).HeadEventTime, kStart + 600);
  SetOrg(altWest, [](OrgData& org) { SetFieldText(org.Name, "WST"); });
  store().SimClock = kStart + 600;
  Step();
  EXPECT_EQ(+Train(0).HeadBlock, alt);
}

TEST_F(EntryTest, PermissionToEnterIsAskedEveryFifteenMinutesUntilGranted) {
  SetOrg(west, [](OrgData& org) { org.PermissionRequired = 1; });
  SetOptions([](OptionData& o) { o.PermissionToEnterActive = 1; });
  Step();
  EXPECT_THAT(dialogs.EntryDialogs, ElementsAre(std::make_pair(0, west)));
  EXPECT_EQ(+Train(0).State, TrainState::Scheduled);
  EXPECT_EQ(+Train(0).HeadEventTime, kStart + 900);

  // The dialog is up: asked again, it only gets the focus.
  TrainStatus train = Train(0);
  train.EntryDialogOpen = 1;
  Store(0, train);
  store().SimClock = kStart + 900;
  Step();
  EXPECT_EQ(dialogs.EntryDialogs.size(), 1u);
  EXPECT_THAT(dialogs.FocusedEntryDialogs, ElementsAre(0));
  EXPECT_EQ(+Train(0).HeadEventTime, kStart + 1800);

  // Granted for now.
  train = Train(0);
  train.EntryGranted = 1;
  train.HeadEventTime = kStart + 1000;
  Store(0, train);
  store().SimClock = kStart + 1000;
  Step();
  EXPECT_EQ(+Train(0).HeadBlock, b[0]);
  EXPECT_EQ(+Train(0).EntryGranted, 0);
  EXPECT_THAT(dialogs.ClosedEntryDialogs, ::testing::Contains(0));
}

TEST_F(EntryTest, WithThePermissionFunctionOffNoDialogIsOpened) {
  SetOrg(west, [](OrgData& org) { org.PermissionRequired = 1; });
  Step();
  EXPECT_TRUE(dialogs.EntryDialogs.empty());
  EXPECT_EQ(+Train(0).HeadBlock, b[0]);
}

TEST_F(EntryTest, AScheduleFacingTheWrongWayEntersTurnedAndRunsInReverseUnlessDualCab) {
  for (const uint8_t dualCab : {0, 1}) {
    SCOPED_TRACE(dualCab);
    Ready();
    store().SimClock = kStart;
    TrainType freight = store().GetTrainType(type);
    freight.DualCab = dualCab;
    store().UpdateTrainType(type, freight);
    TrainData d = Schedule(data);
    d.EntryDirection = 0;  // left, at the west end
    SetSchedule(data, d);
    engine.ScheduleTrains();
    Step();
    EXPECT_EQ(+Train(0).HeadDirection, 1);
    EXPECT_EQ(+Train(0).Reversing, dualCab == 0 ? 1 : 0);
  }
}

TEST_F(EntryTest, OnlyTrainsWhoseTimeHasComeAndThatLeadTheirChainAreStepped) {
  // A train stopped at the end of B0 before a red signal looks again in 30 s when stepped.
  struct Case {
    const char* Name;
    std::function<void(TrainStatus&)> Change;
    bool Stepped;
  };
  const Case cases[] = {
      {"due", [](TrainStatus&) {}, true},
      {"not yet due", [](TrainStatus& t) { t.HeadEventTime = kStart + 10; }, false},
      {"crew expired", [](TrainStatus& t) { t.Reason = StopReason::CrewTimeExpired; }, false},
      {"coupled behind another", [](TrainStatus& t) { t.MergePrevious = 5; }, false},
      {"left the territory", [](TrainStatus& t) { t.State = TrainState::Gone; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    TrainStatus train = Put(0, b[0], 1, kMile);
    c.Change(train);
    Store(0, train);
    const int32_t before = train.HeadEventTime;
    Step();
    EXPECT_EQ(+Train(0).HeadEventTime, c.Stepped ? before + 30 : before);
  }
}

TEST_F(EntryTest, WaitSignalHoldsBehindATrainAndForTheDispatcher) {
  Put(1, b[0], 1, 4000);  // its rear at 3,000 ft
  TrainStatus train = Put(0, b[0], 1, 3000);
  Step();
  EXPECT_EQ(+Train(0).State, TrainState::Stopped);
  EXPECT_EQ(+Train(0).Reason, StopReason::WaitSignal);
  EXPECT_EQ(+Train(0).HeadEventTime, kStart + 30);

  // Once the train ahead has moved off, the room ahead lets it start.
  TrainStatus ahead = Train(1);
  ahead.HeadPosition = kMile;
  Store(1, ahead);
  train = Train(0);
  train.DispatcherStop = 1;
  Store(0, train);
  store().SimClock = kStart + 30;
  Step();
  EXPECT_EQ(+Train(0).Reason, StopReason::DispatcherRequest);
  EXPECT_EQ(+Train(0).HeadEventTime, kStart + 60);

  train = Train(0);
  train.DispatcherStop = 0;
  Store(0, train);
  store().SimClock = kStart + 60;
  Step();
  EXPECT_EQ(+Train(0).State, TrainState::Starting);
  EXPECT_EQ(+Train(0).WaitStart, -1);
}

TEST_F(EntryTest, AYardTakesTheWaitingTrainAtOnce) {
  TrainStatus train = Put(0, b[3], 1, kMile);
  train.Reason = StopReason::WaitYard;
  train.SpeedBeforeStop = 40;
  train.WaitStart = kStart - 600;
  Store(0, train);
  Step();
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Starting);
  EXPECT_EQ(+train.Reason, HeadEvent::Running);
  EXPECT_EQ(+train.Speed, 40);
  EXPECT_EQ(+train.WaitStart, -1);
  EXPECT_EQ(+train.HeadEventTime, kStart);
}

TEST_F(EntryTest, TheSelectedTrainIsFollowedWhileItRuns) {
  run().SelectedTrain = 0;
  shell.CellsVisible = false;
  Step();  // enters: its label cell for trains heading right
  const BlockStatus entrance = store().GetBlockStatus(b[0]);
  const std::pair<int, int> cell{+entrance.RightLabelX, +entrance.RightLabelY};
  EXPECT_THAT(shell.TrainStatusLines, ElementsAre(0));
  EXPECT_THAT(shell.ScrolledTo, ElementsAre(cell));
  EXPECT_THAT(shell.CursorPlaced, ElementsAre(cell));

  RunFor(120);  // stopped at the red signal: the status line still, the view no longer
  const size_t placed = shell.CursorPlaced.size();
  store().SimClock = Train(0).HeadEventTime;
  Step();
  EXPECT_EQ(shell.CursorPlaced.size(), placed);
  EXPECT_GT(shell.TrainStatusLines.size(), 2u);
}

}  // namespace
