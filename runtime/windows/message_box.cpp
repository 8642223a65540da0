// MESSAGE over the window system's message box.
#include "runtime/windows/message_box.h"

namespace vaultrix::windows {

platform::MessageBoxAnswer Message(EventEngine& engine, const platform::MessageBoxRequest& request) {
  const int number = engine.CurrentThread();
  platform::WindowHandle owner = platform::kNoWindow;
  if (const RuntimeThread* thread = engine.Thread(number);
      thread != nullptr && thread->current_window != nullptr) {
    owner = thread->current_window->handle;
  } else if (const WindowObject* frame = engine.Frame(); frame != nullptr) {
    owner = frame->handle;
  }
  // The window system gives the lock up for the wait; whoever held it
  // meanwhile left its own context loaded.
  const platform::MessageBoxAnswer answer = engine.System().MessageBox(owner, request);
  engine.SwitchContext(number);
  return answer;
}

}  // namespace vaultrix::windows
