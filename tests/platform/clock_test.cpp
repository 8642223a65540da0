// The platform clock: the simulated clock moves only when told, the current
// clock can be swapped, and the calendar arithmetic holds across months,
// years and leap days.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace vaultrix::platform {
namespace {

TEST(SimulatedClock, StartsAtTheGivenTimeAndStandsStill) {
  const LocalDateTime start{2026, 12, 7, 20, 15, 30, 250};
  SimulatedClock clock(start);
  EXPECT_EQ(clock.NowLocal(), start);
  EXPECT_EQ(clock.SteadyMilliseconds(), 0);
  const std::int64_t wall = clock.NowMilliseconds();
  EXPECT_EQ(clock.NowMilliseconds(), wall);
  EXPECT_EQ(clock.NowLocal(), start);
}

TEST(SimulatedClock, AdvanceMovesWallAndSteadyTime) {
  SimulatedClock clock({2024, 2, 28, 23, 59, 59, 999});
  clock.Advance(1);
  EXPECT_EQ(clock.NowLocal(), (LocalDateTime{2024, 2, 29, 0, 0, 0, 0}));
  clock.Advance(86'400'000);
  EXPECT_EQ(clock.NowLocal(), (LocalDateTime{2024, 3, 1, 0, 0, 0, 0}));
  EXPECT_EQ(clock.SteadyMilliseconds(), 86'400'001);
  clock.Advance(-5000);
  EXPECT_EQ(clock.SteadyMilliseconds(), 86'400'001) << "never backwards";
}

TEST(SimulatedClock, CrossesTheYearEnd) {
  SimulatedClock clock({2023, 12, 31, 23, 59, 59, 500});
  clock.Advance(500);
  EXPECT_EQ(clock.NowLocal(), (LocalDateTime{2024, 1, 1, 0, 0, 0, 0}));
}

TEST(SimulatedClock, SetLocalJumpsWallTimeButNotSteadyTime) {
  SimulatedClock clock({2026, 1, 1, 12, 0, 0, 0});
  clock.Advance(1000);
  clock.SetLocal({2020, 6, 15, 8, 30, 0, 0});
  EXPECT_EQ(clock.NowLocal(), (LocalDateTime{2020, 6, 15, 8, 30, 0, 0}));
  EXPECT_EQ(clock.SteadyMilliseconds(), 1000);
}

TEST(SimulatedClock, StartTimeIsNormalised) {
  SimulatedClock clock({2023, 1, 32, 0, 0, 0, 0});
  EXPECT_EQ(clock.NowLocal(), (LocalDateTime{2023, 2, 1, 0, 0, 0, 0}));
}

TEST(CurrentClock, CanBeSwappedAndRestored) {
  Clock* system = &CurrentClock();
  {
    SimulatedClock clock({2030, 5, 5, 5, 5, 5, 5});
    ScopedCurrentClock use(clock);
    EXPECT_EQ(&CurrentClock(), &clock);
    EXPECT_EQ(CurrentClock().NowLocal().year, 2030);
  }
  EXPECT_EQ(&CurrentClock(), system);
  SimulatedClock other({2031, 1, 1, 0, 0, 0, 0});
  EXPECT_EQ(SetCurrentClock(&other), system);
  EXPECT_EQ(SetCurrentClock(nullptr), &other);
  EXPECT_EQ(&CurrentClock(), system);
}

TEST(SystemClock, LocalTimeFollowsTheTimeZone) {
  ASSERT_EQ(setenv("TZ", "UTC", 1), 0);
  tzset();
  SystemClock clock;
  const std::int64_t before = clock.NowMilliseconds();
  const std::int64_t local = MillisecondsFromLocal(clock.NowLocal());
  const std::int64_t after = clock.NowMilliseconds();
  EXPECT_GE(local, before - 1000);
  EXPECT_LE(local, after + 1000);
  EXPECT_GT(before, MillisecondsFromLocal({2020, 1, 1, 0, 0, 0, 0}));
  EXPECT_GE(clock.SteadyMilliseconds(), 0);
}

TEST(Calendar, DaysAndMillisecondsConvertBothWays) {
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
  EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
  EXPECT_EQ(DaysFromCivil(1970, 13, 1), 365) << "month 13 runs into the next year";
  EXPECT_EQ(DaysFromCivil(1970, 0, 1), -31) << "month 0 is the December before";
  EXPECT_EQ(LocalFromMilliseconds(-1), (LocalDateTime{1969, 12, 31, 23, 59, 59, 999}));
  for (std::int64_t ms : {0LL, 951'782'400'000LL, -5'364'662'400'000LL, 253'402'300'799'999LL}) {
    EXPECT_EQ(MillisecondsFromLocal(LocalFromMilliseconds(ms)), ms);
  }
}

}  // namespace
}  // namespace vaultrix::platform
