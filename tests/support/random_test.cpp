// RANDOM: known answers of the additive lagged generator, seeding, ranges.
#include "runtime/support/random.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "platform/clock.h"

namespace vaultrix::support {
namespace {

// First in this file: nothing in this program has seeded the generator yet.
TEST(Random, UnseededProcessGeneratorActsAsSeededWithOne) {
  const std::array<int, 10> expected{24, 64, 40, 20, 57, 16, 19, 6, 70, 91};
  for (int value : expected) EXPECT_EQ(RANDOM(1, 100), value);
}

TEST(Random, FifteenBitValuesSeededWithOne) {
  RandomGenerator generator(1);
  EXPECT_EQ(generator.Next15(), 10317U);
  EXPECT_EQ(generator.Next15(), 14361U);
  EXPECT_EQ(generator.Next15(), 17551U);
  EXPECT_EQ(generator.Next15(), 21084U);
}

TEST(Random, KnownAnswersOfRandom) {
  RandomGenerator one(1);
  for (int value : {24, 64, 40, 20, 57, 16, 19, 6, 70, 91}) EXPECT_EQ(one.Random(1, 100), value);
  RandomGenerator other(12345);
  for (int value : {22, 58, 55, 86, 54, 94, 52, 36, 86, 41}) EXPECT_EQ(other.Random(1, 100), value);
  SeedRandom(12345);
  for (int value : {22, 58, 55, 86, 54, 94, 52, 36, 86, 41}) EXPECT_EQ(RANDOM(1, 100), value);
}

TEST(Random, ReseedingRestartsTheSequence) {
  RandomGenerator generator(99);
  const std::uint32_t first = generator.Next15();
  for (int i = 0; i < 200; ++i) (void)generator.Next15();  // past a full turn of the table
  generator.Seed(99);
  EXPECT_EQ(generator.Next15(), first);
}

TEST(Random, EqualBoundsAnswerAtOnceWithoutDrawing) {
  RandomGenerator drawn(1);
  RandomGenerator reference(1);
  EXPECT_EQ(drawn.Random(7, 7), 7);
  EXPECT_EQ(drawn.Random(1, 100), reference.Random(1, 100));
}

TEST(Random, ReversedBoundsAreTakenTheOtherWayRound) {
  RandomGenerator reversed(5);
  RandomGenerator ordered(5);
  for (int i = 0; i < 100; ++i) {
    const int value = reversed.Random(10, 1);
    EXPECT_GE(value, 1);
    EXPECT_LE(value, 10);
    EXPECT_EQ(value, ordered.Random(1, 10));
  }
}

TEST(Random, WideRangesStayInBoundsAndSmallOnesReachEveryValue) {
  RandomGenerator generator(3);
  std::array<int, 6> seen{};
  for (int i = 0; i < 600; ++i) ++seen[static_cast<std::size_t>(generator.Random(1, 6) - 1)];
  for (int count : seen) EXPECT_GT(count, 0);
  for (int i = 0; i < 100; ++i) {
    const int value = generator.Random(-5, 5);
    EXPECT_GE(value, -5);
    EXPECT_LE(value, 5);
    (void)generator.Random(INT_MIN, INT_MAX);  // the span wraps to 0: must not divide by it
    const int high = generator.Random(INT_MAX - 2, INT_MAX);
    EXPECT_GE(high, INT_MAX - 2);
  }
}

TEST(Random, StartUpSeedIsDateAndTimeInSeconds) {
  platform::SimulatedClock clock({1801, 1, 2, 1, 0, 10, 500});
  platform::ScopedCurrentClock use(clock);
  EXPECT_EQ(ClockSeedSeconds(), 5U * 86400U + 3600U + 10U);
  SeedRandomFromClock();
  RandomGenerator reference(ClockSeedSeconds());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(RANDOM(1, 1000), reference.Random(1, 1000));
}

}  // namespace
}  // namespace vaultrix::support
