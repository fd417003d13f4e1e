#include <gtest/gtest.h>

#include "engine/engine.h"
#include "tests/support/store_fixture.h"

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
