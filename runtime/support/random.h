// RANDOM: the runtime's additive lagged generator. Its state is a table of
// 55 unsigned 32-bit values and two indices; each step adds one entry into
// another and yields the low 15 bits of the sum. RANDOM(low, high) joins
// three such values into 32 bits and reduces them to the range.
//
// The process-wide generator is seeded once at program start from the
// platform clock (SeedRandomFromClock); used before any seeding it seeds
// itself with 1, so runs without start-up seeding repeat.
#pragma once

#include <array>
#include <cstdint>

namespace vaultrix::support {

class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint32_t seed = 1) { Seed(seed); }

  void Seed(std::uint32_t seed);
  // The next 15-bit value, 0 to 32767.
  [[nodiscard]] std::uint32_t Next15();
  // A whole number from low to high inclusive. When low > high the two are
  // taken the other way round, so the answer always lies between them.
  [[nodiscard]] std::int32_t Random(std::int32_t low, std::int32_t high);

 private:
  std::array<std::uint32_t, 55> table_{};
  int j_ = 54;
  int k_ = 23;
};

// The current date and time as a count of seconds: day number x 86400 plus
// the seconds since midnight, from the platform clock.
[[nodiscard]] std::uint32_t ClockSeedSeconds();

// Start-up: seeds the process-wide generator with ClockSeedSeconds().
void SeedRandomFromClock();
void SeedRandom(std::uint32_t seed);
// The process-wide generator; safe to call from any thread.
[[nodiscard]] std::int32_t RANDOM(std::int32_t low, std::int32_t high);

}  // namespace vaultrix::support
