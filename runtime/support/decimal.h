// Packed decimals: the DECIMAL field type as stored in records and keys, and
// Decimal, the exact value type that the runtime computes with.
//
// Stored layout of a DECIMAL of n bytes (1 to 16) and p places (0 to 2n-1):
//
//   | byte      | high nibble           | low nibble |
//   |-----------|-----------------------|------------|
//   | 0         | sign: 0 positive,     | digit 1    |
//   |           | non-zero negative     |            |
//   |           | (written as 0x8)      |            |
//   | 1 .. n-1  | digit 2k              | digit 2k+1 |
//
// The field holds 2n-1 decimal digits, most significant first; the last p of
// them are places after the decimal point. A 6-byte DECIMAL therefore holds up
// to 11 digits. Zero is always written with a positive sign, so that the
// ordered key encoding sees one zero only; a stored negative zero reads as zero.
// A digit nibble above 9 makes the field unreadable (LoadPacked answers no
// value), so damaged records never turn into numbers silently.
//
// Decimal holds up to 31 significant digits with 0 to 31 places exactly.
// Addition, subtraction, comparison and negation are exact while the result
// fits in 31 digits; otherwise places are given up (rounded half away from
// zero) before integer digits, and a result whose integer part needs more than
// 31 digits is refused (no value). Multiplication and division are computed
// exactly and then rounded half away from zero to fit 31 digits; a quotient
// keeps at most 31 places and loses trailing zeros.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vaultrix::support {

inline constexpr int kMaxDecimalDigits = 31;
inline constexpr int kMaxDecimalPlaces = 31;
inline constexpr int kMaxPackedBytes = 16;

__extension__ typedef __int128 DecimalCoefficient;

// Digits held by a packed field of `size_bytes` bytes.
[[nodiscard]] constexpr int PackedDigits(int size_bytes) {
  return 2 * size_bytes - 1;
}

// True when a field of this size and number of places can exist.
[[nodiscard]] constexpr bool IsValidPackedShape(int size_bytes, int places) {
  return size_bytes >= 1 && size_bytes <= kMaxPackedBytes && places >= 0 &&
         places <= PackedDigits(size_bytes);
}

class Decimal {
 public:
  constexpr Decimal() = default;

  // The whole number `value`, 0 places.
  [[nodiscard]] static Decimal FromLong(std::int64_t value);

  // `value` rounded half away from zero to `places` places (0 to 31). The
  // double is first read as its shortest decimal form, so 2.675 becomes 2.68
  // at 2 places as a user would expect. No value for NaN, infinities and
  // magnitudes that need more than 31 integer digits.
  [[nodiscard]] static std::optional<Decimal> FromDouble(double value, int places);

  // Reads optional blanks, an optional "+" or "-", digits with an optional
  // "." (at least one digit in all), optional blanks. Places beyond what 31
  // digits can hold are rounded half away from zero; more than 31 integer
  // digits, or any other character, gives no value.
  [[nodiscard]] static std::optional<Decimal> Parse(std::string_view text);

  // Plain text: "-" when negative, the integer digits (at least "0"), then
  // "." and exactly Places() digits when Places() > 0. Never "-0".
  [[nodiscard]] std::string ToString() const;

  // Writes ToString() into `out` (at least kMaxTextLength bytes) without
  // allocating; returns the length.
  static constexpr std::size_t kMaxTextLength = kMaxDecimalDigits + 3;
  std::size_t ToChars(char* out) const;

  // The nearest double.
  [[nodiscard]] double ToDouble() const;

  // The integer part (places cut, toward zero); no value when it does not
  // fit in 64 bits.
  [[nodiscard]] std::optional<std::int64_t> ToLong() const;

  // This value rounded half away from zero to `places` places (0 to 31).
  // Asking for more places than held adds zeros while 31 digits allow it.
  [[nodiscard]] Decimal Rounded(int places) const;

  [[nodiscard]] int Places() const { return places_; }
  [[nodiscard]] bool IsZero() const { return coefficient_ == 0; }
  [[nodiscard]] bool IsNegative() const { return coefficient_ < 0; }
  // Number of significant digits of the coefficient (0 for zero).
  [[nodiscard]] int DigitCount() const;

  // The value is Coefficient() / 10^Places().
  [[nodiscard]] DecimalCoefficient Coefficient() const { return coefficient_; }
  // No value when |coefficient| >= 10^31 or places is outside 0..31.
  [[nodiscard]] static std::optional<Decimal> FromCoefficient(DecimalCoefficient coefficient,
                                                              int places);

  [[nodiscard]] Decimal operator-() const;

  // Values compare by magnitude, whatever their places: 1.50 == 1.5.
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);
  friend bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

  [[nodiscard]] static std::optional<Decimal> Add(const Decimal& a, const Decimal& b);
  [[nodiscard]] static std::optional<Decimal> Subtract(const Decimal& a, const Decimal& b);
  [[nodiscard]] static std::optional<Decimal> Multiply(const Decimal& a, const Decimal& b);
  // No value when dividing by zero.
  [[nodiscard]] static std::optional<Decimal> Divide(const Decimal& a, const Decimal& b);

 private:
  constexpr Decimal(DecimalCoefficient coefficient, int places)
      : coefficient_(coefficient), places_(static_cast<std::int8_t>(places)) {}

  DecimalCoefficient coefficient_ = 0;
  std::int8_t places_ = 0;
};

// Packed fields. `data` points at `size` bytes of a record buffer; a field
// whose size or places are impossible (see IsValidPackedShape) is refused.

// The value of the stored field; no value for a digit nibble above 9 or an
// impossible shape.
[[nodiscard]] std::optional<Decimal> LoadPacked(const std::uint8_t* data, int size, int places);

// Stores `value` rounded half away from zero to `places` places. Returns
// false and leaves the field untouched when the integer part does not fit
// in the field's 2n-1-places digits or the shape is impossible.
[[nodiscard]] bool StorePacked(const Decimal& value, std::uint8_t* data, int size, int places);

// Conversions straight between fields and outside values, as the runtime's
// assignments need them.
[[nodiscard]] std::optional<std::string> PackedToText(const std::uint8_t* data, int size,
                                                      int places);
[[nodiscard]] bool TextToPacked(std::string_view text, std::uint8_t* data, int size, int places);
[[nodiscard]] std::optional<double> PackedToDouble(const std::uint8_t* data, int size, int places);
[[nodiscard]] bool DoubleToPacked(double value, std::uint8_t* data, int size, int places);
[[nodiscard]] bool LongToPacked(std::int64_t value, std::uint8_t* data, int size, int places);

}  // namespace vaultrix::support
