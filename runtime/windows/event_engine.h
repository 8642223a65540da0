// The event engine's shared state: the runtime's part of the 64 thread
// slots (thread numbers 1 to 64, the program's first thread being 1) and
// the window system the engine works through.
//
// Locks: all of this is guarded by the runtime lock (platform/runtime_lock.h);
// every function here REQUIRES that the calling thread holds it. The window
// system is called like an operating-system API and guards itself.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/window_system.h"
#include "runtime/windows/window_object.h"

namespace vaultrix::windows {

inline constexpr int kThreadCount = 64;

// What the engine keeps per thread slot.
struct RuntimeThread {
  WindowObject* current_window = nullptr;  // innermost open window, the one ACCEPT serves
  WindowObject* target_window = nullptr;   // set by TARGET; reset whenever a window opens
  std::int32_t last_key_code = 0;
  std::uint8_t last_key_character = 0;
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

 private:
  platform::WindowSystem& system_;
  RuntimeThread threads_[kThreadCount];
  int current_thread_ = 1;
  int last_event_thread_ = 0;
  int modal_count_ = 0;
  int activated_thread_ = 0;
  int focus_thread_ = 0;
};

// A new record of `event` for a window: a clone of the window's current
// record when it has one (so the key and mouse fields carry over), else one
// with the window's thread's last key code and character.
[[nodiscard]] std::unique_ptr<EventRecord> MakeEventRecord(EventEngine& engine,
                                                           WindowObject& window, int event,
                                                           ControlObject* control);

// Queues an event on a thread's current window through that window's
// message queue, so that posted events keep their order with each other and
// with the thread's input. control 0 means a window event; thread 0 means
// the calling thread. Nothing happens when the thread has no current window.
void PostEvent(EventEngine& engine, int event, int control, int thread);

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

// The first step of serving a queue: when the thread whose window was last
// activated is not the one that last got "EVENT:GainFocus", the old one's
// current window gets "EVENT:LoseFocus" and the new one's "EVENT:GainFocus".
void PassFocusBetweenThreads(EventEngine& engine);

}  // namespace vaultrix::windows
