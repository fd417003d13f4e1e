#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/siding_fixture.h"

namespace {

constexpr const char* kTooFar =
    "Could not create a route to the exit signal.  The exit signal may be too far from the entrance signal.  The "
    "system will only search up to 48 devices (blocks, switches and diamonds) from the entrance signal.";
constexpr const char* kNotSignalled =
    "A route could not be established.  There is a block that is not signalled in the same direction as the route.";
constexpr const char* kFacingSwitch =
    "A route could not be established.  There is a switch between the exit signal you selected and the next control "
    "signal in the direction of travel.";

class RouteTest : public SidingTest {
 protected:
  struct Found {
    int Result;
    std::vector<int> Devices;
    std::vector<int> Positions;
    int Remembered;
  };
  Found Search(int entrance, int exit, uint8_t stopAtNextSignal, std::vector<int> chosen = {}) {
    const SignalData data = store().GetSignalData(entrance);
    const int direction = data.TrackCode == 21 || data.TrackCode == 19 ? 0 : 1;
    DevicePath path;
    int32_t positions[kPathEntries] = {};
    for (size_t i = 0; i < chosen.size(); ++i) positions[i] = chosen[i];
    const int r = engine.SearchRoute(direction, data.Block, path.Ids.data(), path.Dirs.data(), positions, exit,
                                     kPathEntries, stopAtNextSignal);
    Found found{r, {}, {}, path.Ids[kPathEntries - 1]};
    for (int i = 0; i < kPathEntries - 1 && path.Ids[i] != -1; ++i) {
      found.Devices.push_back(path.Ids[i]);
      found.Positions.push_back(positions[i]);
    }
    return found;
  }
};

TEST_F(RouteTest, SearchFindsTheExitAndMarksTrailingMovesFromTheDivergingLeg) {
  Ready();
  const int sw0d = SwitchDevice(sw0), sw1d = SwitchDevice(sw1);
  struct Case {
    const char* Name;
    int Entrance, Exit;
    uint8_t Stop;
    std::vector<int> Chosen;
    int Result;
    std::vector<int> Devices;
    std::vector<int> Positions;
  };
  const Case cases[] = {
      {"straight through an intermediate signal", s0, s3, 0, {}, 6, {b0, sw0d, b1, p, sw1d, b3}, {0, 0, 0, 0, 0, 0}},
      {"stopping at the next signal", s0, s3, 1, {}, -1, {b0, sw0d, b1}, {0, 0, 0}},
      {"the facing switch chosen reversed", s0, s2, 1, {0, 1}, 3, {b0, sw0d, b2}, {0, 1, 0}},
      {"a trailing move from the diverging leg", s2, s3, 1, {}, 3, {b2, sw1d, b3}, {0, 1, 0}},
      // L1 stands at B1's near end for a move to the right: the route ends before B1 and the walk goes on to
      // the next control signal, S1.
      {"an exit at the near end", s0, l1, 0, {}, 2, {b0, sw0d, b1}, {0, 0, 0}},
      {"an exit never met", s0, l0, 0, {}, -1, {b0, sw0d, b1, p, sw1d, b3, b4}, {0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const Found found = Search(c.Entrance, c.Exit, c.Stop, c.Chosen);
    EXPECT_EQ(found.Result, c.Result);
    EXPECT_EQ(found.Devices, c.Devices);
    EXPECT_EQ(found.Positions, c.Positions);
  }
}

TEST_F(RouteTest, SearchReportsTheFirstUnsignalledBlockAndAFacingSwitchBeyondTheExit) {
  Ready();
  // Moving left from B4 the exit S3 stands at B3's near end; SW1 beyond it faces the move.
  EXPECT_EQ(Search(l4, s3, 0).Result, -(10000 + SwitchDevice(sw1)));

  BlockData data = store().GetBlockData(b1);
  data.SignalledRight = 0;
  store().UpdateBlockData(b1, data);
  EXPECT_EQ(Search(s0, s3, 0).Result, -(10000 + b1));
  EXPECT_EQ(Search(s0, s1, 1).Result, -(10000 + b1));
  // A pass-through block is never the bad block.
  data = store().GetBlockData(p);
  data.SignalledRight = 0;
  store().UpdateBlockData(p, data);
  data = store().GetBlockData(b1);
  data.SignalledRight = 1;
  store().UpdateBlockData(b1, data);
  EXPECT_EQ(Search(s0, s3, 0).Result, 6);
}

TEST_F(RouteTest, SearchRemembersASwitchChosenReversedThatTheWalkEntersFromTheStraightLeg) {
  Ready();
  // SW1 entered moving right from P, its straight leg, with reversed chosen: the walk goes on, the switch is
  // remembered in the last entry.
  const Found found = Search(s1, s3, 1, {0, 0, 1});
  EXPECT_EQ(found.Result, 4);
  EXPECT_EQ(found.Remembered, SwitchDevice(sw1));
}

TEST_F(RouteTest, CreateRouteThrowsTheSwitchesAndClearsEverySignalUpToTheExit) {
  Ready();
  SetSwitchPosition(sw0, 1);
  SetSwitchPosition(sw1, 1);
  EXPECT_EQ(engine.CreateRoute(s0, s3), 1);
  EXPECT_EQ(SwitchPosition(sw0), 0);
  EXPECT_EQ(SwitchPosition(sw1), 0);
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(Aspect(s1), 1);
  EXPECT_EQ(Aspect(s3), 5);
  EXPECT_EQ(BlockCode(b1), 1);
  EXPECT_EQ(BlockCode(b3), 1);
  EXPECT_EQ(BlockCode(b4), 0);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(RouteTest, CreateRouteBacktracksIntoTheSidingAndReversesTrailingSwitches) {
  Ready();
  EXPECT_EQ(engine.CreateRoute(s0, s2), 1);
  EXPECT_EQ(SwitchPosition(sw0), 1);
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(BlockCode(b2), 1);
  EXPECT_EQ(BlockCode(b1), 0);

  EXPECT_EQ(engine.CreateRoute(s2, s3), 1);
  EXPECT_EQ(SwitchPosition(sw1), 1);
  EXPECT_EQ(Aspect(s2), 1);
  EXPECT_EQ(BlockCode(b3), 1);
}

TEST_F(RouteTest, CreateRouteDropsThePickedEntranceSignalsFlashing) {
  Ready();
  SignalStatus status = store().GetSignalStatus(s0);
  status.Highlight = status.Highlight2 = 1;
  store().UpdateSignalStatus(s0, status);
  run().SelectedDevice = SignalDevice(s0);
  EXPECT_EQ(engine.CreateRoute(s0, s1), 1);
  EXPECT_EQ(run().SelectedDevice, -1);
  EXPECT_EQ(+store().GetSignalStatus(s0).Highlight, 0);
  EXPECT_EQ(+store().GetSignalStatus(s0).Highlight2, 0);
}

TEST_F(RouteTest, CreateRouteRefusesAFacingSwitchBeyondTheExitAndHighlightsIt) {
  Ready();
  EXPECT_EQ(engine.CreateRoute(l4, s3), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kFacingSwitch}));
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Dispatch");
  EXPECT_EQ(run().HighlightedDevice, SwitchDevice(sw1));
  EXPECT_EQ(+store().GetSwitchStatus(sw1).Highlight, 1);
  EXPECT_EQ(+store().GetSwitchStatus(sw1).Highlight2, 1);
  EXPECT_EQ(Aspect(l4), 5);
}

TEST_F(RouteTest, CreateRouteRefusesAnUnsignalledBlockAndHighlightsIt) {
  BlockData data = store().GetBlockData(b1);
  data.SignalledRight = 0;
  store().UpdateBlockData(b1, data);
  Ready();
  EXPECT_EQ(engine.CreateRoute(s0, s3), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kNotSignalled}));
  EXPECT_EQ(run().HighlightedDevice, b1);
  EXPECT_EQ(+store().GetBlockStatus(b1).Highlight2, 1);
  EXPECT_EQ(Aspect(s0), 5);
}

