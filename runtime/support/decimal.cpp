// The Decimal value type: construction, rounding and conversion to and from
// text, double and long.
#include "runtime/support/decimal.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/support/decimal_fit.h"
#include "runtime/support/wide_unsigned.h"

namespace vaultrix::support {
namespace {

using wide::Pow10;
using wide::U128;
using wide::U256;

constexpr std::uint64_t kTen19 = 10'000'000'000'000'000'000ULL;

U128 Magnitude(DecimalCoefficient coefficient) {
  return coefficient < 0 ? static_cast<U128>(0) - static_cast<U128>(coefficient)
                         : static_cast<U128>(coefficient);
}

// Writes the digits of `value` (at least one) into `out`; returns the count.
std::size_t WriteDigits(std::uint64_t value, char* out) {
  char reversed[20];
  std::size_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (std::size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

// Digits of a magnitude below 10^38 without leading zeros ("0" for zero).
std::size_t WriteMagnitude(U128 magnitude, char* out) {
  if (magnitude < kTen19) return WriteDigits(static_cast<std::uint64_t>(magnitude), out);
  const auto high = static_cast<std::uint64_t>(magnitude / kTen19);
  auto low = static_cast<std::uint64_t>(magnitude % kTen19);
  std::size_t length = WriteDigits(high, out);
  for (int i = 18; i >= 0; --i) {
    out[length + static_cast<std::size_t>(i)] = static_cast<char>('0' + low % 10);
    low /= 10;
  }
  return length + 19;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a decimal text and rounds it once to at most `max_places` places.
std::optional<Decimal> ParseRounded(std::string_view text, int max_places) {
  std::size_t i = 0;
  const std::size_t end = text.size();
  while (i < end && text[i] == ' ') ++i;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  U256 magnitude;
  std::uint64_t pending = 0;
  int pending_digits = 0;
  int significant = 0;  // digits taken into the magnitude, leading zeros skipped
  int places = 0;       // fraction digits taken
  bool any_digit = false;
  bool dropped_round_up = false;  // first digit not taken was 5 or more
  bool dropping = false;
  bool in_fraction = false;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c == '.' && !in_fraction) {
      in_fraction = true;
      continue;
    }
    if (!IsDigit(c)) break;
    any_digit = true;
    if (!in_fraction) {
      if (significant == 0 && c == '0') continue;
      if (++significant > kMaxDecimalDigits) return std::nullopt;
    } else {
      if (dropping) continue;
      // Fraction digits stop at the places limit and at the digit limit;
      // zeros before the first significant digit cost no digit.
      const bool significant_digit = significant > 0 || c != '0';
      if (places >= max_places || (significant_digit && significant >= kMaxDecimalDigits)) {
        dropping = true;
        dropped_round_up = c >= '5';
        continue;
      }
      ++places;
      if (significant_digit) ++significant;
    }
    // Digits gather in 64 bits, 18 at a time, before they go into the wide value.
    pending = pending * 10 + static_cast<std::uint64_t>(c - '0');
    if (++pending_digits == 18) {
      magnitude.MultiplyPow10(18);
      magnitude.AddSmall(pending);
      pending = 0;
      pending_digits = 0;
    }
  }
  if (pending_digits > 0) {
    magnitude.MultiplyPow10(pending_digits);
    magnitude.AddSmall(pending);
  }
  while (i < end && text[i] == ' ') ++i;
  if (!any_digit || i != end) return std::nullopt;
  if (dropped_round_up) magnitude.AddSmall(1);
  return FitDecimal(negative, magnitude, places);
}

}  // namespace

std::optional<Decimal> FitDecimal(bool negative, U256 magnitude, int places) {
  if (magnitude.FitsU128() && places <= kMaxDecimalPlaces &&
      magnitude.Low128() < Pow10(kMaxDecimalDigits)) {
    const auto coefficient = static_cast<DecimalCoefficient>(magnitude.Low128());
    return Decimal::FromCoefficient(negative ? -coefficient : coefficient, places);
  }
  const int digits = magnitude.DigitCount();
  int excess = digits - kMaxDecimalDigits;
  if (places - kMaxDecimalPlaces > excess) excess = places - kMaxDecimalPlaces;
  if (excess > places) return std::nullopt;
  if (excess > 0) {
    magnitude = wide::DivideRounded(magnitude, excess);
    places -= excess;
  }
  if (!magnitude.FitsU128()) return std::nullopt;
  U128 value = magnitude.Low128();
  if (value >= Pow10(kMaxDecimalDigits)) {
    // Rounding carried into a 32nd digit: the value is 10^31 / 10^places.
    if (places == 0) return std::nullopt;
    value /= 10;
    --places;
  }
  const auto coefficient = static_cast<DecimalCoefficient>(value);
  return Decimal::FromCoefficient(negative ? -coefficient : coefficient, places);
}

Decimal Decimal::FromLong(std::int64_t value) {
  return Decimal(value, 0);
}

std::optional<Decimal> Decimal::FromCoefficient(DecimalCoefficient coefficient, int places) {
  if (places < 0 || places > kMaxDecimalPlaces) return std::nullopt;
  if (Magnitude(coefficient) >= Pow10(kMaxDecimalDigits)) return std::nullopt;
  return Decimal(coefficient, places);
}

std::optional<Decimal> Decimal::Parse(std::string_view text) {
  return ParseRounded(text, kMaxDecimalPlaces);
}

std::optional<Decimal> Decimal::FromDouble(double value, int places) {
  if (!std::isfinite(value) || places < 0 || places > kMaxDecimalPlaces) return std::nullopt;
  if (std::fabs(value) >= 1e31) return std::nullopt;
  // The shortest text that reads back as the same double; in fixed notation
  // the smallest doubles need a little over 340 characters.
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  if (result.ec != std::errc()) return std::nullopt;
  auto rounded =
      ParseRounded(std::string_view(text, static_cast<std::size_t>(result.ptr - text)), places);
  if (!rounded) return std::nullopt;
  return rounded->Rounded(places);
}

std::size_t Decimal::ToChars(char* out) const {
  std::size_t length = 0;
  if (coefficient_ < 0) out[length++] = '-';
  char digits[40];
  std::size_t count = WriteMagnitude(Magnitude(coefficient_), digits);
  const auto places = static_cast<std::size_t>(places_);
  if (count <= places) {
    // Leading zeros so that at least one integer digit stands before ".".
    const std::size_t zeros = places + 1 - count;
    std::memmove(digits + zeros, digits, count);
    std::memset(digits, '0', zeros);
    count += zeros;
  }
  const std::size_t integer_digits = count - places;
  std::memcpy(out + length, digits, integer_digits);
  length += integer_digits;
  if (places > 0) {
    out[length++] = '.';
    std::memcpy(out + length, digits + integer_digits, places);
    length += places;
  }
  return length;
}

std::string Decimal::ToString() const {
  char text[kMaxTextLength];
  return std::string(text, ToChars(text));
}

double Decimal::ToDouble() const {
  const U128 magnitude = Magnitude(coefficient_);
  // Both operands are exact doubles, so one division rounds correctly.
  if (magnitude < (static_cast<U128>(1) << 53) && places_ <= 22) {
    const double value = static_cast<double>(static_cast<std::uint64_t>(magnitude)) /
                         static_cast<double>(static_cast<std::uint64_t>(Pow10(places_)));
    return coefficient_ < 0 ? -value : value;
  }
  char text[kMaxTextLength];
  const std::size_t length = ToChars(text);
  double value = 0;
  std::from_chars(text, text + length, value);
  return value;
}

std::optional<std::int64_t> Decimal::ToLong() const {
  const DecimalCoefficient integer = coefficient_ / static_cast<DecimalCoefficient>(Pow10(places_));
  if (integer > INT64_MAX || integer < INT64_MIN) return std::nullopt;
  return static_cast<std::int64_t>(integer);
}

Decimal Decimal::Rounded(int places) const {
  if (places < 0) places = 0;
  if (places > kMaxDecimalPlaces) places = kMaxDecimalPlaces;
  if (places == places_) return *this;
  const U128 magnitude = Magnitude(coefficient_);
  U128 result;
  int result_places = places;
  if (places < places_) {
    result = wide::DivideRounded(U256(magnitude), places_ - places).Low128();
  } else {
    const int room = kMaxDecimalDigits - wide::DigitCount(magnitude);
    const int added = places - places_ < room ? places - places_ : room;
    result = magnitude * Pow10(added);
    result_places = places_ + added;
  }
  const auto coefficient = static_cast<DecimalCoefficient>(result);
  return Decimal(coefficient_ < 0 ? -coefficient : coefficient, result_places);
}

int Decimal::DigitCount() const {
  return wide::DigitCount(Magnitude(coefficient_));
}

Decimal Decimal::operator-() const {
  return Decimal(-coefficient_, places_);
}

}  // namespace vaultrix::support
