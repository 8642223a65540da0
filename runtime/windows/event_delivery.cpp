// Delivering one event record to a window's loop body, with the Suspend and
// Resume events that mark a change of the thread receiving events.
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {
namespace {

// A body that runs, with the runtime context switched to its window's thread.
int RunBody(EventEngine& engine, WindowObject& window) {
  const int previous_thread = engine.CurrentThread();
  window.in_body = true;
  engine.SetCurrentThread(window.thread);
  const int flag = window.body();
  engine.SetCurrentThread(previous_thread);
  window.in_body = false;
  return flag;
}

// Suspend and Resume go straight to the body; they are not queued. A
// window without a loop, or whose body is running, does not get them.
void DeliverAtOnce(EventEngine& engine, WindowObject& window, int event) {
  if (!window.body || window.in_body) return;
  window.current_event = MakeEventRecord(engine, window, event, nullptr);
  (void)RunBody(engine, window);
  window.current_event->AfterDelivery();
}

}  // namespace

int DeliverEvent(EventEngine& engine, std::unique_ptr<EventRecord>& record) {
  WindowObject& window = *record->window;
  if (!window.body) {
    record.reset();
    return kNoLoop;
  }
  if (window.in_body) return kBodyDefault;

  if (window.thread != engine.LastEventThread()) {
    const RuntimeThread* left = engine.Thread(engine.LastEventThread());
    if (left != nullptr && left->current_window != nullptr &&
        left->current_window != &window) {
      WindowObject& suspended = *left->current_window;
      DeliverAtOnce(engine, suspended, kEventSuspend);
      suspended.suspended = true;
    }
    engine.SetLastEventThread(window.thread);
  }
  if (window.suspended) {
    window.suspended = false;
    DeliverAtOnce(engine, window, kEventResume);
  }

  window.current_event = std::move(record);
  const int flag = RunBody(engine, window);
  // The body may have closed the window's loop; the record is still its own.
  if (window.current_event != nullptr) window.current_event->AfterDelivery();
  return flag;
}

}  // namespace vaultrix::windows
