#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/engine/movement_fixture.h"

namespace {

class StepTest : public MovementTest {
 protected:
  void SetUp() override {
    Line();
    Start();
  }
  // A train running right whose head has reached `position` in `block`, its rear 1,000 ft behind.
  TrainStatus Running(int block, int32_t position = kMile, int16_t speed = 60, uint8_t state = TrainState::Moving) {
    return Put(0, block, 1, position, block, state, speed);
  }
};

TEST_F(StepTest, ATrainRunsTheLineOccupyingAheadReleasingBehindAndLeaves) {
  SetTrainsOnTerritory(1);
  TrainStatus train = Put(0, b[0], 1, 0, b[0], TrainState::Scheduled);
  train.RearBlock = -1;
  Store(0, train);
  BlockStatus entrance = store().GetBlockStatus(b[0]);
  entrance.Trains[0] = 0xFFFF;
  store().UpdateBlockStatus(b[0], entrance);
  ClearRight({b[0], b[1], b[2], b[3]});
  SignalStatus signal = store().GetSignalStatus(right[0]);
  signal.Aspect = 1;
  store().UpdateSignalStatus(right[0], signal);
  engine.EnterNextBlock(0, b[0], 0, kStart);

  struct Entry {
    int32_t Clock;
    int Head;
    int32_t HeadEvent;
  };
  std::vector<Entry> entries;
  int head = Train(0).HeadBlock;
  bool b0ReleasedWhileB1Occupied = false;
  int32_t leftAt = -1;
  int16_t leavingSpeed = -1;
  for (int tick = 0; tick < 60 && Train(0).State != TrainState::Gone; ++tick) {
    Tick();
    train = Train(0);
    if (train.HeadBlock != head) {
      head = train.HeadBlock;
      entries.push_back({store().SimClock, head, train.HeadEventTime});
      if (head == -1) leavingSpeed = train.Speed;
    }
    if (BlockCode(b[0]) == 0 && Slots(b[0]).empty() && BlockCode(b[1]) == 3) b0ReleasedWhileB1Occupied = true;
    if (train.State == TrainState::Gone) leftAt = store().SimClock;
  }

  // A mile at 60 mph is 60 s; each block's event counts from the one before.
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(+entries[0].Clock, kStart + 60);
  EXPECT_EQ(+entries[0].Head, b[1]);
  EXPECT_EQ(+entries[0].HeadEvent, kStart + 120);
  EXPECT_EQ(+entries[1].Head, b[2]);
  EXPECT_EQ(+entries[1].HeadEvent, kStart + 180);
  EXPECT_EQ(+entries[2].Head, b[3]);
  EXPECT_EQ(+entries[2].HeadEvent, kStart + 240);
  EXPECT_EQ(+entries[3].Head, -1);
  EXPECT_EQ(+entries[3].Clock, kStart + 240);
  EXPECT_EQ(leavingSpeed, 20);
  EXPECT_TRUE(b0ReleasedWhileB1Occupied);
  EXPECT_EQ(Aspect(right[0]), 5);  // the signal passed drops to stop

  // The rear leaves 1,000 ft at 20 mph (34 s) after the head.
  EXPECT_EQ(leftAt, kStart + 280);
  EXPECT_EQ(+Train(0).State, TrainState::Gone);
  EXPECT_EQ(+store().GetPerformStatus().Trains, 0);
  EXPECT_EQ(+store().GetPerformStatus().Distance, 4 * kMile);
  EXPECT_EQ(+store().GetPerformStatus().LostTime, 0);
  for (int block : b) {
    EXPECT_EQ(BlockCode(block), 0);
    EXPECT_TRUE(Slots(block).empty());
  }
  EXPECT_EQ(+store().GetOrgStatus(east).OffCount, 1);
}

// A saved simulation can put a train's head anywhere in its range: the distance to run and the time of the
// next event are held at the clock's limit (the event never comes) instead of wrapping round into the past.
TEST_F(StepTest, AHeadFarOutsideItsBlockGetsAnEventTimeHeldAtTheLimit) {
  TerritoryOptions units = store().GetTerritoryOptions();
  units.Units = 0;  // metres: the slowest start speed gives the longest travel time
  store().UpdateTerritoryOptions(units);
  for (const int32_t position : {INT32_MIN + 7, INT32_MAX - 7}) {
    TrainStatus train = Running(b[1], position);
    train.HeadDirection = position < 0 ? 1 : 0;
    train.NextStartSpeed = 1;
    Store(0, train);
    engine.StartOrMoveTrain(0);
    EXPECT_EQ(+Train(0).HeadEventTime, INT32_MAX) << position;
    EXPECT_EQ(+Train(0).State, TrainState::Moving) << position;
  }
}

TEST_F(StepTest, ARedSignalStopsTheTrainAtTheBlockEnd) {
  Running(b[1]);
  engine.StartOrMoveTrain(0);
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::WaitSignal);
  EXPECT_EQ(+train.Speed, 0);
  EXPECT_EQ(+train.HeadBlock, b[1]);
  EXPECT_EQ(+train.HeadPosition, kMile);
  EXPECT_EQ(+train.HeadEventTime, kStart);
  EXPECT_EQ(+train.StandingSince, kStart);
  EXPECT_EQ(+train.WaitStart, kStart);
  EXPECT_EQ(+train.RearEventTime, -1);
  EXPECT_EQ(Alert(0).substr(18), "Train - \"101\" is stopped waiting for signal.");
  EXPECT_TRUE(Slots(b[2]).empty());
}

