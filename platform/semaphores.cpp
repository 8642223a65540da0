// Semaphores that a thread waits on while still answering the messages sent
// to it, the ground the runtime lock stands on. A release hands the count
// straight to the longest waiter, so waiters are served in arrival order and
// a thread that releases and at once waits again cannot overtake them.
#include <algorithm>

#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

SemaphoreHandle WindowSystem::CreateSemaphore(int initial, int maximum) {
  Lock lock(mutex_);
  auto semaphore = std::make_unique<Semaphore>();
  semaphore->maximum = std::max(maximum, 1);
  semaphore->count = std::clamp(initial, 0, semaphore->maximum);
  const SemaphoreHandle handle = next_semaphore_++;
  semaphores_.emplace(handle, std::move(semaphore));
  return handle;
}

bool WindowSystem::ReleaseSemaphore(SemaphoreHandle handle) {
  Lock lock(mutex_);
  auto it = semaphores_.find(handle);
  if (it == semaphores_.end()) return false;
  Semaphore& semaphore = *it->second;
  if (!semaphore.waiters.empty()) {
    ThreadQueue* waiter = semaphore.waiters.front();
    semaphore.waiters.pop_front();
    waiter->semaphore_granted = true;
    WakeLocked(*waiter);
    return true;
  }
  if (semaphore.count >= semaphore.maximum) return false;
  ++semaphore.count;
  return true;
}

bool WindowSystem::TryWaitSemaphore(SemaphoreHandle handle) {
  Lock lock(mutex_);
  auto it = semaphores_.find(handle);
  if (it == semaphores_.end() || it->second->count == 0) return false;
  --it->second->count;
  return true;
}

void WindowSystem::MsgWaitForSemaphore(SemaphoreHandle handle) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  auto it = semaphores_.find(handle);
  if (it == semaphores_.end()) return;
  Semaphore& semaphore = *it->second;
  if (semaphore.count > 0) {
    --semaphore.count;
    return;
  }
  self.semaphore_granted = false;
  semaphore.waiters.push_back(&self);
  while (!self.semaphore_granted) {
    if (AnswerSentLocked(self, lock)) continue;
    if (!self.semaphore_granted) self.wake.wait(lock);
  }
  self.semaphore_granted = false;
}

}  // namespace vaultrix::platform
