// Cloning of event records.
#include "runtime/windows/event_record.h"

namespace vaultrix::windows {

std::unique_ptr<EventRecord> EventRecord::Clone(int event, ControlObject* for_control) const {
  // A clone is of the base kind whatever this one is: it carries the key and
  // mouse fields over, not the follow-up work of another event.
  auto copy = std::make_unique<EventRecord>(static_cast<const EventRecord&>(*this));
  copy->message = MessageOfEvent(event);
  copy->control = for_control;
  return copy;
}

std::unique_ptr<EventRecord> RejectedEventRecord::Clone(int event,
                                                        ControlObject* for_control) const {
  if (event != kEventRejected) return EventRecord::Clone(event, for_control);
  auto copy = std::make_unique<RejectedEventRecord>(*this);
  copy->control = for_control;
  return copy;
}

}  // namespace vaultrix::windows
