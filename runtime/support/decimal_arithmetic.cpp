// Exact decimal arithmetic: each result is computed exactly in 256 bits and
// then fitted to 31 digits (see decimal.h for the rounding rules).
#include <algorithm>

#include "runtime/support/decimal.h"
#include "runtime/support/decimal_fit.h"
#include "runtime/support/wide_unsigned.h"

namespace vaultrix::support {
namespace {

using wide::U128;
using wide::U256;

U128 Magnitude(const Decimal& value) {
  const DecimalCoefficient c = value.Coefficient();
  return c < 0 ? static_cast<U128>(0) - static_cast<U128>(c) : static_cast<U128>(c);
}

// The magnitude of `value` scaled to `places` places (>= its own).
U256 Aligned(const Decimal& value, int places) {
  U256 result(Magnitude(value));
  result.MultiplyPow10(places - value.Places());
  return result;
}

// a + b where `negate_b` turns the sum into a difference.
std::optional<Decimal> SignedSum(const Decimal& a, const Decimal& b, bool negate_b) {
  const int places = std::max(a.Places(), b.Places());
  const U256 ma = Aligned(a, places);
  const U256 mb = Aligned(b, places);
  const bool a_negative = a.IsNegative();
  const bool b_negative = b.IsNegative() != negate_b && !b.IsZero();
  if (a_negative == b_negative) {
    U256 sum = ma;
    sum.Add(mb);
    return FitDecimal(a_negative, sum, places);
  }
  // Opposite signs: the larger magnitude keeps its sign.
  if (ma.Compare(mb) >= 0) {
    U256 difference = ma;
    difference.Subtract(mb);
    return FitDecimal(a_negative, difference, places);
  }
  U256 difference = mb;
  difference.Subtract(ma);
  return FitDecimal(b_negative, difference, places);
}

}  // namespace

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  if (a.Places() == b.Places()) return a.Coefficient() <=> b.Coefficient();
  const int sign_a = a.IsNegative() ? -1 : (a.IsZero() ? 0 : 1);
  const int sign_b = b.IsNegative() ? -1 : (b.IsZero() ? 0 : 1);
  if (sign_a != sign_b) return sign_a <=> sign_b;
  const int places = std::max(a.Places(), b.Places());
  const int order = Aligned(a, places).Compare(Aligned(b, places));
  const int signed_order = sign_a < 0 ? -order : order;
  return signed_order <=> 0;
}

std::optional<Decimal> Decimal::Add(const Decimal& a, const Decimal& b) {
  return SignedSum(a, b, false);
}

std::optional<Decimal> Decimal::Subtract(const Decimal& a, const Decimal& b) {
  return SignedSum(a, b, true);
}

std::optional<Decimal> Decimal::Multiply(const Decimal& a, const Decimal& b) {
  const U256 product = U256::Product(Magnitude(a), Magnitude(b));
  return FitDecimal(a.IsNegative() != b.IsNegative(), product, a.Places() + b.Places());
}

// Long division one digit at a time: the numerator's digits, then zeros,
// each brought down into a remainder below the divisor (< 10^31), until the
// quotient has a digit beyond the 31 digits or 31 places it may keep, or
// divides exactly.
std::optional<Decimal> Decimal::Divide(const Decimal& a, const Decimal& b) {
  const U128 divisor = Magnitude(b);
  if (divisor == 0) return std::nullopt;
  const U128 dividend = Magnitude(a);
  const int dividend_digits = wide::DigitCount(dividend);

  U256 quotient;
  U128 remainder = 0;
  int quotient_digits = 0;
  // The quotient's places: each digit brought down past the dividend's own
  // digits adds one; the operands' places shift the point.
  int places = a.Places() - b.Places() - dividend_digits;
  for (int step = 0;; ++step) {
    const int digit =
        step < dividend_digits
            ? static_cast<int>(dividend / wide::Pow10(dividend_digits - 1 - step) % 10)
            : 0;
    remainder = remainder * 10 + static_cast<U128>(digit);
    const auto quotient_digit = static_cast<std::uint64_t>(remainder / divisor);
    remainder %= divisor;
    quotient.MultiplySmall(10);
    quotient.AddSmall(quotient_digit);
    ++places;
    if (quotient_digits > 0 || quotient_digit != 0) ++quotient_digits;
    if (quotient_digits > kMaxDecimalDigits + 2 && places <= 0) return std::nullopt;
    if (places < 0) continue;
    const bool exact = step + 1 >= dividend_digits && remainder == 0;
    if (exact || quotient_digits > kMaxDecimalDigits || places > kMaxDecimalPlaces) break;
  }
  auto result = FitDecimal(a.IsNegative() != b.IsNegative(), quotient, places);
  if (!result) return std::nullopt;
  // A quotient keeps only the places that carry digits.
  DecimalCoefficient coefficient = result->Coefficient();
  int kept = result->Places();
  while (kept > 0 && coefficient % 10 == 0) {
    coefficient /= 10;
    --kept;
  }
  return FromCoefficient(coefficient, kept);
}

}  // namespace vaultrix::support
