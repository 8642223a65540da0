// Close requests on a thread's stack of windows, and the windows a thread
// leaves behind when its procedure ends.
#include "runtime/windows/window_open.h"

namespace vaultrix::windows {

namespace {

bool OnStack(const RuntimeThread& thread, const WindowObject& window) {
  for (const WindowObject* w = thread.current_window; w != nullptr; w = w->previous) {
    if (w == &window) return true;
  }
  return false;
}

}  // namespace

void WindowClose(EventEngine& engine, WindowObject& window) {
  if (window.handle == platform::kNoWindow) return;
  RuntimeThread* thread = engine.Thread(window.thread);
  if (thread == nullptr || !OnStack(*thread, window)) return;
  // Every window above this one on its thread's stack closes with it.
  WindowObject* w = thread->current_window;
  while (w != nullptr) {
    WindowObject* below = w->previous;
    const bool last = w == &window;
    if (w->looping) {
      w->close_mark = true;
      // The loop ends once the windows it owns have closed down.
      if (w->close_state == CloseState::kNone) w->close_state = CloseState::kRequested;
      if (w->thread != engine.CurrentThread()) {
        (void)engine.System().PostMessage(w->handle, kQueryContinueThread);
      }
    } else if (w == thread->current_window) {
      DestroyWindowObject(engine, *w);
    }
    if (last) return;
    w = below;
  }
}

void EndThreadWindows(EventEngine& engine, int number) {
  RuntimeThread* thread = engine.Thread(number);
  if (thread == nullptr) return;
  while (thread->current_window != nullptr) {
    DestroyWindowObject(engine, *thread->current_window);
  }
  thread->target_window = nullptr;
  if (engine.FocusThread() == number) engine.SetFocusThread(0);
  if (engine.ActivatedThread() == number) engine.NoteActivation(0);
  if (engine.LastEventThread() == number) engine.SetLastEventThread(0);
}

}  // namespace vaultrix::windows
