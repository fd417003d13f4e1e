#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/engine/siding_fixture.h"

namespace {

class StackTest : public SidingTest {
 protected:
  void SetStackMessage(uint8_t on) {
    OptionData options = store().GetOptionData();
    options.StackMessage = on;
    store().UpdateOptionData(options);
  }
  // Entrance and exit of every command in the stack, in slot order.
  std::vector<std::pair<int, int>> Commands() {
    std::vector<std::pair<int, int>> commands;
    for (int i = 0; i < StackUsed(); ++i) {
      const StackData command = store().GetStackData(i);
      commands.emplace_back(+command.EntranceSignal, +command.ExitSignal);
    }
    return commands;
  }
  void FailSignal(int signal, uint8_t count) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.FailureCount = count;
    store().UpdateSignalStatus(signal, status);
  }
  void SetFleet(int signal) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.Fleet = 1;
    store().UpdateSignalStatus(signal, status);
  }
  void SetAspect(int signal, int aspect) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.Aspect = static_cast<int16_t>(aspect);
    store().UpdateSignalStatus(signal, status);
  }
  void SetPermit(int block) {
    BlockStatus status = store().GetBlockStatus(block);
    status.PermitActive = 1;
    store().UpdateBlockStatus(block, status);
  }
  void SetSignalledRight(int block, uint8_t on) {
    BlockData data = store().GetBlockData(block);
    data.SignalledRight = on;
    store().UpdateBlockData(block, data);
  }
  void SetHandThrown(int sw, uint8_t on) {
    SwitchData data = store().GetSwitchData(sw);
    data.HandThrown = on;
    store().UpdateSwitchData(sw, data);
  }
  template <class Change>
  void ChangeSwitch(int sw, Change change) {
    SwitchStatus status = store().GetSwitchStatus(sw);
    change(status);
    store().UpdateSwitchStatus(sw, status);
  }
  // A fresh run with the Stack Message option off.
  void Start() {
    Ready();
    SetStackMessage(0);
  }
  int BlockMark(int block) { return store().GetBlockStatus(block).StackMark; }
  int SwitchMark(int sw) { return store().GetSwitchStatus(sw).StackMark; }
};

TEST_F(StackTest, AddStoresTheRouteToTheNextSignalMarksItAndConfirmsWhenAsked) {
  Ready();
  SetStackMessage(1);
  run().SelectedDevice = SignalDevice(s0);
  EXPECT_EQ(engine.AddStackCommand(s0, s2), 1);

  const StackData command = store().GetStackData(0);
  EXPECT_EQ(+command.InUse, 1);
  EXPECT_EQ(+command.EntranceSignal, s0);
  EXPECT_EQ(+command.ExitSignal, s2);
  const int expectDevices[] = {b0, SwitchDevice(sw0), b2, -1};
  const int expectPositions[] = {0, 1, 0, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(+command.Devices[i], expectDevices[i]) << i;
    EXPECT_EQ(+command.Positions[i], expectPositions[i]) << i;
  }
  EXPECT_EQ(+command.Directions[2], 1);
  EXPECT_EQ(run().SelectedDevice, -1);

  // Entry 0, the entrance block, is not marked; the rest take the direction of travel.
  EXPECT_EQ(BlockMark(b0), 4);
  EXPECT_EQ(SwitchMark(sw0), 1);
  EXPECT_EQ(BlockMark(b2), 1);
  EXPECT_EQ(BlockMark(b1), 4);

  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text,
            "A signal stack command was added for a route from Signal \"S0\" to Signal \"S2\".");
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Notice");

  // Without the Stack Message option the command is stored quietly; nothing has moved yet.
  SetStackMessage(0);
  EXPECT_EQ(engine.AddStackCommand(s1, s3), 1);
  EXPECT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(StackUsed(), 2);
  EXPECT_EQ(SwitchPosition(sw0), 0);
  EXPECT_EQ(Aspect(s0), 5);
}

TEST_F(StackTest, AddRefusesARouteBeyondTheNextSignal) {
  Start();
  EXPECT_EQ(engine.AddStackCommand(s0, s3), 0);
  EXPECT_EQ(StackUsed(), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Dispatch");
}

TEST_F(StackTest, TheTwoHundredAndFirstCommandIsRefused) {
  Start();
  for (int i = 0; i < kMaxStack; ++i) ASSERT_EQ(engine.AddStackCommand(s0, s1), 1) << i;
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(engine.AddStackCommand(s2, s3), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Could not add another stack command.  The maximum allowed is "
                                                      "200.  You must delete one to add another."}));
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Dispatch");
  EXPECT_EQ(+store().GetStackData(kMaxStack - 1).EntranceSignal, s0);
}

