// Times of day in hundredths of a second since midnight plus 1.
#include "runtime/support/times.h"

#include "platform/clock.h"

namespace vaultrix::support {

std::int32_t MakeTime(int hour, int minute, int second, int hundredths) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      hundredths < 0 || hundredths > 99) {
    return kInvalidTime;
  }
  return ((hour * 60 + minute) * 60 + second) * 100 + hundredths + 1;
}

std::int32_t MakeTime(const TimeParts& parts) {
  return MakeTime(parts.hour, parts.minute, parts.second, parts.hundredths);
}

std::optional<TimeParts> TimeToParts(std::int32_t time) {
  if (time < kFirstTime || time > kLastTime) return std::nullopt;
  std::int32_t rest = time - 1;
  TimeParts parts;
  parts.hundredths = rest % 100;
  rest /= 100;
  parts.second = rest % 60;
  rest /= 60;
  parts.minute = rest % 60;
  parts.hour = rest / 60;
  return parts;
}

std::int32_t CLOCK() {
  const platform::LocalDateTime now = platform::CurrentClock().NowLocal();
  return MakeTime(now.hour, now.minute, now.second, now.millisecond / 10);
}

}  // namespace vaultrix::support
