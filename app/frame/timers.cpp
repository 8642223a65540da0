// The midnight rule, the seconds shown and the clipboard filter.
#include "app/frame/timers.h"

#include <cctype>

#include "runtime/support/decimal.h"
#include "runtime/support/times.h"
#include "runtime/support/wipe.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kDay = support::kHundredthsPerDay;
constexpr std::int32_t kFirstSecondsAfterMidnight = 5000;
constexpr std::size_t kFilterBufferSize = 10000;

bool Removable(unsigned char c) {
  if (c == ' ') return false;
  return c < 31 || std::toupper(c) > 'Z';
}

}  // namespace

bool DeadlinePassed(std::int32_t clock, std::int32_t& deadline, std::int32_t period,
                    std::int32_t margin) {
  if (deadline > kDay) {
    if (clock > deadline - kDay && clock < kDay - period - margin) return true;
    if (clock < kFirstSecondsAfterMidnight && deadline > kDay) deadline -= kDay;
    return false;
  }
  return clock > deadline;
}

std::string SecondsLeft(std::int32_t deadline, std::int32_t clock) {
  const std::optional<support::Decimal> seconds = support::Decimal::Divide(
      support::Decimal::FromLong(static_cast<std::int64_t>(deadline) - clock),
      support::Decimal::FromLong(100));
  return seconds ? seconds->ToString() : std::string();
}

std::string FilterClipboardText(std::string_view text) {
  std::string buffer(text.substr(0, kFilterBufferSize));
  const std::size_t first = buffer.find_first_not_of(' ');
  buffer.erase(0, first == std::string::npos ? buffer.size() : first);
  const std::size_t last = buffer.find_last_not_of(' ');
  buffer.resize(last == std::string::npos ? 0 : last + 1);
  std::size_t position = 0;
  while (position < buffer.size()) {
    const auto c = static_cast<unsigned char>(buffer[position]);
    if (c == 0) {
      buffer.resize(position);
      break;
    }
    if (Removable(c) ||
        (c == ' ' && position + 1 < buffer.size() && buffer[position + 1] == ' ')) {
      buffer.erase(position, 1);
      continue;
    }
    ++position;
  }
  const std::size_t end = buffer.find_last_not_of(' ');
  buffer.resize(end == std::string::npos ? 0 : end + 1);
  // A fresh copy: the work buffer keeps removed bytes past its end.
  std::string filtered(buffer);
  support::WipeText(buffer);
  return filtered;
}

}  // namespace vaultrix::app
