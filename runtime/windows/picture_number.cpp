// Formatting and reading of number ("N") and scientific ("E") pictures. Every value is first
// spelled as plain decimal text (the shortest spelling for a double), then rounded half away
// from zero on that text, so the display never shows binary noise.
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "runtime/support/decimal.h"
#include "runtime/windows/picture.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows::picture_detail {
namespace {

// Magnitudes from here on cannot fit any picture (255 places at most).
constexpr double kTooLarge = 1e256;
// Room for the fixed spelling of any double below kTooLarge with all its places.
constexpr std::size_t kSpellingRoom = 400;

// The digits of a value rounded to a number of places: `integer` without leading zeros (empty
// for zero), `fraction` exactly `places` digits.
struct Digits {
  bool negative = false;
  char integer[kSpellingRoom];
  std::size_t integer_size = 0;
  char fraction[kSpellingRoom];
  std::size_t fraction_size = 0;
};

// The shortest digits that read back as `v`, laid out in fixed notation ("1e200" becomes a 1 and
// 200 zeros, not the double's exact binary value).
bool SpellReal(double v, char* out, std::size_t& size) {
  if (!std::isfinite(v) || std::fabs(v) >= kTooLarge) return false;
  if (std::fabs(v) < 1e-300) v = 0;  // no picture shows that many places
  char scientific[64];
  auto result =
      std::to_chars(scientific, scientific + sizeof scientific, v, std::chars_format::scientific);
  if (result.ec != std::errc{}) return false;
  std::string_view text(scientific, static_cast<std::size_t>(result.ptr - scientific));
  size = 0;
  if (text.front() == '-') {
    out[size++] = '-';
    text.remove_prefix(1);
  }
  std::size_t e = text.find('e');
  char digits[32];
  std::size_t digit_count = 0;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits[digit_count++] = c;
  }
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
  // The decimal point stands after digit number exponent + 1.
  int point = exponent + 1;
  if (point <= 0) {
    out[size++] = '0';
    out[size++] = '.';
    for (int i = 0; i < -point; ++i) out[size++] = '0';
    for (std::size_t i = 0; i < digit_count; ++i) out[size++] = digits[i];
    return true;
  }
  for (int i = 0; i < point; ++i) {
    out[size++] = static_cast<std::size_t>(i) < digit_count ? digits[i] : '0';
  }
  if (static_cast<std::size_t>(point) < digit_count) {
    out[size++] = '.';
    for (std::size_t i = static_cast<std::size_t>(point); i < digit_count; ++i)
      out[size++] = digits[i];
  }
  return true;
}

// Spells the value as "-123.45"; false for values no picture can hold (NaN, infinities, huge).
bool Spell(const PictureValue& value, char* out, std::size_t& size) {
  switch (value.type) {
    case ValueType::kLong: {
      size = static_cast<std::size_t>(
          std::to_chars(out, out + kSpellingRoom, value.long_value).ptr - out);
      return true;
    }
    case ValueType::kReal:
      return SpellReal(value.real_value, out, size);
    case ValueType::kDecimal:
      size = value.decimal_value.ToChars(out);
      return true;
    case ValueType::kText: {
      std::optional<support::Decimal> parsed = support::Decimal::Parse(value.text);
      support::Decimal decimal = parsed ? *parsed : support::Decimal();
      size = decimal.ToChars(out);
      return true;
    }
  }
  return false;
}

bool ToDigits(const PictureValue& value, int places, Digits& digits) {
  char spelling[kSpellingRoom];
  std::size_t size = 0;
  if (!Spell(value, spelling, size)) return false;
  std::size_t pos = 0;
  if (pos < size && spelling[pos] == '-') {
    digits.negative = true;
    ++pos;
  }
  while (pos < size && spelling[pos] == '0') ++pos;
  while (pos < size && IsDigit(spelling[pos]))
    digits.integer[digits.integer_size++] = spelling[pos++];
  if (pos < size && spelling[pos] == '.') ++pos;
  for (int i = 0; i < places; ++i) {
    digits.fraction[digits.fraction_size++] = pos < size ? spelling[pos++] : '0';
  }
  // Half away from zero: the first digit dropped decides.
  if (pos < size && spelling[pos] >= '5') {
    std::size_t i = digits.fraction_size;
    bool carry = true;
    while (carry && i > 0) {
      char& d = digits.fraction[--i];
      carry = d == '9';
      d = carry ? '0' : static_cast<char>(d + 1);
    }
    i = digits.integer_size;
    while (carry && i > 0) {
      char& d = digits.integer[--i];
      carry = d == '9';
      d = carry ? '0' : static_cast<char>(d + 1);
    }
    if (carry) {
      std::memmove(digits.integer + 1, digits.integer, digits.integer_size);
      digits.integer[0] = '1';
      ++digits.integer_size;
    }
  }
  bool zero = digits.integer_size == 0;
  for (std::size_t i = 0; zero && i < digits.fraction_size; ++i) zero = digits.fraction[i] == '0';
  if (zero) digits.negative = false;
  return true;
}

}  // namespace

