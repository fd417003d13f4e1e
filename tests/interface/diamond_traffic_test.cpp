#include "engine/diamond_traffic.h"

#include <gtest/gtest.h>

#include "tests/interface/interface_fixture.h"

namespace {

using crossing::kTrafficCleared;
using crossing::kTrafficOccupied;
using crossing::kTrafficUnscheduled;
using crossing::kTrafficWaiting;

// The dispatcher's line runs through D0 on route 0 (side A); a railway he does
// not control crosses it on route 1 (side B), 24 trains a day:
//
//   y=2                   B5 =====        (crossing, right of D0)
//   y=4   B0 ==== B1 ==== D0 ==== B2
//   y=6          B6 =====                 (crossing, left of D0)
// A diamond's traffic state, next step and due time.
struct Traffic {
  int State, Next, Due;
  bool operator==(const Traffic&) const = default;
};
void PrintTo(const Traffic& t, std::ostream* os) {
  *os << "{state " << t.State << ", next " << t.Next << ", due " << t.Due << "}";
}

class DiamondTrafficTest : public InterfaceTest {
 protected:
  DiamondTrafficTest() {
    b0_ = Block("B0", 2, 5);
    b1_ = Block("B1", 6, 9);
    d0_ = t.Diamond("D0", {10, 4}, 29);
    b2_ = Block("B2", 11, 14);
    b5_ = Block("B5", 12, 15, 2);
    b6_ = Block("B6", 5, 8, 6);
    t.Link(b0_, b1_);
    t.Link(b1_, DiamondDevice(d0_));
    t.Link(DiamondDevice(d0_), b2_);
    t.LinkCrossing(d0_, b6_, b5_);
    d1_ = t.Diamond("D1", {20, 8}, 29);  // crossed by nothing it could reach
    Ready();
    SetTraffic(d0_, 0, 24);
  }

  void SetTraffic(int diamond, int16_t a, int16_t b, uint8_t shared = 0) {
    CrossData data = store().GetCrossData(diamond);
    data.TrafficRouteA = a;
    data.TrafficRouteB = b;
    data.BothRoutes = shared;
    store().UpdateCrossData(diamond, data);
  }
  void SetSide(int diamond, int side, int code) {
    CrossStatus status = store().GetCrossStatus(diamond);
    status.Occupancy[side] = static_cast<int16_t>(code);
    store().UpdateCrossStatus(diamond, status);
  }

  // The minute work's traffic step at a clock time.
  void Minute(int32_t clock) {
    store().SimClock = clock;
    crossing::ProcessDiamondTraffic(engine);
  }

  Traffic TrafficOf(int diamond) {
    const CrossStatus s = store().GetCrossStatus(diamond);
    return {s.TrafficState, s.TrafficNextTime, s.TrafficDueTime};
  }
  // B6, D0's crossing side and B5.
  std::vector<int> CrossingCodes() {
    return {BlockCode(b6_), store().GetCrossStatus(d0_).Occupancy[1], BlockCode(b5_)};
  }

