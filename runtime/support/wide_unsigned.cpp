// 128- and 256-bit unsigned helpers for the decimal arithmetic.
#include "runtime/support/wide_unsigned.h"

namespace vaultrix::support::wide {
namespace {

constexpr std::array<U128, 39> MakePowers() {
  std::array<U128, 39> powers{};
  U128 value = 1;
  for (auto& power : powers) {
    power = value;
    value *= 10;
  }
  return powers;
}

constexpr std::array<U128, 39> kPowers = MakePowers();

}  // namespace

U128 Pow10(int n) {
  return kPowers[static_cast<std::size_t>(n)];
}

int DigitCount(U128 value) {
  int digits = 0;
  while (digits < 39 && value >= kPowers[static_cast<std::size_t>(digits)]) ++digits;
  return digits;
}

U256 U256::Product(U128 a, U128 b) {
  const std::uint64_t a_parts[2] = {static_cast<std::uint64_t>(a),
                                    static_cast<std::uint64_t>(a >> 64)};
  const std::uint64_t b_parts[2] = {static_cast<std::uint64_t>(b),
                                    static_cast<std::uint64_t>(b >> 64)};
  U256 result;
  for (int i = 0; i < 2; ++i) {
    U128 carry = 0;
    for (int j = 0; j < 2; ++j) {
      const U128 sum = static_cast<U128>(a_parts[i]) * b_parts[j] + result.limbs_[i + j] + carry;
      result.limbs_[i + j] = static_cast<std::uint64_t>(sum);
      carry = sum >> 64;
    }
    result.limbs_[i + 2] = static_cast<std::uint64_t>(carry);
  }
  return result;
}

void U256::MultiplySmall(std::uint64_t factor) {
  U128 carry = 0;
  for (auto& limb : limbs_) {
    const U128 product = static_cast<U128>(limb) * factor + carry;
    limb = static_cast<std::uint64_t>(product);
    carry = product >> 64;
  }
}

void U256::MultiplyPow10(int n) {
  while (n >= 19) {
    MultiplySmall(10'000'000'000'000'000'000ULL);
    n -= 19;
  }
  if (n > 0) MultiplySmall(static_cast<std::uint64_t>(Pow10(n)));
}

void U256::AddSmall(std::uint64_t value) {
  Add(U256(static_cast<U128>(value)));
}

void U256::Add(const U256& other) {
  U128 carry = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    const U128 sum = static_cast<U128>(limbs_[i]) + other.limbs_[i] + carry;
    limbs_[i] = static_cast<std::uint64_t>(sum);
    carry = sum >> 64;
  }
}

void U256::Subtract(const U256& other) {
  std::uint64_t borrow = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    const std::uint64_t subtrahend = other.limbs_[i] + borrow;
    const bool overflowed = subtrahend < borrow;
    borrow = (overflowed || limbs_[i] < subtrahend) ? 1 : 0;
    limbs_[i] -= subtrahend;
  }
}

std::uint64_t U256::DivideSmall(std::uint64_t divisor) {
  U128 remainder = 0;
  for (std::size_t i = limbs_.size(); i-- > 0;) {
    const U128 current = (remainder << 64) | limbs_[i];
    limbs_[i] = static_cast<std::uint64_t>(current / divisor);
    remainder = current % divisor;
  }
  return static_cast<std::uint64_t>(remainder);
}

int U256::DigitCount() const {
  if (FitsU128()) return wide::DigitCount(Low128());
  U256 rest = *this;
  int digits = 0;
  while (!rest.FitsU128()) {
    rest.DivideSmall(10'000'000'000'000'000'000ULL);
    digits += 19;
  }
  return digits + wide::DigitCount(rest.Low128());
}

int U256::Compare(const U256& other) const {
  for (std::size_t i = limbs_.size(); i-- > 0;) {
    if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i] ? -1 : 1;
  }
  return 0;
}

U256 DivideRounded(U256 value, int n) {
  if (n <= 0) return value;
  // Half away from zero needs only the first digit dropped: the value is
  // rounded up exactly when that digit is 5 or more.
  int rest = n - 1;
  while (rest >= 19) {
    value.DivideSmall(10'000'000'000'000'000'000ULL);
    rest -= 19;
  }
  if (rest > 0) value.DivideSmall(static_cast<std::uint64_t>(Pow10(rest)));
  const std::uint64_t first_dropped = value.DivideSmall(10);
  if (first_dropped >= 5) value.AddSmall(1);
  return value;
}

}  // namespace vaultrix::support::wide
