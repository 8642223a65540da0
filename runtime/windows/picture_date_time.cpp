// Formatting and reading of date ("D") and time ("T") pictures. Both walk the template in runs
// of one token (the two month digits, the nine letters of a month name, ...), so any layout,
// the ones translated from the "intl" settings included, is handled by the same code.
#include <cstring>

#include "runtime/support/dates.h"
#include "runtime/support/locale.h"
#include "runtime/support/times.h"
#include "runtime/windows/picture.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows::picture_detail {
namespace {

std::size_t RunLength(const Picture& picture, std::size_t start) {
  std::size_t end = start + 1;
  while (end < picture.length && picture.pairs[end].token == picture.pairs[start].token) ++end;
  return end - start;
}

// Digits of `value` right-aligned over the run; a leading zero shows the place's fill.
void WriteDigits(int value, const Picture& picture, std::size_t start, std::size_t count,
                 PictureText& out) {
  for (std::size_t i = start + count; i-- > start;) {
    bool last = i + 1 == start + count;
    out.chars[i] = value > 0 || last ? static_cast<char>('0' + value % 10) : picture.pairs[i].fill;
    value /= 10;
  }
}

void WriteName(std::string_view name, std::size_t start, std::size_t count, PictureText& out) {
  for (std::size_t i = 0; i < count; ++i) out.chars[start + i] = i < name.size() ? name[i] : ' ';
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}

char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// True when `typed` is `name`, or a start of it of at least `least` letters, ignoring case.
bool MatchesName(std::string_view typed, std::string_view name, std::size_t least) {
  if (typed.empty() || typed.size() > name.size()) return false;
  if (typed.size() < name.size() && typed.size() < least) return false;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    if (FoldAscii(typed[i]) != FoldAscii(name[i])) return false;
  }
  return true;
}

// The typed text cut into runs of digits and runs of letters.
struct Run {
  std::string_view text;
  bool digits = false;
};
// A date or time has a handful of fields; more runs than this cannot be one.
constexpr std::size_t kMaxRuns = 8;
struct Runs {
  Run runs[kMaxRuns];
  std::size_t count = 0;
  bool separated = false;  // anything but digits and letters was typed between runs
  bool too_many = false;
};

void SplitRuns(std::string_view text, Runs& runs) {
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    bool digit = IsDigit(c);
    if (!digit && !IsLetter(c)) {
      if (runs.count > 0) runs.separated = true;
      ++i;
      continue;
    }
    std::size_t start = i;
    while (i < text.size() && (digit ? IsDigit(text[i]) : IsLetter(text[i]))) ++i;
    if (runs.count == kMaxRuns) {
      runs.too_many = true;
      return;
    }
    runs.runs[runs.count++] = {text.substr(start, i - start), digit};
  }
}

// Reads at most 9 digits (longer runs are refused by the caller's range checks).
int RunValue(std::string_view digits) {
  if (digits.size() > 9) return -1;
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

int MonthFromName(std::string_view typed) {
  const support::Locale& locale = support::CurrentLocale();
  char first = FoldAscii(typed.front());
  for (int month = 1; month <= 12; ++month) {
    const std::string& name = locale.month_names[month - 1];
    const std::string& abbreviation = locale.month_abbreviations[month - 1];
    if ((!name.empty() && FoldAscii(name.front()) == first && MatchesName(typed, name, 3)) ||
        (!abbreviation.empty() && FoldAscii(abbreviation.front()) == first &&
         MatchesName(typed, abbreviation, 3))) {
      return month;
    }
  }
  return 0;
}

bool IsWeekdayName(std::string_view typed) {
  for (int day = 0; day < 7; ++day) {
    if (MatchesName(typed, WeekdayName(day, false), 2)) return true;
  }
  return false;
}

enum class DateField : char { kMonth = 'M', kDay = 'D', kYear = 'Y' };

}  // namespace

