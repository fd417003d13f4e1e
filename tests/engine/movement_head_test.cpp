#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/movement_fixture.h"

namespace {

class HeadTest : public MovementTest {
 protected:
  void SetUp() override {
    Line();
    Start();
  }
};

TEST_F(HeadTest, AHeadUpAgainstTheTrainAheadWaitsAndOneFootBehindRunsOn) {
  struct Case {
    int Direction;
    int32_t AheadHead;  // the train ahead: 1,000 ft long, its rear 1,000 ft behind this head
    int32_t Head;
    int Code;
    int32_t Distance, Limit;
  };
  const Case cases[] = {
      {1, 4000, 3000, 2, 0, 3000},         {1, 4000, 2999, 1, 1, 3000}, {0, 1000, 2000, 2, 0, 2000},
      {0, 1000, 2001, 1, 1, 2000},         {1, -1, kMile, 0, 0, kMile}, {0, -1, 0, 0, 0, 0},
      {1, -1, 100, 1, kMile - 100, kMile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "direction " << c.Direction << ", head " << c.Head);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    if (c.AheadHead >= 0) Put(1, b[1], c.Direction, c.AheadHead);
    Put(0, b[1], c.Direction, c.Head);
    const Engine::HeadCheck check = engine.CheckHeadInBlock(0);
    EXPECT_EQ(+check.Code, +c.Code);
    EXPECT_EQ(+check.Distance, +c.Distance);
    EXPECT_EQ(+check.Limit, +c.Limit);
  }
}

TEST_F(HeadTest, EventPointsInBlocksShorterAndLongerThanTheTrain) {
  enum Armed { None, Platform, Loco, Hose, Detector, Crew, Become };
  struct Case {
    const char* Name;
    int Direction;
    int32_t TrainLength;
    Armed Mark;
    int32_t Head;
    uint8_t SwitchLimited, Restricted;
    int Code;
    int32_t Point;
  };
  const Case cases[] = {
      {"nothing, right: the block end", 1, 1000, None, 0, 0, 0, 5, kMile},
      {"nothing, left: the block end", 0, 1000, None, kMile, 0, 0, 5, 0},
      {"platform, right", 1, 1000, Platform, 0, 0, 0, 6, 3140},
      {"platform, right, train longer than the block", 1, 8000, Platform, 0, 0, 0, 6, kMile},
      {"platform, left", 0, 1000, Platform, kMile, 0, 0, 6, 2140},
      {"platform, left, train longer than the block", 0, 8000, Platform, kMile, 0, 0, 6, 0},
      {"locomotive problem, right", 1, 8000, Loco, 0, 0, 0, 17, 3960},
      {"locomotive problem, left", 0, 8000, Loco, kMile, 0, 0, 17, 4224},
      {"broken hose, right", 1, 1000, Hose, 0, 0, 0, 18, 4224},
      {"broken hose, left", 0, 1000, Hose, kMile, 0, 0, 18, 3960},
      {"detector, right", 1, 1000, Detector, 0, 0, 0, 10, 1320},
      {"detector, left", 0, 1000, Detector, kMile, 0, 0, 10, 1320},
      {"detector behind the head: at once", 1, 1000, Detector, 2000, 0, 0, 10, 2000},
      {"crew change, right", 1, 1000, Crew, 0, 0, 0, 6, kMile},
      {"become, left", 0, 1000, Become, kMile, 0, 0, 6, 0},
      {"switch-limited, right: clear the switch", 1, 1000, None, 0, 1, 0, 32, 1000},
      {"restricted switch, left", 0, 1000, None, kMile, 0, 1, 33, kMile - 1000},
      {"both switch flags", 0, 1000, None, kMile, 1, 1, 33, kMile - 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    TrainStatus train = Put(0, b[1], c.Direction, c.Head, b[1], TrainState::Moving, 60, c.TrainLength);
    train.Platform = train.Detector = train.BecomeDue = -1;
    train.LocoProblemHere = c.Mark == Loco;
    train.BrokenHoseHere = c.Mark == Hose;
    if (c.Mark == Platform) train.Platform = 0;
    if (c.Mark == Detector) train.Detector = 0;
    train.CrewChangeOrdered = c.Mark == Crew;
    if (c.Mark == Become) train.BecomeDue = 1;
    Store(0, train);
    const Engine::BlockEvent event = engine.ComputeBlockEvent(b[1], 0, c.SwitchLimited, c.Restricted);
    EXPECT_EQ(+event.Code, +c.Code);
    EXPECT_EQ(+event.Point, +c.Point);
  }
}

TEST_F(HeadTest, TheTrainAheadStopsTheEventShortOfItsRear) {
  Put(1, b[1], 1, 4000);
  TrainStatus train = Put(0, b[1], 1, 0, b[1], TrainState::Moving, 60);
  train.Platform = train.Detector = train.BecomeDue = -1;
  Store(0, train);
  const Engine::BlockEvent event = engine.ComputeBlockEvent(b[1], 0, 0, 0);
  EXPECT_EQ(+event.Code, 5);
  EXPECT_EQ(+event.Point, 3000);
}

// ---------------------------------------------------------------- entering the next block

class EnterTest : public HeadTest {
 protected:
  // A train standing at the right end of B1, heading right, nothing armed.
  TrainStatus AtEndOfB1(int slot = 0) {
    TrainStatus train = Put(slot, b[1], 1, kMile, b[1], TrainState::Starting, 0);
    train.Platform = train.Detector = train.BecomeDue = -1;
    train.LastLocalWorkBlock = -1;
    train.WaitStart = -1;
    Store(slot, train);
    return train;
  }
  void Area(int block, const char* name) {
    BlockData data = store().GetBlockData(block);
    SetFieldText(data.AreaName, name);
    store().UpdateBlockData(block, data);
  }
  void Work(int k, const char* area, uint16_t minutes) {
    TrainData schedule = store().GetTrainData(data);
    SetFieldText(schedule.LocalWork[k].AreaName, area);
    schedule.LocalWork[k].Minutes = minutes;
    store().UpdateTrainData(data, schedule);
  }
};

TEST_F(EnterTest, TheHeadEntersTheEntranceBlockAndRunsToItsEnd) {
  TrainStatus train = Put(0, b[0], 1, 0, b[0], TrainState::Scheduled);
  train.RearBlock = -1;
  train.Platform = train.Detector = train.BecomeDue = -1;
  Store(0, train);
  BlockStatus none = store().GetBlockStatus(b[0]);
  for (int k = 0; k < kBlockTrainSlots; ++k) none.Trains[k] = 0xFFFF;
  store().UpdateBlockStatus(b[0], none);
  SetBlockCode(b[0], 1);  // cleared on entry

  const PathCheckResult result = engine.EnterNextBlock(0, b[0], 0, kStart);
  train = Train(0);
  EXPECT_EQ(+result.AllowedSpeed, 60);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.Reason, HeadEvent::Running);
  EXPECT_EQ(+train.HeadBlock, b[0]);
  EXPECT_EQ(+train.Speed, 60);
  EXPECT_EQ(+train.PreviousHeadPosition, 0);
  EXPECT_EQ(+train.HeadPosition, kMile);
  EXPECT_EQ(+train.HeadEventTime, kStart + 60);  // a mile at 60 mph
  EXPECT_EQ(+train.BlockEntries, 1);
  EXPECT_EQ(BlockCode(b[0]), 3);
  EXPECT_EQ(Slots(b[0]), std::vector<int>{0});
  EXPECT_EQ(shell.ErasedLabels, std::vector<int>{b[0]});
}

TEST_F(EnterTest, NoSpeedAheadLeavesTheTrainWhereItIs) {
  AtEndOfB1();
  const PathCheckResult result = engine.EnterNextBlock(0, b[1], 1, kStart);
  EXPECT_EQ(+result.AllowedSpeed, 0);
  EXPECT_EQ(+Train(0).HeadBlock, b[1]);
  EXPECT_EQ(+Train(0).State, TrainState::Starting);
  EXPECT_TRUE(Slots(b[2]).empty());
}

TEST_F(EnterTest, TrainsTakeTheirSlotsByDirectionAndASixthWaits) {
  // Moving left into B0 where one train stands: slot 0, the other moves up.
  SetBlockCode(b[0], 2);
  Put(5, b[0], 0, 0);
  SetBlockCode(b[0], 2);
  TrainStatus train = Put(0, b[1], 0, 0, b[1], TrainState::Starting);
  train.Platform = train.Detector = train.BecomeDue = -1;
  Store(0, train);
  EXPECT_GT(engine.EnterNextBlock(0, b[1], 1, kStart).AllowedSpeed, 0);
  EXPECT_EQ(Slots(b[0]), (std::vector<int>{0, 5}));

  // Moving right into B2 behind three trains: after them; a block of five takes no sixth.
  for (int slot = 6; slot <= 9; ++slot) Put(slot, b[2], 1, kMile);
  SetBlockCode(b[2], 1);
  AtEndOfB1(1);
  EXPECT_GT(engine.EnterNextBlock(1, b[1], 1, kStart).AllowedSpeed, 0);
  EXPECT_EQ(Slots(b[2]), (std::vector<int>{6, 7, 8, 9, 1}));
  SetBlockCode(b[2], 1);
  AtEndOfB1(2);
  EXPECT_EQ(engine.EnterNextBlock(2, b[1], 1, kStart).AllowedSpeed, 0);
  EXPECT_EQ(Slots(b[2]), (std::vector<int>{6, 7, 8, 9, 1}));
  EXPECT_EQ(+Train(2).HeadBlock, b[1]);
}

TEST_F(EnterTest, LocalWorkStopsTheTrainAtTheEndOfItsWorkLocation) {
  // The YARD spans B1 and B2: no stop leaving B1, the stop comes leaving B2.
  Area(b[1], "YARD");
  Area(b[2], "YARD");
  Work(0, "YARD", 20);
  ClearRight({b[2], b[3]});
  AtEndOfB1();
  PathCheckResult result = engine.EnterNextBlock(0, b[1], 1, kStart);
  EXPECT_EQ(+result.StoppedForLocalWork, 0);
  EXPECT_EQ(+Train(0).HeadBlock, b[2]);
  EXPECT_EQ(+Train(0).LocalWorkDue, 1);

  TrainStatus train = Train(0);
  train.HeadPosition = kMile;
  train.State = TrainState::Moving;
  Store(0, train);
  result = engine.EnterNextBlock(0, b[2], 1, kStart);
  train = Train(0);
  EXPECT_EQ(+result.StoppedForLocalWork, 1);
  EXPECT_EQ(+train.HeadBlock, b[2]);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::LocalWork);
  EXPECT_EQ(+train.HeadEventTime, kStart + 1200);
  EXPECT_EQ(+train.Speed, 0);
  EXPECT_EQ(+train.LocalWorkIndex, 0);
}