void FormatNumber(const PictureValue& value, const Picture& picture, PictureText& out) {
  std::size_t width = picture.width;
  out.size = picture.width;
  Digits digits;
  if (!ToDigits(value, picture.places, digits)) return FillOverflow(out, width);
  for (std::size_t i = 0; i < width; ++i) out.chars[i] = picture.pairs[i].fill;

  // The regions of the template, from the right.
  std::size_t end = width;
  while (end > 0 && picture.pairs[end - 1].token == token::kCurrency) --end;
  if (end > 0 && picture.pairs[end - 1].token == token::kTrailingSign) {
    --end;
    bool shown = digits.negative;
    out.chars[end] = shown ? picture.pairs[end].fill : ' ';
  }
  std::size_t fraction_begin = end - picture.places;
  std::memcpy(out.chars.data() + fraction_begin, digits.fraction, picture.places);
  std::size_t integer_end = fraction_begin;
  if (integer_end > 0 && picture.pairs[integer_end - 1].token == token::kDecimalPoint)
    --integer_end;
  std::size_t integer_begin = 0;
  while (integer_begin < integer_end &&
         (picture.pairs[integer_begin].token == token::kCurrency ||
          picture.pairs[integer_begin].token == token::kNumberSign)) {
    ++integer_begin;
  }

  // Integer digits right to left; `used` ends at the leftmost place written, `significant` at
  // the leftmost place holding a digit of the number (the units place for zero).
  std::size_t remaining = digits.integer_size;
  std::size_t used = integer_end;
  std::size_t significant = integer_end - 1;
  for (std::size_t i = integer_end; i-- > integer_begin;) {
    const TemplatePair& pair = picture.pairs[i];
    bool units = i + 1 == integer_end;
    if (pair.token == token::kGroup) {
      if (remaining == 0 && picture.fill != '0') break;
      out.chars[i] = pair.fill;
    } else if (remaining > 0) {
      out.chars[i] = digits.integer[--remaining];
      significant = i;
    } else if (units || picture.fill == '0') {
      out.chars[i] = '0';
    } else {
      break;
    }
    used = i;
  }
  if (remaining > 0) return FillOverflow(out, width);

  // The prefix: the leading currency and the sign, floating next to the digits.
  char prefix[kMaxPictureWidth + 1];
  std::size_t prefix_size = 0;
  for (std::size_t i = 0; i < integer_begin && picture.pairs[i].token == token::kCurrency; ++i) {
    prefix[prefix_size++] = picture.pairs[i].fill;
  }
  if (digits.negative && picture.trailing_sign != '-') {
    prefix[prefix_size++] = picture.leading_sign == '(' ? '(' : '-';
  }
  if (picture.fill == '0' && prefix_size > used) {
    // Leading zeros give way to the prefix, significant digits never do.
    if (prefix_size > significant) return FillOverflow(out, width);
    std::memcpy(out.chars.data(), prefix, prefix_size);
    return;
  }
  if (prefix_size > used) return FillOverflow(out, width);
  if (picture.fill == '*') {
    std::memcpy(out.chars.data(), prefix, prefix_size);
    std::memset(out.chars.data() + prefix_size, '*', used - prefix_size);
  } else {
    std::memset(out.chars.data(), ' ', used - prefix_size);
    std::memcpy(out.chars.data() + used - prefix_size, prefix, prefix_size);
  }
}

