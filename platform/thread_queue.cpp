// Per-thread message queues: posting, taking the next message in its order,
// waiting, and a thread's end.
#include <string.h>

#include <algorithm>
#include <chrono>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

WindowSystem::WindowSystem() {
  clock_listener_ = AddClockListener([this] { OnClockMoved(); });
}

WindowSystem::~WindowSystem() {
  RemoveClockListener(clock_listener_);
  // The clipboard often holds a password.
  if (clipboard_) explicit_bzero(clipboard_->data(), clipboard_->size());
}

void WindowSystem::OnClockMoved() {
  std::lock_guard lock(mutex_);
  for (auto& [os_id, queue] : queues_) queue->wake.notify_all();
}

WindowSystem::ThreadQueue& WindowSystem::QueueOfCaller(Lock&) {
  const std::thread::id self = std::this_thread::get_id();
  auto it = queues_.find(self);
  if (it != queues_.end()) return *it->second;
  auto queue = std::make_unique<ThreadQueue>();
  queue->id = next_thread_id_++;
  queue->os_id = self;
  ThreadQueue& result = *queue;
  queues_by_id_[result.id] = &result;
  queues_.emplace(self, std::move(queue));
  return result;
}

WindowSystem::ThreadQueue* WindowSystem::QueueById(ThreadId thread) const {
  auto it = queues_by_id_.find(thread);
  return it == queues_by_id_.end() ? nullptr : it->second;
}

WindowSystem::WindowRecord* WindowSystem::Find(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.get();
}

ThreadId WindowSystem::CurrentThreadId() {
  Lock lock(mutex_);
  return QueueOfCaller(lock).id;
}

void WindowSystem::EndThread() {
  // Destroy the thread's windows first, each tree from its outermost window
  // of this thread; DestroyWindow takes the lock itself.
  for (;;) {
    WindowHandle root = kNoWindow;
    {
      Lock lock(mutex_);
      ThreadQueue& self = QueueOfCaller(lock);
      for (auto& [handle, window] : windows_) {
        if (window->thread != &self || window->destroying) continue;
        const WindowRecord* parent = Find(window->parent);
        if (parent == nullptr || parent->thread != &self) {
          root = handle;
          break;
        }
      }
    }
    if (root == kNoWindow || !DestroyWindow(root)) break;
  }
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  // Windows of this thread that another thread is destroying right now (as
  // part of its own window's tree) are forgotten here, before the queue they
  // point to goes; the other thread then finds them gone.
  std::vector<WindowRecord*> left;
  for (auto& [handle, window] : windows_) {
    if (window->thread == &self) left.push_back(window.get());
  }
  for (WindowRecord* window : left) ForgetWindowLocked(*window);
  std::vector<std::function<void(std::intptr_t)>> callbacks;
  FailSentLocked(self, callbacks);
  for (auto& [handle, semaphore] : semaphores_) {
    std::erase(semaphore->waiters, &self);
  }
  queues_by_id_.erase(self.id);
  queues_.erase(self.os_id);
  idle_changed_.notify_all();
  lock.unlock();
  for (auto& done : callbacks) done(0);
}

void WindowSystem::FailSentLocked(ThreadQueue& queue,
                                  std::vector<std::function<void(std::intptr_t)>>& callbacks) {
  while (!queue.sent.empty()) {
    std::shared_ptr<SentMessage> sent = std::move(queue.sent.front());
    queue.sent.pop_front();
    sent->answered = true;
    sent->result = 0;
    if (sent->sender != nullptr) WakeLocked(*sent->sender);
    // A callback may reach into the window system: it runs after mutex_ is released.
    if (sent->done) callbacks.push_back(std::move(sent->done));
  }
}

void WindowSystem::WakeLocked(ThreadQueue& queue) {
  queue.wake.notify_all();
}

void WindowSystem::WaitLocked(ThreadQueue& queue, Lock& lock) {
  const std::int64_t due = NextTimerDueLocked(queue);
  const std::int64_t now = CurrentClock().SteadyMilliseconds();
  if (due <= now) return;
  queue.activity = ThreadQueue::Activity::kWaitingForMessage;
  idle_changed_.notify_all();
  if (due == INT64_MAX) {
    queue.wake.wait(lock);
  } else {
    // A simulated clock wakes us through OnClockMoved; the real-time wait
    // covers the system clock.
    queue.wake.wait_for(lock, std::chrono::milliseconds(due - now));
  }
  queue.activity = ThreadQueue::Activity::kBusy;
}

