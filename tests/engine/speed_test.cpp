#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

class SpeedUnitsTest : public StoreFixture {
 protected:
  void UseUnits(uint8_t units) {
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = units;
    store().UpdateTerritoryOptions(options);
  }
  Engine engine{store()};
};

struct TravelCase {
  uint8_t Units;
  int Speed;
  int32_t Length;
  int32_t Seconds;
};

TEST_F(SpeedUnitsTest, TravelTimeTruncatesAtEveryStep) {
  const TravelCase cases[] = {
      // feet and miles per hour: rate = speed * 63360 / 3600 inches per second
      {1, 60, 5280, 60},  // a mile at 60 mph: 1056 in/s -> 63360 / 1056
      {1, 30, 1000, 22},  // 528 in/s, 12000 in -> 22.7
      {1, 1, 100, 70},    // 17 in/s (17.6 truncated), 1200 in
      {1, 45, 0, 0},      // length 0
      {1, 0, 100, 6},     // speed 0 runs at 10 mph: 176 in/s, 1200 in
      {1, -5, 100, 6},    // a negative speed likewise
      // metres and kilometres per hour: rate = speed * 50000 / 3600
      {0, 100, 1000, 36},  // 1388 per s, 50000 -> 36.02
      {2, 36, 1000, 100},  // any value other than 1 is metric: 500 per s
      {0, 1, 10, 38},      // 13 per s (13.9 truncated), 500
      {0, 80, 0, 0},       // length 0
      {0, 0, 1000, 225},   // speed 0 runs at 16 km/h: 222 per s
  };
  for (const TravelCase& c : cases) {
    UseUnits(c.Units);
    EXPECT_EQ(engine.TravelTime(c.Speed, c.Length), c.Seconds)
        << "units " << +c.Units << " speed " << c.Speed << " length " << c.Length;
  }
}

TEST_F(SpeedUnitsTest, TravelTimeOfAHugeLengthDoesNotOverflow) {
  UseUnits(0);
  EXPECT_EQ(engine.TravelTime(1, 2000000000), 2147483647);  // clamped instead of wrapping
  UseUnits(1);
  EXPECT_EQ(engine.TravelTime(32767, 2000000000), 41616);  // 24e9 in at 576699 in/s
}

TEST_F(SpeedUnitsTest, SpeedInUnitsConvertsOnlyForMetric) {
  const struct {
    uint8_t Units;
    int Mph;
    int16_t Expected;
  } cases[] = {
      {1, 10, 10}, {1, 20, 20}, {1, 0, 0},  // English: unchanged
      {0, 10, 16}, {0, 20, 33}, {0, 0, 0}, {0, 1, 1}, {0, 60, 100},
  };
  for (const auto& c : cases) {
    UseUnits(c.Units);
    EXPECT_EQ(engine.SpeedInUnits(c.Mph), c.Expected) << "units " << +c.Units << " mph " << c.Mph;
  }
}

}  // namespace

namespace {

// A line of blocks run through to the right, with a switch and a diamond that
// the cases put on the path where they need them:
//
//   [10] --sw 0-- [11] ---- [12 "Town"] ---- [13]
//                  \-- diamond 0: route 0 joins 10 and 11, route 1 joins 20 and 21
//
// Table speeds by cleared blocks, type 0, direction right: 20 / 40 / 60
// (block 10: 22 / 42 / 62; direction left: 21 / 41 / 61).
class PathCheckTest : public StoreFixture {
 protected:
  PathCheckTest() { Build(); }

