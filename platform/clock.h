// The platform clock: the one source of time for CLOCK, TODAY, timers and
// timeouts. Normal runs read the system clock; tests and scripts install a
// simulated clock that starts at a given local date and time and moves only
// when told, so that midnight, clipboard-clearing and inactivity rules can be
// exercised to the millisecond without sleeping.
//
// The process-wide current clock can be swapped at any time; readers on
// other threads see either the old or the new clock, never a torn one. A
// clock installed with SetCurrentClock must outlive its use.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace vaultrix::platform {

// A local calendar date and time of day.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // Wall time in milliseconds since 1 January 1970 00:00 UTC.
  [[nodiscard]] virtual std::int64_t NowMilliseconds() const = 0;
  // The local date and time of NowMilliseconds().
  [[nodiscard]] virtual LocalDateTime NowLocal() const = 0;
  // Milliseconds from an arbitrary origin that never go backwards, even when
  // the wall time is set back; timers and timeouts measure with it.
  [[nodiscard]] virtual std::int64_t SteadyMilliseconds() const = 0;
};

// The operating system's clocks; local time through the system's time zone.
class SystemClock final : public Clock {
 public:
  [[nodiscard]] std::int64_t NowMilliseconds() const override;
  [[nodiscard]] LocalDateTime NowLocal() const override;
  [[nodiscard]] std::int64_t SteadyMilliseconds() const override;
};

// A clock that stands still until Advance or SetLocal moves it. It keeps local
// time without a time zone or daylight-saving jumps: NowMilliseconds() reads
// the local time as if it were UTC. Safe to read from any thread while one
// thread moves it.
class SimulatedClock final : public Clock {
 public:
  // Starts at `start`, which is normalised like a calendar would (a day 32
  // runs into the next month). Its steady time starts at 0.
  explicit SimulatedClock(const LocalDateTime& start);

  [[nodiscard]] std::int64_t NowMilliseconds() const override;
  [[nodiscard]] LocalDateTime NowLocal() const override;
  [[nodiscard]] std::int64_t SteadyMilliseconds() const override;

  // Moves wall and steady time forward. A clock never runs backwards: a
  // negative amount is ignored.
  void Advance(std::int64_t milliseconds);
  // Sets the wall time (forward or back), as a user changing the system
  // time would; the steady time is not affected.
  void SetLocal(const LocalDateTime& now);

 private:
  std::atomic<std::int64_t> wall_ms_;
  std::atomic<std::int64_t> steady_ms_{0};
};

// The clock that the runtime reads: the process's system clock unless a test
// or script installed another.
[[nodiscard]] Clock& CurrentClock();
// Installs `clock` (nullptr: back to the system clock); returns the clock
// installed before.
Clock* SetCurrentClock(Clock* clock);

// Installs a clock for the lifetime of a scope and restores the previous one.
class ScopedCurrentClock {
 public:
  explicit ScopedCurrentClock(Clock& clock) : previous_(SetCurrentClock(&clock)) {}
  ~ScopedCurrentClock() { SetCurrentClock(previous_); }
  ScopedCurrentClock(const ScopedCurrentClock&) = delete;
  ScopedCurrentClock& operator=(const ScopedCurrentClock&) = delete;

 private:
  Clock* previous_;
};

// Listeners told whenever time moves other than by itself: a simulated clock
// advanced or set, or another clock installed. Whoever waits for a deadline on
// the platform clock (timers, timeouts) registers one, so that a simulated
// clock wakes it. A listener runs on the thread that moved the clock, with no
// lock of the caller held; it must not block and must not add or remove
// listeners. RemoveClockListener waits until a running call of that listener
// has returned, so the listener's state may be freed right after.
using ClockListener = std::function<void()>;
[[nodiscard]] int AddClockListener(ClockListener listener);
void RemoveClockListener(int id);

// Calendar arithmetic the clocks share (proleptic Gregorian): days since
// 1 January 1970 of a date whose month and day may run over, and back.
[[nodiscard]] std::int64_t DaysFromCivil(std::int64_t year, int month, int day);
[[nodiscard]] LocalDateTime LocalFromMilliseconds(std::int64_t milliseconds);
[[nodiscard]] std::int64_t MillisecondsFromLocal(const LocalDateTime& local);

}  // namespace vaultrix::platform
