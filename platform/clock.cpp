// System and simulated clocks, the process-wide current clock and the
// calendar arithmetic they share.
#include "platform/clock.h"

#include <ctime>
#include <map>
#include <mutex>
#include <utility>

namespace vaultrix::platform {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

SystemClock& TheSystemClock() {
  static SystemClock clock;
  return clock;
}

std::atomic<Clock*> current_clock{nullptr};

// Listeners are called with the registry's mutex held, which is what makes
// RemoveClockListener wait for a running call.
std::mutex listener_mutex;
std::map<int, ClockListener>& Listeners() {
  static std::map<int, ClockListener> listeners;
  return listeners;
}
int next_listener_id = 1;

void NotifyClockListeners() {
  std::lock_guard lock(listener_mutex);
  for (auto& [id, listener] : Listeners()) listener();
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t ReadClock(clockid_t id) {
  timespec ts{};
  clock_gettime(id, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

}  // namespace

// Days since 1970-01-01, counting in 400-year eras of 146097 days with the
// year starting in March so that the leap day comes last.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  std::int64_t months = year * 12 + (month - 1);
  std::int64_t y = FloorDiv(months, 12);
  const std::int64_t m = months - y * 12 + 1;  // 1..12
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + (day - 1);
}

LocalDateTime LocalFromMilliseconds(std::int64_t milliseconds) {
  const std::int64_t days = FloorDiv(milliseconds, kMillisecondsPerDay);
  std::int64_t in_day = milliseconds - days * kMillisecondsPerDay;

  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);

  LocalDateTime local;
  local.year = static_cast<int>(y);
  local.month = static_cast<int>(m);
  local.day = static_cast<int>(d);
  local.hour = static_cast<int>(in_day / 3'600'000);
  in_day %= 3'600'000;
  local.minute = static_cast<int>(in_day / 60'000);
  in_day %= 60'000;
  local.second = static_cast<int>(in_day / 1000);
  local.millisecond = static_cast<int>(in_day % 1000);
  return local;
}

std::int64_t MillisecondsFromLocal(const LocalDateTime& local) {
  return DaysFromCivil(local.year, local.month, local.day) * kMillisecondsPerDay +
         static_cast<std::int64_t>(local.hour) * 3'600'000 +
         static_cast<std::int64_t>(local.minute) * 60'000 +
         static_cast<std::int64_t>(local.second) * 1000 + local.millisecond;
}

std::int64_t SystemClock::NowMilliseconds() const {
  return ReadClock(CLOCK_REALTIME);
}

LocalDateTime SystemClock::NowLocal() const {
  const std::int64_t now = NowMilliseconds();
  const std::time_t seconds = static_cast<std::time_t>(FloorDiv(now, 1000));
  std::tm parts{};
  if (localtime_r(&seconds, &parts) == nullptr) return LocalFromMilliseconds(now);
  LocalDateTime local;
  local.year = parts.tm_year + 1900;
  local.month = parts.tm_mon + 1;
  local.day = parts.tm_mday;
  local.hour = parts.tm_hour;
  local.minute = parts.tm_min;
  // A leap second reads as the last second of its minute.
  local.second = parts.tm_sec > 59 ? 59 : parts.tm_sec;
  local.millisecond = static_cast<int>(now - FloorDiv(now, 1000) * 1000);
  return local;
}

std::int64_t SystemClock::SteadyMilliseconds() const {
  return ReadClock(CLOCK_MONOTONIC);
}

SimulatedClock::SimulatedClock(const LocalDateTime& start)
    : wall_ms_(MillisecondsFromLocal(start)) {}

std::int64_t SimulatedClock::NowMilliseconds() const {
  return wall_ms_.load();
}

LocalDateTime SimulatedClock::NowLocal() const {
  return LocalFromMilliseconds(wall_ms_.load());
}

std::int64_t SimulatedClock::SteadyMilliseconds() const {
  return steady_ms_.load();
}

void SimulatedClock::Advance(std::int64_t milliseconds) {
  if (milliseconds <= 0) return;
  wall_ms_.fetch_add(milliseconds);
  steady_ms_.fetch_add(milliseconds);
  NotifyClockListeners();
}

void SimulatedClock::SetLocal(const LocalDateTime& now) {
  wall_ms_.store(MillisecondsFromLocal(now));
  NotifyClockListeners();
}

Clock& CurrentClock() {
  Clock* clock = current_clock.load(std::memory_order_acquire);
  return clock != nullptr ? *clock : TheSystemClock();
}

Clock* SetCurrentClock(Clock* clock) {
  Clock* previous = current_clock.exchange(clock, std::memory_order_acq_rel);
  NotifyClockListeners();
  return previous != nullptr ? previous : &TheSystemClock();
}

int AddClockListener(ClockListener listener) {
  std::lock_guard lock(listener_mutex);
  const int id = next_listener_id++;
  Listeners().emplace(id, std::move(listener));
  return id;
}

void RemoveClockListener(int id) {
  std::lock_guard lock(listener_mutex);
  Listeners().erase(id);
}

}  // namespace vaultrix::platform
