// The runtime lock on a window-system semaphore, with the modal nesting count.
#include "platform/runtime_lock.h"

namespace vaultrix::platform {

RuntimeLock::RuntimeLock(WindowSystem& system)
    : system_(system), semaphore_(system.CreateSemaphore(0, 1)) {
  holder_.store(std::this_thread::get_id());
  system_.AttachRuntimeLock(this);
}

RuntimeLock::~RuntimeLock() {
  system_.AttachRuntimeLock(nullptr);
}

void RuntimeLock::Acquire() {
  system_.MsgWaitForSemaphore(semaphore_);
  holder_.store(std::this_thread::get_id());
  if (acquire_hook_) acquire_hook_();
}

void RuntimeLock::Release() {
  holder_.store(std::thread::id());
  (void)system_.ReleaseSemaphore(semaphore_);
}

bool RuntimeLock::HeldByCurrentThread() const {
  return holder_.load() == std::this_thread::get_id();
}

void RuntimeLock::EnterModal() {
  bool release = false;
  {
    std::lock_guard lock(modal_mutex_);
    ModalState& state = modal_[std::this_thread::get_id()];
    if (state.depth++ == 0) {
      state.released = HeldByCurrentThread();
      release = state.released;
    }
  }
  if (release) Release();
}

void RuntimeLock::LeaveModal() {
  bool acquire = false;
  {
    std::lock_guard lock(modal_mutex_);
    auto it = modal_.find(std::this_thread::get_id());
    if (it == modal_.end()) return;
    if (--it->second.depth == 0) {
      acquire = it->second.released;
      modal_.erase(it);
    }
  }
  if (acquire) Acquire();
}

int RuntimeLock::ModalDepthOfCurrentThread() const {
  std::lock_guard lock(modal_mutex_);
  auto it = modal_.find(std::this_thread::get_id());
  return it == modal_.end() ? 0 : it->second.depth;
}

}  // namespace vaultrix::platform
