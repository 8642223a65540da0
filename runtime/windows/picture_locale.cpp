// The locale texts that date and time pictures show: month names and the AM/PM texts from the
// runtime's locale, weekday names (which the locale sources do not carry) in English.
#include <string_view>

#include "runtime/support/locale.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows::picture_detail {
namespace {

constexpr std::string_view kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};

}  // namespace

std::string_view MonthName(int month, bool abbreviated) {
  if (month < 1 || month > 12) return {};
  const support::Locale& locale = support::CurrentLocale();
  std::string_view name = abbreviated ? std::string_view(locale.month_abbreviations[month - 1])
                                      : std::string_view(locale.month_names[month - 1]);
  return name;
}

std::string_view WeekdayName(int weekday, bool abbreviated) {
  if (weekday < 0 || weekday > 6) return {};
  std::string_view name = kWeekdays[weekday];
  return abbreviated ? name.substr(0, 3) : name;
}

std::string_view AmPmText(bool pm) {
  const support::Locale& locale = support::CurrentLocale();
  return pm ? locale.pm_text : locale.am_text;
}

}  // namespace vaultrix::windows::picture_detail
