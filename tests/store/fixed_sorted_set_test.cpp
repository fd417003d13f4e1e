#include "store/fixed_sorted_set.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using Entry = std::pair<int, int>;

std::vector<Entry> Contents(const FixedSortedSet<Entry, 64>& set) { return {set.begin(), set.end()}; }

// Inserts and erases at random (values repeat often) against the standard set: the same answers, order
// and lookups after every step.
TEST(FixedSortedSetTest, KeepsTheOrderAndTheAnswersOfAnOrderedSet) {
  FixedSortedSet<Entry, 64> fixed;
  std::set<Entry> reference;
  std::mt19937 random(7);
  for (int step = 0; step < 5000; ++step) {
    const Entry value{static_cast<int>(random() % 12), static_cast<int>(random() % 8)};  // 96 values
    if (random() % 2 == 0) {
      const bool added = reference.size() < 64 && reference.insert(value).second;
      ASSERT_EQ(fixed.insert(value), added) << step;
    } else {
      ASSERT_EQ(fixed.erase(value), reference.erase(value) == 1) << step;
    }
    ASSERT_EQ(Contents(fixed), std::vector<Entry>(reference.begin(), reference.end())) << step;
    ASSERT_EQ(fixed.find(value) != fixed.end(), reference.count(value) == 1) << step;
    const auto bound = reference.lower_bound(value);
    ASSERT_EQ(fixed.lower_bound(value) - fixed.begin(), std::distance(reference.begin(), bound)) << step;
  }
}

TEST(FixedSortedSetTest, AFullSetTakesNoMore) {
  FixedSortedSet<int, 3> set;
  for (int value : {5, 1, 3}) ASSERT_TRUE(set.insert(value));
  EXPECT_FALSE(set.insert(2));
  EXPECT_EQ(std::vector<int>(set.begin(), set.end()), (std::vector<int>{1, 3, 5}));
  EXPECT_TRUE(set.erase(3));
  EXPECT_TRUE(set.insert(2));
  EXPECT_EQ(std::vector<int>(set.begin(), set.end()), (std::vector<int>{1, 2, 5}));
}

}  // namespace
