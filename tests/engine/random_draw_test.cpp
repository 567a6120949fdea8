#include "engine/random_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace gw {
namespace {

TEST(RandomInRange, ClampsNegativeBoundsAndSwapsReversedOnes) {
  RandomSource random(3);
  EXPECT_EQ(RandomInRange(random, 4, 4), 4);
  EXPECT_EQ(RandomInRange(random, -5, 0), 0);
  for (int i = 0; i < 500; ++i) {
    const int value = RandomInRange(random, 9, 2);
    EXPECT_GE(value, 2);
    EXPECT_LE(value, 9);
  }
  std::vector<int> seen(8, 0);
  for (int i = 0; i < 8000; ++i) {
    ++seen[RandomInRange(random, 0, 7)];
  }
  for (int count : seen) {
    EXPECT_GT(count, 800);  // every value comes up, roughly evenly
  }
}

TEST(NonRepeatingDraw, APoolOfOneToCountIsAPermutation) {
  RandomSource random(11);
  NonRepeatingDraw draw(random);
  std::vector<int> drawn;
  for (int i = 0; i < 100000; ++i) {
    drawn.push_back(draw.Next(1, 100000));
  }
  EXPECT_TRUE(draw.empty());
  EXPECT_FALSE(std::is_sorted(drawn.begin(), drawn.end()));
  std::sort(drawn.begin(), drawn.end());
  std::vector<int> expected(100000);
  std::iota(expected.begin(), expected.end(), 1);
  EXPECT_EQ(drawn, expected);
}

TEST(NonRepeatingDraw, ANonEmptyPoolIsNotRefilledWhateverRangeIsPassed) {
  RandomSource random(5);
  NonRepeatingDraw draw(random);
  std::vector<int> drawn{draw.Next(1, 3)};
  drawn.push_back(draw.Next(50, 60));
  drawn.push_back(draw.Next(50, 60));
  std::sort(drawn.begin(), drawn.end());
  EXPECT_EQ(drawn, (std::vector<int>{1, 2, 3}));
  const int refilled = draw.Next(50, 51);
  EXPECT_TRUE(refilled == 50 || refilled == 51);
}

TEST(RandomSource, TheSameSeedGivesTheSameDraws) {
  RandomSource first(42);
  RandomSource second(42);
  NonRepeatingDraw a(first);
  NonRepeatingDraw b(second);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(a.Next(1, 20), b.Next(1, 20));
  }
}

}  // namespace
}  // namespace gw
