// Cleared blocks ahead, the repaint of devices waiting for the CTC field, and
// the train in the next block.
#include "engine/device_walks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/outgoing.h"
#include "tests/interface/interface_fixture.h"

namespace {

// x:   2   6 8  12 14 18 20 24 26 30 32 36
//      =B0=  =B1=  =B2=  =B3=  =B4=  =B5=     y=4
//         S0>                         S5>
// B0's signal clears a route over B1 to B5 (no signals between).
class ClearedAheadTest : public InterfaceTest {
 protected:
  void SetUp() override {
    for (int i = 0; i < 6; ++i) b[i] = Block("B" + std::to_string(i), 2 + 6 * i, 6 + 6 * i);
    for (int i = 0; i < 5; ++i) t.Link(b[i], b[i + 1]);
    s0 = t.Signal(b[0], End::Right, "S0");
    t.Signal(b[5], End::Right, "S5");
    Ready();
  }
  void Clear(int block, int code = 1) {
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = static_cast<int16_t>(code);
    status.ClearedValue = -1;
    store().UpdateBlockStatus(block, status);
  }
  int Ahead(int block) { return store().GetBlockStatus(block).ClearedValue; }
  int b[6], s0;
};

TEST_F(ClearedAheadTest, ACountAboveTwoIsStoredAsTwoAndReported) {
  ExternalIOMode();
  for (int i = 1; i <= 4; ++i) Clear(b[i]);
  walks::UpdateBlocksClearedAhead(engine);
  EXPECT_EQ(Ahead(b[1]), 2) << "three cleared blocks ahead";
  EXPECT_EQ(Ahead(b[2]), 2);
  EXPECT_EQ(Ahead(b[3]), 1);
  EXPECT_EQ(Ahead(b[4]), 0) << "a free block ahead";
  xfer::FlushEIOIndications(store());
  EXPECT_EQ(Indications(),
            (std::vector<std::string>{
                "BLOCK,0000,B1,CLEAREDRIGHT,01-08:00:00,2", "BLOCK,0001,B2,CLEAREDRIGHT,01-08:00:00,2",
                "BLOCK,0002,B3,CLEAREDRIGHT,01-08:00:00,1", "BLOCK,0003,B4,CLEAREDRIGHT,01-08:00:00,0"}));
  walks::UpdateBlocksClearedAhead(engine);
  EXPECT_EQ(store().EIOQueue.Count, 0) << "an unchanged count is not stored again";
}

TEST_F(ClearedAheadTest, ARouteClearedByTheDispatcherReportsItsCounts) {
  ExternalIOMode();
  ASSERT_EQ(engine.ClearSignal(SignalDevice(s0), 0, kScreenRequest), 1);
  engine.Tick();
  const std::vector<std::string> lines = Indications();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "SIGNAL,0000,S0,CLEARRIGHT,01-08:00:00");
  EXPECT_EQ(Ahead(b[1]), 2);
  EXPECT_EQ(Ahead(b[4]), 1);
  EXPECT_EQ(Ahead(b[5]), 0);
  const std::vector<std::string> counted(lines.end() - 5, lines.end());
  EXPECT_EQ(counted, (std::vector<std::string>{
                         "BLOCK,0001,B1,CLEAREDRIGHT,01-08:00:00,2", "BLOCK,0002,B2,CLEAREDRIGHT,01-08:00:00,2",
                         "BLOCK,0003,B3,CLEAREDRIGHT,01-08:00:00,2", "BLOCK,0004,B4,CLEAREDRIGHT,01-08:00:00,1",
                         "BLOCK,0005,B5,CLEAREDRIGHT,01-08:00:00,0"}));
}

TEST_F(ClearedAheadTest, LeftwardsAndPassThroughBlocks) {
  CTCMode();
  for (int i = 0; i <= 3; ++i) Clear(b[i], 2);
  Clear(b[4], 1);  // cleared the other way: not counted from B5
  Clear(b[5], 2);
  walks::UpdateBlocksClearedAhead(engine);
  EXPECT_EQ(Ahead(b[3]), 2);
  EXPECT_EQ(Ahead(b[1]), 1);
  EXPECT_EQ(Ahead(b[0]), 0);
  EXPECT_EQ(Ahead(b[5]), 0);
  EXPECT_EQ(Ahead(b[4]), 0);
}

TEST_F(ClearedAheadTest, NothingIsCountedWithoutAnInterfaceOrBeforeARunInExternalIO) {
  for (int i = 1; i <= 3; ++i) Clear(b[i]);
  walks::UpdateBlocksClearedAhead(engine);
  EXPECT_EQ(Ahead(b[1]), -1);
  ExternalIOMode();
  run().AwaitingStart = 1;
  walks::UpdateBlocksClearedAhead(engine);
  EXPECT_EQ(Ahead(b[1]), -1);
}

