// Switching the runtime context between threads: the current thread number
// and the four runtime values each thread keeps while another runs.
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

void EventEngine::SwitchContext(int number) {
  current_thread_ = number;
  if (number == loaded_thread_ || Thread(number) == nullptr) return;
  RuntimeThread* from = Thread(loaded_thread_);
  RuntimeThread& to = *Thread(number);
  for (int i = 0; i < kSavedRuntimeValues; ++i) {
    const RuntimeValueHooks& hooks = value_hooks_[static_cast<std::size_t>(i)];
    if (from != nullptr && hooks.save) from->saved_values[static_cast<std::size_t>(i)] = hooks.save();
    if (hooks.load) hooks.load(to.saved_values[static_cast<std::size_t>(i)]);
  }
  loaded_thread_ = number;
}

void EventEngine::SetRuntimeValueHooks(int index, RuntimeValueHooks hooks) {
  if (index < 0 || index >= kSavedRuntimeValues) return;
  value_hooks_[static_cast<std::size_t>(index)] = std::move(hooks);
}

void EventEngine::ClearSavedValues(int number) {
  if (RuntimeThread* thread = Thread(number)) thread->saved_values.fill(0);
}

}  // namespace vaultrix::windows
