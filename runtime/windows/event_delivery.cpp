// Delivering one event record to a window's loop body, with the Suspend and
// Resume events that mark a change of the thread receiving events; events
// delivered at once; focus passed between threads.
#include "runtime/windows/event_engine.h"

#include "runtime/windows/ctllist_window.h"

namespace vaultrix::windows {
namespace {

// A body that runs, with the runtime context switched to its window's thread.
int RunBody(EventEngine& engine, WindowObject& window) {
  const int previous_thread = engine.CurrentThread();
  window.in_body = true;
  engine.SwitchContext(window.thread);
  const int flag = window.body();
  engine.SwitchContext(previous_thread);
  window.in_body = false;
  return flag;
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
      (void)DeliverAtOnce(engine, suspended, kEventSuspend);
      suspended.suspended = true;
    }
    engine.SetLastEventThread(window.thread);
  }
  if (window.suspended) {
    window.suspended = false;
    (void)DeliverAtOnce(engine, window, kEventResume);
  }

  window.current_event = std::move(record);
  const int flag = RunBody(engine, window);
  // The body may have changed the queues its lists show.
  if (window.handle != platform::kNoWindow) RefreshLists(engine, window);
  // The body may have closed the window's loop; the record is still its own.
  if (window.current_event != nullptr) window.current_event->AfterDelivery();
  return flag;
}

int DeliverAtOnce(EventEngine& engine, WindowObject& window, int event,
                  ControlObject* control) {
  const RuntimeThread* thread = engine.Thread(window.thread);
  if (thread == nullptr || thread->current_window != &window || !window.body) return kNoLoop;
  std::unique_ptr<EventRecord> record = MakeEventRecord(engine, window, event, control);
  engine.RaiseModalCount();
  const int flag = DeliverEvent(engine, record);
  engine.LowerModalCount();
  return flag;
}

void PassFocusBetweenThreads(EventEngine& engine) {
  const int activated = engine.ActivatedThread();
  const int previous = engine.FocusThread();
  if (activated == previous) return;
  if (const RuntimeThread* old = engine.Thread(previous); old && old->current_window) {
    (void)DeliverAtOnce(engine, *old->current_window, kEventLoseFocus);
  }
  if (const RuntimeThread* now = engine.Thread(activated); now && now->current_window) {
    (void)DeliverAtOnce(engine, *now->current_window, kEventGainFocus);
  }
  engine.SetFocusThread(activated);
}

}  // namespace vaultrix::windows
