// Day numbers and calendar dates, the normalising DATE rules, the
// two-digit-year window and TODAY on the simulated clock.
#include "runtime/support/dates.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace vaultrix::support {
namespace {

TEST(Dates, DayNumbersStartOnSunday28December1800) {
  EXPECT_EQ(CivilToDate(1801, 1, 1), 4);
  EXPECT_EQ(Weekday(4), 4) << "1 January 1801 was a Thursday";
  EXPECT_EQ(DateToCivil(0), (CivilDate{1800, 12, 28}));
  EXPECT_EQ(Weekday(0), 0);
  EXPECT_EQ(CivilToDate(9999, 12, 31), kLastDate);
  EXPECT_EQ(DateToCivil(kLastDate), (CivilDate{9999, 12, 31}));
}

TEST(Dates, WeekdaysOfKnownDates) {
  EXPECT_EQ(Weekday(CivilToDate(2000, 1, 1)), 6);    // Saturday
  EXPECT_EQ(Weekday(CivilToDate(1969, 7, 20)), 0);   // Sunday
  EXPECT_EQ(Weekday(CivilToDate(1996, 7, 4)), 4);    // Thursday
  EXPECT_EQ(Weekday(CivilToDate(2026, 12, 7)), 1);   // Monday
  EXPECT_EQ(Weekday(CivilToDate(9999, 12, 31)), 5);  // Friday
  EXPECT_EQ(Weekday(-1), -1);
}

TEST(Dates, GregorianLeapYears) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_FALSE(IsLeapYear(1800));
  EXPECT_EQ(CivilToDate(1900, 2, 29), kInvalidDate);
  EXPECT_EQ(CivilToDate(2000, 2, 29) + 1, CivilToDate(2000, 3, 1));
  EXPECT_EQ(CivilToDate(1900, 3, 1) - CivilToDate(1900, 2, 28), 1);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2001, 13), 0);
}

TEST(Dates, StrictBuildingRefusesImpossibleDates) {
  EXPECT_EQ(CivilToDate(2001, 2, 29), kInvalidDate);
  EXPECT_EQ(CivilToDate(2001, 4, 31), kInvalidDate);
  EXPECT_EQ(CivilToDate(2001, 0, 1), kInvalidDate);
  EXPECT_EQ(CivilToDate(2001, 13, 1), kInvalidDate);
  EXPECT_EQ(CivilToDate(2001, 1, 0), kInvalidDate);
  EXPECT_EQ(CivilToDate(1800, 12, 31), kInvalidDate);
  EXPECT_EQ(CivilToDate(10000, 1, 1), kInvalidDate);
  EXPECT_FALSE(DateToCivil(-1));
  EXPECT_FALSE(DateToCivil(kLastDate + 1));
  EXPECT_EQ(DAY(-5), -1);
  EXPECT_EQ(MONTH(kLastDate + 1), -1);
  EXPECT_EQ(YEAR(-1), -1);
}

TEST(Dates, EveryDayRoundTripsAndFollowsTheDayBefore) {
  CivilDate previous{1800, 12, 31};
  for (std::int32_t date = kFirstDate; date <= kLastDate; ++date) {
    const auto civil = DateToCivil(date);
    ASSERT_TRUE(civil) << date;
    const bool next_in_month = civil->year == previous.year && civil->month == previous.month &&
                               civil->day == previous.day + 1;
    const bool first_of_next =
        civil->day == 1 && previous.day == DaysInMonth(previous.year, previous.month) &&
        ((civil->month == previous.month + 1 && civil->year == previous.year) ||
         (civil->month == 1 && previous.month == 12 && civil->year == previous.year + 1));
    ASSERT_TRUE(next_in_month || first_of_next) << date;
    ASSERT_EQ(CivilToDate(*civil), date);
    previous = *civil;
  }
}

TEST(Dates, PartsOfADate) {
  const std::int32_t date = CivilToDate(1996, 7, 4);
  EXPECT_EQ(DAY(date), 4);
  EXPECT_EQ(MONTH(date), 7);
  EXPECT_EQ(YEAR(date), 1996);
  EXPECT_EQ(DAY(0), 28);
}

TEST(Dates, MakeDateCarriesMonthsIntoYearsAndDaysIntoMonths) {
  EXPECT_EQ(MakeDate(2000, 13, 1), CivilToDate(2001, 1, 1));
  EXPECT_EQ(MakeDate(2000, 0, 1), CivilToDate(1999, 12, 1));
  EXPECT_EQ(MakeDate(2000, -1, 15), CivilToDate(1999, 11, 15));
  EXPECT_EQ(MakeDate(2000, 25, 1), CivilToDate(2002, 1, 1));
  EXPECT_EQ(MakeDate(2000, 3, 0), CivilToDate(2000, 2, 29));
  EXPECT_EQ(MakeDate(2001, 3, 0), CivilToDate(2001, 2, 28));
  EXPECT_EQ(MakeDate(2000, 1, 32), CivilToDate(2000, 2, 1));
  EXPECT_EQ(MakeDate(2000, 1, -1), CivilToDate(1999, 12, 30));
  EXPECT_EQ(MakeDate(2000, 1, 367), CivilToDate(2001, 1, 1));
  EXPECT_EQ(MakeDate(2001, 2, 29), CivilToDate(2001, 3, 1));
  EXPECT_EQ(MakeDate(1801, 1, 1), 4);
  EXPECT_EQ(MakeDate(1801, 1, 0), kInvalidDate);
  EXPECT_EQ(MakeDate(9999, 12, 32), kInvalidDate);
  EXPECT_EQ(MakeDate(2000, 2000000000, 1), kInvalidDate);
  EXPECT_EQ(MakeDate(-2000000000, 1, 1), kInvalidDate);
}

