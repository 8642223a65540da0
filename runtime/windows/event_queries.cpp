// The current event as the loop body asks about it.
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {
namespace {

const EventRecord* Current(EventEngine& engine) {
  const RuntimeThread* thread = engine.Thread(engine.CurrentThread());
  if (thread == nullptr || thread->current_window == nullptr) return nullptr;
  return thread->current_window->current_event.get();
}

int ControlNumber(const EventRecord* record) {
  return record != nullptr && record->control != nullptr ? record->control->number : 0;
}

}  // namespace

int CurrentEvent(EventEngine& engine) {
  const EventRecord* record = Current(engine);
  return record != nullptr ? record->Event() : 0;
}

int EventControl(EventEngine& engine) { return ControlNumber(Current(engine)); }

int AcceptedControl(EventEngine& engine) {
  const EventRecord* record = Current(engine);
  return record != nullptr && record->Event() == kEventAccepted ? ControlNumber(record) : 0;
}

int SelectedControl(EventEngine& engine) {
  const EventRecord* record = Current(engine);
  return record != nullptr && record->Event() == kEventSelected ? ControlNumber(record) : 0;
}

std::int32_t KeyCode(EventEngine& engine) {
  if (const EventRecord* record = Current(engine)) return record->key_code & 0x7FF;
  const RuntimeThread* thread = engine.Thread(engine.CurrentThread());
  return thread != nullptr ? thread->last_key_code : 0;
}

void SetKeyCode(EventEngine& engine, std::int32_t code) {
  if (RuntimeThread* thread = engine.Thread(engine.CurrentThread())) thread->last_key_code = code;
}

}  // namespace vaultrix::windows
