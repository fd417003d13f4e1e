#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/engine/movement_fixture.h"

namespace {

// x:   2      9  10  11     18   20     27
// WST  ===B0===  SW0  ===B1===    ===B2===  EST       y=4
//     <L0     R0>  \         R1>        R2>
//                   ===B3===                          y=6: the siding
// B1 has no signal at its left end: a train in B1 turning to the left looks
// past the switch to B0, whose left signal ends the look.
class ReverseTest : public MovementTest {
 protected:
  void SetUp() override {
    b[0] = Block("B0", 2, 9);
    sw = t.Switch("SW0", {10, 4}, Diverge::DownRight);
    b[1] = Block("B1", 11, 18);
    b[2] = Block("B2", 20, 27);
    b[3] = t.Block({.Name = "B3", .From = {12, 6}, .To = {18, 6}});
    for (int i = 0; i < 4; ++i) {
      BlockData block = store().GetBlockData(b[i]);
      block.Length = kMile;
      store().UpdateBlockData(b[i], block);
    }
    t.Link(b[0], SwitchDevice(sw));
    t.Link(SwitchDevice(sw), b[1]);
    t.Link(b[1], b[2]);
    t.Branch(sw, b[3], End::Left);
    left[0] = t.Signal(b[0], End::Left, "L0");
    right[0] = t.Signal(b[0], End::Right, "R0");
    right[1] = t.Signal(b[1], End::Right, "R1");
    right[2] = t.Signal(b[2], End::Right, "R2");
    west = t.Location("WST", b[0], End::Left);
    east = t.Location("EST", b[2], End::Right);
    type = t.TrainType("Freight");
    data = t.Train({.Id = "101", .Type = type, .Entrance = "WST", .Exit = "EST"});
    Start();
  }
  // Train 0 standing in B1 heading right, head at 3,000 ft, its rear at 2,000 ft.
  TrainStatus Standing(uint8_t reason = StopReason::WaitSignal) {
    TrainStatus train = Put(0, b[1], 1, 3000);
    train.Reason = reason;
    Store(0, train);
    return train;
  }
  void SetDualCab(bool dual) {
    TrainType record = store().GetTrainType(type);
    record.DualCab = dual ? 1 : 0;
    store().UpdateTrainType(type, record);
  }
  int sw = -1;
};

TEST_F(ReverseTest, EveryRefusalExplainsItselfAndChangesNothing) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    std::string Text;
  };
  const Case cases[] = {
      {"leaving",
       [this] {
         TrainStatus train = Train(0);
         train.State = TrainState::Leaving;
         Store(0, train);
       },
       "Train cannot change direction when it has partially left the territory."},
      {"arriving",
       [this] {
         TrainStatus train = Train(0);
         train.RearBlock = -1;
         Store(0, train);
       },
       "Train cannot change direction when it has partially arrived on the territory."},
      {"a train behind", [this] { Put(1, b[1], 1, 1000); },
       "Train cannot change direction when there is a train behind it in the same block."},
      {"switch against the way", [this] { SetSwitchPosition(sw, 1); },
       "Train cannot change direction where the route to the next signal in the requested direction is blocked by "
       "an open switch."},
      {"occupied behind", [this] { SetBlockCode(b[0], 4); },
       "Track behind the train must not be occupied, blocked or cleared in the opposite direction of the train's "
       "new direction."},
      {"cleared against, running in reverse",
       [this] {
         SetBlockCode(b[0], 1);
         TrainStatus train = Train(0);
         train.Reversing = 1;
         Store(0, train);
       },
       "Track in front of the train must not be occupied, blocked or cleared in the opposite direction of the "
       "train's new direction."},
      {"permit behind",
       [this] {
         BlockStatus status = store().GetBlockStatus(b[0]);
         status.PermitActive = 1;
         store().UpdateBlockStatus(b[0], status);
       },
       "Track behind the train must not be occupied, blocked or cleared in the opposite direction of the train's "
       "new direction."},
      {"not signalled behind",
       [this] {
         BlockData block = store().GetBlockData(b[0]);
         block.SignalledLeft = 0;
         store().UpdateBlockData(b[0], block);
       },
       "Track behind the train is not signalled for the new direction."},
      {"not signalled, running in reverse",
       [this] {
         BlockData block = store().GetBlockData(b[0]);
         block.SignalledLeft = 0;
         store().UpdateBlockData(b[0], block);
         TrainStatus train = Train(0);
         train.Reversing = 1;
         Store(0, train);
       },
       "Track in front of the train is not signalled for the new direction."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    BlockData block = store().GetBlockData(b[0]);
    block.SignalledLeft = 1;
    store().UpdateBlockData(b[0], block);
    messages.Calls.clear();
    Standing();
    c.Arrange();
    const TrainStatus before = Train(0);
    engine.ReverseTrain(0);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, c.Text);
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    const TrainStatus after = Train(0);
    EXPECT_EQ(+after.HeadDirection, +before.HeadDirection);
    EXPECT_EQ(+after.HeadBlock, +before.HeadBlock);
    EXPECT_EQ(+after.HeadPosition, +before.HeadPosition);
    EXPECT_EQ(+store().Run.SimPaused, 0);
  }
}