bool DeformatNumber(std::string_view text, const Picture& picture, DeformattedValue& value) {
  // The picture's currency text.
  char currency[kMaxPictureWidth];
  std::size_t currency_size = 0;
  for (std::size_t i = 0; i < picture.length; ++i) {
    if (picture.pairs[i].token == token::kCurrency)
      currency[currency_size++] = picture.pairs[i].fill;
  }
  std::string_view currency_text(currency, currency_size);
  auto trim = [](std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
  };
  text = trim(text);
  bool negative = false;
  bool changed = true;
  while (changed && !text.empty()) {
    changed = false;
    if (!currency_text.empty() && text.substr(0, currency_size) == currency_text) {
      text.remove_prefix(currency_size);
      changed = true;
    } else if (!currency_text.empty() && text.size() >= currency_size &&
               text.substr(text.size() - currency_size) == currency_text) {
      text.remove_suffix(currency_size);
      changed = true;
    } else if (text.front() == '*' && picture.fill == '*') {
      text.remove_prefix(1);
      changed = true;
    } else if (text.front() == '-' && !negative) {
      negative = true;
      text.remove_prefix(1);
      changed = true;
    } else if (text.back() == '-' && !negative) {
      negative = true;
      text.remove_suffix(1);
      changed = true;
    } else if (text.front() == '(' && text.back() == ')' && text.size() >= 2 && !negative) {
      negative = true;
      text = text.substr(1, text.size() - 2);
      changed = true;
    }
    text = trim(text);
  }

  // The digits, in plain spelling for the decimal reader.
  char spelling[kMaxPictureWidth + 4];
  std::size_t size = 0;
  spelling[size++] = negative ? '-' : '+';
  char point = picture.decimal_char != '\0' ? picture.decimal_char : '.';
  bool seen_point = false;
  std::size_t digit_count = 0;
  for (char c : text) {
    if (IsDigit(c)) {
      if (size >= sizeof spelling - 2) return false;
      spelling[size++] = c;
      ++digit_count;
    } else if (c == point && !seen_point) {
      seen_point = true;
      spelling[size++] = '.';
    } else if (c == picture.group_char && c != '\0' && !seen_point) {
      continue;
    } else {
      return false;
    }
  }
  if (digit_count == 0) return false;
  std::string_view plain(spelling, size);
  if (picture.decimal_char == '\0' && !seen_point && picture.places > 0) {
    // "V": the last digits typed are the places, as the picture shows them.
    std::size_t integer_digits = digit_count > picture.places ? digit_count - picture.places : 0;
    char shifted[kMaxPictureWidth + 8];
    std::size_t n = 0;
    shifted[n++] = spelling[0];
    shifted[n++] = '0';
    for (std::size_t i = 0; i < digit_count; ++i) {
      if (i == integer_digits) shifted[n++] = '.';
      shifted[n++] = spelling[1 + i];
    }
    if (integer_digits == 0 && digit_count < picture.places) {
      // Fewer digits than places: they are the last places.
      n = 0;
      shifted[n++] = spelling[0];
      shifted[n++] = '0';
      shifted[n++] = '.';
      for (std::size_t i = digit_count; i < picture.places; ++i) shifted[n++] = '0';
      for (std::size_t i = 0; i < digit_count; ++i) shifted[n++] = spelling[1 + i];
    }
    std::memcpy(spelling, shifted, n);
    plain = std::string_view(spelling, n);
  }
  if (plain.front() == '+') plain.remove_prefix(1);
  std::optional<support::Decimal> decimal = support::Decimal::Parse(plain);
  if (!decimal) {
    double real = 0;
    auto result = std::from_chars(plain.data(), plain.data() + plain.size(), real);
    if (result.ec != std::errc{}) return false;
    value.type = ValueType::kReal;
    value.real_value = real;
    return true;
  }
  int places =
      picture.places < support::kMaxDecimalPlaces ? picture.places : support::kMaxDecimalPlaces;
  support::Decimal rounded = decimal->Rounded(places);
  std::optional<std::int64_t> whole = rounded.ToLong();
  if (picture.places == 0 && whole) {
    value.type = ValueType::kLong;
    value.long_value = *whole;
  } else {
    value.type = ValueType::kDecimal;
    value.decimal_value = rounded;
  }
  return true;
}

void FormatScientific(const PictureValue& value, const Picture& picture, PictureText& out) {
  std::size_t width = picture.width;
  double v = value.type == ValueType::kReal      ? value.real_value
             : value.type == ValueType::kLong    ? static_cast<double>(value.long_value)
             : value.type == ValueType::kDecimal ? value.decimal_value.ToDouble()
                                                 : 0.0;
  if (value.type == ValueType::kText) {
    std::optional<support::Decimal> parsed = support::Decimal::Parse(value.text);
    v = parsed ? parsed->ToDouble() : 0.0;
  }
  if (!std::isfinite(v)) return FillOverflow(out, width);
  char spelled[kMaxPictureWidth + 16];
  auto result = std::to_chars(spelled, spelled + sizeof spelled, v, std::chars_format::scientific,
                              picture.places);
  if (result.ec != std::errc{}) return FillOverflow(out, width);
  std::size_t size = static_cast<std::size_t>(result.ptr - spelled);
  if (size > width) return FillOverflow(out, width);
  for (std::size_t i = 0; i < size; ++i) {
    if (spelled[i] == '.') spelled[i] = picture.decimal_char;
  }
  std::memset(out.chars.data(), ' ', width - size);
  std::memcpy(out.chars.data() + width - size, spelled, size);
  out.size = picture.width;
}

bool DeformatScientific(std::string_view text, const Picture& picture, DeformattedValue& value) {
  char plain[kMaxPictureWidth + 1];
  std::size_t size = 0;
  for (char c : text) {
    if (c == ' ' && picture.decimal_char != ' ') continue;
    if (size == 0 && c == '+') continue;
    if (size >= kMaxPictureWidth) return false;
    plain[size++] = c == picture.decimal_char ? '.' : c;
  }
  double real = 0;
  auto result = std::from_chars(plain, plain + size, real);
  if (result.ec != std::errc{} || result.ptr != plain + size || !std::isfinite(real)) return false;
  value.type = ValueType::kReal;
  value.real_value = real;
  return true;
}

}  // namespace vaultrix::windows::picture_detail