TEST_F(StepTest, AStandOfThirtySecondsOrMoreCountsAsStopTime) {
  for (int32_t wait : {29, 30, 95}) {
    SCOPED_TRACE(wait);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    SetTrainsOnTerritory(0);
    Running(b[1]);
    engine.StartOrMoveTrain(0);  // stopped at the red signal
    ClearRight({b[2]});
    TrainStatus train = Train(0);
    train.State = TrainState::Starting;  // the signal cleared: the train starts
    Store(0, train);
    store().SimClock = kStart + wait;
    engine.StartOrMoveTrain(0);
    const int32_t counted = wait >= 30 ? wait : 0;
    EXPECT_EQ(+Train(0).HeadBlock, b[2]);
    EXPECT_EQ(+Train(0).TotalStopTime, counted);
    EXPECT_EQ(+Train(0).StandingSince, -1);
    EXPECT_EQ(+store().GetPerformStatus().StoppedTime, counted);
  }
}

TEST_F(StepTest, StopOrdersAreSettledBeforeTheBlockEnd) {
  struct Case {
    const char* Name;
    std::function<void(TrainStatus&)> Arm;
    uint8_t Reason;
    int32_t HeadEvent;  // -1: not checked
    std::function<void(const TrainStatus&)> Check;
  };
  const Case cases[] = {
      {"dispatcher stop", [](TrainStatus& t) { t.DispatcherStop = 1; }, StopReason::DispatcherRequest, kStart + 30,
       [](const TrainStatus&) {}},
      {"stop in this block", [this](TrainStatus& t) { t.StopInBlock = static_cast<int16_t>(b[1]); },
       StopReason::DispatcherRequest, kStart + 30, [](const TrainStatus& t) { EXPECT_EQ(+t.DispatcherStop, 1); }},
      {"stop in another block runs on", [this](TrainStatus& t) { t.StopInBlock = static_cast<int16_t>(b[3]); },
       StopReason::WaitSignal, kStart, [](const TrainStatus& t) { EXPECT_EQ(+t.DispatcherStop, 0); }},
      {"stop and reverse", [](TrainStatus& t) { t.StopAndReverse = 1; }, HeadEvent::Running, -1,
       [](const TrainStatus& t) {
         EXPECT_EQ(+t.StopAndReverse, 0);
         EXPECT_EQ(+t.HeadDirection, 0);
         EXPECT_EQ(+t.State, TrainState::Moving);
       }},
      {"derailment", [](TrainStatus& t) { t.RunPast = 1; }, StopReason::Derailment, -1,
       [this](const TrainStatus& t) {
         EXPECT_EQ(+t.RunPast, 0);
         EXPECT_GE(+t.HeadEventTime, kStart);
         EXPECT_LE(+t.HeadEventTime, kStart + 10 * 3600 + 58 * 60);
         EXPECT_EQ(Alert(0).substr(18), "Train - \"101\" is stopped due to derailment.  To be cleared by " +
                                            Engine::FormatClockTime(t.HeadEventTime % 86400) + ".");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().Run.AlertLinesUsed = 0;
    store().SimClock = kStart;
    TrainStatus train = Running(b[1]);
    c.Arm(train);
    Store(0, train);
    engine.StartOrMoveTrain(0);
    train = Train(0);
    EXPECT_EQ(+train.Reason, +c.Reason);
    if (c.HeadEvent != -1) {
      EXPECT_EQ(+train.HeadEventTime, +c.HeadEvent);
    }
    EXPECT_EQ(+train.HeadBlock, b[1]);
    EXPECT_EQ(+train.Speed, c.Reason == HeadEvent::Running ? train.Speed : 0);
    c.Check(train);
  }
}

TEST_F(StepTest, ATrainUpAgainstTheTrainAheadWaits) {
  Put(1, b[1], 1, 4000);
  Running(b[1], 3000);
  engine.StartOrMoveTrain(0);
  EXPECT_EQ(+Train(0).State, TrainState::Stopped);
  EXPECT_EQ(+Train(0).Reason, StopReason::WaitSignal);
  EXPECT_EQ(+Train(0).HeadEventTime, kStart + 30);
}

TEST_F(StepTest, RoomInTheBlockIsRunAtRestrictedSpeedOrTheSpeedKeptForTheStart) {
  Running(b[1], 2000, 0, TrainState::Starting);
  engine.StartOrMoveTrain(0);
  TrainStatus train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.Speed, 10);
  EXPECT_EQ(+train.PreviousHeadPosition, 2000);
  EXPECT_EQ(+train.HeadPosition, kMile);
  EXPECT_EQ(+train.HeadEventTime, kStart + engine.TravelTime(10, kMile - 2000));

  train = Running(b[1], 2000, 0, TrainState::Starting);
  train.NextStartSpeed = 25;
  Store(0, train);
  engine.StartOrMoveTrain(0);
  EXPECT_EQ(+Train(0).Speed, 25);
  EXPECT_EQ(+Train(0).NextStartSpeed, -1);
}

TEST_F(StepTest, APassedRedSignalSpendsAHeldClearanceAndTheLostTimeIsCounted) {
  BlockStatus beyond = store().GetBlockStatus(b[2]);
  beyond.HeldRoutes = 2;
  store().UpdateBlockStatus(b[2], beyond);
  TrainStatus train = Running(b[1]);
  train.PassRedPermission = 1;
  Store(0, train);
  engine.StartOrMoveTrain(0);
  train = Train(0);
  EXPECT_EQ(+train.HeadBlock, b[2]);
  EXPECT_EQ(+train.Speed, 10);
  EXPECT_EQ(+train.PassRedPermission, 0);  // B2 has its own signal at its far end
  EXPECT_EQ(+store().GetBlockStatus(b[2]).HeldRoutes, 1);
  EXPECT_EQ(BlockCode(b[2]), 3);
  // A mile at 10 mph against 60 mph.
  EXPECT_EQ(+train.TotalLostTime, 360 - 60);
  EXPECT_EQ(+store().GetPerformStatus().LostTime, 300);
}

TEST_F(StepTest, AFullExitMakesTheTrainWait) {
  OptionData options = store().GetOptionData();
  options.YardCapacityLimitActive = 1;
  store().UpdateOptionData(options);
  OrgData exit = store().GetOrgData(east);
  exit.CapacityLimited = 1;
  exit.Capacity = 24;  // one train an hour
  store().UpdateOrgData(east, exit);
  store().SetSimStartTime(kStart - 600);
  store().UpdateTrainOffTime(east, kStart - 600);

  TrainStatus train = Put(0, b[3], 1, kMile, b[2], TrainState::Moving, 60);
  train.RearEventTime = kStart + 100;
  Store(0, train);
  engine.StartOrMoveTrain(0);
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::WaitYard);
  EXPECT_EQ(+train.HeadEventTime, kStart + 3000);
  EXPECT_EQ(+train.RearEventTime, -1);  // the store keeps no rear event for a standing train
  EXPECT_EQ(+train.Speed, 0);
  EXPECT_EQ(+train.SpeedBeforeStop, 60);
  EXPECT_EQ(+train.HeadBlock, b[3]);
}

