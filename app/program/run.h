// The runtime that the application's procedures run on, and the run of the
// program on it.
//
// The display driver owns the process's main thread, so the program's first
// runtime thread (thread 1, where the main program and the frame run) is a
// thread of its own: ProgramRun starts it, makes the runtime lock and the
// thread slots there (their maker holds the lock and slot 0), runs the
// program, and when the program returns closes what other threads still have
// open and waits for them. A driver, on the main thread, attaches to System()
// and pumps until Finished().
//
// Procedures reach the run through the functions below (AppEngine, AppSlots);
// one run exists at a time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/runtime_lock.h"
#include "platform/thread_slots.h"
#include "platform/window_system.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::app {

class ProgramRun {
 public:
  explicit ProgramRun(platform::WindowSystem& system);
  ~ProgramRun();  // waits for the program to end
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Starts runtime thread 1 running `program`; returns once the thread holds
  // the runtime lock and counts as busy for the window system, so that
  // WaitUntilIdle waits for the program. REQUIRES: called once.
  void Start(std::function<void()> program);
  // Waits until the program and every thread it started have ended.
  void Wait();
  [[nodiscard]] bool Finished() const { return finished_.load(); }
  // Threads started and not yet running their procedure: until they run
  // they are unknown to the window system, so an idle system does not yet
  // mean that they are at rest.
  [[nodiscard]] int PendingStarts() const { return pending_starts_.load(); }

  [[nodiscard]] platform::WindowSystem& System() { return system_; }
  [[nodiscard]] windows::EventEngine& Engine() { return engine_; }
  // Valid from the start of thread 1 until the end of the run.
  [[nodiscard]] platform::ThreadSlots& Slots() { return *slots_; }
  [[nodiscard]] platform::RuntimeLock& Lock() { return *lock_; }

  // Closes down every started thread's windows and waits until the threads
  // have ended: the frame does this before its own window goes, since the
  // windows it owns would otherwise vanish under their threads.
  // REQUIRES: the runtime lock held, on thread 1.
  void CloseStartedThreads();

 private:
  void RunThreadOne(const std::function<void()>& program);

  platform::WindowSystem& system_;
  windows::EventEngine engine_;
  std::unique_ptr<platform::RuntimeLock> lock_;
  std::atomic<platform::RuntimeLock*> made_lock_{nullptr};  // lock_ once it exists
  std::unique_ptr<platform::ThreadSlots> slots_;
  std::thread thread_one_;
  std::atomic<bool> finished_{false};
  std::atomic<int> pending_starts_{0};
  std::function<void()> previous_transaction_wait_;

  friend int Start(std::function<void()> procedure, std::size_t stack_bytes);
  friend bool OnRuntimeThread();
};

// The run the procedures belong to. REQUIRES: a run has started.
[[nodiscard]] ProgramRun& CurrentRun();
// Whether the calling thread runs procedures of a run: a run has started and
// the thread holds its runtime lock.
[[nodiscard]] bool OnRuntimeThread();
[[nodiscard]] windows::EventEngine& AppEngine();
[[nodiscard]] platform::ThreadSlots& AppSlots();

// START: runs `procedure` on a new runtime thread; its thread number, 0 when
// none could start (a modal window is open, or every slot is taken).
// REQUIRES: the runtime lock held.
int Start(std::function<void()> procedure, std::size_t stack_bytes = 0);

}  // namespace vaultrix::app
