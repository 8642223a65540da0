// Draws for secrets. A password's characters and words, and the size that
// Fast Generate picks, come from the operating system's cryptographic source
// rather than RANDOM: RANDOM is seeded from the clock in seconds at start, so
// anyone who knows roughly when the program started could repeat its draws.
#pragma once

#include <cstdint>
#include <functional>

namespace vaultrix::app {

// A whole number from low to high inclusive (taken the other way round when
// low > high), every value equally likely: draws that would favour the low
// values of the range are thrown away and drawn again.
[[nodiscard]] std::int32_t SecureRandom(std::int32_t low, std::int32_t high);

// Reduces 32-bit draws from `next` to the range without bias; exposed so that
// the rejection rule can be checked with chosen draws.
[[nodiscard]] std::int32_t UniformInRange(std::int32_t low, std::int32_t high,
                                          const std::function<std::uint32_t()>& next);

}  // namespace vaultrix::app
