// The event engine's shared state: the runtime's part of the 64 thread
// slots (thread numbers 1 to 64, the program's first thread being 1) and
// the window system the engine works through.
//
// Locks: all of this is guarded by the runtime lock (platform/runtime_lock.h);
// every function here REQUIRES that the calling thread holds it. The window
// system is called like an operating-system API and guards itself.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/runtime_lock.h"
#include "platform/window_system.h"
#include "runtime/windows/key_buffer.h"
#include "runtime/windows/window_object.h"

namespace vaultrix::windows {

inline constexpr int kThreadCount = 64;

// The runtime values each thread keeps while another runs: the string-stack
// state, the bind-scope state and two runtime stack tops.
inline constexpr int kSavedRuntimeValues = 4;

// How one of those values is read from and written back to the runtime
// module that keeps it.
struct RuntimeValueHooks {
  std::function<std::intptr_t()> save;
  std::function<void(std::intptr_t)> load;
};

// The runtime's side of the standard actions that the engine does not do
// itself (printer setup, help, the window list): the action and the window
// whose item was chosen.
using StandardActionHandler = std::function<void(std::int32_t action, WindowObject& window)>;

// What the engine keeps per thread slot.
struct RuntimeThread {
  WindowObject* current_window = nullptr;  // innermost open window, the one ACCEPT serves
  WindowObject* target_window = nullptr;   // set by TARGET; reset whenever a window opens
  std::int32_t last_key_code = 0;
  std::uint8_t last_key_character = 0;
  std::array<std::intptr_t, kSavedRuntimeValues> saved_values{};  // while another thread runs
};

class EventEngine {
 public:
  explicit EventEngine(platform::WindowSystem& system) : system_(system) {}
  EventEngine(const EventEngine&) = delete;
  EventEngine& operator=(const EventEngine&) = delete;

  [[nodiscard]] platform::WindowSystem& System() { return system_; }
  // Thread numbers 1 to kThreadCount; null for any other number.
  [[nodiscard]] RuntimeThread* Thread(int number);
  // The thread running runtime code, the one holding the runtime lock; the
  // lock's acquire hook sets it.
  [[nodiscard]] int CurrentThread() const { return current_thread_; }
  void SetCurrentThread(int number) { current_thread_ = number; }
  // Whoever takes the runtime lock switches the runtime context to itself:
  // the current thread becomes `number` and, when another thread's runtime
  // values are loaded, those are saved into its slot and this thread's
  // loaded (runtime_context.cpp).
  void SwitchContext(int number);
  // Installs the hooks of runtime value `index` (0 to kSavedRuntimeValues - 1).
  void SetRuntimeValueHooks(int index, RuntimeValueHooks hooks);
  // A new thread starts with cleared values.
  void ClearSavedValues(int number);
  // The typed-ahead key buffer that PressKeys fills.
  [[nodiscard]] KeyBuffer& Keys() { return keys_; }
  [[nodiscard]] const StandardActionHandler& ActionHandler() const { return action_handler_; }
  void SetActionHandler(StandardActionHandler handler) { action_handler_ = std::move(handler); }
  // The system is MODAL while the modal count is above 0.
  [[nodiscard]] int ModalCount() const { return modal_count_; }
  void RaiseModalCount() { ++modal_count_; }
  void LowerModalCount() {
    if (modal_count_ > 0) --modal_count_;
  }
  // The thread whose window was last activated (the window procedures note
  // it) and the thread that last got "EVENT:GainFocus".
  [[nodiscard]] int ActivatedThread() const { return activated_thread_; }
  void NoteActivation(int thread) { activated_thread_ = thread; }
  [[nodiscard]] int FocusThread() const { return focus_thread_; }
  void SetFocusThread(int thread) { focus_thread_ = thread; }
  // The thread whose window received the last delivered event (0: none yet).
  [[nodiscard]] int LastEventThread() const { return last_event_thread_; }
  void SetLastEventThread(int number) { last_event_thread_ = number; }
  // The APPLICATION frame; null while none is open.
  [[nodiscard]] WindowObject* Frame() const { return frame_; }
  void SetFrame(WindowObject* frame) { frame_ = frame; }
  // The runtime lock that ACCEPT gives up while it waits for messages; null
  // when the engine runs on one thread only (the lock is then not needed).
  [[nodiscard]] platform::RuntimeLock* Lock() const { return lock_; }
  void SetLock(platform::RuntimeLock* lock) { lock_ = lock; }

