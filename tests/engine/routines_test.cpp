#include <gtest/gtest.h>

#include <array>

#include "engine/engine.h"
#include "tests/support/store_fixture.h"

namespace {

class RoutinesTest : public StoreFixture {
 protected:
  Engine engine{store()};
};

int BandOf(int32_t result) { return static_cast<int>(static_cast<uint32_t>(result) >> 16); }
int ValueOf(int32_t result) { return static_cast<int>(static_cast<uint32_t>(result) & 0xFFFF); }

// The band a value below 1000 belongs to: below 500, 750, 875, 937, 968, 983, 990, 993, 994, 994.
int ExpectedBand1000(int value) {
  const int limits[] = {500, 750, 875, 937, 968, 983, 990, 993, 994, 994};
  for (int k = 0; k < 10; ++k)
    if (value < limits[k]) return k;
  return 10;
}

TEST_F(RoutinesTest, HalvingBandsOfAThousand) {
  engine.Random().Seed(12345);
  std::array<int, 11> seen{};
  for (int i = 0; i < 20000; ++i) {
    const int32_t result = engine.RandomHalvingIndex(1000);
    const int value = ValueOf(result);
    ASSERT_LT(value, 1000);
    ASSERT_EQ(BandOf(result), ExpectedBand1000(value)) << value;
    ++seen[BandOf(result)];
  }
  // Halving chances: about half in band 0, a quarter in band 1, ...; values 994-999 fall beyond.
  EXPECT_NEAR(seen[0], 10000, 400);
  EXPECT_NEAR(seen[1], 5000, 300);
  EXPECT_NEAR(seen[2], 2500, 250);
  EXPECT_GT(seen[10], 0);
}

TEST_F(RoutinesTest, HalvingIndexOfNothingIsValueZeroBandTen) {
  for (const int n : {0, -5}) {
    EXPECT_EQ(ValueOf(engine.RandomHalvingIndex(n)), 0);
    EXPECT_EQ(BandOf(engine.RandomHalvingIndex(n)), 10);
  }
  EXPECT_EQ(engine.RandomHalvingIndex(1), 10 << 16);  // value 0 is below no sum of halves of 1
}

TEST_F(RoutinesTest, PauseFlagShowsStopAndRunUnlessTheRunIsStopped) {
  store().Run.SimStopped = 0;
  engine.SetStopStatus();
  EXPECT_EQ(store().Run.SimPaused, 1);
  EXPECT_EQ(shell.StatusTexts.back(), std::make_pair(StatusPane::RunState, std::string("Stop")));
  engine.ClearStopStatus();
  EXPECT_EQ(store().Run.SimPaused, 0);
  EXPECT_EQ(shell.StatusTexts.back(), std::make_pair(StatusPane::RunState, std::string("Run")));

  store().Run.SimStopped = 1;
  engine.SetStopStatus();
  const size_t shown = shell.StatusTexts.size();
  engine.ClearStopStatus();
  EXPECT_EQ(store().Run.SimPaused, 0);
  EXPECT_EQ(shell.StatusTexts.size(), shown);  // the pane keeps "Stop"
  EXPECT_EQ(shell.StatusTexts.back().second, "Stop");
}

}  // namespace
