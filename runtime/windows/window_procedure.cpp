// The window procedure of the engine's windows: the window system's messages
// that become queued events (creation, move, size, activation, close, timer
// ticks, posted events, mouse clicks on the window itself), and the
// activation that tells the engine which thread the user went to.
#include "runtime/windows/controls.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_requests.h"

namespace vaultrix::windows {
namespace {

using platform::Message;
using platform::WindowSystem;

void Queue(EventEngine& engine, WindowObject& window, int event,
           ControlObject* control = nullptr) {
  window.events.Append(MakeEventRecord(engine, window, event, control));
}

// A size message: a change of show state gives the state's event, a new
// size in the restored state "EVENT:Sized".
void OnSize(EventEngine& engine, WindowObject& window, std::uintptr_t state) {
  const int previous = window.size_state;
  window.size_state = static_cast<int>(state);
  if (state == platform::kSizeMinimized) {
    if (previous != window.size_state) Queue(engine, window, kEventIconized);
  } else if (state == platform::kSizeMaximized) {
    if (previous != window.size_state) Queue(engine, window, kEventMaximized);
  } else {
    Queue(engine, window, previous == window.size_state ? kEventSized : kEventRestored);
  }
}

// A menu item, toolbar button or control chosen: wparam holds its number in
// the low 16 bits (the notification code above, 0 for a click), lparam its
// window when known.
void OnCommand(EventEngine& engine, WindowObject& window, const Message& m) {
  if ((m.wparam >> 16) != 0) return;  // an edit's change: its text is already there
  ControlObject* control =
      window.FindControlByHandle(static_cast<platform::WindowHandle>(m.lparam));
  if (control == nullptr) {
    control = window.FindControl(static_cast<std::int16_t>(m.wparam & 0xFFFF));
  }
  if (control != nullptr) ChooseControl(engine, *control);
}

}  // namespace

platform::WindowProc EngineWindowProc(EventEngine& engine, WindowObject& window) {
  return [&engine, &window](WindowSystem& system, const Message& m) -> std::intptr_t {
    switch (m.message) {
      case platform::kWmCreate:
        // So that it is the first event of every loop.
        Queue(engine, window, kEventOpenWindow);
        return 0;
      case kEventPostedMessage:
        ReceivePostedEvent(window, m.lparam);
        return 0;
      case platform::kWmTimer:
        RaiseTimerEvent(engine, window);
        return 0;
      case platform::kWmClose:
        // The loop body decides; the window is not destroyed here.
        Queue(engine, window, kEventCloseWindow);
        return 0;
      case platform::kWmMove:
        Queue(engine, window, kEventMoved);
        return 0;
      case platform::kWmSize:
        OnSize(engine, window, m.wparam);
        return 0;
      case platform::kWmActivate:
        if (m.wparam != platform::kWaInactive) engine.NoteActivation(window.thread);
        return 0;
      case platform::kWmMdiActivate:
        if (static_cast<platform::WindowHandle>(m.lparam) == window.handle) {
          engine.NoteActivation(window.thread);
        }
        return 0;
      case platform::kWmCommand:
        OnCommand(engine, window, m);
        return 0;
      case platform::kWmSysCommand:
        return AnswerSystemCommand(engine, window, m.wparam);
      case kQueryContinueThread:
        return 0;  // it only wakes the thread to serve its queue
      default:
        return WindowSystem::DefaultWindowProc(system, m);
    }
  };
}

}  // namespace vaultrix::windows
