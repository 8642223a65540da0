// FormatValue and DeformatValue: the dispatch on the picture's kind, and the kinds whose layout
// is a plain run of places: strings, patterns and key-in masks. Numbers, dates and times have
// files of their own.
#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/support/utf8_text.h"
#include "runtime/windows/picture.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows {
namespace {

using picture_detail::FillBlanks;
using picture_detail::FillOverflow;

bool IsLetter(char c) {
  auto u = static_cast<unsigned char>(c);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || u >= 0x80;
}
char ToUpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
char ToLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// The plain text of a value, as a string picture shows a number.
std::string_view ValueText(const PictureValue& value, char* scratch, std::size_t room) {
  switch (value.type) {
    case ValueType::kText:
      return value.text;
    case ValueType::kLong: {
      auto result = std::to_chars(scratch, scratch + room, value.long_value);
      return {scratch, static_cast<std::size_t>(result.ptr - scratch)};
    }
    case ValueType::kReal: {
      auto result = std::to_chars(scratch, scratch + room, value.real_value);
      if (result.ec != std::errc{}) return {};
      return {scratch, static_cast<std::size_t>(result.ptr - scratch)};
    }
    case ValueType::kDecimal: {
      std::size_t length = value.decimal_value.ToChars(scratch);
      return {scratch, length};
    }
  }
  return {};
}

void FormatString(const PictureValue& value, const Picture& picture, PictureText& out) {
  char scratch[64];
  std::string_view text = ValueText(value, scratch, sizeof scratch);
  std::size_t width = picture.width;
  std::size_t shown = support::Utf8CutLength(text, width);
  if (shown > 0) std::memcpy(out.chars.data(), text.data(), shown);  // an empty view may be null
  std::memset(out.chars.data() + shown, ' ', width - shown);
  out.size = picture.width;
}

void FormatPattern(const PictureValue& value, const Picture& picture, PictureText& out) {
  std::int64_t number = picture_detail::ValueAsLong(value);
  out.size = picture.width;
  if (number < 0) return FillOverflow(out, picture.width);
  for (std::size_t i = picture.length; i-- > 0;) {
    const TemplatePair& pair = picture.pairs[i];
    char shown = pair.fill;
    if (pair.token == token::kDigitZeroFill || pair.token == token::kDigitBlankFill) {
      if (number > 0 || pair.token == token::kDigitZeroFill)
        shown = static_cast<char>('0' + number % 10);
      number /= 10;
    }
    out.chars[i] = shown;
  }
  if (number > 0) FillOverflow(out, picture.width);
}

bool FitsKeyInPlace(std::uint8_t kind, char c) {
  switch (kind) {
    case token::kDigitZeroFill:
      return picture_detail::IsDigit(c);
    case token::kDigitBlankFill:
      return picture_detail::IsDigit(c) || c == ' ';
    case token::kLetter:
    case token::kUpperLetter:
    case token::kLowerLetter:
      return IsLetter(c);
    default:
      return true;
  }
}

char KeyInShown(std::uint8_t kind, char c) {
  if (kind == token::kUpperLetter) return ToUpperAscii(c);
  if (kind == token::kLowerLetter) return ToLowerAscii(c);
  return c;
}

void FormatKeyIn(const PictureValue& value, const Picture& picture, PictureText& out) {
  char scratch[64];
  std::string_view text = ValueText(value, scratch, sizeof scratch);
  std::size_t next = 0;
  std::size_t at = 0;
  for (std::size_t i = 0; i < picture.length; ++i) {
    const TemplatePair& pair = picture.pairs[i];
    if (pair.token == token::kKeyInMarker) continue;
    char shown = pair.fill;
    if (pair.token != token::kLiteral) {
      char c = next < text.size() ? text[next++] : ' ';
      if (FitsKeyInPlace(pair.token, c)) shown = KeyInShown(pair.token, c);
    }
    out.chars[at++] = shown;
  }
  out.size = static_cast<std::uint16_t>(at);
}

void CopyText(std::string_view text, std::size_t width, DeformattedValue& value) {
  std::size_t kept = support::Utf8CutLength(text, width);
  if (kept > 0) std::memcpy(value.text.chars.data(), text.data(), kept);
  value.text.size = static_cast<std::uint16_t>(kept);
  value.type = ValueType::kText;
}

bool DeformatPattern(std::string_view text, const Picture& picture, DeformattedValue& value) {
  // Read the digit places where the text lines up with the mask's literals; otherwise take
  // every digit typed, in order.
  bool aligned = text.size() <= picture.length;
  for (std::size_t i = 0; aligned && i < text.size(); ++i) {
    const TemplatePair& pair = picture.pairs[i];
    aligned = pair.token != token::kLiteral || text[i] == pair.fill;
  }
  std::int64_t number = 0;
  int digits = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool digit_place = !aligned || picture.pairs[i].token != token::kLiteral;
    if (!digit_place || c == ' ') continue;
    if (!picture_detail::IsDigit(c)) return false;
    if (++digits > 18) return false;
    number = number * 10 + (c - '0');
  }
  value.type = ValueType::kLong;
  value.long_value = number;
  return true;
}

