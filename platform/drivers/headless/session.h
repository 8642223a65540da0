// A headless run: the program on a thread of its own (the program's first
// runtime thread) and the caller's thread as the display, driving it through
// the headless driver and Automation. Scripted runs and end-to-end tests
// both start here.
//
// Threads: the constructing thread is the driver's thread and must never
// take the runtime lock; the program thread ends its use of the window
// system (EndThread) when its procedure returns.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/drivers/headless/automation.h"
#include "platform/drivers/headless/headless_driver.h"

namespace vaultrix::platform::headless {

class HeadlessSession {
 public:
  // Attaches a headless driver to `system`; message boxes shown through the
  // platform's handler reach it too. `clock` may be null.
  HeadlessSession(WindowSystem& system, SimulatedClock* clock);
  // Waits for the program thread when it was started and not left behind.
  ~HeadlessSession();
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  // Runs `program` on a thread of its own. Once only.
  void Start(std::function<void()> program);
  // Waits up to `limit` for the program's procedure to return. False when it
  // has not: the thread is then left behind (detached) and the caller should
  // end the process rather than free what the program still uses.
  [[nodiscard]] bool Join(std::chrono::milliseconds limit);
  [[nodiscard]] bool Finished() const;

  [[nodiscard]] HeadlessDriver& driver() { return driver_; }
  [[nodiscard]] Automation& automation() { return automation_; }

 private:
  WindowSystem& system_;
  HeadlessDriver driver_;
  Automation automation_;
  std::thread program_;
  mutable std::mutex mutex_;
  std::condition_variable ended_;
  bool finished_ = false;
};

}  // namespace vaultrix::platform::headless
