// Thread slots: the 64 places a runtime thread can occupy. Slot 0 is the
// program's first thread (the one that makes the table); slots 1 to 63 serve
// started threads, the lowest free one first. The program sees thread
// numbers, which are slot + 1.
//
// A started thread runs its body and leaves its slot when the body returns,
// or earlier when the body calls LeaveSlot (the runtime leaves it before it
// gives up the runtime lock at thread end). A slot left is free at once for
// the next Start; the operating-system thread is joined later, by Start or
// by the table's end.
//
// The slot table's own mutex guards the slots; it is never held while a body
// runs. REQUIRES for the destructor: every started body has returned or will
// return without help from the destroying thread.
#pragma once

#include <cstddef>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <pthread.h>
#include <vector>

namespace vaultrix::platform {

inline constexpr int kThreadSlotCount = 64;
inline constexpr std::size_t kMinimumThreadStack = 20000;

// The stack a started thread gets for a requested size: never below the
// requested size, the runtime's minimum, or the platform's default for a
// new thread (which is what 64-bit code is safe with).
[[nodiscard]] std::size_t EffectiveStackSize(std::size_t requested);

class ThreadSlots {
 public:
  using Body = std::function<void(int slot)>;

  ThreadSlots();  // the calling thread takes slot 0
  ~ThreadSlots();  // waits for started threads to end
  ThreadSlots(const ThreadSlots&) = delete;
  ThreadSlots& operator=(const ThreadSlots&) = delete;

  // Starts `body` on a new thread in the lowest free slot from 1 and answers
  // the slot, or -1 when every slot is taken or the system refused a thread.
  [[nodiscard]] int Start(std::size_t stack_bytes, Body body);
  // The calling thread's slot in this table, -1 when it has none.
  [[nodiscard]] int CurrentSlot() const;
  // Frees the calling thread's slot (no effect when it has none).
  void LeaveSlot();
  [[nodiscard]] bool InUse(int slot) const;
  [[nodiscard]] int InUseCount() const;
  // Stack size of the thread in a slot (0 for a free slot or slot 0).
  [[nodiscard]] std::size_t StackSize(int slot) const;
  // Waits until only slot 0 is in use and joins every ended thread.
  void WaitForStartedThreads();

 private:
  struct Slot {
    bool in_use = false;
    std::size_t stack_bytes = 0;
  };
  struct Launch;
  static void* ThreadMain(void* argument);
  void JoinEnded();  // REQUIRES: mutex_ not held

  mutable std::mutex mutex_;
  std::condition_variable slot_freed_;
  Slot slots_[kThreadSlotCount];
  std::vector<pthread_t> running_;  // started and not yet joined
  std::vector<pthread_t> ended_;    // bodies returned, to be joined
};

}  // namespace vaultrix::platform
