// Window objects: the event queue and control lookup.
#include "runtime/windows/window_object.h"

namespace vaultrix::windows {

std::unique_ptr<EventRecord> EventQueue::TakeOldest() {
  if (records_.empty()) return nullptr;
  std::unique_ptr<EventRecord> oldest = std::move(records_.front());
  records_.pop_front();
  return oldest;
}

ControlObject* WindowObject::FindControl(int number) const {
  if (number == 0) return nullptr;
  for (const auto& control : controls) {
    if (control->number == number) return control.get();
  }
  return nullptr;
}

ControlObject* WindowObject::FindControlByHandle(platform::WindowHandle window) const {
  if (window == platform::kNoWindow) return nullptr;
  for (const auto& control : controls) {
    if (control->handle == window) return control.get();
  }
  return nullptr;
}

}  // namespace vaultrix::windows