TEST_F(StackTest, ACommandRunsWhenItsRouteIsFreeAndLeavesTheStack) {
  Start();
  engine.AddStackCommand(s0, s2);
  PlaceTrain(0, b2, 0);  // a train in the siding heading towards B0
  engine.ProcessSignalStack();
  EXPECT_EQ(StackUsed(), 1);
  EXPECT_EQ(SwitchPosition(sw0), 0);

  SetBlockCode(b2, 0);
  BlockStatus status = store().GetBlockStatus(b2);
  status.Trains[0] = 0xFFFF;
  store().UpdateBlockStatus(b2, status);
  engine.ProcessSignalStack();
  EXPECT_EQ(StackUsed(), 0);
  EXPECT_EQ(SwitchPosition(sw0), 1);
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(BlockCode(b2), 1);
  EXPECT_EQ(SwitchMark(sw0), 4);
  EXPECT_EQ(BlockMark(b2), 4);
}

// The stack runs in the background: its throw and clear leave an entrance the dispatcher has picked for
// a route or a stack command and not yet completed.
TEST_F(StackTest, ARunningCommandLeavesAPickedEntrance) {
  Start();
  engine.AddStackCommand(s0, s2);
  run().PendingRouteEntrance = 3000 + s2;
  run().PendingStackEntrance = 3000 + s2;
  engine.ProcessSignalStack();
  ASSERT_EQ(StackUsed(), 0);
  ASSERT_EQ(SwitchPosition(sw0), 1);
  EXPECT_EQ(run().PendingRouteEntrance, 3000 + s2);
  EXPECT_EQ(run().PendingStackEntrance, 3000 + s2);
}

TEST_F(StackTest, EachConditionOnTheRouteKeepsTheCommandWaiting) {
  struct Case {
    const char* Name;
    std::function<void()> Set;
  };
  const Case cases[] = {
      {"entrance signal failed", [this] { FailSignal(s0, 1); }},
      {"entrance fleeted", [this] { SetFleet(s0); }},
      {"entrance cleared already", [this] { SetAspect(s0, 1); }},
      {"block occupied against the move", [this] { SetBlockCode(b2, 4); }},
      {"block occupied with the move, nothing free before it", [this] { SetBlockCode(b2, 3); }},
      {"block cleared against the move", [this] { SetBlockCode(b2, 2); }},
      {"block permit", [this] { SetPermit(b2); }},
      {"block not signalled for the move", [this] { SetSignalledRight(b2, 0); }},
      {"switch to throw is fleet locked", [this] { ChangeSwitch(sw0, [](SwitchStatus& s) { s.FleetLocked = 1; }); }},
      {"switch to throw has failed", [this] { ChangeSwitch(sw0, [](SwitchStatus& s) { s.FailureCount = 0; }); }},
      {"switch to throw is cleared over", [this] { ChangeSwitch(sw0, [](SwitchStatus& s) { s.Occupancy = 1; }); }},
      {"switch lying right but cleared against the move",
       [this] {
         ChangeSwitch(sw0, [](SwitchStatus& s) {
           s.Position = 1;
           s.Occupancy = 2;
         });
       }},
      {"switch to throw is hand-thrown", [this] { SetHandThrown(sw0, 1); }},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    engine.AddStackCommand(s0, s2);
    c.Set();
    engine.ProcessSignalStack();
    EXPECT_EQ(StackUsed(), 1);
    EXPECT_NE(BlockCode(b2), 1);
    SetHandThrown(sw0, 0);
    SetSignalledRight(b2, 1);
  }
}

// L4 to L1 runs left over B3, SW1, P and B1: two main blocks.
TEST_F(StackTest, OnlyTheFirstFreeBlockMustBeSignalledAndCountsLaterBlocksGetTheOccupancyAndPermitTests) {
  struct Case {
    const char* Name;
    int Block;
    int Code;
    bool Permit;
    bool Unsignalled;
    int Free;
  };
  const Case cases[] = {
      {"all free", b1, 0, false, false, 1},
      {"second block not signalled", b1, 0, false, true, 1},
      {"second block occupied with the move", b1, 4, false, false, 1},
      {"second block occupied against the move", b1, 3, false, false, 0},
      {"second block under a permit", b1, 0, true, false, 0},
      {"first block occupied with the move", b3, 4, false, false, 0},
      {"first block not signalled", b3, 0, false, true, 0},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    ASSERT_EQ(engine.AddStackCommand(l4, l1), 1);
    BlockStatus status = store().GetBlockStatus(c.Block);
    status.Occupancy = static_cast<int16_t>(c.Code);
    status.PermitActive = c.Permit ? 1 : 0;
    store().UpdateBlockStatus(c.Block, status);
    BlockData data = store().GetBlockData(c.Block);
    data.SignalledLeft = c.Unsignalled ? 0 : 1;
    store().UpdateBlockData(c.Block, data);
    EXPECT_EQ(engine.StackRouteIsFree(0), c.Free);
    data.SignalledLeft = 1;
    store().UpdateBlockData(c.Block, data);
  }
}

