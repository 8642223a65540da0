// Reading and writing DECIMAL fields in record buffers (layout in decimal.h).
#include <cstring>

#include "runtime/support/decimal.h"
#include "runtime/support/wide_unsigned.h"

namespace vaultrix::support {
namespace {

using wide::U128;

constexpr std::uint8_t kNegativeSign = 0x80;
constexpr std::uint64_t kTen18 = 1'000'000'000'000'000'000ULL;

// Every digit nibble of a packed field is 0 to 9, or the field is damaged.
// Up to 19 digits are gathered in 64 bits, the rest in 128.
std::optional<U128> ReadDigits(const std::uint8_t* data, int size) {
  const int digit_count = PackedDigits(size);
  std::uint64_t small = data[0] & 0x0F;
  if (small > 9) return std::nullopt;
  U128 large = 0;
  const bool wide_needed = digit_count > 19;
  for (int i = 1; i < size; ++i) {
    const unsigned high = data[i] >> 4;
    const unsigned low = data[i] & 0x0F;
    if (high > 9 || low > 9) return std::nullopt;
    if (!wide_needed || i < 9) {
      small = small * 100 + high * 10 + low;
    } else {
      if (i == 9) large = small;
      large = large * 100 + high * 10 + low;
    }
  }
  return wide_needed ? large : static_cast<U128>(small);
}

}  // namespace

std::optional<Decimal> LoadPacked(const std::uint8_t* data, int size, int places) {
  if (!IsValidPackedShape(size, places)) return std::nullopt;
  const auto magnitude = ReadDigits(data, size);
  if (!magnitude) return std::nullopt;
  auto coefficient = static_cast<DecimalCoefficient>(*magnitude);
  // A stored negative zero reads as plain zero.
  if ((data[0] & 0xF0) != 0) coefficient = -coefficient;
  return Decimal::FromCoefficient(coefficient, places);
}

bool StorePacked(const Decimal& value, std::uint8_t* data, int size, int places) {
  if (!IsValidPackedShape(size, places)) return false;
  const Decimal rounded = value.Rounded(places);
  if (rounded.Places() != places || rounded.DigitCount() > PackedDigits(size)) return false;
  const DecimalCoefficient coefficient = rounded.Coefficient();
  U128 magnitude = coefficient < 0 ? static_cast<U128>(0) - static_cast<U128>(coefficient)
                                   : static_cast<U128>(coefficient);
  // Digits below the 19th come from 64-bit arithmetic, the rest from 128.
  int i = size - 1;
  std::uint64_t low = static_cast<std::uint64_t>(magnitude % kTen18);
  U128 high = magnitude / kTen18;
  int pairs = 0;
  for (; i >= 1 && pairs < 9; --i, ++pairs) {
    const auto pair = static_cast<unsigned>(low % 100);
    low /= 100;
    data[i] = static_cast<std::uint8_t>(((pair / 10) << 4) | (pair % 10));
  }
  // The high part has at most 13 digits; it is only reached after 18 digits.
  std::uint64_t rest = pairs == 9 ? static_cast<std::uint64_t>(high) : low;
  for (; i >= 1; --i) {
    const auto pair = static_cast<unsigned>(rest % 100);
    rest /= 100;
    data[i] = static_cast<std::uint8_t>(((pair / 10) << 4) | (pair % 10));
  }
  const auto first = static_cast<std::uint8_t>(rest % 10);
  // Zero is always stored positive (Rounded never yields a negative zero).
  data[0] = static_cast<std::uint8_t>((coefficient < 0 ? kNegativeSign : 0) | first);
  return true;
}

std::optional<std::string> PackedToText(const std::uint8_t* data, int size, int places) {
  const auto value = LoadPacked(data, size, places);
  if (!value) return std::nullopt;
  return value->ToString();
}

bool TextToPacked(std::string_view text, std::uint8_t* data, int size, int places) {
  const auto value = Decimal::Parse(text);
  return value && StorePacked(*value, data, size, places);
}

std::optional<double> PackedToDouble(const std::uint8_t* data, int size, int places) {
  const auto value = LoadPacked(data, size, places);
  if (!value) return std::nullopt;
  return value->ToDouble();
}

bool DoubleToPacked(double value, std::uint8_t* data, int size, int places) {
  if (!IsValidPackedShape(size, places)) return false;
  const auto decimal = Decimal::FromDouble(value, places);
  return decimal && StorePacked(*decimal, data, size, places);
}

bool LongToPacked(std::int64_t value, std::uint8_t* data, int size, int places) {
  return StorePacked(Decimal::FromLong(value), data, size, places);
}

}  // namespace vaultrix::support
