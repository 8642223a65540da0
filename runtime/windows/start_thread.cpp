// StartThread and the end of a started thread.
#include "runtime/windows/start_thread.h"

#include "runtime/windows/window_open.h"

namespace vaultrix::windows {

int StartThread(EventEngine& engine, platform::ThreadSlots& slots,
                std::function<void()> procedure, std::size_t stack_bytes) {
  if (engine.ModalCount() > 0 || engine.Lock() == nullptr) return 0;
  EventEngine* shared = &engine;
  platform::ThreadSlots* table = &slots;
  const int slot = slots.Start(stack_bytes, [shared, table, procedure](int own_slot) {
    platform::RuntimeLock& lock = *shared->Lock();
    const int number = own_slot + 1;
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
  return slot < 0 ? 0 : slot + 1;
}

}  // namespace vaultrix::windows