  int b0_ = 0, b1_ = 0, b2_ = 0, b5_ = 0, b6_ = 0, d0_ = 0, d1_ = 0;
};

constexpr int32_t kT0 = 86400 + 8 * 3600;  // 08:00 of day 1

// One crossing train with scripted random draws: scheduled an hour ahead (jitter 15 - 10 = 5 minutes),
// cleared from the far end block the clock picks, occupied 5 to 14 minutes later, released 120 to 290
// seconds after that, and the next train is due one headway after this one's due time.
TEST_F(DiamondTrafficTest, ACrossingTrainClearsOccupiesAndReleasesTheCrossingRoute) {
  engine.Random().Script({10, 3, 5, 29});
  Minute(kT0);
  EXPECT_EQ(TrafficOf(d0_), (Traffic{kTrafficWaiting, kT0 + 65 * 60, kT0 + 3600}));
  EXPECT_EQ(CrossingCodes(), (std::vector<int>{0, 0, 0}));

  Minute(kT0 + 64 * 60);
  EXPECT_EQ(TrafficOf(d0_).State, kTrafficWaiting);

  // Clock / 100 is odd at 09:05: the train leaves D0 by leg 3 towards B5, so the route is traced
  // back leftward from B5 and shown cleared leftward.
  const int32_t cleared = kT0 + 65 * 60;
  ASSERT_EQ(cleared / 100 % 2, 1);
  Minute(cleared);
  EXPECT_EQ(+store().GetCrossStatus(d0_).TrafficEndBlock, b5_);
  EXPECT_EQ(TrafficOf(d0_), (Traffic{kTrafficCleared, cleared + 8 * 60, kT0 + 3600}));
  EXPECT_EQ(CrossingCodes(), (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(+store().GetCrossStatus(d0_).Occupancy[0], 0) << "the dispatcher's side is not the route";

  const int32_t occupied = cleared + 8 * 60;
  Minute(occupied);
  EXPECT_EQ(TrafficOf(d0_), (Traffic{kTrafficOccupied, occupied + 170, kT0 + 3600}));
  EXPECT_EQ(CrossingCodes(), (std::vector<int>{4, 4, 4}));

  Minute(occupied + 120);
  EXPECT_EQ(TrafficOf(d0_).State, kTrafficOccupied);
  Minute(occupied + 180);
  // Due two headways after the start; the jitter drawn (15 - 29) makes it 14 minutes early.
  EXPECT_EQ(TrafficOf(d0_), (Traffic{kTrafficWaiting, kT0 + 7200 - 14 * 60, kT0 + 7200}));
  EXPECT_EQ(CrossingCodes(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(engine.Random().ScriptedLeft(), 0u);
}

TEST_F(DiamondTrafficTest, OnAnEvenClockTheTrainLeavesTowardsTheOtherEndAndClearsRightward) {
  engine.Random().Script({1, 0});
  Minute(kT0);
  const int32_t next = TrafficOf(d0_).Next;  // 24 a day, R = 1: 74 minutes after 08:00
  EXPECT_EQ(next, kT0 + 74 * 60);
  ASSERT_EQ(next / 100 % 2, 0);
  Minute(next);
  EXPECT_EQ(+store().GetCrossStatus(d0_).TrafficEndBlock, b6_);
  EXPECT_EQ(CrossingCodes(), (std::vector<int>{1, 1, 1}));
}

// The crossing train waits while the dispatcher's route holds the diamond: before it is shown
// cleared, a minute at a time for a cleared or occupied route (not on a diamond whose routes never
// conflict); once cleared, four minutes at a time only for an occupied one.
TEST_F(DiamondTrafficTest, TheCrossingTrainWaitsForTheDispatchersRoute) {
  struct Case {
    const char* Name;
    int State;  // the step taken: waiting or cleared
    int Side;   // the dispatcher's side A
    uint8_t Shared;
    int ExpectedState;
    int32_t ExpectedWait;  // seconds to the next step when the train waits, else -1
  };
  const Case cases[] = {
      {"cleared route, waiting", kTrafficWaiting, occupancy::kClearedRight, 0, kTrafficWaiting, 60},
      {"occupied route, waiting", kTrafficWaiting, occupancy::kOccupiedLeft, 0, kTrafficWaiting, 60},
      {"routes never conflict", kTrafficWaiting, occupancy::kOccupiedLeft, 1, kTrafficCleared, -1},
      {"cleared route, cleared", kTrafficCleared, occupancy::kClearedRight, 0, kTrafficOccupied, -1},
      {"occupied route, cleared", kTrafficCleared, occupancy::kOccupiedRight, 0, kTrafficCleared, 240},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SetTraffic(d0_, 0, 24, c.Shared);
    CrossStatus status = store().GetCrossStatus(d0_);
    status.TrafficState = static_cast<uint8_t>(c.State);
    status.TrafficNextTime = kT0;
    status.TrafficEndBlock = static_cast<int16_t>(b5_);
    status.Occupancy[0] = static_cast<int16_t>(c.Side);
    status.Occupancy[1] = 0;
    store().UpdateCrossStatus(d0_, status);
    engine.Random().Script({0});
    Minute(kT0);
    EXPECT_EQ(TrafficOf(d0_).State, c.ExpectedState);
    if (c.ExpectedWait >= 0) {
      EXPECT_EQ(TrafficOf(d0_).Next, kT0 + c.ExpectedWait);
      EXPECT_EQ(+store().GetCrossStatus(d0_).Occupancy[1], 0);
    } else {
      EXPECT_NE(+store().GetCrossStatus(d0_).Occupancy[1], 0);
    }
    EXPECT_EQ(+store().GetCrossStatus(d0_).Occupancy[0], c.Side) << "the dispatcher's route is untouched";
    SetBlockCode(b5_, 0);
    SetBlockCode(b6_, 0);
  }
}

// Diamonds without traffic are never touched; a gap in the diamond table does not silence the
// diamonds after it; a crossing route that reaches no block keeps its state and is tried next minute.
TEST_F(DiamondTrafficTest, DiamondsWithoutTrafficGapsAndDeadEnds) {
  SetTraffic(d0_, 0, 0);
  const CrossStatus before = store().GetCrossStatus(d0_);
  Minute(kT0);
  EXPECT_EQ(TrafficOf(d0_), (Traffic{kTrafficUnscheduled, before.TrafficNextTime, before.TrafficDueTime}));

  CrossStatus gap = store().GetCrossStatus(d0_);
  gap.InUse = 0;
  store().UpdateCrossStatus(d0_, gap);
  SetTraffic(d1_, 48, 0);
  engine.Random().Script({0});
  Minute(kT0);
  EXPECT_EQ(TrafficOf(d1_), (Traffic{kTrafficWaiting, kT0 + (30 + 7) * 60, kT0 + 30 * 60}));

  const int32_t next = kT0 + 37 * 60;
  Minute(next);
  EXPECT_EQ(TrafficOf(d1_), (Traffic{kTrafficWaiting, next + 60, kT0 + 30 * 60}));
  EXPECT_EQ(+store().GetCrossStatus(d1_).TrafficEndBlock, -1);
}

}  // namespace