bool DeformatKeyIn(std::string_view text, const Picture& picture, DeformattedValue& value) {
  bool required = true;
  std::size_t at = 0;
  std::size_t kept = 0;
  std::size_t last_filled = 0;
  for (std::size_t i = 0; i < picture.length; ++i) {
    const TemplatePair& pair = picture.pairs[i];
    if (pair.token == token::kKeyInMarker) {
      required = false;
      continue;
    }
    char c = at < text.size() ? text[at] : ' ';
    ++at;
    if (pair.token == token::kLiteral) continue;
    bool empty = c == ' ' && pair.token != token::kAnyCharacter;
    if (empty && !required) {
      value.text.chars[kept++] = ' ';
      continue;
    }
    if (!FitsKeyInPlace(pair.token, c)) return false;
    value.text.chars[kept++] = KeyInShown(pair.token, c);
    if (c != ' ') last_filled = kept;
  }
  value.text.size = static_cast<std::uint16_t>(last_filled);
  value.type = ValueType::kText;
  return true;
}

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

}  // namespace

PictureText FormatValue(const PictureValue& value, const Picture& picture) {
  PictureText out;
  PictureKind kind = picture.kind();
  if (kind == PictureKind::kNone) return out;
  bool numeric = kind != PictureKind::kString && kind != PictureKind::kKeyIn;
  if (numeric && picture.blank_when_zero() && picture_detail::ValueIsZero(value)) {
    FillBlanks(out, picture.width);
    return out;
  }
  switch (kind) {
    case PictureKind::kString:
      FormatString(value, picture, out);
      break;
    case PictureKind::kNumber:
      picture_detail::FormatNumber(value, picture, out);
      break;
    case PictureKind::kScientific:
      picture_detail::FormatScientific(value, picture, out);
      break;
    case PictureKind::kDate:
      picture_detail::FormatDate(picture_detail::ValueAsLong(value), picture, out);
      break;
    case PictureKind::kTime:
      picture_detail::FormatTime(picture_detail::ValueAsLong(value), picture, out);
      break;
    case PictureKind::kPattern:
      FormatPattern(value, picture, out);
      break;
    case PictureKind::kKeyIn:
      FormatKeyIn(value, picture, out);
      break;
    case PictureKind::kNone:
      break;
  }
  return out;
}

bool DeformatValue(std::string_view text, const Picture& picture, DeformattedValue& value) {
  value = DeformattedValue{};
  PictureKind kind = picture.kind();
  bool numeric = kind != PictureKind::kString && kind != PictureKind::kKeyIn;
  if (numeric && IsBlank(text)) {
    if (kind == PictureKind::kScientific) value.type = ValueType::kReal;
    return kind != PictureKind::kNone;
  }
  switch (kind) {
    case PictureKind::kString:
      CopyText(text, picture.width, value);
      return true;
    case PictureKind::kNumber:
      return picture_detail::DeformatNumber(text, picture, value);
    case PictureKind::kScientific:
      return picture_detail::DeformatScientific(text, picture, value);
    case PictureKind::kDate:
      return picture_detail::DeformatDate(text, picture, value);
    case PictureKind::kTime:
      return picture_detail::DeformatTime(text, picture, value);
    case PictureKind::kPattern:
      return DeformatPattern(text, picture, value);
    case PictureKind::kKeyIn:
      return DeformatKeyIn(text, picture, value);
    case PictureKind::kNone:
      return false;
  }
  return false;
}

namespace picture_detail {

namespace {
std::optional<support::Decimal> ValueAsDecimal(const PictureValue& value) {
  switch (value.type) {
    case ValueType::kLong:
      return support::Decimal::FromLong(value.long_value);
    case ValueType::kReal:
      return support::Decimal::FromDouble(value.real_value, 0);
    case ValueType::kDecimal:
      return value.decimal_value;
    case ValueType::kText:
      return support::Decimal::Parse(value.text);
  }
  return std::nullopt;
}
}  // namespace

std::int64_t ValueAsLong(const PictureValue& value) {
  if (value.type == ValueType::kLong) return value.long_value;
  if (value.type == ValueType::kReal) {
    double rounded = std::round(value.real_value);
    if (!(std::fabs(rounded) < 9.2e18)) return rounded < 0 ? INT64_MIN : INT64_MAX;
    return static_cast<std::int64_t>(rounded);
  }
  std::optional<support::Decimal> decimal = ValueAsDecimal(value);
  if (!decimal) return 0;
  std::optional<std::int64_t> whole = decimal->Rounded(0).ToLong();
  if (whole) return *whole;
  return decimal->IsNegative() ? INT64_MIN : INT64_MAX;
}

bool ValueIsZero(const PictureValue& value) {
  switch (value.type) {
    case ValueType::kLong:
      return value.long_value == 0;
    case ValueType::kReal:
      return value.real_value == 0;
    case ValueType::kDecimal:
      return value.decimal_value.IsZero();
    case ValueType::kText: {
      std::optional<support::Decimal> decimal = support::Decimal::Parse(value.text);
      return !decimal || decimal->IsZero();
    }
  }
  return false;
}

}  // namespace picture_detail
}  // namespace vaultrix::windows
