// Compilers of the number ("N") and scientific ("E") pictures. The number template reads, left
// to right: the leading currency, the leading sign, the integer places (digits with a grouping
// place between every three, counted from the decimal point; a grouping place may come
// first, where it only ever holds the fill or a floating sign), the decimal character and places,
// the trailing sign and the trailing currency. The size is the whole width.
#include <cstddef>

#include "runtime/windows/picture.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows::picture_detail {
namespace {

bool IsGroupOrDecimal(char c) {
  return c == '.' || c == '`' || c == '_' || c == 'V' || c == 'v';
}

// The character a written grouping or decimal character stands for ('\0' for "V").
char MapWritten(char c) {
  switch (c) {
    case '`':
      return ',';
    case '_':
      return ' ';
    case 'V':
    case 'v':
      return '\0';
    default:
      return c;
  }
}

// "$" or "~text~" at body[pos]. An unclosed or empty "~" text fails.
bool ReadCurrency(std::string_view body, std::size_t& pos, std::string_view& currency, bool& bad) {
  bad = false;
  if (pos >= body.size()) return false;
  if (body[pos] == '$') {
    currency = body.substr(pos, 1);
    ++pos;
    return true;
  }
  if (body[pos] != '~') return false;
  std::size_t close = body.find('~', pos + 1);
  if (close == std::string_view::npos || close == pos + 1) {
    bad = true;
    return false;
  }
  currency = body.substr(pos + 1, close - pos - 1);
  pos = close + 1;
  return true;
}

struct NumberShape {
  std::string_view leading_currency;
  std::string_view trailing_currency;
  char leading_sign = '\0';
  char trailing_sign = '\0';
  char fill = '\0';  // as written: '0', '_', '*' or none
  int size = 0;
  int places = 0;
  char decimal_char = '.';
  char group_char = '\0';
  bool group_written = false;
};

bool ParseNumber(std::string_view body, NumberShape& shape) {
  std::size_t pos = 0;
  bool bad = false;
  ReadCurrency(body, pos, shape.leading_currency, bad);
  if (bad) return false;
  if (pos < body.size() && (body[pos] == '-' || body[pos] == '(')) shape.leading_sign = body[pos++];
  if (pos < body.size() && (body[pos] == '0' || body[pos] == '_' || body[pos] == '*')) {
    shape.fill = body[pos++];
  }
  if (!ReadSmallNumber(body, pos, shape.size) || shape.size < 1 ||
      shape.size > static_cast<int>(kMaxPictureWidth)) {
    return false;
  }
  if (pos < body.size() && IsGroupOrDecimal(body[pos])) {
    char first = body[pos++];
    char decimal = first;
    if (pos == body.size() || IsGroupOrDecimal(body[pos])) {
      if (first == 'V' || first == 'v') return false;  // "V" cannot group
      shape.group_char = MapWritten(first);
      shape.group_written = true;
      decimal = pos < body.size() ? body[pos++] : '\0';
    }
    if (decimal != '\0') {
      shape.decimal_char = MapWritten(decimal);
      if (pos < body.size() && IsDigit(body[pos])) {
        if (!ReadSmallNumber(body, pos, shape.places) || shape.places > 255) return false;
      }
    }
  }
  if (shape.places == 0) shape.decimal_char = '.';
  if (pos < body.size()) {
    char c = body[pos];
    if (c == ')' && shape.leading_sign == '(') {
      shape.trailing_sign = ')';
      ++pos;
    } else if (c == '-' && shape.leading_sign == '\0') {
      shape.trailing_sign = '-';
      ++pos;
    }
  }
  if (shape.leading_sign == '(' && shape.trailing_sign != ')') return false;
  if (shape.leading_currency.empty()) {
    ReadCurrency(body, pos, shape.trailing_currency, bad);
    if (bad) return false;
  }
  if (pos != body.size()) return false;
  if (!shape.group_written) {
    bool plain_fill = shape.fill == '0' || shape.fill == '_';
    shape.group_char = plain_fill ? '\0' : (shape.decimal_char == ',' ? '.' : ',');
  }
  // A number whose grouping and decimal characters look alike could not be read back.
  if (shape.places > 0 && shape.group_char != '\0' && shape.group_char == shape.decimal_char) {
    return false;
  }
  return true;
}

}  // namespace

