#include <gtest/gtest.h>

#include <vector>

#include "engine/interlocking_devices.h"
#include "tests/engine/interlocking_fixture.h"
#include "tools/territory/demo_territory.h"

namespace {

class TracePathTest : public InterlockingTest {
 protected:
  // The devices listed, start included, and the switch that stopped the walk.
  struct Trace {
    std::vector<int> Devices;
    std::vector<int> Dirs;
    int Blocking;
  };
  Trace Walk(int direction, int start) {
    DevicePath path;
    const int n = engine.TraceDevicePath(direction, start, path);
    Trace trace{{}, {}, path.Ids[kPathEntries - 1]};
    for (int i = 0; i < n; ++i) {
      trace.Devices.push_back(path.Ids[i]);
      trace.Dirs.push_back(path.Dirs[i]);
    }
    for (int i = n; i < kPathEntries - 1; ++i) EXPECT_EQ(path.Ids[i], -1) << "entry " << i;
    return trace;
  }
};

// x:  2      8  9  10    16
//     ===B0===  SW0 ===B1===     y=4
//                 `.
//                  ==B2==        y=6 (x 11-16)
class SwitchPathTest : public TracePathTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 8);
    sw = t.Switch("SW0", {9, 4}, Diverge::DownRight);
    b1 = Block("B1", 10, 16);
    b2 = Block("B2", 11, 16, 6);
    t.Link(b0, SwitchDevice(sw));
    t.Link(SwitchDevice(sw), b1);
    t.Branch(sw, b2, End::Left);
    Ready();
  }
  int b0, sw, b1, b2;
};

TEST_F(SwitchPathTest, FollowsTheSwitchAsItLiesAndStopsAtOneLyingAgainstTheMove) {
  const int swDevice = SwitchDevice(0);
  struct Case {
    int Start, Direction, Position;
    std::vector<int> Devices;
    int Blocking;
  };
  // Blocks 0, 1, 2 are B0, B1, B2.
  const Case cases[] = {
      {0, 1, 0, {0, swDevice, 1}, -1},  // facing, normal: straight on
      {0, 1, 1, {0, swDevice, 2}, -1},  // facing, reversed: into the siding
      {2, 0, 1, {2, swDevice, 0}, -1},  // trailing from the siding, reversed
      {2, 0, 0, {2}, swDevice},         // trailing from the siding, normal: the switch is open
      {1, 0, 1, {1}, swDevice},         // trailing on the straight, reversed: open
      {0, 0, 0, {0}, -1},               // no neighbour: the start alone, nothing blocking
  };
  for (const Case& c : cases) {
    SetSwitchPosition(sw, c.Position);
    const Trace trace = Walk(c.Direction, c.Start);
    EXPECT_EQ(trace.Devices, c.Devices) << "from " << c.Start << " position " << c.Position;
    EXPECT_EQ(trace.Blocking, c.Blocking) << "from " << c.Start << " position " << c.Position;
  }
}

// Sixty two-cell blocks in a row, y=10: B0 B1 ... B59.
TEST_F(TracePathTest, StopsAtFortyEightDevicesWithNothingBlocking) {
  int previous = -1;
  for (int i = 0; i < 60; ++i) {
    const int block = Block("B" + std::to_string(i), 2 * i + 1, 2 * i + 2, 10);
    if (previous != -1) t.Link(previous, block);
    previous = block;
  }
  Ready();
  const Trace trace = Walk(1, 0);
  ASSERT_EQ(trace.Devices.size(), 48u);
  EXPECT_EQ(trace.Devices.back(), 47);
  EXPECT_EQ(trace.Blocking, -1);
}

//            B3     (x 10, y 1-3)
//  ==B0== ==D0== ==B1==   y=4: B0 x 2-8, D0 x 10, B1 x 12-18
//            B4     (x 10, y 5-7)
class DiamondPathTest : public TracePathTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 9);
    d0 = t.Diamond("D0", {10, 4}, 30);
    b1 = Block("B1", 11, 18);
    b3 = t.Block({.Name = "B3", .From = {10, 1}, .To = {10, 3}});
    b4 = t.Block({.Name = "B4", .From = {10, 5}, .To = {10, 7}});
    t.Link(b0, DiamondDevice(d0));
    t.Link(DiamondDevice(d0), b1);
    t.LinkCrossing(d0, b3, b4);
    Ready();
  }
  int b0, d0, b1, b3, b4;
};

TEST_F(DiamondPathTest, CrossesOnTheRouteItEntersBy) {
  EXPECT_EQ(Walk(1, b0).Devices, (std::vector<int>{b0, DiamondDevice(d0), b1}));
  EXPECT_EQ(Walk(0, b1).Devices, (std::vector<int>{b1, DiamondDevice(d0), b0}));
  EXPECT_EQ(Walk(1, b3).Devices, (std::vector<int>{b3, DiamondDevice(d0), b4}));
}

TEST_F(DiamondPathTest, StartingAtTheDiamondLeavesByTheLegNamed) {
  Trace trace = Walk(3, DiamondDevice(d0));
  EXPECT_EQ(trace.Devices, (std::vector<int>{DiamondDevice(d0), b4}));
  EXPECT_EQ(trace.Dirs, (std::vector<int>{1, 1}));
  trace = Walk(0, DiamondDevice(d0));
  EXPECT_EQ(trace.Devices, (std::vector<int>{DiamondDevice(d0), b0}));
  EXPECT_EQ(trace.Dirs, (std::vector<int>{0, 0}));
}

