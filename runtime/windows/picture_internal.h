// Pieces of the pictures module shared between its source files: the per-kind compilers,
// formatters and readers that picture.cpp dispatches to, and small text helpers. Not for use
// outside the module.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/windows/picture.h"

namespace vaultrix::windows::picture_detail {

// Appends a pair; false when the template is full.
[[nodiscard]] inline bool Append(Picture& picture, char fill, std::uint8_t token) {
  if (picture.length >= picture.pairs.size()) return false;
  picture.pairs[picture.length++] = TemplatePair{fill, token};
  return true;
}

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads 1 or more decimal digits at text[pos] (at most three, so the value stays small); false
// when there is none. A run of more than three digits is left for the caller to reject.
[[nodiscard]] inline bool ReadSmallNumber(std::string_view text, std::size_t& pos, int& value) {
  std::size_t start = pos;
  value = 0;
  while (pos < text.size() && IsDigit(text[pos]) && pos - start < 4) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return pos > start;
}

inline void FillBlanks(PictureText& out, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) out.chars[i] = ' ';
  out.size = static_cast<std::uint16_t>(width);
}

inline void FillOverflow(PictureText& out, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) out.chars[i] = '#';
  out.size = static_cast<std::uint16_t>(width);
}

// Locale texts of dates and times: the month names (1 to 12), the weekday names (0 Sunday to
// 6 Saturday) and the AM or PM text (the locale has already chosen between the environment
// file's "MORAMPM" and the "intl" texts).
[[nodiscard]] std::string_view MonthName(int month, bool abbreviated);
[[nodiscard]] std::string_view WeekdayName(int weekday, bool abbreviated);
[[nodiscard]] std::string_view AmPmText(bool pm);

// Compilers: `body` is the text after the kind letter (and before a trailing "B").
[[nodiscard]] bool CompileNumber(std::string_view body, Picture& picture);
[[nodiscard]] bool CompileScientific(std::string_view body, Picture& picture);
[[nodiscard]] bool CompileDate(std::string_view body, Picture& picture);
[[nodiscard]] bool CompileTime(std::string_view body, Picture& picture);

// Formatters write exactly picture.width characters.
void FormatNumber(const PictureValue& value, const Picture& picture, PictureText& out);
void FormatScientific(const PictureValue& value, const Picture& picture, PictureText& out);
void FormatDate(std::int64_t date, const Picture& picture, PictureText& out);
void FormatTime(std::int64_t time, const Picture& picture, PictureText& out);

[[nodiscard]] bool DeformatNumber(std::string_view text, const Picture& picture,
                                  DeformattedValue& value);
[[nodiscard]] bool DeformatScientific(std::string_view text, const Picture& picture,
                                      DeformattedValue& value);
[[nodiscard]] bool DeformatDate(std::string_view text, const Picture& picture,
                                DeformattedValue& value);
[[nodiscard]] bool DeformatTime(std::string_view text, const Picture& picture,
                                DeformattedValue& value);

// Numeric views of any value: the integer part (rounded half away from zero) and whether the
// value is zero. Text is read as a number (blanks, sign, digits, point); unreadable text is 0.
[[nodiscard]] std::int64_t ValueAsLong(const PictureValue& value);
[[nodiscard]] bool ValueIsZero(const PictureValue& value);

}  // namespace vaultrix::windows::picture_detail
