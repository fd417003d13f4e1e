#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/interlocking_fixture.h"

namespace {

// x:   2      9   11     18   20     27
// WEST ===B0===   ===B1===    ===B2===         y=4
//             S0> <S1                 S2>
// S0 and S2 govern moves to the right, S1 (at B1's left end) moves to the left.
class SignalTest : public InterlockingTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 9);
    b1 = Block("B1", 11, 18);
    b2 = Block("B2", 20, 27);
    t.Link(b0, b1);
    t.Link(b1, b2);
    s0 = t.Signal(b0, End::Right, "S0");
    s1 = t.Signal(b1, End::Left, "S1");
    s2 = t.Signal(b2, End::Right, "S2");
    t.Location("WEST", b0, End::Left);
  }
  int Clear(int signal, uint8_t forced = 0, int source = kScreenRequest) {
    return engine.ClearSignal(SignalDevice(signal), forced, source);
  }
  void SetFailureChance(int per1000) {
    RandomData random = store().GetRandomData();
    random.SignalFailuresPer1000 = static_cast<int16_t>(per1000);
    random.MaintainerRepairMinutes = 45;
    random.MaintainerVariationPercent = 0;
    store().UpdateRandomData(random);
  }
  void FailSignal(int signal, int count, int maintainer = 0) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.FailureCount = static_cast<uint8_t>(count);
    status.MaintainerCalled = static_cast<uint8_t>(maintainer);
    store().UpdateSignalStatus(signal, status);
  }
  int b0, b1, b2, s0, s1, s2;
};

TEST_F(SignalTest, ClearSetsTheRouteToTheFirstBlockWithASignalOrLocationAtItsFarEnd) {
  Ready();
  EXPECT_EQ(Clear(s0), 1);
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(BlockCode(b0), 0);
  EXPECT_EQ(BlockCode(b1), 1);
  EXPECT_EQ(BlockCode(b2), 1);
  EXPECT_EQ(+store().GetBlockStatus(b1).ClearedValue, -1);
  EXPECT_EQ(shell.ErasedLabels, (std::vector<int>{b1, b2}));

  // To the left the route ends at B0's entrance/exit location.
  EXPECT_EQ(Clear(s1), 1);
  EXPECT_EQ(Aspect(s1), 2);
  EXPECT_EQ(BlockCode(b0), 2);
  EXPECT_TRUE(messages.Calls.empty());
}

// In the interface modes each cleared block keeps its count of cleared blocks ahead.
TEST_F(SignalTest, ClearingInExternalIOModeStoresTheClearedBlocksAhead) {
  Ready();
  OptionData options = store().GetOptionData();
  options.ExternalIOOn = 1;
  store().UpdateOptionData(options);
  run().AwaitingStart = 0;
  EXPECT_EQ(Clear(s0), 1);
  EXPECT_EQ(+store().GetBlockStatus(b1).ClearedValue, 1);
  EXPECT_EQ(+store().GetBlockStatus(b2).ClearedValue, 0);
}

TEST_F(SignalTest, EachRefusalShowsItsMessageAndHighlightsTheBlocker) {
  struct Case {
    const char* Name;
    int Code;
    bool Permit;
    bool Unsignalled;
    const char* Text;
  };
  const Case cases[] = {
      {"occupied against", 4, false, false, "Route will not clear because the next block is occupied."},
      {"occupied with, nothing free before it", 3, false, false,
       "Route will not clear because the next block is occupied."},
      {"permit", 0, true, false, "Route will not clear because the next block has an active Block Permit."},
      {"cleared against", 2, false, false,
       "Route will not clear because the next block is cleared in the opposite direction."},
      {"running time against", 10, false, false,
       "Route will not clear because the next block is running time on an opposing signal."},
      {"running time with", 9, false, false,
       "Route will not clear because the next block is running time on an opposing signal."},
      {"not signalled", 0, false, true,
       "Route will not clear because the next block is not signalled in requested direction."},
  };
  Ready();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    messages.Calls.clear();
    BlockStatus status = store().GetBlockStatus(b1);
    status.Occupancy = static_cast<int16_t>(c.Code);
    status.PermitActive = c.Permit ? 1 : 0;
    status.Highlight = status.Highlight2 = 0;
    store().UpdateBlockStatus(b1, status);
    BlockData data = store().GetBlockData(b1);
    data.SignalledRight = c.Unsignalled ? 0 : 1;
    store().UpdateBlockData(b1, data);
    run().HighlightedDevice = -1;

    EXPECT_EQ(Clear(s0), 0);
    EXPECT_EQ(Aspect(s0), 5);
    EXPECT_EQ(BlockCode(b1), c.Code);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, c.Text);
    EXPECT_EQ(messages.Calls[0].Caption, "Corvane Dispatch");
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    EXPECT_EQ(run().HighlightedDevice, b1);
    EXPECT_EQ(+store().GetBlockStatus(b1).Highlight, 1);
    EXPECT_EQ(+store().GetBlockStatus(b1).Highlight2, 1);
  }
  EXPECT_EQ(+store().GetSignalStatus(s0).RefusalCount, 7);
}

