// Entry fields: the bound variable shown through the entry's picture, and a
// typed text accepted back through it. A text the picture cannot read raises
// "EVENT:Rejected" and leaves the variable as it was.
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include "platform/window_system.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

// Why an entry's text was rejected (what "EVENT:Rejected"'s record answers).
inline constexpr std::int32_t kRejectedUnreadable = 1;

// An entry with a text picture takes no more bytes than the picture shows,
// so typing stops at the field's end, never inside a character.
void LimitEntry(platform::WindowSystem& system, const ControlObject& entry);

// Shows the variable's value in the entry through its picture.
void DisplayEntry(platform::WindowSystem& system, ControlObject& entry);

// Whether the entry's current text can be accepted.
[[nodiscard]] bool EntryAcceptable(platform::WindowSystem& system, const ControlObject& entry);

// Accepts the entry's text: unchanged text, or a text the picture reads
// (stored into the variable and shown again), queues "EVENT:Accepted";
// otherwise "EVENT:Rejected" is queued and the variable keeps its value.
void AcceptEntry(EventEngine& engine, ControlObject& entry);

}  // namespace vaultrix::windows