void FormatDate(std::int64_t date, const Picture& picture, PictureText& out) {
  out.size = picture.width;
  std::optional<support::CivilDate> civil;
  if (date >= 0 && date <= support::kLastDate)
    civil = support::DateToCivil(static_cast<std::int32_t>(date));
  if (!civil) return FillBlanks(out, picture.width);
  int weekday = support::Weekday(static_cast<std::int32_t>(date));
  for (std::size_t i = 0; i < picture.length;) {
    std::uint8_t kind = picture.pairs[i].token;
    std::size_t run = RunLength(picture, i);
    switch (kind) {
      case token::kMonthDigit:
        WriteDigits(civil->month, picture, i, run, out);
        break;
      case token::kDayDigit:
        WriteDigits(civil->day, picture, i, run, out);
        break;
      case token::kYearDigit:
        WriteDigits(run <= 2 ? civil->year % 100 : civil->year, picture, i, run, out);
        break;
      case token::kMonthName:
        WriteName(MonthName(civil->month, run <= 3), i, run, out);
        break;
      case token::kWeekdayName:
        WriteName(WeekdayName(weekday, run <= 3), i, run, out);
        break;
      default:
        for (std::size_t k = i; k < i + run; ++k) out.chars[k] = picture.pairs[k].fill;
        break;
    }
    i += run;
  }
}

void FormatTime(std::int64_t time, const Picture& picture, PictureText& out) {
  out.size = picture.width;
  std::optional<support::TimeParts> parts;
  if (time >= support::kFirstTime && time <= support::kLastTime) {
    parts = support::TimeToParts(static_cast<std::int32_t>(time));
  }
  if (!parts) return FillBlanks(out, picture.width);
  bool twelve_hour = false;
  for (std::size_t i = 0; i < picture.length; ++i)
    twelve_hour |= picture.pairs[i].token == token::kAmPm;
  int hour = parts->hour;
  if (twelve_hour) hour = hour % 12 == 0 ? 12 : hour % 12;
  for (std::size_t i = 0; i < picture.length;) {
    std::uint8_t kind = picture.pairs[i].token;
    std::size_t run = RunLength(picture, i);
    switch (kind) {
      case token::kHourDigit:
        WriteDigits(hour, picture, i, run, out);
        break;
      case token::kMinuteDigit:
        WriteDigits(parts->minute, picture, i, run, out);
        break;
      case token::kSecondDigit:
        WriteDigits(parts->second, picture, i, run, out);
        break;
      case token::kAmPm:
        WriteName(AmPmText(parts->hour >= 12), i, run, out);
        break;
      default:
        for (std::size_t k = i; k < i + run; ++k) out.chars[k] = picture.pairs[k].fill;
        break;
    }
    i += run;
  }
}

