// The accept-all walk: every control that holds a value is accepted in
// description order, as if the user had completed the window field by field.
#include "runtime/windows/controls.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::windows {
using namespace rsc;  // NOLINT: the record kinds and attribute bits
namespace {

bool TakesValue(const ControlObject& control) {
  switch (control.type) {
    case kEntry:
    case kSpin:
    case kTextBox:
    case kCheck:
    case kOptionGroup:
    case kList:
      return control.number > 0;
    default:
      return false;
  }
}

}  // namespace

void SelectControl(EventEngine& engine, int number) {
  const RuntimeThread* thread = engine.Thread(engine.CurrentThread());
  if (thread == nullptr || thread->current_window == nullptr) return;
  if (const ControlObject* control = thread->current_window->FindControl(number)) {
    (void)engine.System().SetFocus(control->handle);
  }
}

void StartAcceptAll(WindowObject& window) {
  window.accept_all = true;
  window.accept_all_next = 0;
}

std::unique_ptr<EventRecord> NextOfAcceptAll(EventEngine& engine, WindowObject& window) {
  platform::WindowSystem& system = engine.System();
  while (window.accept_all_next < window.controls.size()) {
    ControlObject& control = *window.controls[window.accept_all_next++];
    if (!TakesValue(control) || !system.IsWindowVisible(control.handle) ||
        !system.IsWindowEnabled(control.handle)) {
      continue;
    }
    if (window.can_accept && !window.can_accept(control)) {
      window.accept_all = false;
      if (system.GetFocus() == control.handle) {
        window.events.Append(MakeEventRecord(engine, window, kEventSelected, &control));
      } else {
        (void)system.SetFocus(control.handle);  // its "EVENT:Selected" follows
      }
      return nullptr;
    }
    if (TakesTypedText(control)) {
      // The field stores its value before its "EVENT:Accepted" is seen.
      AcceptTypedText(engine, control);
      return window.events.TakeOldest();
    }
    return MakeEventRecord(engine, window, kEventAccepted, &control);
  }
  window.accept_all = false;
  PostEventToWindow(engine, window, kEventCompleted, nullptr);
  return nullptr;
}

}  // namespace vaultrix::windows
