// Compilers of the date ("D") and time ("T") pictures. Fixed layouts come from the tables below;
// dates 17 and 18 are translated from the "intl" short and long date formats, times 7 and 8
// built from the "intl" clock settings, both read from the runtime's locale.
#include <algorithm>
#include <cstddef>
#include <string_view>

#include "runtime/support/dates.h"
#include "runtime/support/locale.h"
#include "runtime/windows/picture.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows::picture_detail {
namespace {

// Letters: "Mm" month with a blank-filled first digit, "mm" two digits, "Dd"/"dd" the same for
// the day, "yy"/"yyyy" the year, runs of "N" a month name, "/" the separator.
constexpr std::string_view kDateLayouts[] = {
    "",
    "Mm/dd/yy",
    "Mm/dd/yyyy",
    "NNN Dd, yyyy",
    "NNNNNNNNN Dd, yyyy",
    "Dd/mm/yy",
    "Dd/mm/yyyy",
    "Dd NNN yy",
    "Dd NNN yyyy",
    "yy/mm/dd",
    "yyyy/mm/dd",
    "yymmdd",
    "yyyymmdd",
    "Mm/yy",
    "Mm/yyyy",
    "yy/mm",
    "yyyy/mm",
    "",
    "",
    "Dd NNNNNNNNN yyyy",
    "NNNNNNNNN Dd yyyy",
};

// Time layouts: "H" an hour digit with blank fill, "h" with zero fill, "m" minutes, "s"
// seconds, ":" the separator, "A" the AM/PM text (which makes the hours a 12-hour clock).
constexpr std::string_view kTimeLayouts[] = {
    "", "Hh:mm", "hhmm", "Hh:mmA", "Hh:mm:ss", "hhmmss", "Hh:mm:ssA",
};

// The picture's fill character stands in the blank-filled digit places.
char BlankDigitFill(char written_fill) {
  return written_fill == '\0' || written_fill == '_' ? ' ' : written_fill;
}

bool AppendRun(Picture& picture, char fill, std::uint8_t kind, int count) {
  for (int i = 0; i < count; ++i) {
    if (!Append(picture, fill, kind)) return false;
  }
  return true;
}

bool BuildDateTemplate(std::string_view layout, char written_fill, char separator,
                       Picture& picture) {
  char blank = BlankDigitFill(written_fill);
  for (std::size_t i = 0; i < layout.size(); ++i) {
    char c = layout[i];
    bool ok = true;
    if (c == 'M' || c == 'm') {
      ok = Append(picture, c == 'M' ? blank : '0', token::kMonthDigit);
    } else if (c == 'D' || c == 'd') {
      ok = Append(picture, c == 'D' ? blank : '0', token::kDayDigit);
    } else if (c == 'y') {
      ok = Append(picture, '0', token::kYearDigit);
    } else if (c == 'N') {
      ok = Append(picture, ' ', token::kMonthName);
    } else if (c == '/') {
      ok = Append(picture, separator, token::kSeparator);
    } else {
      ok = Append(picture, c, token::kLiteral);
    }
    if (!ok) return false;
  }
  return true;
}

// Translates a date format of the "intl" section ("d", "dd", "ddd", "dddd", "M".."MMMM", "yy",
// "yyyy", quoted literals, "/" the separator) into template pairs.
bool BuildIntlDateTemplate(std::string_view format, char written_fill, char separator,
                           Picture& picture) {
  char blank = BlankDigitFill(written_fill);
  for (std::size_t i = 0; i < format.size();) {
    char c = format[i];
    if (c == '\'') {
      std::size_t close = format.find('\'', i + 1);
      if (close == std::string_view::npos) close = format.size();
      if (close == i + 1) {
        if (!Append(picture, '\'', token::kLiteral)) return false;  // "''" is a quote
      }
      for (std::size_t k = i + 1; k < close; ++k) {
        if (!Append(picture, format[k], token::kLiteral)) return false;
      }
      i = std::min(close + 1, format.size());
      continue;
    }
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    bool ok = true;
    if (c == 'd') {
      ok = run == 1
               ? Append(picture, blank, token::kDayDigit) && Append(picture, '0', token::kDayDigit)
           : run == 2 ? AppendRun(picture, '0', token::kDayDigit, 2)
           : run == 3 ? AppendRun(picture, ' ', token::kWeekdayName, 3)
                      : AppendRun(picture, ' ', token::kWeekdayName, 9);
    } else if (c == 'M') {
      ok = run == 1 ? Append(picture, blank, token::kMonthDigit) &&
                          Append(picture, '0', token::kMonthDigit)
           : run == 2 ? AppendRun(picture, '0', token::kMonthDigit, 2)
           : run == 3 ? AppendRun(picture, ' ', token::kMonthName, 3)
                      : AppendRun(picture, ' ', token::kMonthName, 9);
    } else if (c == 'y') {
      ok = AppendRun(picture, '0', token::kYearDigit, run <= 2 ? 2 : 4);
    } else if (c == '/') {
      ok = AppendRun(picture, separator, token::kSeparator, static_cast<int>(run));
    } else {
      ok = AppendRun(picture, c, token::kLiteral, static_cast<int>(run));
    }
    if (!ok) return false;
    i += run;
  }
  return true;
}

bool BuildTimeTemplate(std::string_view layout, char written_fill, char separator,
                       std::size_t am_pm_width, Picture& picture) {
  char blank = BlankDigitFill(written_fill);
  for (char c : layout) {
    bool ok = true;
    switch (c) {
      case 'H':
        ok = Append(picture, blank, token::kHourDigit);
        break;
      case 'h':
        ok = Append(picture, '0', token::kHourDigit);
        break;
      case 'm':
        ok = Append(picture, '0', token::kMinuteDigit);
        break;
      case 's':
        ok = Append(picture, '0', token::kSecondDigit);
        break;
      case ':':
        ok = Append(picture, separator, token::kSeparator);
        break;
      case 'A':
        ok = AppendRun(picture, ' ', token::kAmPm, static_cast<int>(am_pm_width));
        break;
      default:
        ok = Append(picture, c, token::kLiteral);
        break;
    }
    if (!ok) return false;
  }
  return true;
}

// The AM/PM texts are as wide as the wider of the two, at most this much.
constexpr std::size_t kMaxAmPmWidth = 16;

bool BuildIntlTimeTemplate(bool with_seconds, char written_fill, char separator,
                           std::size_t am_pm_width, Picture& picture) {
  const support::IntlSettings& intl = support::CurrentLocale().intl;
  bool twelve_hour = intl.i_time == 0;
  char sep = separator != '\0' ? separator : (intl.s_time.empty() ? ':' : intl.s_time.front());
  char hour_fill = intl.i_tlzero != 0 ? '0' : BlankDigitFill(written_fill);
  bool ok = Append(picture, hour_fill, token::kHourDigit) &&
            Append(picture, '0', token::kHourDigit) && Append(picture, sep, token::kSeparator) &&
            AppendRun(picture, '0', token::kMinuteDigit, 2);
  if (ok && with_seconds) {
    ok = Append(picture, sep, token::kSeparator) && AppendRun(picture, '0', token::kSecondDigit, 2);
  }
  if (ok && twelve_hour && am_pm_width > 0) {
    ok = Append(picture, ' ', token::kLiteral) &&
         AppendRun(picture, ' ', token::kAmPm, static_cast<int>(am_pm_width));
  }
  return ok;
}

// Shared head of both kinds: optional fill, the format number.
bool ReadFillAndLayout(std::string_view body, std::size_t& pos, char& fill, int& layout) {
  fill = '\0';
  if (pos + 1 < body.size() && (body[pos] == '0' || body[pos] == '_' || body[pos] == '*') &&
      IsDigit(body[pos + 1])) {
    fill = body[pos++];
  }
  return ReadSmallNumber(body, pos, layout);
}

// Optional separator; '\0' when none is written.
bool ReadSeparator(std::string_view body, std::size_t& pos, char& separator) {
  separator = '\0';
  if (pos == body.size()) return true;
  switch (body[pos]) {
    case '.':
      separator = '.';
      break;
    case '-':
      separator = '-';
      break;
    case '_':
      separator = ' ';
      break;
    case '`':
      separator = ',';
      break;
    default:
      return false;
  }
  ++pos;
  return true;
}

}  // namespace