  // Sets every record the cases touch, so that each case starts from the sketch.
  void Build() {
    TerritoryOptions territory = store().GetTerritoryOptions();
    territory.Units = 1;
    store().UpdateTerritoryOptions(territory);
    for (int b : {10, 11, 12, 13, 20, 21}) {
      BlockData block{};
      block.InUse = 1;
      const int16_t base = b == 10 ? 2 : 0;
      for (int t = 0; t < 10; ++t) {
        block.SpeedOneClear[1][t] = static_cast<int16_t>(20 + base);
        block.SpeedTwoClear[1][t] = static_cast<int16_t>(40 + base);
        block.SpeedMax[1][t] = static_cast<int16_t>(60 + base);
        block.SpeedOneClear[0][t] = 21;
        block.SpeedTwoClear[0][t] = 41;
        block.SpeedMax[0][t] = 61;
      }
      if (b == 12) SetFieldText(block.PlatformName, "Town");
      store().UpdateBlockData(b, block);
      BlockStatus status{};
      status.InUse = 1;
      status.Occupancy = b == 10 ? 3 : 1;  // the train stands in 10; the rest is cleared right
      for (int d = 0; d < 2; ++d)
        for (int k = 0; k < 10; ++k) status.SlowSpeeds[d][k] = -1;
      store().UpdateBlockStatus(b, status);
    }
    SwitchData sw{};
    sw.InUse = 1;
    for (int k = 0; k < 10; ++k) sw.DivergingSpeed[k] = 15;
    store().UpdateSwitchData(0, sw);
    SwitchStatus switchStatus{};
    switchStatus.InUse = 1;
    store().UpdateSwitchStatus(0, switchStatus);
    store().UpdateCrossStatus(0, CrossStatus{});
    store().UpdateTrainStop(kTrain, TrainStop{});
    CrossData cross{};
    cross.Legs[0] = 10;
    cross.Legs[1] = 11;
    cross.Legs[2] = 20;
    cross.Legs[3] = 21;
    store().UpdateCrossData(0, cross);

    PlatformData platform{};
    platform.InUse = 1;
    SetFieldText(platform.Name, "Town");
    store().UpdatePlatformData(0, platform);  // the train's station times hold no stop there yet
    TrainStationTime times{};
    for (int p = 0; p < kTrainStations; ++p) times.Times[p] = -1;
    store().UpdateTrainStationTime(kTrain, times);

    TrainType freight{};
    freight.InUse = 1;
    freight.ReverseSpeed = 8;
    store().UpdateTrainType(0, freight);
    TrainType helper{};
    helper.InUse = 1;
    helper.Kind = 4;
    store().UpdateTrainType(3, helper);

    TrainData schedule{};
    schedule.InUse = 1;
    schedule.SplitTrain = -1;
    store().UpdateTrainData(0, schedule);
    TrainStatus train{};
    train.InUse = 1;
    train.TrainIndex = 0;
    train.MergePrevious = train.MergeNext = -1;
    train.HeadBlock = 10;
    train.HeadDirection = 1;
    train.SpeedCap = -1;
    train.PerformancePercent = 100;
    train.State = 5;
    store().UpdateTrainStatus(kTrain, train, 1);
  }

  void EditTrain(const std::function<void(TrainStatus&)>& edit) {
    TrainStatus train = store().GetTrainStatus(kTrain);
    edit(train);
    store().UpdateTrainStatus(kTrain, train, 1);
  }
  void SetOccupancy(int block, int16_t code) {
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = code;
    store().UpdateBlockStatus(block, status);
  }
  void ReverseSwitch(int16_t diverging) {
    SwitchStatus status = store().GetSwitchStatus(0);
    status.Position = 1;
    store().UpdateSwitchStatus(0, status);
    SwitchData data = store().GetSwitchData(0);
    data.DivergingSpeed[0] = diverging;
    store().UpdateSwitchData(0, data);
  }

  PathCheckResult Check(std::vector<int32_t> ids, int first = 1, int countFirst = 1, int seed = 0) {
    std::vector<int32_t> dirs(ids.size(), 1);
    ids.resize(kPathEntries, -1);
    dirs.resize(kPathEntries, -1);
    PathCheckResult result;
    result.AllowedSpeed = -99;  // overwritten whole
    engine.CheckPathAhead(result, kTrain, ids, dirs, first, countFirst, seed);
    return result;
  }

