// Event records: one per event, made when the event is raised, owned by its
// window once queued, and freed when the next event of that window is
// delivered or the window closes.
//
// A record's kind decides what it does beyond carrying its fields. The kinds
// share five behaviours, in this order: a no-op (a placeholder with no use
// here, so no member stands for it), destroy (the destructor), Clone (a new
// record for the same window with another code and control, keeping the key
// and mouse fields), Query (0 in the base kind) and AfterDelivery (nothing
// in the base kind; the controls' own kinds do their follow-up work there).
#pragma once

#include <cstdint>
#include <memory>

#include "runtime/windows/event_codes.h"

namespace vaultrix::windows {

struct WindowObject;
struct ControlObject;

class EventRecord {
 public:
  EventRecord() = default;
  EventRecord(const EventRecord&) = default;
  EventRecord& operator=(const EventRecord&) = default;
  virtual ~EventRecord() = default;

  [[nodiscard]] virtual std::unique_ptr<EventRecord> Clone(int event,
                                                           ControlObject* for_control) const;
  [[nodiscard]] virtual std::int32_t Query() const { return 0; }
  virtual void AfterDelivery() {}

  [[nodiscard]] int Event() const { return EventOfMessage(message); }

  WindowObject* window = nullptr;  // whose loop receives the event
  std::uint32_t message = 0;       // event code + kEventMessageBase
  std::int32_t thread = 0;         // number of the window's thread
  ControlObject* control = nullptr;
  ControlObject* focus_control = nullptr;  // had the focus when the event was raised
  std::int32_t key_code = 0;
  std::uint8_t key_character = 0;
  std::int32_t mouse_x = 0;  // dialog units of the window
  std::int32_t mouse_y = 0;
};

// "EVENT:Rejected" raised by an entry field: one more value, the reason the
// entry's picture could not read the text, which Query answers.
class RejectedEventRecord final : public EventRecord {
 public:
  [[nodiscard]] std::unique_ptr<EventRecord> Clone(int event,
                                                   ControlObject* for_control) const override;
  [[nodiscard]] std::int32_t Query() const override { return reason; }

  std::int32_t reason = 0;
};

}  // namespace vaultrix::windows