TEST_F(SignalTest, ARouteToATrackEndWithoutSignalIsAnOpenSwitchWithNothingHighlighted) {
  BlockData data = store().GetBlockData(b2);
  data.RightSignal = -1;
  store().UpdateBlockData(b2, data);
  Ready();
  EXPECT_EQ(Clear(s0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Route will not clear because of an open switch."}));
  EXPECT_EQ(run().HighlightedDevice, -1);
  for (int b : {b1, b2}) {
    EXPECT_EQ(BlockCode(b), 0);
    EXPECT_EQ(+store().GetBlockStatus(b).Highlight, 0);
  }
}

TEST_F(SignalTest, RefusalsAreSilentWithoutHelpMessagesOrFromAnInterface) {
  Ready();
  SetBlockCode(b1, 4);
  EXPECT_EQ(Clear(s0, 0, 17), 0);
  EXPECT_EQ(run().HighlightedDevice, b1);
  OptionData options = store().GetOptionData();
  options.HelpMessagesOn = 0;
  store().UpdateOptionData(options);
  EXPECT_EQ(Clear(s0), 0);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(SignalTest, AQuietCheckRefusesWithoutMarks) {
  Ready();
  SetBlockCode(b1, 4);
  EXPECT_EQ(engine.CheckRoute(1, b0, 1, 0, kScreenRequest), 0);
  EXPECT_EQ(run().HighlightedDevice, -1);
  EXPECT_EQ(+store().GetBlockStatus(b1).Highlight, 0);
  EXPECT_TRUE(messages.Calls.empty());
}

// x:   2      9   11   13  15     22
// WEST ===B0===   ==P==    ===B2===     P is a pass-through block
//             S0>                 S2>
TEST_F(InterlockingTest, APassThroughBlockIsPassedUnlessAPermitIsActiveOnIt) {
  const int b0 = Block("B0", 2, 9);
  const int p = Block("P", 11, 13, 4, true);
  const int b2 = Block("B2", 15, 22);
  t.Link(b0, p);
  t.Link(p, b2);
  const int s0 = t.Signal(b0, End::Right, "S0");
  t.Signal(b2, End::Right, "S2");
  Ready();

  BlockStatus status = store().GetBlockStatus(p);
  status.PermitActive = 1;
  store().UpdateBlockStatus(p, status);
  EXPECT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 0);
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{"Route will not clear because the next block has an active Block Permit."}));

  status = store().GetBlockStatus(p);
  status.PermitActive = 0;
  store().UpdateBlockStatus(p, status);
  EXPECT_EQ(engine.CheckRoute(1, b0, 0, 0, kScreenRequest), 1);  // only B2 counts as a free signalled block
  EXPECT_EQ(BlockCode(p), 1);
  EXPECT_EQ(BlockCode(b2), 1);
  EXPECT_EQ(run().HighlightedDevice, -1);  // taken into the route, P loses the highlight
}

