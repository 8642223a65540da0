// Dates: a date is a LONG day number. Day 0 is Sunday 28 December 1800, so
// 1 January 1801 is day 4 and the day number modulo 7 is the weekday (0 for
// Sunday). The calendar is the Gregorian one throughout. -1 is the invalid
// date.
//
// Dates are built for the years 1801 to 9999 (day 4 to kLastDate). Day
// numbers 0 to 3, the last days of 1800, still convert back to their
// calendar date, so any non-negative day number up to kLastDate has one.
//
// Building from parts (MakeDate) normalises as users of a DATE function
// expect:
//   - a month outside 1..12 carries into the year: month 13 of 2000 is
//     January 2001, month 0 of 2000 is December 1999, month -1 November 1999;
//   - the day then counts from the first of that month: day 0 is the last day
//     of the month before, day 32 of January is 1 February, negative days go
//     further back;
//   - a result before 1 January 1801 or after 31 December 9999 is -1.
// CivilToDate is the strict form for typed or stored dates: any part out of
// range gives -1.
#pragma once

#include <cstdint>
#include <optional>

namespace vaultrix::support {

inline constexpr std::int32_t kInvalidDate = -1;
inline constexpr int kFirstDateYear = 1801;
inline constexpr int kLastDateYear = 9999;
inline constexpr std::int32_t kFirstDate = 4;       // 1 January 1801
inline constexpr std::int32_t kLastDate = 2994626;  // 31 December 9999
// The two-digit-year window starts this many years before the current year
// unless a picture says otherwise (window: pivot years before to 99 - pivot
// after).
inline constexpr int kDefaultYearPivot = 80;

struct CivilDate {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

[[nodiscard]] bool IsLeapYear(int year);
// 28 to 31; 0 for a month outside 1..12.
[[nodiscard]] int DaysInMonth(int year, int month);

// Strict: the day number of a real calendar date of 1801 to 9999, else -1.
[[nodiscard]] std::int32_t CivilToDate(int year, int month, int day);
[[nodiscard]] std::int32_t CivilToDate(const CivilDate& date);

// Normalising, as described above.
[[nodiscard]] std::int32_t MakeDate(int year, int month, int day);

// The calendar date of a day number from 0 to kLastDate; no value otherwise.
[[nodiscard]] std::optional<CivilDate> DateToCivil(std::int32_t date);

// 0 (Sunday) to 6 (Saturday); -1 for a day number without a calendar date.
[[nodiscard]] int Weekday(std::int32_t date);

// DAY, MONTH and YEAR of a day number; -1 for a day number without a
// calendar date.
[[nodiscard]] int DAY(std::int32_t date);
[[nodiscard]] int MONTH(std::int32_t date);
[[nodiscard]] int YEAR(std::int32_t date);

// Today's day number on the platform clock.
[[nodiscard]] std::int32_t TODAY();

// The full year of a two-digit year `two_digit_year` (0 to 99): the one year
// of the window from current_year - pivot to current_year - pivot + 99 that
// ends in those digits. A pivot outside 0..99 is taken as kDefaultYearPivot.
// A value outside 0..99 is already a full year and comes back unchanged.
[[nodiscard]] int PlaceTwoDigitYear(int two_digit_year, int pivot, int current_year);
// The same around the current year of the platform clock.
[[nodiscard]] int PlaceTwoDigitYear(int two_digit_year, int pivot = kDefaultYearPivot);

// Completed whole years from `birth` to `on` (a birthday on 29 February
// completes on 1 March in common years); -1 when either date is invalid or
// `on` is before `birth`.
[[nodiscard]] int AgeInYears(std::int32_t birth, std::int32_t on);
// Completed whole months, the same way; -1 as above.
[[nodiscard]] int AgeInMonths(std::int32_t birth, std::int32_t on);

}  // namespace vaultrix::support