TEST_F(StackTest, OneCommandPerTickAndAnEarlierCommandOnTheSameDevicesGoesFirst) {
  Start();
  engine.AddStackCommand(s1, s3);  // P, SW1, B3
  engine.AddStackCommand(s2, s3);  // SW1 reversed, B3: shares SW1 and B3 with the first
  engine.AddStackCommand(s0, s1);  // SW0, B1: shares nothing
  engine.AddStackCommand(l4, l1);  // B3, SW1, P, B1 moving left: shares three
  FailSignal(s1, 1);               // the first cannot run

  // The second waits behind the first although its own route is free; the third runs.
  engine.ProcessSignalStack();
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{s1, s3}, {s2, s3}, {l4, l1}}));
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(Aspect(s2), 5);
  engine.ProcessSignalStack();
  EXPECT_EQ(StackUsed(), 3);

  // Repaired, the first runs; the second then waits for its switch, cleared the other way.
  FailSignal(s1, 0xFF);
  engine.ProcessSignalStack();
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{s2, s3}, {l4, l1}}));
  EXPECT_EQ(Aspect(s1), 1);
  EXPECT_EQ(Aspect(s2), 5);
  engine.ProcessSignalStack();
  EXPECT_EQ(StackUsed(), 2);

  // The route over SW1 taken back, the second runs and throws SW1 without a failure draw.
  EXPECT_EQ(engine.ClearSignal(SignalDevice(s1), 0, kScreenRequest), 1);
  RandomData random = store().GetRandomData();
  random.SwitchFailuresPer1000 = 1000;
  store().UpdateRandomData(random);
  engine.ProcessSignalStack();
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{l4, l1}}));
  EXPECT_EQ(SwitchPosition(sw1), 1);
  EXPECT_EQ(Aspect(s2), 1);
}

TEST_F(StackTest, AFleetedEntranceIsSkippedAndTheNextCommandRuns) {
  Start();
  engine.AddStackCommand(s0, s1);
  engine.AddStackCommand(s2, s3);
  SetFleet(s0);
  engine.ProcessSignalStack();
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{s0, s1}}));
  EXPECT_EQ(Aspect(s2), 1);
}

TEST_F(StackTest, DeletingTheSecondCommandOfASignalKeepsTheOthersInOrder) {
  Start();
  engine.AddStackCommand(s0, s1);
  engine.AddStackCommand(s2, s3);
  engine.AddStackCommand(s0, s2);
  engine.AddStackCommand(s0, s1);
  EXPECT_EQ(SwitchMark(sw0), 1);
  run().PopupSignal = SignalDevice(s0);
  engine.DeleteStackCommand(1);
  EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{s0, s1}, {s2, s3}, {s0, s1}}));
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{
                "A signal stack command was deleted for a route from Signal \"S0\" to Signal \"S2\"."}));
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Notice");
  EXPECT_EQ(BlockMark(b2), 4);  // only the deleted route went into the siding
  EXPECT_EQ(SwitchMark(sw0), 1);

  // A position with no command, or a pop-up on another device, deletes nothing.
  engine.DeleteStackCommand(2);
  run().PopupSignal = b0;
  engine.DeleteStackCommand(0);
  EXPECT_EQ(StackUsed(), 3);
  EXPECT_EQ(messages.Calls.size(), 1u);
}

}  // namespace

namespace {

// x:  2     8   10   12    18
//     ==B0==  ==D0==  ==B1==      y=4, D0 at x 10
//          S0>   |         S1>
//             B3 (x 10, y 1-3) and B4 (x 10, y 5-7) cross at D0
class DiamondStackTest : public InterlockingTest {
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
    s1 = t.Signal(b1, End::Right, "S1");
    Ready();
    OptionData options = store().GetOptionData();
    options.StackMessage = 0;
    store().UpdateOptionData(options);
  }
  int b0, d0, b1, b3, b4, s0, s1;
};

TEST_F(DiamondStackTest, TheRouteOverADiamondIsMarkedOnItsOwnRouteAndWaitsForTheCrossingTrack) {
  ASSERT_EQ(engine.AddStackCommand(s0, s1), 1);
  EXPECT_EQ(+store().GetCrossStatus(d0).Route[0].StackMark, 1);
  EXPECT_EQ(+store().GetCrossStatus(d0).Route[1].StackMark, 4);

  struct Case {
    const char* Name;
    int Own, Other;
    uint8_t BothRoutes;
    int Free;
  };
  const Case cases[] = {
      {"idle", 0, 0, 0, 1},
      {"own route cleared against", 2, 0, 0, 0},
      {"crossing track occupied", 0, 3, 1, 0},
      {"crossing track cleared, one route at a time", 0, 1, 0, 0},
      {"crossing track cleared, both routes allowed", 0, 2, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    CrossStatus cross = store().GetCrossStatus(d0);
    cross.Occupancy[0] = static_cast<int16_t>(c.Own);
    cross.Occupancy[1] = static_cast<int16_t>(c.Other);
    store().UpdateCrossStatus(d0, cross);
    CrossData data = store().GetCrossData(d0);
    data.BothRoutes = c.BothRoutes;
    store().UpdateCrossData(d0, data);
    EXPECT_EQ(engine.StackRouteIsFree(0), c.Free);
  }
}

}  // namespace