 private:
  platform::WindowSystem& system_;
  RuntimeThread threads_[kThreadCount];
  int current_thread_ = 1;
  int loaded_thread_ = 1;  // whose runtime values the modules hold
  std::array<RuntimeValueHooks, kSavedRuntimeValues> value_hooks_;
  KeyBuffer keys_;
  StandardActionHandler action_handler_;
  int last_event_thread_ = 0;
  int modal_count_ = 0;
  int activated_thread_ = 0;
  int focus_thread_ = 0;
  WindowObject* frame_ = nullptr;
  platform::RuntimeLock* lock_ = nullptr;
};

// A new record of `event` for a window: a clone of the window's current
// record when it has one (so the key and mouse fields carry over), else one
// with the window's thread's last key code and character.
[[nodiscard]] std::unique_ptr<EventRecord> MakeEventRecord(EventEngine& engine,
                                                           WindowObject& window, int event,
                                                           ControlObject* control);

// A record of an event that input raised on the window (a control's
// reaction to a key or click): its key code and character are the thread's
// last ones, never copied from an older record.
[[nodiscard]] std::unique_ptr<EventRecord> MakeInputEventRecord(EventEngine& engine,
                                                                WindowObject& window, int event,
                                                                ControlObject* control);

// Queues an event on a thread's current window through that window's
// message queue, so that posted events keep their order with each other and
// with the thread's input. control 0 means a window event; thread 0 means
// the calling thread. Nothing happens when the thread has no current window.
void PostEvent(EventEngine& engine, int event, int control, int thread);

// Queues an event on one window through its message queue, as PostEvent
// does for a thread's current window.
void PostEventToWindow(EventEngine& engine, WindowObject& window, int event,
                       ControlObject* control);

// The window procedure's side of PostEvent: moves the record that a
// kEventPostedMessage names (lparam) from the window's in-flight list to its
// event queue. False when the window holds no such record.
bool ReceivePostedEvent(WindowObject& window, std::intptr_t lparam);

// A timer tick: queues "EVENT:Timer" unless one is already pending, so at
// most one is ever queued however slowly the body runs. Answers whether an
// event was queued. Delivering the event clears the pending flag.
bool RaiseTimerEvent(EventEngine& engine, WindowObject& window);

// Delivers one record to its window's loop body and answers the body's
// flag; kNoLoop (the record discarded) when the window has no loop. While
// the body runs, a further delivery to the same window answers
// kBodyDefault and hands the record back through `record` untouched:
// events raised during the body are queued, never nested. When the window's
// thread differs from the thread that received the previous event, that
// thread's current window first gets "EVENT:Suspend", and a suspended
// receiving window first gets "EVENT:Resume". The record becomes the
// window's current one (the previous one is freed); the runtime context is
// the window's thread while the body runs.
int DeliverEvent(EventEngine& engine, std::unique_ptr<EventRecord>& record);

// Delivers an event at once instead of queuing it, for the events whose
// answer decides what happens next (move and size requests, Suspend,
// Resume, LoseFocus, GainFocus). Only a window that is its thread's current
// window and has a loop gets it; otherwise the event is dropped (kNoLoop).
// The system counts as MODAL while the body runs.
int DeliverAtOnce(EventEngine& engine, WindowObject& window, int event,
                  ControlObject* control = nullptr);

// What the calling thread's loop body asks of its current event
// (event_queries.cpp). CurrentEvent: the code, 0 for none. EventControl: the
// control's number, 0 for a window event. AcceptedControl and
// SelectedControl: the number when the event is "EVENT:Accepted" or
// "EVENT:Selected", else 0. KeyCode: the event's key code masked with 0x7FF,
// or the thread's last key code when there is no current event.
[[nodiscard]] int CurrentEvent(EventEngine& engine);
[[nodiscard]] int EventControl(EventEngine& engine);
[[nodiscard]] int AcceptedControl(EventEngine& engine);
[[nodiscard]] int SelectedControl(EventEngine& engine);
[[nodiscard]] std::int32_t KeyCode(EventEngine& engine);
void SetKeyCode(EventEngine& engine, std::int32_t code);

// The first step of serving a queue: when the thread whose window was last
// activated is not the one that last got "EVENT:GainFocus", the old one's
// current window gets "EVENT:LoseFocus" and the new one's "EVENT:GainFocus".
void PassFocusBetweenThreads(EventEngine& engine);

}  // namespace vaultrix::windows
