#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/engine/movement_fixture.h"

namespace {

using TrainExtent = Engine::TrainExtent;

class ExtentTest : public MovementTest {
 protected:
  void SetUp() override {
    Line();
    Start();
  }
};

TEST_F(ExtentTest, ExtentOfStandingMovingAndLeavingTrains) {
  struct Case {
    const char* Name;
    int Head, Direction;
    int32_t Position;
    int Rear;
    uint8_t State;
    int16_t Speed;
    int32_t EventIn;  // head event (or rear event, head -1) after the clock
    TrainExtent Want;
  };
  // 60 mph is 88 ft/s, 20 mph 29 1/3 ft/s.
  const Case cases[] = {
      {"inside the block, right", 1, 1, 3000, 1, 3, 0, 0, {3000, 2000, 1, 1, 1}},
      {"inside the block, left", 1, 0, 3000, 1, 3, 0, 0, {3000, 4000, 1, 1, 0}},
      {"rear in the block behind, right", 1, 1, 500, 0, 3, 0, 0, {500, 4780, 1, 0, 1}},
      {"rear in the block behind, left", 1, 0, 5000, 2, 3, 0, 0, {5000, 720, 1, 2, 0}},
      {"moving: set back by the distance still to run", 1, 1, 3000, 1, 5, 60, 10, {2120, 1120, 1, 1, 1}},
      {"head gone, rear heading right", -1, 1, 0, 3, 11, 20, 30, {-1, 4400, -1, 3, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().SimClock = kStart;
    TrainStatus train =
        Put(0, c.Head >= 0 ? b[c.Head] : b[c.Rear], c.Direction, c.Position, b[c.Rear], c.State, c.Speed);
    if (c.Head < 0) {
      train.HeadBlock = -1;
      train.RearEventTime = kStart + c.EventIn;
    } else {
      train.HeadEventTime = kStart + c.EventIn;
    }
    Store(0, train);
    const TrainExtent e = engine.GetTrainHeadPosition(0);
    const int wantHead = c.Want.HeadBlock >= 0 ? b[c.Want.HeadBlock] : -1;
    EXPECT_EQ(+e.HeadPosition, +c.Want.HeadPosition);
    EXPECT_EQ(+e.RearPosition, +c.Want.RearPosition);
    EXPECT_EQ(+e.HeadBlock, wantHead);
    EXPECT_EQ(+e.RearBlock, b[c.Want.RearBlock]);
    EXPECT_EQ(+e.RearDirection, +c.Want.RearDirection);
    store().InitSimulationStatus();
  }
}

// A damaged saved run can put a head anywhere in the position's range: the extent is reckoned without
// overflow, and the rear stays within its block.
TEST_F(ExtentTest, PositionsAtTheLimitsOfTheirRangeGiveARearInsideItsBlock) {
  for (const int32_t position : {INT32_MIN, INT32_MIN + 5000, INT32_MAX - 5000, INT32_MAX}) {
    for (const int direction : {0, 1}) {
      for (const int32_t length : {1000, 20000}) {
        SCOPED_TRACE(testing::Message() << position << " heading " << direction << ", " << length << " long");
        store().SimClock = kStart;
        TrainStatus train = Put(0, b[1], direction, position, b[1], TrainState::Moving, 60);
        train.Length = length;
        train.HeadEventTime = kStart + 10;
        Store(0, train);
        const TrainExtent e = engine.GetTrainHeadPosition(0);
        ASSERT_GE(+e.RearBlock, 0);
        EXPECT_GE(+e.RearPosition, 0);
        EXPECT_LE(+e.RearPosition, +store().GetBlockData(e.RearBlock).Length);
        store().InitSimulationStatus();
      }
    }
  }
}

TEST_F(ExtentTest, UpdateTrainRearReleasesWhatTheRearHasLeft) {
  // A 1,000 ft train heading right whose head stood 500 ft into B2: its rear is in B1, B0 is free again.
  TrainStatus train = Put(0, b[2], 1, 500, b[0], TrainState::Moving, 60);
  Enter(b[1], 0, 1);
  train.PreviousHeadPosition = 500;
  Store(0, train);
  engine.UpdateTrainRear(0, kStart, 0);
  train = Train(0);
  EXPECT_EQ(+train.RearBlock, b[1]);
  EXPECT_EQ(+train.RearDirection, 1);
  EXPECT_EQ(+train.RearEventTime, kStart + engine.TravelTime(60, 500));
  EXPECT_EQ(BlockCode(b[0]), 0);
  EXPECT_TRUE(Slots(b[0]).empty());
  EXPECT_EQ(Slots(b[1]), std::vector<int>{0});

  // With the rear in the head block there is a rear event only when asked for.
  train.PreviousHeadPosition = 3000;
  Store(0, train);
  engine.UpdateTrainRear(0, kStart, 0);
  EXPECT_EQ(+Train(0).RearBlock, b[2]);
  EXPECT_EQ(+Train(0).RearEventTime, -1);
  EXPECT_EQ(BlockCode(b[1]), 0);
  engine.UpdateTrainRear(0, kStart, 1);
  EXPECT_EQ(+Train(0).RearEventTime, kStart + engine.TravelTime(60, 1000 + kMile - 3000));  // rear to B2's end

  // Standing, the train gets no rear event at all.
  train = Train(0);
  train.Speed = 0;
  train.PreviousHeadPosition = 500;
  train.RearBlock = static_cast<int16_t>(b[1]);
  Store(0, train);
  engine.UpdateTrainRear(0, kStart, 1);
  EXPECT_EQ(+Train(0).RearEventTime, -1);
}

TEST_F(ExtentTest, ARearNotFoundBehindKeepsItsBlockForAFullBlockLength) {
  TrainStatus train = Put(0, b[1], 1, 3000, b[3], TrainState::Moving, 60);
  Store(0, train);
  engine.UpdateTrainRear(0, kStart, 0);
  EXPECT_EQ(+Train(0).RearBlock, b[3]);
  EXPECT_EQ(+Train(0).RearEventTime, kStart + engine.TravelTime(60, kMile));
  EXPECT_EQ(Slots(b[3]), std::vector<int>{0});
}

TEST_F(ExtentTest, BlockLengthsAndBlocksOnThePath) {
  EXPECT_EQ(engine.SumBlockLengths(1, b[0], b[3]), 2 * kMile);
  EXPECT_EQ(engine.SumBlockLengths(0, b[3], b[0]), 2 * kMile);
  EXPECT_EQ(engine.SumBlockLengths(1, b[1], b[1]), 0);
  EXPECT_EQ(engine.SumBlockLengths(1, b[2], b[3]), 0);
  EXPECT_EQ(engine.FindBlockOnPath(1, b[0], b[2]), b[2]);
  EXPECT_EQ(engine.FindBlockOnPath(0, b[0], b[2]), -1);
  EXPECT_EQ(engine.FindBlockOnPath(1, b[2], b[2]), -1);
}

TEST_F(ExtentTest, RelinkOSHitsMovesOnlyTheTrainsHits) {
  store().AddNewOSHit(b[1], 0, 100);
  store().AddNewOSHit(b[2], 1, 200);
  store().AddNewOSHit(b[3], 0, 300);
  engine.RelinkOSHits(0, 7);
  EXPECT_EQ(+store().GetOSHit(0).TrainSlot, 7);
  EXPECT_EQ(+store().GetOSHit(1).TrainSlot, 1);
  EXPECT_EQ(+store().GetOSHit(2).TrainSlot, 7);

  // A slot's hits are dropped when it is handed out again; the next train's hits in it move as well.
  store().ClearTrainOSHits(1);
  store().AddNewOSHit(b[0], 1, 400);
  engine.RelinkOSHits(1, 8);
  EXPECT_EQ(+store().GetOSHit(3).TrainSlot, 8);
  EXPECT_EQ(+store().GetOSHit(1).Device, 0xFFFF);
}

// ---------------------------------------------------------------- the rear step

class RearStepTest : public ExtentTest {
 protected:
  // The train leaving at EST: head gone, rear in B3.
  TrainStatus Leaving(int slot = 0) {
    TrainStatus train = Put(slot, b[3], 1, kMile, b[3], TrainState::Leaving, 20);
    train.HeadBlock = -1;
    train.RearEventTime = kStart;
    Store(slot, train);
    return train;
  }
  void Leg(int k, const char* exit, const char* entrance, uint16_t minutes = 30, const char* id = "", int16_t crew = -1,
           int16_t length = -1, uint8_t reverse = 0) {
    TrainData train = store().GetTrainData(data);
    TrainMultipleEntry& leg = train.Multiple[k];
    // Three letters fill the field with no terminator.
    std::memset(leg.LegExit, 0, 3);
    std::memset(leg.NextEntrance, 0, 3);
    std::memcpy(leg.LegExit, exit, std::min<size_t>(std::strlen(exit), 3));
    std::memcpy(leg.NextEntrance, entrance, std::min<size_t>(std::strlen(entrance), 3));
    leg.ReentryMinutes = minutes;
    SetFieldText(leg.Text8, id);
    leg.Byte21 = reverse;
    leg.CrewMinutes = crew;
    leg.NewLength = length;
    store().UpdateTrainData(data, train);
  }
  void Couple(int front, int behind) {
    TrainStatus f = Train(front), r = Train(behind);
    f.MergeNext = static_cast<int16_t>(behind);
    r.MergePrevious = static_cast<int16_t>(front);
    r.State = TrainState::Merged;
    Store(front, f);
    Store(behind, r);
  }
};

TEST_F(RearStepTest, TheRearFollowsAndReleasesTheBlocksBehind) {
  // Head in B3, rear in B1 heading right: the rear moves on to B2 for a whole block length.
  TrainStatus train = Put(0, b[3], 1, 2000, b[1], TrainState::Moving, 60);
  Enter(b[2], 0, 1);
  train.RearEventTime = kStart;
  Store(0, train);
  engine.MoveTrain(0);
  train = Train(0);
  EXPECT_EQ(+train.RearBlock, b[2]);
  EXPECT_EQ(+train.RearDirection, 1);
  EXPECT_EQ(+train.RearEventTime, kStart + 60);
  EXPECT_EQ(BlockCode(b[1]), 0);
  EXPECT_TRUE(Slots(b[1]).empty());

  // Into the head block: no further rear event.
  engine.MoveTrain(0);
  EXPECT_EQ(+Train(0).RearBlock, b[3]);
  EXPECT_EQ(+Train(0).RearEventTime, -1);
  EXPECT_EQ(BlockCode(b[2]), 0);
}

TEST_F(RearStepTest, ABlockKeepsTheOccupancyOfTheTrainsLeftInIt) {
  // Train 1 follows train 0 into B1 (both heading right); train 0's rear leaves B1.
  TrainStatus train = Put(0, b[2], 1, 500, b[1], TrainState::Moving, 60);
  train.RearEventTime = kStart;
  Store(0, train);
  Put(1, b[1], 1, 3000, b[1], TrainState::Moving, 60);
  engine.MoveTrain(0);
  EXPECT_EQ(+Train(0).RearBlock, b[2]);
  EXPECT_EQ(Slots(b[1]), std::vector<int>{1});
  EXPECT_EQ(BlockCode(b[1]), 3);
}

TEST_F(RearStepTest, AReachedWorkAreaStartsTheWork) {
  BlockData block = store().GetBlockData(b[2]);
  SetFieldText(block.AreaName, "YARD");
  store().UpdateBlockData(b[2], block);
  TrainData schedule = store().GetTrainData(data);
  SetFieldText(schedule.LocalWork[0].AreaName, "YARD");
  schedule.LocalWork[0].Minutes = 45;
  store().UpdateTrainData(data, schedule);
  TrainStatus train = Put(0, b[3], 1, 2000, b[1], TrainState::ToWorkArea, 20);
  Enter(b[2], 0, 1);
  train.RearEventTime = kStart;
  Store(0, train);
  engine.MoveTrain(0);
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::InWorkArea);
  EXPECT_EQ(+train.HeadEventTime, kStart + 45 * 60);
  EXPECT_EQ(+train.RearEventTime, -1);
  EXPECT_EQ(+train.Speed, 0);
}

TEST_F(RearStepTest, LeavingAtTheScheduledExitEndsTheTrain) {
  SetTrainsOnTerritory(1);
  Leaving();
  engine.MoveTrain(0);
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Gone);
  EXPECT_EQ(+train.RearBlock, -1);
  EXPECT_EQ(+train.Speed, 0);
  EXPECT_EQ(+train.HeadEventTime, -1);
  EXPECT_EQ(+train.MissedExits, 0);
  EXPECT_EQ(+store().GetPerformStatus().Trains, 0);
  EXPECT_EQ(BlockCode(b[3]), 0);
  EXPECT_TRUE(Slots(b[3]).empty());
}

TEST_F(RearStepTest, ABlockWithHeldClearancesReturnsToCleared) {
  Leaving();
  BlockStatus status = store().GetBlockStatus(b[3]);
  status.HeldRoutes = 1;
  store().UpdateBlockStatus(b[3], status);
  engine.MoveTrain(0);
  EXPECT_EQ(BlockCode(b[3]), 1);
  EXPECT_EQ(+store().GetBlockStatus(b[3]).HeldRoutes, 0);
}

TEST_F(RearStepTest, ATrainPastItsLastLegLeavesWithTheTrainsCoupledToIt) {
  SetTrainsOnTerritory(3);
  TrainStatus train = Leaving();
  train.MultipleIndex = 10;
  Store(0, train);
  Put(1, b[3], 1, kMile, b[3], TrainState::Merged);
  Put(2, b[3], 1, kMile, b[3], TrainState::Merged);
  Couple(0, 1);
  Couple(1, 2);
  engine.MoveTrain(0);
  EXPECT_EQ(+Train(0).State, TrainState::Gone);
  EXPECT_EQ(+Train(1).State, TrainState::Gone);
  EXPECT_EQ(+Train(2).State, TrainState::Gone);
  EXPECT_EQ(+store().GetPerformStatus().Trains, 0);
}

TEST_F(RearStepTest, ALoopInTheCoupledChainEndsTheWalk) {
  SetTrainsOnTerritory(2);
  TrainStatus train = Leaving();
  train.MultipleIndex = 10;
  Store(0, train);
  Put(1, b[3], 1, kMile, b[3], TrainState::Merged);
  Couple(0, 1);
  Couple(1, 0);  // damaged: the chain leads back to the front train
  engine.MoveTrain(0);
  EXPECT_EQ(+Train(1).State, TrainState::Gone);
  EXPECT_EQ(+store().GetPerformStatus().Trains, 0);
}

TEST_F(RearStepTest, AMissedExitWithoutALegThereEndsTheTrain) {
  SetTrainsOnTerritory(1);
  TrainStatus train = Leaving();
  SetFieldText(train.Exit, "NRTH");
  Store(0, train);
  Leg(0, "SOTH", "WST");
  engine.MoveTrain(0);
  EXPECT_EQ(+Train(0).State, TrainState::Gone);
  EXPECT_EQ(+Train(0).MissedExits, 1);
  EXPECT_EQ(+store().GetPerformStatus().Word10, 1);
  EXPECT_EQ(+store().GetPerformStatus().Trains, 0);
}

TEST_F(RearStepTest, AMissedExitContinuesWithTheLegAfterTheOneEndingThere) {
  TrainStatus train = Leaving();
  SetFieldText(train.Exit, "NRTH");
  Store(0, train);
  Leg(0, "SOTH", "WST");
  Leg(1, "EST", "WST");
  Leg(2, "XX", "WST", 15);
  engine.MoveTrain(0);
  train = Train(0);
  EXPECT_EQ(+train.MissedExits, 1);
  EXPECT_EQ(+train.MultipleIndex, 2);
  EXPECT_EQ(+train.State, TrainState::Scheduled);
  EXPECT_EQ(FieldText(train.Exit), "XX");
  EXPECT_EQ(+train.HeadEventTime, kStart + 15 * 60);
}

TEST_F(RearStepTest, ALegWithANewIdentityKeepsTheOldOneInAFreeSlot) {
  SetTrainsOnTerritory(1);
  TrainStatus train = Leaving();
  train.TotalStopTime = 500;
  Store(0, train);
  TrainStop stop = store().GetTrainStop(0);
  stop.Stops[3] = 1;
  store().UpdateTrainStop(0, stop);
  store().AddNewOSHit(b[1], 0, 100);
  Leg(0, "EST", "WST", 30, "102", 60, 2000, 1);

  engine.MoveTrain(0);
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Scheduled);
  EXPECT_EQ(FieldText(train.TrainId), "102");
  EXPECT_EQ(+train.HeadEventTime, kStart + 1800);
  EXPECT_EQ(+train.CrewExpiry, kStart + 1800 + 43200 - 3600);
  EXPECT_EQ(+train.Length, 2000);
  EXPECT_EQ(FieldText(train.Entrance), "WST");
  EXPECT_EQ(+train.HeadDirection, 1);  // WST is at the left end of B0
  EXPECT_EQ(+train.Reversing, 1);
  EXPECT_EQ(+train.TotalStopTime, 0);
  EXPECT_EQ(+train.MultipleAdvancePending, 1);
  EXPECT_EQ(+store().GetTrainStop(0).Stops[3], 0);