TEST_F(ReverseTest, AStandingTrainTurnsAndRunsTheOtherWay) {
  TrainType record = store().GetTrainType(type);
  record.ReverseSpeed = 25;
  store().UpdateTrainType(type, record);
  Standing();
  TrainStop stop = store().GetTrainStop(0);
  stop.OSRecorded[4] = 1;
  store().UpdateTrainStop(0, stop);
  engine.ReverseTrain(0);
  EXPECT_TRUE(messages.Calls.empty());
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.HeadDirection, 0);
  EXPECT_EQ(+train.HeadBlock, b[1]);
  EXPECT_EQ(+train.RearBlock, b[1]);
  EXPECT_EQ(+train.PreviousHeadPosition, 2000);  // the new head stands where the rear stood
  EXPECT_EQ(+train.Reversing, 1);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.Reason, HeadEvent::Running);
  // The route to L0 was lined up (B0 cleared left); now running in reverse, the type's reverse speed
  // holds over the 2,000 ft to B1's left end.
  EXPECT_EQ(BlockCode(b[0]), 2);
  EXPECT_EQ(+train.Speed, 25);
  EXPECT_EQ(+train.HeadPosition, 0);
  EXPECT_EQ(+train.HeadEventTime, kStart + engine.TravelTime(25, 2000));
  EXPECT_EQ(BlockCode(b[1]), 4);
  EXPECT_EQ(+store().GetTrainStop(0).OSRecorded[4], 0);

  // Turning again: the reverse flag goes back; a dual-cab train keeps it.
  TrainStatus standing = Train(0);
  standing.State = TrainState::Stopped;
  standing.Reason = StopReason::WaitSignal;
  standing.HeadPosition = standing.PreviousHeadPosition = 2000;
  standing.Speed = 0;
  Store(0, standing);
  SetDualCab(true);
  engine.ReverseTrain(0);
  EXPECT_EQ(+Train(0).HeadDirection, 1);
  EXPECT_EQ(+Train(0).Reversing, 1);
  EXPECT_EQ(BlockCode(b[1]), 3);
}

TEST_F(ReverseTest, ADispatcherStoppedTrainTurnsButStaysStopped) {
  Standing(StopReason::DispatcherRequest);
  engine.ReverseTrain(0);
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.HeadDirection, 0);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::DispatcherRequest);
  EXPECT_EQ(+train.HeadPosition, 2000);
  EXPECT_EQ(+train.HeadEventTime, kStart);
}

TEST_F(ReverseTest, AMovingTrainIsOnlyMarkedUntilItStands) {
  // 20 mph needs 40 s and 1,173 ft to stop; 20 km/h needs 40 s and 221 m (277 m in 50 s), the rule Stop
  // Now uses: in metres it stops well short of the end of its block.
  struct Case {
    int32_t NextEventIn;
    uint8_t Units;
    bool Stops;
    int32_t Position;
  };
  for (const Case& c :
       {Case{100, 1, true, kMile - 2933 + 1173}, Case{30, 1, false, kMile}, Case{100, 0, true, kMile - 554 + 221}}) {
    SCOPED_TRACE(testing::Message() << c.NextEventIn << " units " << int{c.Units});
    store().InitSimulationStatus();
    store().SimClock = kStart;
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = c.Units;
    store().UpdateTerritoryOptions(options);
    TrainStatus train = Put(0, b[1], 1, kMile, b[1], TrainState::Moving, 20);
    train.HeadEventTime = kStart + c.NextEventIn;
    train.PassRedPermission = 1;
    Store(0, train);
    engine.ReverseTrain(0);
    train = Train(0);
    EXPECT_EQ(+train.StopAndReverse, 1);
    EXPECT_EQ(+train.PassRedPermission, 0);
    EXPECT_EQ(+train.HeadDirection, 1);
    EXPECT_EQ(+train.State, TrainState::Moving);
    EXPECT_EQ(+train.HeadPosition, c.Position);
    if (c.Stops) {
      EXPECT_EQ(+train.Reason, HeadEvent::StopAndReverse);
      EXPECT_EQ(+train.HeadEventTime, kStart + 40);
    } else {
      EXPECT_EQ(+train.Reason, HeadEvent::Running);
      EXPECT_EQ(+train.HeadEventTime, kStart + 30);
    }
  }
}

TEST_F(ReverseTest, InCTCModeATrainStillArrivingTurnsAboutItsHeadBlock) {
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  TrainStatus train = Standing();
  train.RearBlock = -1;
  train.Reversing = 1;
  Store(0, train);
  SetBlockCode(b[0], 4);  // no track test in CTC mode
  engine.ReverseTrain(0);
  EXPECT_TRUE(messages.Calls.empty());
  train = Train(0);
  EXPECT_EQ(+train.HeadBlock, b[1]);
  EXPECT_EQ(+train.RearBlock, b[1]);
  EXPECT_EQ(+train.HeadDirection, 0);
  EXPECT_EQ(+train.Reversing, 0);
  EXPECT_EQ(+train.HeadPosition, 0);
}

TEST_F(ReverseTest, TheQuietTurnAnswersInsteadOfExplaining) {
  TrainStatus train = Standing();
  train.RearBlock = -1;
  Store(0, train);
  EXPECT_EQ(engine.ReverseTrainQuiet(0, 0), 0);
  EXPECT_EQ(+Train(0).HeadDirection, 1);

  store().InitSimulationStatus();
  store().SimClock = kStart;
  Standing();
  BlockData block = store().GetBlockData(b[0]);
  block.SignalledLeft = 0;  // not tested by the quiet turn
  store().UpdateBlockData(b[0], block);
  EXPECT_EQ(engine.ReverseTrainQuiet(0, 0), 1);
  train = Train(0);
  EXPECT_EQ(+train.HeadDirection, 0);
  EXPECT_EQ(+train.HeadPosition, 2000);
  EXPECT_EQ(+train.Reversing, 0);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(BlockCode(b[1]), 4);
  EXPECT_TRUE(messages.Calls.empty());
}

}  // namespace