  // Trains 8, 9, ... coupled behind the train, of the given types.
  void Couple(std::vector<int> types) {
    int front = kTrain;
    for (size_t i = 0; i < types.size(); ++i) {
      const int slot = 8 + static_cast<int>(i);
      TrainStatus coupled{};
      coupled.InUse = 1;
      coupled.Type = static_cast<uint8_t>(types[i]);
      coupled.MergePrevious = static_cast<int16_t>(front);
      coupled.MergeNext = -1;
      store().UpdateTrainStatus(slot, coupled, 1);
      TrainStatus ahead = store().GetTrainStatus(front);
      ahead.MergeNext = static_cast<int16_t>(slot);
      store().UpdateTrainStatus(front, ahead, 1);
      front = slot;
    }
  }
  void SplitPartner(uint8_t type) {
    TrainData partner{};
    partner.InUse = 1;
    partner.Type = type;
    store().UpdateTrainData(1, partner);
    TrainData own = store().GetTrainData(0);
    own.SplitTrain = 1;
    store().UpdateTrainData(0, own);
  }

  static constexpr int kTrain = 7;
  Engine engine{store()};
};

struct Expected {
  int16_t Allowed, Stop, Next, Aspect, Maximum, Nominal;
  uint8_t AtMax, SwitchLimited, Restricted, RouteCleared, WaitingForHelper;
  int16_t PlatformDistance;
};

void ExpectResult(const PathCheckResult& r, const Expected& e, const std::string& name) {
  SCOPED_TRACE(name);
  EXPECT_EQ(+r.AllowedSpeed, e.Allowed);
  EXPECT_EQ(+r.StopBlock, e.Stop);
  EXPECT_EQ(+r.NextBlock, e.Next);
  EXPECT_EQ(+r.AspectSpeed, e.Aspect);
  EXPECT_EQ(+r.MaximumSpeed, e.Maximum);
  EXPECT_EQ(+r.NominalSpeed, e.Nominal);
  EXPECT_EQ(+r.AtMaximum, e.AtMax);
  EXPECT_EQ(+r.SwitchLimited, e.SwitchLimited);
  EXPECT_EQ(+r.RestrictedSwitch, e.Restricted);
  EXPECT_EQ(+r.RouteCleared, e.RouteCleared);
  EXPECT_EQ(+r.WaitingForHelper, e.WaitingForHelper);
  EXPECT_EQ(+r.PlatformDistance, e.PlatformDistance);
  EXPECT_EQ(+r.Spare, -1);
  EXPECT_EQ(+r.StoppedForLocalWork, 0);
}

TEST_F(PathCheckTest, SpeedFollowsTheBlocksClearedAhead) {
  const struct {
    const char* Name;
    std::function<void()> Setup;
    std::vector<int32_t> Path;
    Expected Want;
  } cases[] = {
      {"first block not cleared", [&] { SetOccupancy(11, 0); }, {10, 11, 12}, {0, -1, 11, 0, 0, 0, 0, 0, 0, 0, 0, -1}},
      {"first block cleared the other way",
       [&] { SetOccupancy(11, 2); },
       {10, 11},
       {0, -1, 11, 0, 0, 0, 0, 0, 0, 0, 0, -1}},
      {"one block cleared",
       [&] { SetOccupancy(12, 0); },
       {10, 11, 12, 13},
       {20, 11, 11, 20, 60, 20, 0, 0, 0, 1, 0, -1}},
      {"two blocks cleared", [] {}, {10, 11, 13}, {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"three blocks cleared", [] {}, {10, 11, 13, 20}, {60, 11, 11, 60, 60, 60, 1, 0, 0, 1, 0, -1}},
      {"end of path after one block", [] {}, {10, 11}, {20, 11, 11, 20, 60, 20, 0, 0, 0, 1, 0, -1}},
      {"signals are not blocks", [] {}, {10, 3000, 11, 3001, 13}, {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"block not in use skipped", [] {}, {10, 14, 11, 13}, {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"pass-through block skipped untested",
       [&] {
         BlockData block = store().GetBlockData(11);
         block.PassThrough = 1;
         store().UpdateBlockData(11, block);
         SetOccupancy(11, 0);
       },
       {10, 11, 13},
       {20, 13, 13, 20, 60, 20, 0, 0, 0, 1, 0, -1}},
      {"reverse switch limits",
       [&] { ReverseSwitch(15); },
       {10, 2000, 11, 13, 20},
       {15, 11, 11, 60, 60, 15, 0, 1, 0, 1, 0, -1}},
      {"reverse switch above the aspect",
       [&] { ReverseSwitch(45); },
       {10, 2000, 11, 13},
       {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"diverging speed 0 stops",
       [&] { ReverseSwitch(0); },
       {10, 2000, 11, 13},
       {0, 11, 11, 40, 60, 0, 0, 1, 0, 1, 0, -1}},
      {"normal switch does not limit", [] {}, {10, 2000, 11, 13, 20}, {60, 11, 11, 60, 60, 60, 1, 0, 0, 1, 0, -1}},
      {"switch beyond the stop block not examined",
       [&] { ReverseSwitch(0); },
       {10, 11, 2000, 13},
       {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"crew throw pending: restricted speed",
       [&] {
         SwitchStatus sw = store().GetSwitchStatus(0);
         sw.CrewThrowRequest = 1;
         store().UpdateSwitchStatus(0, sw);
       },
       {10, 2000, 11, 13},
       {10, 11, 11, 40, 60, 10, 0, 1, 1, 1, 0, -1}},
      {"restricted switch does not raise a lower diverging limit",
       [&] {
         ReverseSwitch(0);
         SwitchStatus sw = store().GetSwitchStatus(0);
         sw.CrewThrowRequest = 1;
         store().UpdateSwitchStatus(0, sw);
       },
       {10, 2000, 11, 13},
       {0, 11, 11, 40, 60, 0, 0, 1, 1, 1, 0, -1}},
      {"diamond, other route occupied",
       [&] {
         CrossStatus cross = store().GetCrossStatus(0);
         cross.Occupancy[1] = 4;
         store().UpdateCrossStatus(0, cross);
       },
       {10, 4000, 11, 13},
       {0, -1, -1, 0, 0, 0, 0, 0, 0, 1, 0, -1}},
      {"diamond, other route only cleared",
       [&] {
         CrossStatus cross = store().GetCrossStatus(0);
         cross.Occupancy[1] = 1;
         store().UpdateCrossStatus(0, cross);
       },
       {10, 4000, 11, 13},
       {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"diamond, own route occupied does not block",
       [&] {
         CrossStatus cross = store().GetCrossStatus(0);
         cross.Occupancy[0] = 3;
         store().UpdateCrossStatus(0, cross);
       },
       {10, 4000, 11, 13},
       {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"slow order on the stop block",
       [&] {
         BlockStatus status = store().GetBlockStatus(11);
         status.SlowSpeeds[1][0] = 25;
         status.SlowSpeeds[0][0] = 5;  // the other direction does not apply
         store().UpdateBlockStatus(11, status);
       },
       {10, 11, 13, 20},
       {25, 11, 11, 25, 25, 25, 1, 0, 0, 1, 0, -1}},
      {"slow order above the allowed speed",
       [&] {
         BlockStatus status = store().GetBlockStatus(11);
         status.SlowSpeeds[1][0] = 50;
         store().UpdateBlockStatus(11, status);
       },
       {10, 11, 13},
       {40, 11, 11, 40, 60, 40, 0, 0, 0, 1, 0, -1}},
      {"platform two blocks ahead",
       [&] {
         TrainStationTime times = store().GetTrainStationTime(kTrain);
         times.Times[0] = 600;
         store().UpdateTrainStationTime(kTrain, times);
       },
       {10, 11, 12, 13, 20},
       {40, 11, 11, 40, 40, 40, 1, 0, 0, 1, 0, 2}},
      {"platform already stopped at",
       [&] {
         TrainStationTime times = store().GetTrainStationTime(kTrain);
         times.Times[0] = 600;
         store().UpdateTrainStationTime(kTrain, times);
         TrainStop stops = store().GetTrainStop(kTrain);
         stops.Stops[0] = 1;
         store().UpdateTrainStop(kTrain, stops);
       },
       {10, 11, 12, 13, 20},
       {60, 11, 11, 60, 60, 60, 1, 0, 0, 1, 0, -1}},
      {"platform without a scheduled time", [] {}, {10, 11, 12, 13}, {60, 11, 11, 60, 60, 60, 1, 0, 0, 1, 0, -1}},
      {"running in reverse: the type's reverse speed",
       [&] { EditTrain([](TrainStatus& t) { t.Reversing = 1; }); },
       {10, 11, 13, 20},
       {8, 11, 11, 60, 60, 8, 0, 0, 0, 1, 0, -1}},
      {"speed cap",
       [&] { EditTrain([](TrainStatus& t) { t.SpeedCap = 25; }); },
       {10, 11, 13, 20},
       {25, 11, 11, 60, 60, 60, 1, 0, 0, 1, 0, -1}},
      {"pass red: first block not cleared",
       [&] {
         SetOccupancy(11, 0);
         EditTrain([](TrainStatus& t) { t.PassRedPermission = 1; });
       },
       {10, 11, 12},
       {10, 11, 11, 10, 60, 10, 0, 0, 0, 0, 0, -1}},
      {"pass red while leaving the territory",
       [&] {
         SetOccupancy(11, 0);
         EditTrain([](TrainStatus& t) {
           t.PassRedPermission = 1;
           t.State = 11;
         });
       },
       {10, 11},
       {20, 11, 11, 20, 60, 20, 0, 0, 0, 0, 0, -1}},
      {"pass red with no block ahead",
       [&] { EditTrain([](TrainStatus& t) { t.PassRedPermission = 1; }); },
       {10},
       {0, -1, -1, 0, 0, 0, 0, 0, 0, 1, 0, -1}},
      {"pass red but diamond blocked",
       [&] {
         EditTrain([](TrainStatus& t) { t.PassRedPermission = 1; });
         CrossStatus cross = store().GetCrossStatus(0);
         cross.Occupancy[1] = 3;
         store().UpdateCrossStatus(0, cross);
       },
       {10, 4000, 11},
       {0, -1, -1, 0, 0, 0, 0, 0, 0, 1, 0, -1}},
      {"invalid train type finds no table speed",
       [&] { EditTrain([](TrainStatus& t) { t.Type = 200; }); },
       {10, 2000, 11, 13, 20},
       {0, 11, 11, 0, 0, 0, 1, 0, 0, 1, 0, -1}},
  };
  for (const auto& c : cases) {
    Build();
    c.Setup();
    ExpectResult(Check(c.Path), c.Want, c.Name);
  }
  EXPECT_TRUE(messages.Calls.empty());  // no index error on the way
}

TEST_F(PathCheckTest, PerformanceFactorAppliesAfterTheNominalSpeed) {
  const struct {
    int16_t Percent, SlowOrder, Allowed, Nominal;
  } cases[] = {
      {100, -1, 60, 60}, {50, -1, 30, 60}, {150, -1, 90, 60}, {33, -1, 20, 60},  // 60 - 40.2 truncated
      {10, 1, 1, 1},                                                             // 1 stays 1
      {0, -1, 0, 60},                                                            // a zero result stays 0
      {-50, -1, 1, 60},                                                          // below 1 but not 0: 1
  };
  for (const auto& c : cases) {
    Build();
    EditTrain([&](TrainStatus& t) { t.PerformancePercent = c.Percent; });
    BlockStatus status = store().GetBlockStatus(11);
    status.SlowSpeeds[1][0] = c.SlowOrder;
    store().UpdateBlockStatus(11, status);
    const PathCheckResult r = Check({10, 11, 13, 20});
    EXPECT_EQ(+r.AllowedSpeed, c.Allowed) << "performance " << c.Percent;
    EXPECT_EQ(+r.NominalSpeed, c.Nominal) << "performance " << c.Percent;
  }
}

TEST_F(PathCheckTest, HelperRequirementNeedsAHelperCoupledOrAsSplitPartner) {
  const struct {
    const char* Name;
    std::function<void()> Setup;
    int16_t Allowed;
    uint8_t Waiting;
  } cases[] = {
      {"alone", [] {}, 0, 1},
      {"requirement switched off",
       [&] {
         OptionData options = store().GetOptionData();
         options.HelperRequirementActive = 0;
         store().UpdateOptionData(options);
       },
       60, 0},
      {"required only in the other direction",
       [&] {
         BlockData block = store().GetBlockData(11);
         block.HelperRequired[1][0] = 0;
         block.HelperRequired[0][0] = 1;
         store().UpdateBlockData(11, block);
       },
       60, 0},
      {"helper coupled behind", [&] { Couple({3}); }, 60, 0},
      {"coupled train is no helper", [&] { Couple({0}); }, 0, 1},
      {"helper further down the chain",
       [&] {
         Couple({0, 3});
       },
       60, 0},
      {"coupled train of an invalid type", [&] { Couple({77}); }, 0, 1},
      {"chain that loops back",
       [&] {
         Couple({0});
         TrainStatus coupled = store().GetTrainStatus(8);
         coupled.MergeNext = 8;
         store().UpdateTrainStatus(8, coupled, 1);
       },
       0, 1},
      {"split partner is a helper", [&] { SplitPartner(3); }, 60, 0},
      {"split partner is no helper", [&] { SplitPartner(0); }, 0, 1},
  };
  for (const auto& c : cases) {
    Build();
    OptionData options = store().GetOptionData();
    options.HelperRequirementActive = 1;
    store().UpdateOptionData(options);
    BlockData block = store().GetBlockData(11);
    block.HelperRequired[1][0] = 1;
    store().UpdateBlockData(11, block);
    c.Setup();
    const PathCheckResult r = Check({10, 11, 13, 20});
    EXPECT_EQ(+r.AllowedSpeed, c.Allowed) << c.Name;
    EXPECT_EQ(+r.WaitingForHelper, c.Waiting) << c.Name;
    EXPECT_EQ(+r.NominalSpeed, 60) << c.Name;
  }
}

TEST_F(PathCheckTest, EntryFlagsChooseWhereCountingStarts) {
  // Entry 0 not tested: it is the next block but the count starts behind it.
  PathCheckResult r = Check({11, 13, 20}, 0, 0, 0);
  EXPECT_EQ(+r.NextBlock, 11);
  EXPECT_EQ(+r.StopBlock, 13);
  EXPECT_EQ(+r.AllowedSpeed, 40);
  // Entry 0 tested like the others.
  r = Check({11, 13, 20}, 0, 1, 0);
  EXPECT_EQ(+r.StopBlock, 11);
  EXPECT_EQ(+r.AllowedSpeed, 60);
  // Seeded with the train's own block (as a restart does): it counts as one
  // cleared block and its own tables apply.
  r = Check({10, 11, 13}, 1, 1, 1);
  EXPECT_EQ(+r.StopBlock, 10);
  EXPECT_EQ(+r.NextBlock, 10);
  EXPECT_EQ(+r.AllowedSpeed, 62);
  SetOccupancy(11, 0);
  r = Check({10, 11, 13}, 1, 1, 1);
  EXPECT_EQ(+r.AllowedSpeed, 22);
  EXPECT_EQ(+r.RouteCleared, 1);
}

TEST_F(PathCheckTest, ScanNeverLooksBeyondEntry49) {
  TrainStationTime times = store().GetTrainStationTime(kTrain);
  times.Times[0] = 600;
  store().UpdateTrainStationTime(kTrain, times);
  for (int platformEntry : {49, 50}) {
    std::vector<int32_t> ids(60, 13), dirs(60, 1);
    ids[0] = 10;
    ids[platformEntry] = 12;
    PathCheckResult r;
    engine.CheckPathAhead(r, kTrain, ids, dirs, 1, 1, 0);
    EXPECT_EQ(+r.PlatformDistance, platformEntry == 49 ? 49 : -1) << platformEntry;
  }
}

TEST_F(PathCheckTest, NextBlockDirectionSelectsTheTables) {
  SetOccupancy(11, 2);
  SetOccupancy(13, 2);
  std::vector<int32_t> ids{10, 11, 13}, dirs{0, 0, 0};
  ids.resize(kPathEntries, -1);
  dirs.resize(kPathEntries, -1);
  PathCheckResult r;
  engine.CheckPathAhead(r, kTrain, ids, dirs, 1, 1, 0);
  EXPECT_EQ(+r.NextBlockDirection, 0);
  EXPECT_EQ(+r.AllowedSpeed, 41);
}

}  // namespace

namespace {

//   x:  0     5    10    15    20
//   y=4   ==B0== ==B1== ==B2==        a train stands in B0 heading right
class RestartSpeedTest : public StoreFixture {
 protected:
  RestartSpeedTest() {
    territory::TerritoryBuilder t(store());
    const int b0 = t.Block({.Name = "B0", .From = {1, 4}, .To = {5, 4}});
    const int b1 = t.Block({.Name = "B1", .From = {6, 4}, .To = {10, 4}});
    const int b2 = t.Block({.Name = "B2", .From = {11, 4}, .To = {15, 4}});
    t.Link(b0, b1);
    t.Link(b1, b2);
    t.TrainType("Freight");
    t.Finish();
    store().InitSimulationStatus();
    TerritoryOptions territory = store().GetTerritoryOptions();
    territory.Units = 1;
    store().UpdateTerritoryOptions(territory);
    BlockData block = store().GetBlockData(0);
    block.SpeedOneClear[1][0] = 20;
    block.SpeedTwoClear[1][0] = 40;
    block.SpeedMax[1][0] = 60;
    store().UpdateBlockData(0, block);

    TrainStatus train = store().GetTrainStatus(kTrain);
    train.InUse = 1;
    train.TrainIndex = -1;
    train.MergePrevious = train.MergeNext = -1;
    train.HeadBlock = 0;
    train.HeadDirection = 1;
    train.SpeedCap = -1;
    train.PerformancePercent = 100;
    store().UpdateTrainStatus(kTrain, train, 1);
  }
  void SetCode(int block, int16_t code) {
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = code;
    store().UpdateBlockStatus(block, status);
  }

  static constexpr int kTrain = 3;
  Engine engine{store()};
};

TEST_F(RestartSpeedTest, TracesAheadOfTheHeadAndCountsItsOwnBlock) {
  EXPECT_EQ(engine.RestartSpeed(kTrain), 20);  // nothing cleared ahead: its own block counts
  SetCode(1, 1);
  EXPECT_EQ(engine.RestartSpeed(kTrain), 40);
  SetCode(2, 1);
  EXPECT_EQ(engine.RestartSpeed(kTrain), 60);
  SetCode(1, 2);  // cleared for the other direction
  EXPECT_EQ(engine.RestartSpeed(kTrain), 20);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(RestartSpeedTest, FallsBackToTheSpeedBeforeTheStopThenToRestrictedSpeed) {
  BlockData block = store().GetBlockData(0);
  block.SpeedOneClear[1][0] = 0;  // the train may not go on
  store().UpdateBlockData(0, block);
  TrainStatus train = store().GetTrainStatus(kTrain);
  train.SpeedBeforeStop = 25;
  store().UpdateTrainStatus(kTrain, train);
  EXPECT_EQ(engine.RestartSpeed(kTrain), 25);

  train.SpeedBeforeStop = 0;
  store().UpdateTrainStatus(kTrain, train);
  EXPECT_EQ(engine.RestartSpeed(kTrain), 10);
  TerritoryOptions territory = store().GetTerritoryOptions();
  territory.Units = 0;
  store().UpdateTerritoryOptions(territory);
  EXPECT_EQ(engine.RestartSpeed(kTrain), 16);
}

}  // namespace