// x:  2    7  8      11  12   17
//     ==B0== SWa ==B1==            y=4
//              `.
//     ==B2====== SWb ==B3==        y=6 (B2 x 2-9, SWb x 10)
class CrossoverPathTest : public TracePathTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 7);
    b2 = Block("B2", 2, 9, 6);
    const auto pair = t.Crossover("SWa", {8, 4}, "SWb", {10, 6});
    swa = pair.first;
    swb = pair.second;
    b1 = Block("B1", 9, 17);
    b3 = Block("B3", 11, 17, 6);
    t.Link(b0, SwitchDevice(swa));
    t.Link(SwitchDevice(swa), b1);
    t.Link(b2, SwitchDevice(swb));
    t.Link(SwitchDevice(swb), b3);
    Ready();
  }
  int b0, b1, b2, b3, swa, swb;
};

TEST_F(CrossoverPathTest, EntersSwitchFromSwitchWithTheSameLegRules) {
  SetSwitchPosition(swa, 1);
  SetSwitchPosition(swb, 1);
  EXPECT_EQ(Walk(1, b0).Devices, (std::vector<int>{b0, SwitchDevice(swa), SwitchDevice(swb), b3}));
  EXPECT_EQ(Walk(0, b3).Devices, (std::vector<int>{b3, SwitchDevice(swb), SwitchDevice(swa), b0}));

  SetSwitchPosition(swb, 0);
  const Trace trace = Walk(1, b0);
  EXPECT_EQ(trace.Devices, (std::vector<int>{b0, SwitchDevice(swa)}));
  EXPECT_EQ(trace.Blocking, SwitchDevice(swb));
}

// A return loop: A runs right into B0, whose right end turns down (code 15)
// into B1, whose right end (code 16) comes back up to B1's left: B1's far
// side is its left neighbour.
//   ==A== ==B0==|
//               |  B1 (the loop, entered at its right end)
TEST_F(TracePathTest, ALoopEndTurnsTheDirectionOfTravel) {
  const int a = Block("A", 2, 5);
  const int b0 = Block("B0", 6, 9);
  const int b1 = Block("B1", 11, 14, 7);
  const int c = Block("C", 16, 19, 7);
  t.Link(a, b0);
  BlockData data = store().GetBlockData(b0);
  data.RightNeighbour = static_cast<int16_t>(b1);
  store().UpdateBlockData(b0, data);
  data = store().GetBlockData(b1);
  data.RightNeighbour = static_cast<int16_t>(b0);
  data.LeftNeighbour = static_cast<int16_t>(c);
  store().UpdateBlockData(b1, data);
  t.Paint({9, 4}, 15, b0);
  t.Paint({14, 7}, 16, b1);
  Ready();

  const Trace trace = Walk(1, a);
  EXPECT_EQ(trace.Devices, (std::vector<int>{a, b0, b1, c}));
  EXPECT_EQ(trace.Dirs, (std::vector<int>{1, 1, 0, 0}));

  // A walk to the route's end stops at B1 once the loop has turned it: its route ends leftward there.
  data = store().GetBlockData(b1);
  data.LeftSignal = 0;
  store().UpdateBlockData(b1, data);
  DevicePath path;
  ASSERT_EQ(engine.TraceDevicePath(1, a, path, PathEnd{.RouteEnd = true}), 3);
  EXPECT_EQ(std::vector<int>(path.Ids.begin(), path.Ids.begin() + 3), (std::vector<int>{a, b0, b1}));
  EXPECT_EQ(std::vector<int>(path.Dirs.begin(), path.Dirs.begin() + 3), (std::vector<int>{1, 1, 0}));
}

// On the demonstration territory, with its switches either way: from every block each way, the walk to the
// route's end lists what the whole walk lists up to the first main block where a route ends, with the
// same directions, and nothing beyond it.
TEST_F(InterlockingTest, AWalkToTheRouteEndIsTheStartOfTheWholeWalk) {
  territory::BuildDemonstrationTerritory(store());
  store().InitSimulationStatus();
  const int blocks = store().GetCountData().Words[kCountBlocks];
  const int switches = store().GetCountData().Words[kCountSwitches];
  int routeEnds = 0;
  for (int position = 0; position < 2; ++position) {
    for (int i = 0; i < switches; ++i) {
      SwitchStatus status = store().GetSwitchStatus(i);
      status.Position = static_cast<int16_t>((i + position) % 2);
      store().UpdateSwitchStatus(i, status, 1);
    }
    for (int start = 0; start < blocks; ++start) {
      for (int direction = 0; direction < 2; ++direction) {
        SCOPED_TRACE(testing::Message() << "block " << start << " direction " << direction << " set " << position);
        DevicePath whole, toEnd;
        const int n = engine.TraceDevicePath(direction, start, whole);
        const int m = engine.TraceDevicePath(direction, start, toEnd, PathEnd{.RouteEnd = true});
        int expected = n;
        for (int k = 1; k < n && expected == n; ++k) {
          if (!device::IsBlock(whole.Ids[k])) continue;
          const BlockData& block = store().BlockDataRef(whole.Ids[k]);
          if (block.PassThrough != 1 && interlocking::RouteEndsAt(block, whole.Dirs[k])) expected = k + 1;
        }
        routeEnds += expected < n;
        ASSERT_EQ(m, expected);
        for (int k = 0; k < m; ++k) {
          EXPECT_EQ(toEnd.Ids[k], whole.Ids[k]) << k;
          EXPECT_EQ(toEnd.Dirs[k], whole.Dirs[k]) << k;
        }
      }
    }
  }
  EXPECT_GT(routeEnds, blocks) << "most walks reach a route's end";
}

}  // namespace
