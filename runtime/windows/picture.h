// Display pictures: the compiled picture record, the values it formats, and the three operations
// the window engine, the list control and the procedures use (CompilePicture, FormatValue,
// DeformatValue). A picture text is compiled once; formatting and deformatting then work from the
// record's template of (fill, token) pairs and never allocate.
//
// Choices the picture language leaves open, as this runtime makes them:
// - Numbers are right-aligned in their width, strings and key-in texts left-aligned (cut or padded
//   with blanks). A pattern shows the value's integer digits right to left over its digit places.
// - The size of a number picture is its whole width: sign, parentheses, currency text, grouping
//   characters, the decimal character and the decimal places all count. At least one integer
//   digit place must remain, otherwise the picture does not compile. Grouping places stand
//   between every three integer digit places; when one falls first ("@n4" is ",ddd") it holds
//   only the fill or a floating sign, so every number shows with consistent grouping.
// - Rounding to the picture's decimal places is half away from zero, on the value's shortest
//   decimal spelling (2.675 shows as 2.68 with two places).
// - A number too large for its picture, a negative number where the picture has no room for its
//   sign, and a pattern value that does not fit show as "#" characters over the whole width. A
//   leading sign or currency floats next to the first digit when the fill is blank; with "*" it
//   stands first and the asterisks follow; with "0" it takes the places before the zeros. A
//   negative number in a picture without a sign shows a floating "-" where there is room.
// - Blank when zero ("B"): a value equal to zero (a zero date or time included) shows as blanks.
// - Day numbers without a calendar date (negative, or past 31 December 9999) and times outside
//   1 to 8,640,000 show as blanks; a time shows truncated to its layout's precision.
// - A year window written as "<0" or ">0" keeps the default pivot, 80.
// - Layouts 7 and 8 (times from the "intl" settings) put a blank before the AM/PM text; layouts
//   3 and 6 write it straight after the minutes or seconds ("1:05PM").
// - The fill character of a date or time picture ("0", "_", "*") is what stands in its
//   blank-filled digit places (the first digit of "Mm", "Dd" and 12-hour hours): a zero, a blank
//   (the default) or an asterisk.
// - A typed number may carry blanks, grouping characters, the currency text, a leading or
//   trailing "-" or enclosing parentheses, whatever the picture shows; digits past the picture's
//   decimal places are rounded away. A blank text reads as zero.
// - A typed date is read field by field in the layout's order: runs of digits and runs of letters
//   are the fields, anything else separates them. A single run of digits without separators is cut
//   by the layout's field widths (the year takes what is left). A month may be typed as a number
//   or by its name (three letters at least), whatever the layout shows; a weekday name is
//   skipped. A missing year is the current year, a missing day (layouts without one) the first.
//   A year of one or two digits lands in the window of the picture's pivot: from pivot years
//   before the current year to 99 - pivot years after it (80 and 19 by default). An impossible
//   date does not deformat.
// - A typed time is hours, minutes and seconds in that order, split the same way ("1330" is
//   13:30); an AM or PM text (or its first letter) turns a 12-hour reading into 24 hours. A blank
//   time reads as zero, an impossible one does not deformat.
// - A key-in value holds the characters of the mask's input places only; literals are shown by the
//   mask. The marker "|" takes no place on the screen: the input places before it must be filled,
//   those after it may be left empty.
// - The scientific picture "E" shows "-" for a negative value, one digit, the decimal character
//   and its places, then "e", the exponent's sign and at least two exponent digits, right-aligned
//   in the width ("@e12.3": "   1.235e+04").
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/support/decimal.h"