TEST_F(StepTest, TrainsLeaveAtTheExitSpeed) {
  struct Case {
    const char* Name;
    uint8_t Units;
    int16_t Speed;
    uint8_t State;
    int16_t Leaves;
  };
  const Case cases[] = {
      {"60 mph", 1, 60, TrainState::Moving, 20},
      {"15 mph keeps its speed", 1, 15, TrainState::Moving, 15},
      {"starting at the end", 1, 0, TrainState::Starting, 20},
      {"metric", 0, 100, TrainState::Moving, 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    TerritoryOptions units = store().GetTerritoryOptions();
    units.Units = c.Units;
    store().UpdateTerritoryOptions(units);
    Put(0, b[3], 1, kMile, b[2], c.State, c.Speed, 6000);  // 720 ft of it still in B2
    engine.StartOrMoveTrain(0);
    const TrainStatus train = Train(0);
    EXPECT_EQ(+train.State, TrainState::Leaving);
    EXPECT_EQ(+train.HeadBlock, -1);
    EXPECT_EQ(+train.HeadEventTime, -1);
    EXPECT_EQ(+train.Speed, +c.Leaves);
    EXPECT_EQ(+train.AspectSpeed, c.Units == 1 ? 20 : 33);
    // The rear is still in B2: it gets its event from the rear step that brought it up.
    EXPECT_EQ(+train.RearBlock, b[2]);
    if (c.State == TrainState::Starting) {
      EXPECT_EQ(+train.RearEventTime, kStart + engine.TravelTime(20, 720));
    }
  }
}

TEST_F(StepTest, WorkAtTheEndBlockAndACrewChangeStopTheTrainThere) {
  BlockData end = store().GetBlockData(b[3]);
  SetFieldText(end.AreaName, "YARD");
  end.CrewReliefMinutes = 20;
  store().UpdateBlockData(b[3], end);
  TrainData schedule = store().GetTrainData(data);
  SetFieldText(schedule.LocalWork[0].AreaName, "YARD");
  schedule.LocalWork[0].Minutes = 30;
  store().UpdateTrainData(data, schedule);
  Put(0, b[3], 1, kMile, b[3], TrainState::Moving, 60);
  engine.StartOrMoveTrain(0);
  EXPECT_EQ(+Train(0).Reason, StopReason::LocalWork);
  EXPECT_EQ(+Train(0).HeadEventTime, kStart + 1800);
  EXPECT_EQ(+Train(0).HeadBlock, b[3]);

  store().InitSimulationStatus();
  TrainStatus train = Put(0, b[3], 1, kMile, b[3], TrainState::Moving, 60);
  train.CrewChangeOrdered = 1;
  train.CrewReadyTime = kStart - 300;
  Store(0, train);
  engine.StartOrMoveTrain(0);
  EXPECT_EQ(+Train(0).Reason, StopReason::CrewChange);
  EXPECT_EQ(+Train(0).HeadEventTime, kStart - 300 + 1200);
  EXPECT_EQ(+Train(0).Speed, 0);
}

}  // namespace