// x:  2     8   10   12    18
//     ==B0==  ==D0==  ==B1==      y=4, D0 at x 10
//          S0>   |         S1>
//             B3 (x 10, y 1-3) and B4 (x 10, y 5-7) cross at D0
class DiamondSignalTest : public InterlockingTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 8);
    d0 = t.Diamond("D0", {10, 4}, 30);
    b1 = Block("B1", 12, 18);
    b3 = t.Block({.Name = "B3", .From = {10, 1}, .To = {10, 3}});
    b4 = t.Block({.Name = "B4", .From = {10, 5}, .To = {10, 7}});
    t.Link(b0, DiamondDevice(d0));
    t.Link(DiamondDevice(d0), b1);
    t.LinkCrossing(d0, b3, b4);
    s0 = t.Signal(b0, End::Right, "S0");
    t.Signal(b1, End::Right, "S1");
    Ready();
    CrossStatus cross = store().GetCrossStatus(d0);
    cross.Occupancy[1] = 3;  // a train on the crossing track
    store().UpdateCrossStatus(d0, cross);
  }
  int b0, d0, b1, b3, b4, s0;
};

TEST_F(DiamondSignalTest, ARouteOverABusyDiamondIsRefused) {
  EXPECT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 0);
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{"Route will not clear because there is a conflict at the next diamond."}));
  EXPECT_EQ(run().HighlightedDevice, DiamondDevice(d0));
  EXPECT_EQ(+store().GetCrossStatus(d0).Highlight, 1);
}

TEST_F(DiamondSignalTest, ADiamondThatAllowsBothRoutesTakesTheClearOnItsOwnRoute) {
  CrossData data = store().GetCrossData(d0);
  data.BothRoutes = 1;
  store().UpdateCrossData(d0, data);
  EXPECT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 1);
  const CrossStatus cross = store().GetCrossStatus(d0);
  EXPECT_EQ(+cross.Occupancy[0], 1);
  EXPECT_EQ(+cross.Occupancy[1], 3);
  EXPECT_EQ(BlockCode(b1), 1);
}

// x:  2     8  9  10    16
//     ==B0==  SW0 ==B1==          y=4
//             `.
//              ==B2==  (x 11-16, y 6)
//    <S2 at B2's left end: its route runs left into SW0's diverging leg.
TEST_F(InterlockingTest, ASwitchLyingAgainstTheRouteIsAnOpenSwitchAndIsHighlighted) {
  const int b0 = Block("B0", 2, 8);
  const int sw = t.Switch("SW0", {9, 4}, Diverge::DownRight);
  const int b1 = Block("B1", 10, 16);
  const int b2 = Block("B2", 11, 16, 6);
  t.Link(b0, SwitchDevice(sw));
  t.Link(SwitchDevice(sw), b1);
  t.Branch(sw, b2, End::Left);
  t.Location("WEST", b0, End::Left);
  const int s2 = t.Signal(b2, End::Left, "S2");
  Ready();
  EXPECT_EQ(engine.ClearSignal(SignalDevice(s2), 0, kScreenRequest), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Route will not clear because of an open switch."}));
  EXPECT_EQ(run().HighlightedDevice, SwitchDevice(sw));
  EXPECT_EQ(+store().GetSwitchStatus(sw).Highlight, 1);

  SetSwitchPosition(sw, 1);
  EXPECT_EQ(engine.ClearSignal(SignalDevice(s2), 0, kScreenRequest), 1);
  EXPECT_EQ(SwitchCode(sw), 2);
  EXPECT_EQ(BlockCode(b0), 2);
  EXPECT_EQ(run().HighlightedDevice, -1);
}

// x:   2     8  10    16  18    24  26    32
// WEST ==B0==   ==B1==    ==B2==    ==B3==
//           S0>             S2>         S3>
// A train (slot 7) stands in B2 heading right.
TEST_F(InterlockingTest, ClearingIntoABlockOccupiedInTheSameDirectionHoldsTheClearForWhenItLeaves) {
  const int b0 = Block("B0", 2, 8);
  const int b1 = Block("B1", 10, 16);
  const int b2 = Block("B2", 18, 24);
  const int b3 = Block("B3", 26, 32);
  t.Link(b0, b1);
  t.Link(b1, b2);
  t.Link(b2, b3);
  const int s0 = t.Signal(b0, End::Right, "S0");
  t.Signal(b2, End::Right, "S2");
  t.Signal(b3, End::Right, "S3");
  Ready();
  PlaceTrain(7, b2, 1);

  EXPECT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 1);
  EXPECT_EQ(BlockCode(b1), 1);
  EXPECT_EQ(BlockCode(b2), 3);
  EXPECT_EQ(+store().GetBlockStatus(b2).HeldRoutes, 1);
  EXPECT_EQ(+store().GetBlockStatus(b1).HeldRoutes, 0);
  EXPECT_TRUE(messages.Calls.empty());

  // Cancelled with no train at S0: B1 is freed, B2 (shared with the train) only gives up the held clear.
  EXPECT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 1);
  EXPECT_EQ(BlockCode(b1), 0);
  EXPECT_EQ(BlockCode(b2), 3);
  EXPECT_EQ(+store().GetBlockStatus(b2).HeldRoutes, 0);
  ASSERT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 1);

  // The train's rear leaves B2 (it has moved on into B3): the held clear comes back.
  engine.SetRouteStatus(1, b1, b2, 0, 7, 0, 1);
  EXPECT_EQ(BlockCode(b2), 1);
  EXPECT_EQ(+store().GetBlockStatus(b2).HeldRoutes, 0);
  EXPECT_EQ(store().GetBlockStatus(b2).Trains[0], 0xFFFF);
}