TEST_F(EnterTest, WorkAlreadyDoneWhileWaitingIsNotDoneAgain) {
  Area(b[1], "YARD");
  Work(0, "YARD", 20);
  ClearRight({b[2]});
  TrainStatus train = AtEndOfB1();
  train.WaitStart = kStart - 1500;  // stood 25 minutes already
  Store(0, train);
  const PathCheckResult result = engine.EnterNextBlock(0, b[1], 1, kStart);
  EXPECT_EQ(+result.StoppedForLocalWork, 0);
  EXPECT_EQ(+Train(0).LocalWorkIndex, 1);
  EXPECT_EQ(+Train(0).HeadBlock, b[2]);
}

TEST_F(EnterTest, ThePlatformOfTheBlockEnteredIsMarkedWhenTheTrainStopsThere) {
  const int platform = t.Platform("Ashby", b[2]);
  ClearRight({b[2]});
  TrainStationTime times = store().GetTrainStationTime(0);
  times.Times[platform] = kStart + 600;
  store().UpdateTrainStationTime(0, times);
  AtEndOfB1();
  engine.EnterNextBlock(0, b[1], 1, kStart);
  TrainStatus train = Train(0);
  EXPECT_EQ(+train.Platform, platform);
  EXPECT_EQ(+train.Reason, HeadEvent::PlatformStop);
  EXPECT_EQ(+train.HeadPosition, kMile / 2 + 500);

  // Stopped there already: no mark.
  store().InitSimulationStatus();
  store().UpdateTrainStationTime(0, times);
  TrainStop stops = store().GetTrainStop(0);
  stops.Stops[platform] = 1;
  store().UpdateTrainStop(0, stops);
  ClearRight({b[2]});
  AtEndOfB1();
  engine.EnterNextBlock(0, b[1], 1, kStart);
  EXPECT_EQ(+Train(0).Platform, -1);
}

}  // namespace
