// The runtime lock: one binary semaphore that every runtime thread must hold
// to run runtime or application code. It is made by the program's first
// thread, which holds it from that moment. A thread gives it up only
//   - while it waits for messages (Release, GetMessage, Acquire),
//   - inside a modal dialog or message box (EnterModal/LeaveModal, nested:
//     the first level gives the lock up, the return to level 0 takes it back),
//   - when its procedure has ended.
// Waiting for the lock still answers messages sent to the waiting thread's
// windows (WindowSystem::MsgWaitForSemaphore), so a thread that holds the
// lock can send to one that waits for it.
//
// Whoever takes the lock runs the acquire hook on its own thread, with the
// lock held: the runtime switches its per-thread context there.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/window_system.h"

namespace vaultrix::platform {

class RuntimeLock {
 public:
  // The constructing thread holds the lock. Attaches itself to the window
  // system so that dialogs give the lock up while they wait.
  explicit RuntimeLock(WindowSystem& system);
  ~RuntimeLock();
  RuntimeLock(const RuntimeLock&) = delete;
  RuntimeLock& operator=(const RuntimeLock&) = delete;

  // REQUIRES: the calling thread does not hold the lock.
  void Acquire();
  // REQUIRES: the calling thread holds the lock.
  void Release();
  [[nodiscard]] bool HeldByCurrentThread() const;

  // A modal dialog's bracket. The first level gives the lock up when the
  // calling thread holds it; leaving the last level takes it back.
  void EnterModal();
  void LeaveModal();
  [[nodiscard]] int ModalDepthOfCurrentThread() const;

  // REQUIRES: set before any other thread uses the lock.
  void SetAcquireHook(std::function<void()> hook) { acquire_hook_ = std::move(hook); }

 private:
  struct ModalState {
    int depth = 0;
    bool released = false;  // whether the first level gave the lock up
  };

  WindowSystem& system_;
  SemaphoreHandle semaphore_;
  std::atomic<std::thread::id> holder_;
  mutable std::mutex modal_mutex_;
  std::unordered_map<std::thread::id, ModalState> modal_;  // guarded by modal_mutex_
  std::function<void()> acquire_hook_;
};

// Gives the runtime lock up for a scope when the calling thread holds it
// (for a blocking wait outside the window system), and takes it back after.
class ModalSection {
 public:
  explicit ModalSection(RuntimeLock* lock) : lock_(lock) {
    if (lock_ != nullptr) lock_->EnterModal();
  }
  ~ModalSection() {
    if (lock_ != nullptr) lock_->LeaveModal();
  }
  ModalSection(const ModalSection&) = delete;
  ModalSection& operator=(const ModalSection&) = delete;

 private:
  RuntimeLock* lock_;
};

}  // namespace vaultrix::platform