bool WindowSystem::IdleLocked(const ThreadQueue* except) const {
  const std::int64_t now = CurrentClock().SteadyMilliseconds();
  for (const auto& [os_id, queue] : queues_) {
    if (queue.get() == except) continue;
    if (queue->activity == ThreadQueue::Activity::kBusy) return false;
    if (!queue->sent.empty()) return false;
    if (queue->activity == ThreadQueue::Activity::kWaitingForMessage &&
        (!queue->posted.empty() || queue->quit || NextTimerDueLocked(*queue) <= now)) {
      return false;
    }
    if (queue->activity == ThreadQueue::Activity::kPausing && queue->pause_until <= now) {
      return false;
    }
  }
  return true;
}

bool WindowSystem::WaitUntilIdle(std::chrono::milliseconds limit) {
  Lock lock(mutex_);
  const auto found = queues_.find(std::this_thread::get_id());
  const ThreadQueue* self = found == queues_.end() ? nullptr : found->second.get();
  return idle_changed_.wait_for(lock, limit, [&] { return IdleLocked(self); });
}

void WindowSystem::PostLocked(ThreadQueue& queue, const Message& message) {
  Message stamped = message;
  stamped.time = CurrentClock().SteadyMilliseconds();
  queue.posted.push_back(stamped);
  WakeLocked(queue);
}

bool WindowSystem::PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  PostLocked(*record->thread, Message{window, message, wparam, lparam, 0});
  return true;
}

bool WindowSystem::PostThreadMessage(ThreadId thread, std::uint32_t message,
                                     std::uintptr_t wparam, std::intptr_t lparam) {
  Lock lock(mutex_);
  ThreadQueue* queue = QueueById(thread);
  if (queue == nullptr) return false;
  PostLocked(*queue, Message{kNoWindow, message, wparam, lparam, 0});
  return true;
}

void WindowSystem::PostQuitMessage(int exit_code) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  self.quit = true;
  self.exit_code = exit_code;
  WakeLocked(self);
}

bool WindowSystem::TakePostedLocked(ThreadQueue& queue, Message& message, bool remove) {
  if (!queue.posted.empty()) {
    message = queue.posted.front();
    if (remove) queue.posted.pop_front();
    return true;
  }
  if (!queue.quit) return false;
  message = Message{kNoWindow, kWmQuit, static_cast<std::uintptr_t>(queue.exit_code), 0,
                    CurrentClock().SteadyMilliseconds()};
  if (remove) queue.quit = false;
  return true;
}

bool WindowSystem::GetMessage(Message& message) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  for (;;) {
    if (AnswerSentLocked(self, lock)) continue;
    if (TakePostedLocked(self, message, true)) return message.message != kWmQuit;
    if (TakeTimerLocked(self, message, true)) return true;
    WaitLocked(self, lock);
  }
}

bool WindowSystem::PeekMessage(Message& message, int flags) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  while (AnswerSentLocked(self, lock)) {
  }
  const bool remove = (flags & kPmRemove) != 0;
  return TakePostedLocked(self, message, remove) || TakeTimerLocked(self, message, remove);
}

void WindowSystem::WaitMessage() {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  Message ignored;
  for (;;) {
    if (AnswerSentLocked(self, lock)) continue;
    if (TakePostedLocked(self, ignored, false) || TakeTimerLocked(self, ignored, false)) return;
    WaitLocked(self, lock);
  }
}

std::intptr_t WindowSystem::DispatchMessage(const Message& message) {
  std::shared_ptr<const WindowProc> procedure;
  {
    Lock lock(mutex_);
    const WindowRecord* record = Find(message.window);
    if (record == nullptr) return 0;
    procedure = record->procedure;
  }
  return (*procedure)(*this, message);
}

std::size_t WindowSystem::PendingMessages(ThreadId thread) const {
  Lock lock(mutex_);
  const ThreadQueue* queue = QueueById(thread);
  return queue == nullptr ? 0 : queue->posted.size();
}

}  // namespace vaultrix::platform