bool CompileNumber(std::string_view body, Picture& picture) {
  NumberShape shape;
  if (!ParseNumber(body, shape)) return false;
  std::string_view currency =
      shape.leading_currency.empty() ? shape.trailing_currency : shape.leading_currency;
  int fixed = static_cast<int>(currency.size()) + (shape.leading_sign ? 1 : 0) +
              (shape.trailing_sign ? 1 : 0) + shape.places +
              (shape.places > 0 && shape.decimal_char != '\0' ? 1 : 0);
  int integer_places = shape.size - fixed;
  if (integer_places < 1) return false;

  picture.places = static_cast<std::uint8_t>(shape.places);
  picture.decimal_char = shape.decimal_char;
  picture.group_char = shape.group_char;
  picture.fill = shape.fill == '0' ? '0' : shape.fill == '*' ? '*' : ' ';
  picture.leading_sign = shape.leading_sign;
  picture.trailing_sign = shape.trailing_sign;

  for (char c : shape.leading_currency) (void)Append(picture, c, token::kCurrency);
  if (shape.leading_sign) (void)Append(picture, shape.leading_sign, token::kNumberSign);
  // Integer places, laid out from the decimal point leftwards and then reversed into place.
  std::size_t start = picture.length;
  int digits = 0;
  for (int i = 0; i < integer_places; ++i) {
    if (picture.group_char != '\0' && digits > 0 && digits % 3 == 0 &&
        picture.pairs[picture.length - 1].token != token::kGroup) {
      (void)Append(picture, picture.group_char, token::kGroup);
      continue;
    }
    bool units = digits == 0;
    (void)Append(picture, units ? '0' : picture.fill,
                 units || picture.fill == '0' ? token::kDigitZeroFill : token::kDigitBlankFill);
    ++digits;
  }
  for (std::size_t a = start, b = picture.length - 1; a < b; ++a, --b) {
    std::swap(picture.pairs[a], picture.pairs[b]);
  }
  if (shape.places > 0 && shape.decimal_char != '\0') {
    (void)Append(picture, shape.decimal_char, token::kDecimalPoint);
  }
  for (int i = 0; i < shape.places; ++i) (void)Append(picture, '0', token::kDigitZeroFill);
  if (shape.trailing_sign) (void)Append(picture, shape.trailing_sign, token::kTrailingSign);
  for (char c : shape.trailing_currency) (void)Append(picture, c, token::kCurrency);
  picture.width = picture.length;
  return picture.width == static_cast<std::uint16_t>(shape.size);
}

bool CompileScientific(std::string_view body, Picture& picture) {
  std::size_t pos = 0;
  int size = 0;
  if (!ReadSmallNumber(body, pos, size) || size < 7 || size > static_cast<int>(kMaxPictureWidth)) {
    return false;
  }
  int places = 0;
  char decimal = '.';
  if (pos < body.size() && (body[pos] == '.' || body[pos] == '`' || body[pos] == '_')) {
    decimal = MapWritten(body[pos++]);
    if (pos < body.size() && !ReadSmallNumber(body, pos, places)) return false;
  }
  if (pos != body.size()) return false;
  // Sign, one digit, the point and places, "e", the exponent's sign and three digits at most.
  constexpr int kExponentPlaces = 5;
  int needed = 2 + (places > 0 ? places + 1 : 0) + kExponentPlaces;
  if (needed > size) return false;
  picture.places = static_cast<std::uint8_t>(places);
  picture.decimal_char = decimal;
  picture.group_char = '\0';
  for (int i = 0; i < size - needed; ++i) (void)Append(picture, ' ', token::kDigitBlankFill);
  (void)Append(picture, '-', token::kNumberSign);
  (void)Append(picture, '0', token::kDigitZeroFill);
  if (places > 0) {
    (void)Append(picture, decimal, token::kDecimalPoint);
    for (int i = 0; i < places; ++i) (void)Append(picture, '0', token::kDigitZeroFill);
  }
  for (char c : {'e', '+', '0', '0', '0'}) (void)Append(picture, c, token::kExponent);
  picture.width = picture.length;
  return true;
}

}  // namespace vaultrix::windows::picture_detail