  const int copy = store().GetOSHit(0).TrainSlot;
  ASSERT_NE(copy, 0);
  const TrainStatus old = Train(copy);
  EXPECT_EQ(+old.State, TrainState::Became);
  EXPECT_EQ(FieldText(old.TrainId), "101");
  EXPECT_EQ(+old.HeadBlock, -1);
  EXPECT_EQ(+old.TotalStopTime, 500);
  EXPECT_EQ(+store().GetPerformStatus().Trains, 0);

  // The next leaving moves on to the following entry, which has no re-entry: the train is gone.
  train.State = TrainState::Leaving;
  train.RearBlock = static_cast<int16_t>(b[3]);
  train.RearEventTime = kStart;
  Store(0, train);
  Enter(b[3], 0, 1);
  engine.MoveTrain(0);
  EXPECT_EQ(+Train(0).MultipleIndex, 1);
  EXPECT_EQ(+Train(0).State, TrainState::Gone);
}

TEST_F(RearStepTest, WithNoFreeSlotTheOldIdentityIsNotKept) {
  for (int slot = 1; slot < kMaxTrainStatus; ++slot) {
    TrainStatus other = store().GetTrainStatus(slot);
    other.InUse = 1;
    store().UpdateTrainStatus(slot, other, 1);
  }
  Leaving();
  Leg(0, "EST", "WST", 30, "102");
  engine.MoveTrain(0);
  EXPECT_EQ(FieldText(Train(0).TrainId), "102");
  EXPECT_EQ(+Train(0).State, TrainState::Scheduled);
  EXPECT_TRUE(messages.Calls.empty());
}

}  // namespace
