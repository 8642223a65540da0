// The runtime's window object: what the event engine keeps for each window
// of a procedure, beside the window system's own record of the same window
// (reached through `handle`). The fields are those the event loop works
// with; a window's kind and its controls' settings come from its stored
// description.
//
// Threads: a window object belongs to its thread; other threads touch it
// only to post events (PostEvent), and every access happens under the
// runtime lock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_messages.h"
#include "runtime/windows/event_record.h"

namespace vaultrix::windows {

struct ListBinding;  // ctllist_window.h

// A control as the event engine knows it: its number in the window's
// description and its window in the window system.
struct ControlObject {
  int number = 0;  // negative for menu items and toolbar buttons
  platform::WindowHandle handle = platform::kNoWindow;
  WindowObject* window = nullptr;
  std::uint8_t type = 0;  // the control kind of its description record
  // The bound use variable (null: unbound), its descriptor's type and size.
  void* use_address = nullptr;
  std::uint8_t use_type = 0;
  std::uint32_t use_size = 0;
  std::string picture;
  std::string shown_text;  // the text last shown from the variable
  std::uint32_t flags = 0;  // the description's attribute flags (0x1: default button)
  // The option group of a radio, the sheet of a tab, the tab or group that
  // holds a control; null at the window's top level.
  ControlObject* container = nullptr;
  double low = 0, high = 0, step = 0;  // spin range and step, progress bounds
  std::string value_text;              // a radio: what its option group takes
  std::int32_t key = 0;                // menus and items: accelerator key code
  std::int32_t action = 0;             // menus and items: standard action
  // Sheets: the tab shown; option groups: the radio chosen (from 1, 0 none),
  // as the engine last made it (a driver may have set the window already).
  int chosen = 0;
  std::shared_ptr<ListBinding> list;  // a LIST control's list, else null
};

// One entry of a window's key table: a key code (masked with 0x7FF) and the
// command it sends (0: "EVENT:AlertKey"; otherwise 0x4000 + control number).
struct KeyTableEntry {
  std::int32_t key_code = 0;
  std::int32_t command = 0;
};
inline constexpr std::int32_t kControlCommandBase = 0x4000;

enum class CloseState : int {
  kNone = 0,
  kWaitingForOwned = 1,  // an owned window was asked to close down
  kRequested = 2,
};

// The ordered list of a window's queued event records.
class EventQueue {
 public:
  void Append(std::unique_ptr<EventRecord> record) { records_.push_back(std::move(record)); }
  // The oldest record, or null when the queue is empty.
  [[nodiscard]] std::unique_ptr<EventRecord> TakeOldest();
  [[nodiscard]] bool Empty() const { return records_.empty(); }
  [[nodiscard]] std::size_t Size() const { return records_.size(); }
  [[nodiscard]] const EventRecord& At(std::size_t index) const { return *records_[index]; }
  void Clear() { records_.clear(); }

 private:
  std::deque<std::unique_ptr<EventRecord>> records_;
};

// What an ACCEPT loop body answers for an event.
inline constexpr int kBodyDefault = 0;   // let the event's default action happen
inline constexpr int kSkipDefault = 1;   // suppress it
inline constexpr int kNoLoop = -1;       // the window has no loop (delivery only)

// The loop body of a window's ACCEPT loop: called once per event, answers
// kBodyDefault or kSkipDefault.
using LoopBody = std::function<int()>;

struct WindowObject {
  platform::WindowHandle handle = platform::kNoWindow;
  std::int32_t thread = 0;  // number of the window's thread
  WindowObject* previous = nullptr;  // the thread's current window when this one opened
  WindowObject* owner = nullptr;
  std::vector<WindowObject*> owned;
  std::unique_ptr<EventRecord> current_event;
  EventQueue events;
  // Records posted to this window whose kEventPostedMessage has not arrived
  // yet. The window keeps them, so that a record whose message is dropped
  // (the window closed first) is still freed, and an arriving message is
  // believed only when its record is here.
  std::vector<std::unique_ptr<EventRecord>> in_flight;
  LoopBody body;         // the loop frame: empty when no loop runs
  bool looping = false;  // the ACCEPT loop frame is set
  bool in_body = false;
  bool suspended = false;
  bool accept_all = false;
  std::size_t accept_all_next = 0;  // index into controls of the walk's next control
  // Whether a control's value can be accepted now (an entry whose text its
  // picture reads); empty: every control can.
  std::function<bool(ControlObject&)> can_accept;
  CloseState close_state = CloseState::kNone;
  // While kWaitingForOwned: the owned window asked to close down; null once
  // it has gone without answering.
  WindowObject* closing_down = nullptr;
  std::int32_t timer_period = 0;  // hundredths of a second
  bool timer_pending = false;
  ControlObject* focus_control = nullptr;
  int selected_control = 0;
  bool shown = false;
  // Set by a close request while the loop runs: the window closes when its
  // loop has ended.
  bool close_mark = false;
  bool raised_modal = false;  // opening it raised the modal count
  bool is_frame = false;
  platform::WindowHandle mdi_client = platform::kNoWindow;  // frames only
  int size_state = 0;  // the last kSize* state reported for the window
  std::uint32_t attributes = 0;  // the description's attribute bits, frame kind among them
  std::uint32_t event_flags = 0;  // the description's event flags (0x800: move and size requests)
  std::string cursor;
  std::vector<std::string> drop_ids;
  std::vector<std::int32_t> alert_keys;
  platform::WindowHandle status_bar = platform::kNoWindow;  // its own, none when it uses the frame's
  bool has_menu = false;  // its own menu bar (an MDI child without one shows the frame's)
  std::vector<KeyTableEntry> key_table;  // the accelerators of its menu items
  std::vector<std::unique_ptr<ControlObject>> controls;  // description order

  // The control with that number, null for none (and for 0).
  [[nodiscard]] ControlObject* FindControl(int number) const;
  // The control whose window that is, null for none.
  [[nodiscard]] ControlObject* FindControlByHandle(platform::WindowHandle window) const;
};

}  // namespace vaultrix::windows
