// A pause on the platform clock that lets the rest of the program run.
#include <algorithm>
#include <chrono>

#include "platform/clock.h"
#include "platform/runtime_lock.h"
#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

void WindowSystem::Pause(std::int64_t milliseconds) {
  RuntimeLock* runtime_lock = nullptr;
  {
    Lock lock(mutex_);
    runtime_lock = runtime_lock_;
  }
  // Declared first, so that the runtime lock is taken back only after
  // mutex_ is released (taking it may wait inside the window system).
  ModalSection section(runtime_lock);
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  const std::int64_t until =
      CurrentClock().SteadyMilliseconds() + std::max<std::int64_t>(0, milliseconds);
  while (true) {
    if (AnswerSentLocked(self, lock)) continue;
    const std::int64_t now = CurrentClock().SteadyMilliseconds();
    if (now >= until) break;
    self.activity = ThreadQueue::Activity::kPausing;
    self.pause_until = until;
    idle_changed_.notify_all();
    // A simulated clock wakes us through OnClockMoved; the real-time wait
    // covers the system clock.
    self.wake.wait_for(lock, std::chrono::milliseconds(until - now));
    self.activity = ThreadQueue::Activity::kBusy;
  }
}

}  // namespace vaultrix::platform