// The diamond line of the fixture: B0, P (connecting), D0, B1, B2; B3 and B4 cross at D0.
class DiamondAheadTest : public InterfaceTest {
 protected:
  void SetUp() override {
    const DiamondLine line = DrawDiamondLine();
    b0 = line.B0;
    p = line.P;
    d = line.D;
    b1 = line.B1;
    b2 = line.B2;
    b3 = line.B3;
    b4 = line.B4;
    Ready();
    CTCMode();
  }
  void Code(int block, int code) {
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = static_cast<int16_t>(code);
    store().UpdateBlockStatus(block, status);
  }
  void CrossingTraffic(int code) {
    CrossStatus status = store().GetCrossStatus(d);
    status.Occupancy[1] = static_cast<int16_t>(code);
    store().UpdateCrossStatus(d, status);
  }
  int b0, p, d, b1, b2, b3, b4;
};

TEST_F(DiamondAheadTest, OccupiedCrossingRightAheadStopsTheCountButNotAfterTheFirstBlock) {
  Code(p, 1);
  Code(b1, 1);
  Code(b2, 1);
  Code(b0, 1);
  EXPECT_EQ(walks::CountBlocksClearedAhead(engine, 1, b0), 2) << "the connecting block is passed over";
  CrossingTraffic(4);
  EXPECT_EQ(walks::CountBlocksClearedAhead(engine, 1, b0), 0);
  CrossingTraffic(1);
  EXPECT_EQ(walks::CountBlocksClearedAhead(engine, 1, b0), 2) << "only occupied crossing traffic stops it";
  // Leftwards from B2 the diamond comes after B1 was counted: its crossing traffic is not looked at.
  CrossingTraffic(3);
  for (int block : {b0, p, b1, b2}) Code(block, 2);
  EXPECT_EQ(walks::CountBlocksClearedAhead(engine, 0, b2), 2);
}

TEST_F(DiamondAheadTest, PendingDevicesAreRepaintedInCTCModeOnly) {
  BlockStatus block = store().GetBlockStatus(b1);
  block.RequestPending = 1;
  store().UpdateBlockStatus(b1, block);
  CrossStatus cross = store().GetCrossStatus(d);
  cross.SidePending[1] = 1;
  store().UpdateCrossStatus(d, cross);
  using Rect = FakeShellService::Rect;
  shell.Invalidated.clear();
  walks::CTCRedrawPendingDevices(engine);
  std::vector<Rect> expected;
  for (int x = 9; x <= 13; ++x) expected.push_back({x, 3, 16, 30});  // B1's cells with the label row above
  expected.push_back({7, 4, 48, 18});                                // the diamond
  EXPECT_EQ(shell.Invalidated, expected);

  OptionData options = store().GetOptionData();
  options.CTCControlOn = 0;
  store().UpdateOptionData(options);
  shell.Invalidated.clear();
  walks::CTCRedrawPendingDevices(engine);
  EXPECT_TRUE(shell.Invalidated.empty());
}

// x:  2   6 8  12 14 18
//     =B0=  =B1=  =B2=      y=4
class NextBlockTest : public InterfaceTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 6);
    b1 = Block("B1", 8, 12);
    b2 = Block("B2", 14, 18);
    t.Link(b0, b1);
    t.Link(b1, b2);
    Ready();
  }
  int b0, b1, b2;
};

TEST_F(NextBlockTest, FindsTheTrainAheadOrBehindWhenItTravelsTheSameWay) {
  PlaceTrain(0, b1, 1);
  PlaceTrain(1, b2, 1);
  PlaceTrain(2, b0, 1);
  EXPECT_EQ(walks::FindTrainInNextBlock(engine, 0, 0), 1);
  EXPECT_EQ(walks::FindTrainInNextBlock(engine, 0, 1), 2);
  EXPECT_EQ(walks::FindTrainInNextBlock(engine, 1, 0), -1) << "nothing beyond B2";
  SetBlockCode(b2, 4);  // the train ahead now heads the other way
  EXPECT_EQ(walks::FindTrainInNextBlock(engine, 0, 0), -1);
  SetBlockCode(b0, 0);
  EXPECT_EQ(walks::FindTrainInNextBlock(engine, 0, 1), -1);
  EXPECT_EQ(walks::FindTrainInNextBlock(engine, 5, 0), -1) << "a train not on the territory";
}

}  // namespace
