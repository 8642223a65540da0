// Unsigned integer helpers for exact decimal arithmetic: powers of ten up to
// 10^38 and a 256-bit unsigned value, wide enough for the product of two
// 31-digit coefficients and for aligning two values 31 places apart.
#pragma once

#include <array>
#include <cstdint>

namespace vaultrix::support::wide {

__extension__ typedef unsigned __int128 U128;

// 10^n for n from 0 to 38.
[[nodiscard]] U128 Pow10(int n);
// Number of decimal digits of `value` (0 for 0).
[[nodiscard]] int DigitCount(U128 value);

// Little-endian limbs of 64 bits.
class U256 {
 public:
  U256() = default;
  explicit U256(U128 value) {
    limbs_[0] = static_cast<std::uint64_t>(value);
    limbs_[1] = static_cast<std::uint64_t>(value >> 64);
  }

  [[nodiscard]] static U256 Product(U128 a, U128 b);

  [[nodiscard]] bool FitsU128() const { return limbs_[2] == 0 && limbs_[3] == 0; }
  [[nodiscard]] U128 Low128() const { return (static_cast<U128>(limbs_[1]) << 64) | limbs_[0]; }
  [[nodiscard]] bool IsZero() const { return FitsU128() && Low128() == 0; }

  // *this * factor; the caller keeps the result below 2^256.
  void MultiplySmall(std::uint64_t factor);
  void MultiplyPow10(int n);
  void AddSmall(std::uint64_t value);
  void Add(const U256& other);
  // REQUIRES: *this >= other.
  void Subtract(const U256& other);
  // Divides by `divisor` (non-zero) and answers the remainder.
  std::uint64_t DivideSmall(std::uint64_t divisor);

  [[nodiscard]] int DigitCount() const;
  [[nodiscard]] int Compare(const U256& other) const;

 private:
  std::array<std::uint64_t, 4> limbs_{};
};

// `value` / 10^n rounded half away from zero (n >= 0).
[[nodiscard]] U256 DivideRounded(U256 value, int n);

}  // namespace vaultrix::support::wide
