// Day numbers, calendar dates and the two-digit-year window.
#include "runtime/support/dates.h"

#include <algorithm>

#include "platform/clock.h"

namespace vaultrix::support {
namespace {

// Days from 1 January 1970 to day 0 (28 December 1800). A constant, not a
// computed static: dates are converted during other files' static
// initialisation too, before a computed value would be set.
constexpr std::int64_t kEpochOffset = -61730;

bool IsOnCalendar(std::int32_t date) {
  return date >= 0 && date <= kLastDate;
}

int FloorMod(int a, int b) {
  const int r = a % b;
  return r < 0 ? r + b : r;
}

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::int32_t CivilToDate(int year, int month, int day) {
  if (year < kFirstDateYear || year > kLastDateYear) return kInvalidDate;
  if (day < 1 || day > DaysInMonth(year, month)) return kInvalidDate;
  return static_cast<std::int32_t>(platform::DaysFromCivil(year, month, day) - kEpochOffset);
}

std::int32_t CivilToDate(const CivilDate& date) {
  return CivilToDate(date.year, date.month, date.day);
}

std::int32_t MakeDate(int year, int month, int day) {
  // Keep the arithmetic far from overflow: anything this far out is invalid.
  if (year < -100000 || year > 100000 || month < -1200000 || month > 1200000 || day < -40000000 ||
      day > 40000000) {
    return kInvalidDate;
  }
  // The month carries into the year and the day counts on from the first of
  // that month; the calendar arithmetic does both.
  const std::int64_t date = platform::DaysFromCivil(year, month, 1) + (day - 1) - kEpochOffset;
  if (date < kFirstDate || date > kLastDate) return kInvalidDate;
  return static_cast<std::int32_t>(date);
}

std::optional<CivilDate> DateToCivil(std::int32_t date) {
  if (!IsOnCalendar(date)) return std::nullopt;
  const platform::LocalDateTime local =
      platform::LocalFromMilliseconds((date + kEpochOffset) * 86'400'000);
  return CivilDate{local.year, local.month, local.day};
}

int Weekday(std::int32_t date) {
  return IsOnCalendar(date) ? date % 7 : -1;
}

int DAY(std::int32_t date) {
  const auto civil = DateToCivil(date);
  return civil ? civil->day : -1;
}

int MONTH(std::int32_t date) {
  const auto civil = DateToCivil(date);
  return civil ? civil->month : -1;
}

int YEAR(std::int32_t date) {
  const auto civil = DateToCivil(date);
  return civil ? civil->year : -1;
}

std::int32_t TODAY() {
  const platform::LocalDateTime now = platform::CurrentClock().NowLocal();
  return CivilToDate(now.year, now.month, now.day);
}

int PlaceTwoDigitYear(int two_digit_year, int pivot, int current_year) {
  if (two_digit_year < 0 || two_digit_year > 99) return two_digit_year;
  if (pivot < 0 || pivot > 99) pivot = kDefaultYearPivot;
  const int first = current_year - pivot;
  return first + FloorMod(two_digit_year - first, 100);
}

int PlaceTwoDigitYear(int two_digit_year, int pivot) {
  return PlaceTwoDigitYear(two_digit_year, pivot, platform::CurrentClock().NowLocal().year);
}

int AgeInMonths(std::int32_t birth, std::int32_t on) {
  const auto from = DateToCivil(birth);
  const auto to = DateToCivil(on);
  if (!from || !to || on < birth) return -1;
  int months = (to->year - from->year) * 12 + (to->month - from->month);
  // A month completes on the same day of the month, or on the month's last
  // day when it is shorter than the birth day.
  const int due_day = std::min(from->day, DaysInMonth(to->year, to->month));
  if (to->day < due_day) --months;
  return months;
}

int AgeInYears(std::int32_t birth, std::int32_t on) {
  const auto from = DateToCivil(birth);
  const auto to = DateToCivil(on);
  if (!from || !to || on < birth) return -1;
  int years = to->year - from->year;
  // 29 February completes in common years on 1 March.
  const bool before_birthday =
      to->month < from->month || (to->month == from->month && to->day < from->day);
  if (before_birthday) --years;
  return years;
}

}  // namespace vaultrix::support