// A cleared block that also holds a second route's clear the same way is not freed by a cancel: it gives
// up one hold and stays cleared for the other route.
TEST_F(InterlockingTest, ReleasingARouteKeepsASecondRoutesHeldClear) {
  const int b0 = Block("B0", 2, 8);
  const int b1 = Block("B1", 10, 16);
  const int b2 = Block("B2", 18, 24);
  t.Link(b0, b1);
  t.Link(b1, b2);
  const int s0 = t.Signal(b0, End::Right, "S0");
  t.Signal(b1, End::Right, "S1");
  Ready();
  ASSERT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 1);
  ASSERT_EQ(BlockCode(b1), 1);
  BlockStatus held = store().GetBlockStatus(b1);
  held.HeldRoutes = 1;
  store().UpdateBlockStatus(b1, held);

  EXPECT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 1);
  EXPECT_EQ(BlockCode(b1), 1);
  EXPECT_EQ(+store().GetBlockStatus(b1).HeldRoutes, 0);
}

// Same drawing as SignalTest: the train heading right stands in B0, at S0.
class CancelTest : public SignalTest {
 protected:
  void SetUp() override {
    SignalTest::SetUp();
    Ready();
    ASSERT_EQ(Clear(s0), 1);
    shell.ErasedLabels.clear();
  }
};

