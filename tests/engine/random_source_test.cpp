#include "engine/random_source.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Reseeding hands back the kept state of a seed seen before: the draws must be those of a
// generator freshly seeded, whatever was drawn in between and whichever seed came last.
TEST(RandomSourceTest, ReseedingDrawsAsAFreshlySeededGenerator) {
  RandomSource source;
  const struct {
    uint32_t seed;
    int draws;
  } steps[] = {{7, 3}, {7, 1}, {9, 700}, {7, 0}, {7, 5}, {9, 2}, {9, 1000}};
  for (const auto& step : steps) {
    source.Seed(step.seed);
    std::mt19937 fresh(step.seed);
    for (int i = 0; i < step.draws; ++i)
      ASSERT_EQ(source.Next(1000003), static_cast<int>(fresh() % 1000003u)) << step.seed << " draw " << i;
  }
}

TEST(RandomSourceTest, ScriptedDrawsComeFirstAndKeepTheSeededOrder) {
  RandomSource source;
  source.Script({5, -1});
  source.Seed(3);
  std::mt19937 fresh(3);
  EXPECT_EQ(source.Next(10), 5);
  EXPECT_EQ(source.Next(10), 9);
  EXPECT_EQ(source.Next(100), static_cast<int>(fresh() % 100u));
  EXPECT_EQ(source.Next(100), static_cast<int>(fresh() % 100u));
  EXPECT_EQ(source.Next(0), 0);
}

}  // namespace
