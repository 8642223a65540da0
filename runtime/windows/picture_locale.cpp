// The locale texts that date and time pictures show: month names and the AM/PM texts from the
// runtime's locale, weekday names (which the locale sources do not carry) in English.
#include <string_view>

#include "runtime/support/locale.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows::picture_detail {
namespace {

constexpr std::string_view kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

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
  bool from_environment = false;
  for (const support::EnvironmentEntry& entry : locale.environment.entries) {
    from_environment = from_environment || EqualsNoCase(entry.key, "MORAMPM");
  }
  if (from_environment) return pm ? locale.pm_text : locale.am_text;
  return pm ? locale.intl.s2359 : locale.intl.s1159;
}

}  // namespace vaultrix::windows::picture_detail
