// The additive lagged generator behind RANDOM.
#include "runtime/support/random.h"

#include <mutex>
#include <utility>

#include "platform/clock.h"
#include "runtime/support/dates.h"

namespace vaultrix::support {
namespace {

std::mutex generator_mutex;

RandomGenerator& ProcessGenerator() {
  static RandomGenerator generator(1);
  return generator;
}

}  // namespace

void RandomGenerator::Seed(std::uint32_t seed) {
  std::uint32_t x = seed;
  for (std::uint32_t& entry : table_) {
    x = x * 3141592621U + 17U;
    entry = x >> 16;
  }
  j_ = 54;
  k_ = 23;
}

std::uint32_t RandomGenerator::Next15() {
  if (j_ == 0) {
    j_ = 54;
    k_ = k_ - 1;
  } else {
    j_ = j_ - 1;
    k_ = k_ == 0 ? 54 : k_ - 1;
  }
  table_[j_] += table_[k_];
  return table_[j_] & 0x7FFFU;
}

std::int32_t RandomGenerator::Random(std::int32_t low, std::int32_t high) {
  if (low == high) return low;
  if (low > high) std::swap(low, high);
  const std::uint32_t a = Next15();
  const std::uint32_t b = Next15();
  const std::uint32_t c = Next15();
  const std::uint32_t r = (a << 30) + (b << 15) + c;  // modulo 2^32
  const auto span = static_cast<std::uint32_t>(static_cast<std::int64_t>(high) - low + 1);
  // The full 32-bit range wraps the span to 0: every value is possible.
  const std::uint32_t offset = span == 0 ? r : r % span;
  return static_cast<std::int32_t>(static_cast<std::int64_t>(low) + offset);
}

std::uint32_t ClockSeedSeconds() {
  const platform::LocalDateTime now = platform::CurrentClock().NowLocal();
  const std::int32_t date = CivilToDate(now.year, now.month, now.day);
  const std::uint32_t days = date < 0 ? 0U : static_cast<std::uint32_t>(date);
  return days * 86400U + static_cast<std::uint32_t>(now.hour * 3600 + now.minute * 60 + now.second);
}

void SeedRandomFromClock() {
  SeedRandom(ClockSeedSeconds());
}

void SeedRandom(std::uint32_t seed) {
  std::lock_guard<std::mutex> lock(generator_mutex);
  ProcessGenerator().Seed(seed);
}

std::int32_t RANDOM(std::int32_t low, std::int32_t high) {
  std::lock_guard<std::mutex> lock(generator_mutex);
  return ProcessGenerator().Random(low, high);
}

}  // namespace vaultrix::support