bool CompileDate(std::string_view body, Picture& picture) {
  std::size_t pos = 0;
  char fill = '\0';
  int layout = 0;
  if (!ReadFillAndLayout(body, pos, fill, layout) || layout < 1 || layout > 20) return false;
  picture.pivot = support::kDefaultYearPivot;
  if (pos < body.size() && (body[pos] == '<' || body[pos] == '>')) {
    char direction = body[pos++];
    int years = 0;
    if (!ReadSmallNumber(body, pos, years) || years > 99) return false;
    if (direction == '<') {
      picture.pivot = static_cast<std::uint8_t>(years == 0 ? support::kDefaultYearPivot : years);
    } else {
      picture.pivot =
          static_cast<std::uint8_t>(years == 0 ? support::kDefaultYearPivot : 99 - years);
    }
  }
  char separator = '\0';
  if (!ReadSeparator(body, pos, separator) || pos != body.size()) return false;
  picture.layout = static_cast<std::uint8_t>(layout);
  picture.separator = separator;
  picture.fill = fill == '\0' ? ' ' : fill;
  char shown_separator = separator == '\0' ? '/' : separator;
  bool ok = false;
  if (layout == 17 || layout == 18) {
    const support::IntlSettings& intl = support::CurrentLocale().intl;
    ok = BuildIntlDateTemplate(layout == 17 ? intl.s_short_date : intl.s_long_date, fill,
                               shown_separator, picture);
  } else {
    ok = BuildDateTemplate(kDateLayouts[layout], fill, shown_separator, picture);
  }
  picture.width = picture.length;
  return ok;
}

bool CompileTime(std::string_view body, Picture& picture) {
  std::size_t pos = 0;
  char fill = '\0';
  int layout = 0;
  if (!ReadFillAndLayout(body, pos, fill, layout) || layout < 1 || layout > 8) return false;
  char separator = '\0';
  if (!ReadSeparator(body, pos, separator) || pos != body.size()) return false;
  picture.layout = static_cast<std::uint8_t>(layout);
  picture.separator = separator;
  picture.fill = fill == '\0' ? ' ' : fill;
  std::size_t am_pm_width =
      std::min(kMaxAmPmWidth, std::max(AmPmText(false).size(), AmPmText(true).size()));
  bool ok = false;
  if (layout == 7 || layout == 8) {
    ok = BuildIntlTimeTemplate(layout == 8, fill, separator, am_pm_width, picture);
  } else {
    ok = BuildTimeTemplate(kTimeLayouts[layout], fill, separator == '\0' ? ':' : separator,
                           am_pm_width, picture);
  }
  picture.width = picture.length;
  return ok;
}

}  // namespace vaultrix::windows::picture_detail
