// Starting a procedure on a runtime thread of its own, and what a runtime
// thread does when its procedure returns.
//
// Locks: StartThread REQUIRES the runtime lock; the new thread waits for it
// before its procedure runs and gives it up when the procedure has returned
// and its windows are closed.
#pragma once

#include <cstddef>
#include <functional>

#include "platform/thread_slots.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

// Runs `procedure` on a new thread in the lowest free slot and answers its
// thread number (slot + 1); 0 while the system is MODAL or when every slot
// is taken. A stack below the runtime's minimum (0 included) gets the
// minimum. REQUIRES: engine.Lock() is set.
[[nodiscard]] int StartThread(EventEngine& engine, platform::ThreadSlots& slots,
                              std::function<void()> procedure, std::size_t stack_bytes);

}  // namespace vaultrix::windows
