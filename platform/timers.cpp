// Timers. A timer is due when the platform's steady clock reaches its due
// time; taking its kWmTimer sets the next due time one period from now, so a
// thread that was busy for several periods gets one message, not a burst.
#include <algorithm>
#include <climits>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

bool WindowSystem::SetTimer(WindowHandle window, std::uintptr_t id, std::int64_t period_ms) {
  Lock lock(mutex_);
  ThreadQueue* queue = nullptr;
  if (window == kNoWindow) {
    queue = &QueueOfCaller(lock);
  } else if (WindowRecord* record = Find(window)) {
    queue = record->thread;
  } else {
    return false;
  }
  period_ms = std::max<std::int64_t>(period_ms, 1);
  const std::int64_t due = CurrentClock().SteadyMilliseconds() + period_ms;
  auto it = std::find_if(queue->timers.begin(), queue->timers.end(), [&](const TimerRecord& t) {
    return t.window == window && t.id == id;
  });
  if (it != queue->timers.end()) {
    it->period_ms = period_ms;
    it->due_ms = due;
  } else {
    queue->timers.push_back(TimerRecord{window, id, period_ms, due});
  }
  WakeLocked(*queue);
  return true;
}

bool WindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) {
  Lock lock(mutex_);
  ThreadQueue* queue = nullptr;
  if (window == kNoWindow) {
    queue = &QueueOfCaller(lock);
  } else if (WindowRecord* record = Find(window)) {
    queue = record->thread;
  } else {
    return false;
  }
  return std::erase_if(queue->timers, [&](const TimerRecord& t) {
           return t.window == window && t.id == id;
         }) > 0;
}

std::int64_t WindowSystem::NextTimerDueLocked(const ThreadQueue& queue) const {
  std::int64_t due = INT64_MAX;
  for (const TimerRecord& timer : queue.timers) due = std::min(due, timer.due_ms);
  return due;
}

bool WindowSystem::TakeTimerLocked(ThreadQueue& queue, Message& message, bool remove) {
  if (queue.timers.empty()) return false;
  const std::int64_t now = CurrentClock().SteadyMilliseconds();
  TimerRecord* earliest = nullptr;
  for (TimerRecord& timer : queue.timers) {
    if (timer.due_ms <= now && (earliest == nullptr || timer.due_ms < earliest->due_ms)) {
      earliest = &timer;
    }
  }
  if (earliest == nullptr) return false;
  message = Message{earliest->window, kWmTimer, earliest->id, 0, now};
  if (remove) earliest->due_ms = now + earliest->period_ms;
  return true;
}

}  // namespace vaultrix::platform
