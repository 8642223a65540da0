// Times of day and CLOCK across midnight on the simulated clock.
#include "runtime/support/times.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "runtime/support/dates.h"

namespace vaultrix::support {
namespace {

TEST(Times, MidnightIsOneAndTheLastHundredthIsTheDayLength) {
  EXPECT_EQ(MakeTime(0, 0, 0, 0), 1);
  EXPECT_EQ(MakeTime(23, 59, 59, 99), 8'640'000);
  EXPECT_EQ(MakeTime(12, 0), 4'320'001);
  EXPECT_EQ(MakeTime(1, 2, 3, 4), ((62 * 60) + 3) * 100 + 4 + 1);
  EXPECT_EQ(TimeToParts(1), (TimeParts{0, 0, 0, 0}));
  EXPECT_EQ(TimeToParts(8'640'000), (TimeParts{23, 59, 59, 99}));
}

TEST(Times, OutOfRangePartsAndValuesAreRefused) {
  EXPECT_EQ(MakeTime(24, 0, 0, 0), kInvalidTime);
  EXPECT_EQ(MakeTime(12, 60, 0, 0), kInvalidTime);
  EXPECT_EQ(MakeTime(12, 0, 60, 0), kInvalidTime);
  EXPECT_EQ(MakeTime(12, 0, 0, 100), kInvalidTime);
  EXPECT_EQ(MakeTime(-1, 0, 0, 0), kInvalidTime);
  EXPECT_FALSE(TimeToParts(0));
  EXPECT_FALSE(TimeToParts(-1));
  EXPECT_FALSE(TimeToParts(8'640'001));
}

TEST(Times, PartsRoundTrip) {
  for (std::int32_t time = kFirstTime; time <= kLastTime; time += 997) {
    const auto parts = TimeToParts(time);
    ASSERT_TRUE(parts);
    ASSERT_EQ(MakeTime(*parts), time);
  }
}

TEST(Times, ClockWrapsAtMidnightWhileTodayMovesOn) {
  platform::SimulatedClock clock({2026, 12, 31, 23, 59, 59, 985});
  platform::ScopedCurrentClock use(clock);
  EXPECT_EQ(CLOCK(), 8'640'000 - 1) << "985 ms reads as 98 hundredths";
  clock.Advance(5);
  EXPECT_EQ(CLOCK(), 8'640'000);
  const std::int32_t before = TODAY();
  clock.Advance(10);
  EXPECT_EQ(CLOCK(), 1);
  EXPECT_EQ(TODAY(), before + 1);
  EXPECT_EQ(YEAR(TODAY()), 2027);
  EXPECT_EQ(CLOCK(), 1) << "the simulated clock stands still until told";
  clock.Advance(30'000);
  EXPECT_EQ(CLOCK(), 3001);
}

}  // namespace
}  // namespace vaultrix::support