namespace vaultrix::windows {

inline constexpr std::size_t kMaxPictureText = 255;
inline constexpr std::size_t kMaxPictureWidth = 255;

// Picture kinds: the code in the low three bits of the record's first byte.
enum class PictureKind : std::uint8_t {
  kNone = 0,
  kNumber = 1,
  kDate = 2,
  kTime = 3,
  kScientific = 4,
  kString = 5,
  kKeyIn = 6,
  kPattern = 7,
};

inline constexpr std::uint8_t kPictureKindMask = 0x07;
inline constexpr std::uint8_t kPictureBlankWhenZero = 0x80;

// Template tokens. The fill character of a digit pair stands in that place for a leading zero;
// the fill of a literal is the literal itself.
namespace token {
inline constexpr std::uint8_t kLiteral = 0x00;
inline constexpr std::uint8_t kNumberSign = 0x01;  // fill "-" or "("
inline constexpr std::uint8_t kGroup = 0x02;       // fill: the grouping character
inline constexpr std::uint8_t kDigitZeroFill = 0x03;
inline constexpr std::uint8_t kDigitBlankFill = 0x04;
inline constexpr std::uint8_t kDecimalPoint = 0x05;  // fill: the decimal character
inline constexpr std::uint8_t kCurrency = 0x06;      // fill: one character of the currency text
inline constexpr std::uint8_t kMonthDigit = 0x07;
inline constexpr std::uint8_t kDayDigit = 0x08;
inline constexpr std::uint8_t kYearDigit = 0x09;
inline constexpr std::uint8_t kMonthName = 0x0A;  // 3 in a row: abbreviation, 9: full name
inline constexpr std::uint8_t kHourDigit = 0x0B;
inline constexpr std::uint8_t kMinuteDigit = 0x0C;
inline constexpr std::uint8_t kLetter = 0x0E;
inline constexpr std::uint8_t kUpperLetter = 0x0F;
inline constexpr std::uint8_t kLowerLetter = 0x10;
inline constexpr std::uint8_t kAnyCharacter = 0x11;
inline constexpr std::uint8_t kTrailingSign = 0x12;  // fill "-" or ")"
inline constexpr std::uint8_t kSeparator = 0x13;     // fill: the picture's separator
inline constexpr std::uint8_t kWeekdayName = 0x14;   // 3 in a row: abbreviation, 9: full name
inline constexpr std::uint8_t kSecondDigit = 0x15;
inline constexpr std::uint8_t kAmPm = 0x16;
inline constexpr std::uint8_t kKeyInMarker = 0x17;
inline constexpr std::uint8_t kExponent = 0x18;  // scientific: "e", sign and digits
}  // namespace token

struct TemplatePair {
  char fill = ' ';
  std::uint8_t token = token::kLiteral;
  friend bool operator==(const TemplatePair&, const TemplatePair&) = default;
};

// The compiled picture record.
struct Picture {
  std::uint8_t kind_flags = 0;  // PictureKind in the low three bits, kPictureBlankWhenZero
  std::uint8_t pivot = 80;      // dates: years before the current one that two-digit years reach
  std::uint16_t width = 0;      // characters FormatValue produces
  std::uint16_t length = 0;     // pairs in the template
  // Number and scientific pictures.
  std::uint8_t places = 0;    // decimal places
  char decimal_char = '.';    // '\0' for "V" (a decimal position without a printed point)
  char group_char = '\0';     // '\0': no grouping
  char fill = ' ';            // ' ', '0' or '*'
  char leading_sign = '\0';   // '-', '(' or '\0'
  char trailing_sign = '\0';  // '-', ')' or '\0'
  // Date and time pictures.
  std::uint8_t layout = 0;  // the format number
  char separator = '\0';    // the separator written in the picture ('\0': the default)
  std::array<TemplatePair, kMaxPictureWidth> pairs{};

  PictureKind kind() const { return static_cast<PictureKind>(kind_flags & kPictureKindMask); }
  bool blank_when_zero() const { return (kind_flags & kPictureBlankWhenZero) != 0; }
};

// Compiles a picture text (with or without its leading "@"). Answers false, and leaves `picture`
// empty (kind kNone), when the text is not a valid picture.
[[nodiscard]] bool CompilePicture(std::string_view text, Picture& picture);

// The kinds of value a picture formats. Dates and times are LONG day numbers and clock values;
// the picture's kind says which.
enum class ValueType : std::uint8_t { kLong, kReal, kDecimal, kText };

// A value handed to FormatValue. Text is not owned.
struct PictureValue {
  ValueType type = ValueType::kLong;
  std::int64_t long_value = 0;
  double real_value = 0;
  support::Decimal decimal_value;
  std::string_view text;

  static PictureValue Long(std::int64_t v) { return {ValueType::kLong, v, 0, {}, {}}; }
  static PictureValue Real(double v) { return {ValueType::kReal, 0, v, {}, {}}; }
  static PictureValue FromDecimal(const support::Decimal& v) {
    return {ValueType::kDecimal, 0, 0, v, {}};
  }
  static PictureValue Text(std::string_view v) { return {ValueType::kText, 0, 0, {}, v}; }
};

// Fixed room for a display text or a deformatted text; never allocates.
struct PictureText {
  std::array<char, kMaxPictureWidth + 1> chars{};  // one spare place for a terminating NUL
  std::uint16_t size = 0;

  std::string_view view() const { return {chars.data(), size}; }
  std::string str() const { return std::string(view()); }
};

// The display text of a value, exactly picture.width characters (empty for an empty picture).
[[nodiscard]] PictureText FormatValue(const PictureValue& value, const Picture& picture);

// The value a typed text stands for. Strings and key-in pictures give kText (in `text`); dates,
// times and patterns kLong; numbers kLong when the picture has no decimal places and the value
// fits, otherwise kDecimal (kReal beyond the 31 digits a decimal holds); scientific pictures kReal.
struct DeformattedValue {
  ValueType type = ValueType::kLong;
  std::int64_t long_value = 0;
  double real_value = 0;
  support::Decimal decimal_value;
  PictureText text;

  PictureValue AsValue() const {
    return {type, long_value, real_value, decimal_value,
            type == ValueType::kText ? text.view() : std::string_view{}};
  }
};

// Reads a typed text by the picture. Answers false when the text does not fit the picture's
// grammar (letters in a number, an impossible date, a digit missing from a key-in mask).
[[nodiscard]] bool DeformatValue(std::string_view text, const Picture& picture,
                                 DeformattedValue& value);

}  // namespace vaultrix::windows
