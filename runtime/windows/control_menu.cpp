// Menu items and their standard actions. An item without one raises
// "EVENT:Accepted" under its (negative) number; an item with one has the
// runtime do the work and the procedure hears nothing.
#include "runtime/windows/control_kinds.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {
using namespace rsc;  // NOLINT: the standard action numbers
namespace {

// The control that has the focus: in the item's window, or in a window that
// it owns (a frame's menu acts on its active MDI child's fields).
ControlObject* FocusedField(EventEngine& engine, const WindowObject& window) {
  const platform::WindowHandle focus = engine.System().GetFocus();
  if (ControlObject* control = window.FindControlByHandle(focus)) return control;
  for (const WindowObject* owned : window.owned) {
    if (ControlObject* control = owned->FindControlByHandle(focus)) return control;
  }
  return nullptr;
}

void ClipboardAction(EventEngine& engine, const WindowObject& window, std::int32_t action) {
  platform::WindowSystem& system = engine.System();
  ControlObject* field = FocusedField(engine, window);
  if (field == nullptr || !TakesTypedText(*field)) return;
  if (action == kActionPaste) {
    if (std::optional<std::string> text = system.GetClipboardText()) {
      (void)system.SetText(field->handle, std::move(*text));
    }
    return;
  }
  system.SetClipboardTextFromProgram(system.GetText(field->handle));
  if (action == kActionCut) (void)system.SetText(field->handle, std::string());
}

}  // namespace

void ChooseItem(EventEngine& engine, ControlObject& item) {
  WindowObject& window = *item.window;
  switch (item.action) {
    case 0: RaiseControlEvent(engine, item, kEventAccepted); return;
    case kActionCut:
    case kActionCopy:
    case kActionPaste: ClipboardAction(engine, window, item.action); return;
    case kActionCloseFrame:
      // As if the user closed the frame: its procedure hears "EVENT:CloseWindow".
      if (const WindowObject* frame = engine.Frame()) {
        (void)engine.System().PostMessage(frame->handle, platform::kWmClose);
      }
      return;
    default:
      // The window list, tiling, help and printer setup belong to the
      // display driver or to the handler the program installs.
      if (const StandardActionHandler& handler = engine.ActionHandler()) {
        handler(item.action, window);
      }
      return;
  }
}

}  // namespace vaultrix::windows
