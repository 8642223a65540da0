// Raising and posting events onto windows' queues.
#include <algorithm>

#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

RuntimeThread* EventEngine::Thread(int number) {
  if (number < 1 || number > kThreadCount) return nullptr;
  return &threads_[number - 1];
}

std::unique_ptr<EventRecord> MakeEventRecord(EventEngine& engine, WindowObject& window,
                                             int event, ControlObject* control) {
  std::unique_ptr<EventRecord> record;
  if (window.current_event != nullptr) {
    record = window.current_event->Clone(event, control);
  } else {
    record = std::make_unique<EventRecord>();
    record->message = MessageOfEvent(event);
    record->control = control;
    if (const RuntimeThread* thread = engine.Thread(window.thread)) {
      record->key_code = thread->last_key_code;
      record->key_character = thread->last_key_character;
    }
  }
  record->window = &window;
  record->thread = window.thread;
  record->focus_control = window.focus_control;
  return record;
}

std::unique_ptr<EventRecord> MakeInputEventRecord(EventEngine& engine, WindowObject& window,
                                                  int event, ControlObject* control) {
  std::unique_ptr<EventRecord> record = MakeEventRecord(engine, window, event, control);
  if (const RuntimeThread* thread = engine.Thread(window.thread)) {
    record->key_code = thread->last_key_code;
    record->key_character = thread->last_key_character;
  }
  return record;
}

void PostEvent(EventEngine& engine, int event, int control, int thread) {
  const int number = thread == 0 ? engine.CurrentThread() : thread;
  RuntimeThread* target = engine.Thread(number);
  if (target == nullptr || target->current_window == nullptr) return;
  WindowObject& window = *target->current_window;
  PostEventToWindow(engine, window, event, window.FindControl(control));
}

void PostEventToWindow(EventEngine& engine, WindowObject& window, int event,
                       ControlObject* control) {
  std::unique_ptr<EventRecord> record = MakeEventRecord(engine, window, event, control);
  const auto address = reinterpret_cast<std::intptr_t>(record.get());
  window.in_flight.push_back(std::move(record));
  if (!engine.System().PostMessage(window.handle, kEventPostedMessage, 0, address)) {
    window.in_flight.pop_back();
  }
}

bool ReceivePostedEvent(WindowObject& window, std::intptr_t lparam) {
  auto it = std::find_if(window.in_flight.begin(), window.in_flight.end(),
                         [&](const std::unique_ptr<EventRecord>& r) {
                           return reinterpret_cast<std::intptr_t>(r.get()) == lparam;
                         });
  if (it == window.in_flight.end()) return false;
  window.events.Append(std::move(*it));
  window.in_flight.erase(it);
  return true;
}

bool RaiseTimerEvent(EventEngine& engine, WindowObject& window) {
  if (window.timer_pending) return false;
  window.timer_pending = true;
  window.events.Append(MakeEventRecord(engine, window, kEventTimer, nullptr));
  return true;
}

}  // namespace vaultrix::windows
