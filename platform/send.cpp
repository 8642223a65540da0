// Sent messages: a call of a window procedure handed to the window's own
// thread, with the sender waiting (and answering what is sent to it) or, for
// the driver, a callback with the answer.
#include "platform/clock.h"
#include "platform/window_system.h"
#include "platform/window_system_records.h"

namespace vaultrix::platform {

bool WindowSystem::AnswerSentLocked(ThreadQueue& queue, Lock& lock) {
  bool any = false;
  while (!queue.sent.empty()) {
    any = true;
    std::shared_ptr<SentMessage> sent = std::move(queue.sent.front());
    queue.sent.pop_front();
    std::shared_ptr<const WindowProc> procedure;
    if (const WindowRecord* record = Find(sent->message.window)) procedure = record->procedure;
    lock.unlock();
    const std::intptr_t result = procedure ? (*procedure)(*this, sent->message) : 0;
    if (sent->done) sent->done(result);
    lock.lock();
    sent->result = result;
    sent->answered = true;
    if (sent->sender != nullptr) WakeLocked(*sent->sender);
  }
  return any;
}

bool WindowSystem::AnswerSentMessages() {
  Lock lock(mutex_);
  return AnswerSentLocked(QueueOfCaller(lock), lock);
}

std::intptr_t WindowSystem::SendMessage(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wparam, std::intptr_t lparam) {
  Lock lock(mutex_);
  ThreadQueue& self = QueueOfCaller(lock);
  WindowRecord* record = Find(window);
  if (record == nullptr) return 0;
  const Message call{window, message, wparam, lparam, CurrentClock().SteadyMilliseconds()};
  if (record->thread == &self) {
    std::shared_ptr<const WindowProc> procedure = record->procedure;
    lock.unlock();
    return (*procedure)(*this, call);
  }
  auto sent = std::make_shared<SentMessage>();
  sent->message = call;
  sent->sender = &self;
  record->thread->sent.push_back(sent);
  WakeLocked(*record->thread);
  while (!sent->answered) {
    if (AnswerSentLocked(self, lock)) continue;
    if (!sent->answered) self.wake.wait(lock);
  }
  return sent->result;
}

bool WindowSystem::SendMessageCallback(WindowHandle window, std::uint32_t message,
                                       std::uintptr_t wparam, std::intptr_t lparam,
                                       std::function<void(std::intptr_t)> done) {
  Lock lock(mutex_);
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  auto sent = std::make_shared<SentMessage>();
  sent->message = Message{window, message, wparam, lparam, CurrentClock().SteadyMilliseconds()};
  sent->done = std::move(done);
  record->thread->sent.push_back(std::move(sent));
  WakeLocked(*record->thread);
  return true;
}

}  // namespace vaultrix::platform
