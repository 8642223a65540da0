// StartThread and the end of a started thread.
#include "runtime/windows/start_thread.h"

#include <future>
#include <memory>

#include "runtime/windows/window_open.h"

namespace vaultrix::windows {

int StartThread(EventEngine& engine, platform::ThreadSlots& slots,
                std::function<void()> procedure, std::size_t stack_bytes) {
  if (engine.ModalCount() > 0 || engine.Lock() == nullptr) return 0;
  EventEngine* shared = &engine;
  platform::ThreadSlots* table = &slots;
  // The starter returns only once the new thread is known to the window
  // system, so that nobody watching for the program to settle (a script, a
  // test) sees it idle while the thread still waits for the runtime lock.
  auto known = std::make_shared<std::promise<void>>();
  std::future<void> thread_known = known->get_future();
  const int slot = slots.Start(stack_bytes, [shared, table, procedure, known](int own_slot) {
    platform::RuntimeLock& lock = *shared->Lock();
    const int number = own_slot + 1;
    (void)shared->System().CurrentThreadId();
    known->set_value();
    lock.Acquire();
    shared->ClearSavedValues(number);
    shared->SwitchContext(number);
    procedure();
    shared->SwitchContext(number);
    // Windows still open close from the innermost outward.
    EndThreadWindows(*shared, number);
    shared->System().EndThread();
    table->LeaveSlot();
    lock.Release();
  });
  if (slot < 0) return 0;
  thread_known.wait();
  return slot + 1;
}

}  // namespace vaultrix::windows