bool DeformatDate(std::string_view text, const Picture& picture, DeformattedValue& value) {
  // The fields in the layout's order.
  DateField fields[4];
  std::size_t field_count = 0;
  bool has_day = false;
  for (std::size_t i = 0; i < picture.length;) {
    std::uint8_t kind = picture.pairs[i].token;
    if (field_count < 4) {
      // A month shown by name may also be typed as a number in its place.
      if (kind == token::kMonthDigit || kind == token::kMonthName) {
        fields[field_count++] = DateField::kMonth;
      }
      if (kind == token::kDayDigit) fields[field_count++] = DateField::kDay;
      if (kind == token::kYearDigit) fields[field_count++] = DateField::kYear;
    }
    has_day |= kind == token::kDayDigit;
    i += RunLength(picture, i);
  }

  Runs runs;
  SplitRuns(text, runs);
  if (runs.too_many) return false;
  int month = 0;
  std::string_view numbers[kMaxRuns];
  std::size_t number_count = 0;
  for (std::size_t i = 0; i < runs.count; ++i) {
    const Run& run = runs.runs[i];
    if (run.digits) {
      numbers[number_count++] = run.text;
    } else if (month == 0 && (month = MonthFromName(run.text)) != 0) {
      continue;
    } else if (!IsWeekdayName(run.text)) {
      return false;
    }
  }
  // A month typed by name takes the place of the month's digits.
  DateField wanted[4];
  std::size_t wanted_count = 0;
  bool has_year = false;
  for (std::size_t i = 0; i < field_count; ++i) {
    if (fields[i] == DateField::kMonth && month != 0) continue;
    has_year |= fields[i] == DateField::kYear;
    wanted[wanted_count++] = fields[i];
  }

  // One run of digits without separators is cut by the fields' widths: two each, the year the
  // rest (none when it was left out).
  std::string_view cut[4];
  if (number_count == 1 && !runs.separated && wanted_count > 1 && numbers[0].size() > 2) {
    std::size_t others = has_year ? wanted_count - 1 : wanted_count;
    std::size_t total = numbers[0].size();
    if (total < 2 * others) return false;
    std::size_t year_width = total - 2 * others;
    if (year_width > 4 || (year_width > 0 && !has_year)) return false;
    std::size_t pos = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < wanted_count; ++i) {
      std::size_t w = wanted[i] == DateField::kYear ? year_width : 2;
      if (w == 0) continue;
      cut[n++] = numbers[0].substr(pos, w);
      pos += w;
    }
    for (std::size_t i = 0; i < n; ++i) numbers[i] = cut[i];
    number_count = n;
  }
  // A date typed without its year means this year.
  if (number_count + 1 == wanted_count && has_year) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < wanted_count; ++i) {
      if (wanted[i] != DateField::kYear) wanted[n++] = wanted[i];
    }
    wanted_count = n;
    has_year = false;
  }
  if (number_count != wanted_count) return false;

  int day = has_day ? 0 : 1;
  int year = -1;
  for (std::size_t i = 0; i < wanted_count; ++i) {
    std::string_view digits = numbers[i];
    int v = RunValue(digits);
    if (v < 0) return false;
    switch (wanted[i]) {
      case DateField::kMonth:
        month = v;
        break;
      case DateField::kDay:
        day = v;
        break;
      case DateField::kYear:
        year = digits.size() <= 2 ? support::PlaceTwoDigitYear(v, picture.pivot) : v;
        break;
    }
  }
  if (year < 0) year = support::YEAR(support::TODAY());
  std::int32_t date = support::CivilToDate(year, month, day);
  if (date == support::kInvalidDate) return false;
  value.type = ValueType::kLong;
  value.long_value = date;
  return true;
}

bool DeformatTime(std::string_view text, const Picture& picture, DeformattedValue& value) {
  (void)picture;
  Runs runs;
  SplitRuns(text, runs);
  if (runs.too_many) return false;
  int parts[3] = {0, 0, 0};
  std::size_t part_count = 0;
  int am_pm = 0;  // 1 AM, 2 PM
  for (std::size_t i = 0; i < runs.count; ++i) {
    const Run& run = runs.runs[i];
    if (!run.digits) {
      if (am_pm != 0) return false;
      if (MatchesName(run.text, AmPmText(false), 1)) {
        am_pm = 1;
      } else if (MatchesName(run.text, AmPmText(true), 1)) {
        am_pm = 2;
      } else {
        return false;
      }
      continue;
    }
    std::size_t size = run.text.size();
    if (part_count == 0 && !runs.separated && size > 2) {
      // "130", "1330", "13305": hours take what the minutes and seconds leave.
      if (size > 6) return false;
      std::size_t hour_width = size % 2 == 1 ? 1 : 2;
      std::size_t pos = 0;
      for (std::size_t w = hour_width; pos < size; w = 2) {
        parts[part_count++] = RunValue(run.text.substr(pos, w));
        pos += w;
      }
      continue;
    }
    if (part_count == 3 || size > 2) return false;
    parts[part_count++] = RunValue(run.text);
  }
  if (part_count == 0) return false;
  int hour = parts[0];
  if (am_pm != 0) {
    if (hour < 1 || hour > 12) {
      if (!(am_pm == 2 && hour > 12 && hour < 24)) return false;
    } else if (am_pm == 1 && hour == 12) {
      hour = 0;
    } else if (am_pm == 2 && hour < 12) {
      hour += 12;
    }
  }
  std::int32_t time = support::MakeTime(hour, parts[1], parts[2]);
  if (time == support::kInvalidTime) return false;
  value.type = ValueType::kLong;
  value.long_value = time;
  return true;
}

}  // namespace vaultrix::windows::picture_detail