TEST_F(CancelTest, WithoutAnApproachingTrainTheRouteIsReleasedAtOnce) {
  EXPECT_EQ(Clear(s0), 1);
  EXPECT_EQ(Aspect(s0), 5);
  EXPECT_EQ(BlockCode(b1), 0);
  EXPECT_EQ(BlockCode(b2), 0);
  EXPECT_EQ(+store().GetSignalStatus(s0).RunningTimeEnd, -1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CancelTest, WithAnApproachingTrainTheDispatcherChoosesRunningTime) {
  PlaceTrain(4, b0, 1);
  run().SimStopped = 0;

  shell.StatusTexts.clear();
  messages.ScriptAnswers({MessageResult::No});
  EXPECT_EQ(Clear(s0), 0);
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(BlockCode(b1), 1);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text,
            "There is a train approaching the signal. Are you sure you want to cancel the signal?");
  EXPECT_EQ(messages.Calls[0].Buttons, MessageButtons::YesNo);

  // The run pauses while the dispatcher reads.
  EXPECT_EQ(shell.StatusTexts, (std::vector<std::pair<StatusPane, std::string>>{{StatusPane::RunState, "Stop"},
                                                                                {StatusPane::RunState, "Run"}}));
  EXPECT_EQ(+run().SimPaused, 0);

  messages.Calls.clear();
  messages.ScriptAnswers({MessageResult::Yes});
  EXPECT_EQ(Clear(s0), 1);
  EXPECT_EQ(Aspect(s0), 5);
  EXPECT_EQ(BlockCode(b1), 9);
  EXPECT_EQ(BlockCode(b2), 9);
  EXPECT_EQ(+store().GetSignalStatus(s0).RunningTimeEnd, store().SimClock + 300);
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[1].Text, "Signal is running time.  It will cancel in five minutes.");

  // Until the running time ends the signal will not clear again.
  messages.Calls.clear();
  EXPECT_EQ(Clear(s0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Signal cannot be cleared since it is running time."}));
  EXPECT_EQ(Clear(s0, 1), 0);  // forced past the running time, the route is still running time
  EXPECT_EQ(Aspect(s0), 5);
}

TEST_F(CancelTest, AStoppedRunReleasesAtOnceEvenWithATrainApproaching) {
  PlaceTrain(4, b0, 1);
  run().SimStopped = 1;
  EXPECT_EQ(Clear(s0), 1);
  EXPECT_EQ(BlockCode(b1), 0);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CancelTest, AMovingTrainNearTheSignalMayRunPastIt) {
  RandomData random = store().GetRandomData();
  random.RunPastChance[0] = 100;  // every draw is below it
  store().UpdateRandomData(random);
  run().SimStopped = 0;
  struct Case {
    int32_t Position;
    uint8_t Units;
    bool RunsPast;
  };
  // B0 is 5280 long; the distance to S0 is 5280 - position.
  const Case cases[] = {{5000, 0, true}, {2000, 0, false}, {2000, 1, true}, {0, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Position);
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = c.Units;
    store().UpdateTerritoryOptions(options);
    PlaceTrain(4, b0, 1, 4, 40);
    TrainStatus train = store().GetTrainStatus(4);
    train.HeadPosition = c.Position;
    train.RunPast = 0;
    store().UpdateTrainStatus(4, train);
    if (Aspect(s0) == 5) {
      SignalStatus status = store().GetSignalStatus(s0);
      status.RunningTimeEnd = -1;
      store().UpdateSignalStatus(s0, status);
      SetBlockCode(b1, 0);
      SetBlockCode(b2, 0);
      ASSERT_EQ(Clear(s0), 1);
    }
    EXPECT_EQ(Clear(s0, 0, 3), 1);
    EXPECT_EQ(+store().GetTrainStatus(4).RunPast, c.RunsPast ? 1 : 0);
  }
}

TEST_F(SignalTest, ARandomFailureRefusesTheClear) {
  Ready();
  SetFailureChance(1000);
  EXPECT_EQ(Clear(s0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Signal failure. Try to clear again."}));
  EXPECT_EQ(+store().GetSignalStatus(s0).FailureCount, 0);
  EXPECT_EQ(+store().GetSignalStatus(s0).RefusalCount, 1);
  EXPECT_EQ(BlockCode(b1), 0);

  // The signal stack's forced clears are not subject to random failures.
  messages.Calls.clear();
  EXPECT_EQ(Clear(s1, 1), 1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(SignalTest, AFailedSignalWorksAgainWhenTheDrawHitsItsBand) {
  Ready();
  SetFailureChance(0);
  FailSignal(s0, 1);
  FirstDrawOf1000([](int v) { return v >= 500 && v < 750; });  // band 1
  EXPECT_EQ(Clear(s0), 1);
  EXPECT_EQ(+store().GetSignalStatus(s0).FailureCount, 0xFF);
  EXPECT_EQ(Aspect(s0), 1);
}

TEST_F(SignalTest, AFailedSignalAsksForTheMaintainer) {
  Ready();
  SetFailureChance(0);
  FirstDrawOf1000([](int v) { return v < 500; });  // band 0: misses a count of 1
  FailSignal(s0, 1);

  messages.ScriptAnswers({MessageResult::Yes});
  EXPECT_EQ(Clear(s0), 0);
  // 08:00 and 45 minutes' repair.
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Signal is still not working.  Do you wish to call a maintainer?",
                                                      "Maintainer will fix by 08:45."}));
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Question);
  SignalStatus status = store().GetSignalStatus(s0);
  EXPECT_EQ(+status.FailureCount, 2);
  EXPECT_EQ(+status.MaintainerCalled, 1);
  EXPECT_EQ(+status.MaintainerFixTime, store().SimClock + 45 * 60);

  // Called once: later attempts only say so, and the count stops at 3.
  messages.Calls.clear();
  EXPECT_EQ(Clear(s0), 0);
  EXPECT_EQ(Clear(s0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Signal is still not working.", "Signal is still not working."}));
  EXPECT_EQ(+store().GetSignalStatus(s0).FailureCount, 3);
  EXPECT_EQ(+store().GetSignalStatus(s0).RefusalCount, 3);
}

TEST_F(SignalTest, ForcedAndInterfaceRequestsNeverAsk) {
  Ready();
  SetFailureChance(0);
  FirstDrawOf1000([](int v) { return v < 500; });
  FailSignal(s0, 2);
  EXPECT_EQ(Clear(s0, 1), 0);
  EXPECT_EQ(+store().GetSignalStatus(s0).MaintainerCalled, 0);
  EXPECT_EQ(Clear(s0, 0, 12), 0);  // an interface request calls the maintainer without asking
  EXPECT_EQ(+store().GetSignalStatus(s0).MaintainerCalled, 1);

  SetBlockCode(b0, 4);  // a route refused for a forced request shows nothing either
  EXPECT_EQ(Clear(s1, 1), 0);
  EXPECT_EQ(run().HighlightedDevice, b0);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(SignalTest, CTCControlModeHandsTheRequestToTheInterface) {
  Ready();
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  interface.CTCResult = 0;
  EXPECT_EQ(engine.ClearSignal(13000 + s0, 1, kScreenRequest), 0);
  EXPECT_EQ(interface.CTCSignalRequests, (std::vector<std::pair<int, int>>{{SignalDevice(s0), 1}}));
  EXPECT_EQ(Aspect(s0), 5);
  EXPECT_EQ(BlockCode(b1), 0);
}

// x:  2     8  10    16  18    24  26    32
//     ==B0==  ==B1==    ==B2==    ==B3==      an OS point reports trains passing B2
TEST_F(InterlockingTest, SetRouteStatusWritesTheCodeAlongTheWalkAndRecordsOSPassings) {
  const int b0 = Block("B0", 2, 8);
  const int b1 = Block("B1", 10, 16);
  const int b2 = Block("B2", 18, 24);
  const int b3 = Block("B3", 26, 32);
  t.Link(b0, b1);
  t.Link(b1, b2);
  t.Link(b2, b3);
  t.OSPoint("B2");
  Ready();
  const int hits = store().GetOSHitCount();

  // Mode 0: the device after the start up to and including the end.
  engine.SetRouteStatus(1, b0, b2, 3, 5, 0, 0);
  EXPECT_EQ(BlockCode(b0), 0);
  EXPECT_EQ(BlockCode(b1), 3);
  EXPECT_EQ(BlockCode(b2), 3);
  EXPECT_EQ(BlockCode(b3), 0);
  ASSERT_EQ(store().GetOSHitCount(), hits + 1);
  EXPECT_EQ(store().GetOSHit(hits).Device, b2);
  EXPECT_EQ(store().GetOSHit(hits).TrainSlot, 5);

  // Mode 1: the start up to, not including, the end.
  engine.SetRouteStatus(1, b1, b3, 0, 5, 1, 1);
  EXPECT_EQ(BlockCode(b1), 0);
  EXPECT_EQ(BlockCode(b2), 0);
  EXPECT_EQ(BlockCode(b3), 0);

  // A block keeps its code while another train is still in it.
  PlaceTrain(6, b1, 1);
  BlockStatus status = store().GetBlockStatus(b1);
  status.Trains[1] = 5;
  store().UpdateBlockStatus(b1, status);
  engine.SetRouteStatus(1, b1, b2, 0, 5, 1, 1);
  EXPECT_EQ(BlockCode(b1), 3);
  EXPECT_EQ(store().GetBlockStatus(b1).Trains[0], 6);
  EXPECT_EQ(store().GetBlockStatus(b1).Trains[1], 0xFFFF);
}

}  // namespace