TEST(Dates, TwoDigitYearsFallInTheWindow) {
  // Default window around 2026: 1946 to 2045.
  EXPECT_EQ(PlaceTwoDigitYear(45, 80, 2026), 2045);
  EXPECT_EQ(PlaceTwoDigitYear(46, 80, 2026), 1946);
  EXPECT_EQ(PlaceTwoDigitYear(0, 80, 2026), 2000);
  EXPECT_EQ(PlaceTwoDigitYear(99, 80, 2026), 1999);
  EXPECT_EQ(PlaceTwoDigitYear(26, 80, 2026), 2026);
  // "<50": from 50 years before (1976 to 2075).
  EXPECT_EQ(PlaceTwoDigitYear(75, 50, 2026), 2075);
  EXPECT_EQ(PlaceTwoDigitYear(76, 50, 2026), 1976);
  // ">10" stores 89: up to 10 years after (1937 to 2036).
  EXPECT_EQ(PlaceTwoDigitYear(36, 89, 2026), 2036);
  EXPECT_EQ(PlaceTwoDigitYear(37, 89, 2026), 1937);
  EXPECT_EQ(PlaceTwoDigitYear(37, 0, 2026), 2037) << "pivot 0: the window starts this year";
  EXPECT_EQ(PlaceTwoDigitYear(45, 150, 2026), 2045) << "an impossible pivot means 80";
  EXPECT_EQ(PlaceTwoDigitYear(1996, 80, 2026), 1996);
}

TEST(Dates, TodayAndTheWindowReadThePlatformClock) {
  platform::SimulatedClock clock({2026, 12, 7, 23, 59, 59, 999});
  platform::ScopedCurrentClock use(clock);
  EXPECT_EQ(TODAY(), CivilToDate(2026, 12, 7));
  clock.Advance(1);
  EXPECT_EQ(TODAY(), CivilToDate(2026, 12, 8));
  EXPECT_EQ(PlaceTwoDigitYear(45), 2045);
  clock.SetLocal({2030, 1, 1, 0, 0, 0, 0});
  EXPECT_EQ(PlaceTwoDigitYear(49), 2049);
  EXPECT_EQ(PlaceTwoDigitYear(50), 1950);
}

TEST(Dates, AgesCountCompletedYearsAndMonths) {
  const std::int32_t leap_birth = CivilToDate(2000, 2, 29);
  EXPECT_EQ(AgeInYears(leap_birth, CivilToDate(2001, 2, 28)), 0);
  EXPECT_EQ(AgeInYears(leap_birth, CivilToDate(2001, 3, 1)), 1);
  EXPECT_EQ(AgeInYears(leap_birth, CivilToDate(2004, 2, 29)), 4);
  EXPECT_EQ(AgeInYears(leap_birth, leap_birth), 0);
  EXPECT_EQ(AgeInYears(leap_birth, leap_birth - 1), -1);
  EXPECT_EQ(AgeInYears(-1, leap_birth), -1);
  const std::int32_t month_end = CivilToDate(2000, 1, 31);
  EXPECT_EQ(AgeInMonths(month_end, CivilToDate(2000, 2, 28)), 0);
  EXPECT_EQ(AgeInMonths(month_end, CivilToDate(2000, 2, 29)), 1);
  EXPECT_EQ(AgeInMonths(month_end, CivilToDate(2001, 1, 30)), 11);
  EXPECT_EQ(AgeInMonths(month_end, CivilToDate(2001, 1, 31)), 12);
}

}  // namespace
}  // namespace vaultrix::support

namespace vaultrix::support {
namespace {

// Dates converted while static objects are being built must already be right.
const std::int32_t kDateDuringStaticInitialisation = CivilToDate(1996, 7, 4);

TEST(DatesStaticInitialisationTest, ConvertsCorrectlyBeforeMainRuns) {
  EXPECT_EQ(kDateDuringStaticInitialisation, CivilToDate(1996, 7, 4));
  EXPECT_EQ(kDateDuringStaticInitialisation - CivilToDate(1801, 1, 1),
            static_cast<std::int32_t>(platform::DaysFromCivil(1996, 7, 4) -
                                      platform::DaysFromCivil(1801, 1, 1)));
  EXPECT_EQ(CivilToDate(1801, 1, 1), 4);
}

}  // namespace
}  // namespace vaultrix::support
