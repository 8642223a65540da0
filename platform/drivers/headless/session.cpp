// The program thread of a headless run.
#include "platform/drivers/headless/session.h"

namespace vaultrix::platform::headless {

HeadlessSession::HeadlessSession(WindowSystem& system, SimulatedClock* clock)
    : system_(system), driver_(system), automation_(driver_, clock) {
  driver_.RouteMessageBoxes();
}

HeadlessSession::~HeadlessSession() {
  if (program_.joinable()) program_.join();
}

void HeadlessSession::Start(std::function<void()> program) {
  bool registered = false;
  program_ = std::thread([this, &registered, program = std::move(program)] {
    // Known to the window system (and so busy for Settle) before Start returns.
    (void)system_.CurrentThreadId();
    {
      std::lock_guard lock(mutex_);
      registered = true;
      ended_.notify_all();
    }
    if (program) program();
    system_.EndThread();
    std::lock_guard lock(mutex_);
    finished_ = true;
    ended_.notify_all();
  });
  std::unique_lock lock(mutex_);
  ended_.wait(lock, [&] { return registered; });
}

bool HeadlessSession::Join(std::chrono::milliseconds limit) {
  if (!program_.joinable()) return true;
  std::unique_lock lock(mutex_);
  if (!ended_.wait_for(lock, limit, [&] { return finished_; })) {
    lock.unlock();
    program_.detach();
    return false;
  }
  lock.unlock();
  program_.join();
  return true;
}

bool HeadlessSession::Finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

}  // namespace vaultrix::platform::headless
