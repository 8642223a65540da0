// Times of day: a time is a LONG count of hundredths of a second since
// midnight plus 1, so midnight is 1 and 23:59:59.99 is 8,640,000. 0 is the
// empty time (shown blank by pictures that ask for it) and -1 the invalid
// time. CLOCK wraps from 8,640,000 back to 1 at midnight.
#pragma once

#include <cstdint>
#include <optional>

namespace vaultrix::support {

inline constexpr std::int32_t kInvalidTime = -1;
inline constexpr std::int32_t kFirstTime = 1;         // 00:00:00.00
inline constexpr std::int32_t kLastTime = 8'640'000;  // 23:59:59.99
inline constexpr std::int32_t kHundredthsPerDay = 8'640'000;

struct TimeParts {
  int hour = 0;        // 0 to 23
  int minute = 0;      // 0 to 59
  int second = 0;      // 0 to 59
  int hundredths = 0;  // 0 to 99
  friend bool operator==(const TimeParts&, const TimeParts&) = default;
};

// Strict: the time of a real time of day, else -1 (hour 24 refused; no
// carrying of 60 minutes or seconds).
[[nodiscard]] std::int32_t MakeTime(int hour, int minute, int second = 0, int hundredths = 0);
[[nodiscard]] std::int32_t MakeTime(const TimeParts& parts);

// The parts of a time from 1 to 8,640,000; no value otherwise.
[[nodiscard]] std::optional<TimeParts> TimeToParts(std::int32_t time);

// The current time of day on the platform clock.
[[nodiscard]] std::int32_t CLOCK();

}  // namespace vaultrix::support
