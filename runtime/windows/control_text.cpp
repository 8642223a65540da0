// Text boxes: several lines of text in a string or memo variable. The text
// is stored as it stands; a text longer than the variable raises
// "EVENT:Rejected" rather than losing its end. Only the window's own thread
// may operate a text box (542 "CTLTEXT").
#include "runtime/support/runtime_error.h"
#include "runtime/windows/control_kinds.h"
#include "runtime/windows/use_variable.h"

namespace vaultrix::windows {

void RequireOwnThread(EventEngine& engine, const ControlObject& text) {
  if (text.window != nullptr && text.window->thread != engine.CurrentThread()) {
    support::RuntimeError(kErrorOperationModal, kTextControlDetail);
  }
}

void DisplayTextBox(EventEngine& engine, ControlObject& text) {
  if (text.use_address == nullptr) return;
  RequireOwnThread(engine, text);
  text.shown_text = UseText(text);
  (void)engine.System().SetText(text.handle, text.shown_text);
}

void AcceptTextBox(EventEngine& engine, ControlObject& text) {
  RequireOwnThread(engine, text);
  const std::string typed = engine.System().GetText(text.handle);
  if (typed != text.shown_text && text.use_address != nullptr) {
    if (!StoreUseText(text, typed)) {
      RaiseRejected(engine, text, kRejectedTooLong);
      return;
    }
    text.shown_text = typed;
  }
  RaiseControlEvent(engine, text, kEventAccepted);
}

}  // namespace vaultrix::windows
