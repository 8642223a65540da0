// Buttons and toolbar buttons: a press raises "EVENT:Accepted" for the
// button; Enter presses the window's default button.
#include "runtime/windows/control_kinds.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {

void PressButton(EventEngine& engine, ControlObject& button) {
  RaiseControlEvent(engine, button, kEventAccepted);
}

ControlObject* DefaultButton(const WindowObject& window) {
  for (const auto& control : window.controls) {
    if (control->type == rsc::kButton && (control->flags & kDefaultButtonFlag) != 0) {
      return control.get();
    }
  }
  return nullptr;
}

}  // namespace vaultrix::windows