TEST_F(RouteTest, CreateRouteStopsWhenASwitchRefusesToThrow) {
  Ready();
  SetSwitchPosition(sw0, 1);
  SwitchStatus status = store().GetSwitchStatus(sw0);
  status.FleetLocked = 1;
  store().UpdateSwitchStatus(sw0, status);
  EXPECT_EQ(engine.CreateRoute(s0, s1), 0);
  EXPECT_EQ(SwitchPosition(sw0), 1);
  EXPECT_EQ(Aspect(s0), 5);
}

// B0 B1 ... B59 in a row, S0 at B0's right end, the exit at B55's right end.
TEST_F(InterlockingTest, CreateRouteRefusesAnExitBeyondFortyEightDevices) {
  int previous = -1;
  std::vector<int> blocks;
  for (int i = 0; i < 60; ++i) {
    const int block = Block("B" + std::to_string(i), 2 * i + 1, 2 * i + 2, 10);
    if (previous != -1) t.Link(previous, block);
    blocks.push_back(block);
    previous = block;
  }
  const int entrance = t.Signal(blocks[0], End::Right, "S0");
  const int nearExit = t.Signal(blocks[47], End::Right, "S47");
  const int farExit = t.Signal(blocks[55], End::Right, "S55");
  Ready();
  EXPECT_EQ(engine.CreateRoute(entrance, farExit), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kTooFar}));
  EXPECT_EQ(Aspect(entrance), 5);
  // 48 devices, the entrance block included, are still searched.
  messages.Calls.clear();
  EXPECT_EQ(engine.CreateRoute(entrance, nearExit), 1);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(Aspect(entrance), 1);
}

}  // namespace
