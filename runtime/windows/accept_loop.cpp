// The ACCEPT loop: showing the window, the message-loop step with the
// runtime lock given up while the thread waits, and serving the window's
// event queue between waits.
#include "platform/clock.h"
#include "runtime/support/runtime_error.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/key_table.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::windows {
namespace {

using platform::Message;

// Messages taken one after the other while they are already waiting before
// the loop gives the runtime lock up anyway.
constexpr int kMostWithoutWaiting = 32;

// What the queue served answers.
enum class Served { kGoOn, kLoopEnded };

void Show(EventEngine& engine, WindowObject& window) {
  platform::WindowSystem& system = engine.System();
  window.shown = true;
  if (WindowObject* frame = engine.Frame(); frame != nullptr && window.owner == frame &&
                                            !window.is_frame) {
    (void)system.EnableWindow(frame->handle, true);
  }
  (void)system.ShowWindow(window.handle, platform::kSwShow);
  const std::optional<platform::WindowInfo> info = system.GetWindowInfo(window.handle);
  if (info && info->kind == platform::WindowKind::kMdiChild) {
    (void)system.MdiActivate(window.handle);
  } else {
    (void)system.SetActiveWindow(window.handle);
  }
  (void)system.BringWindowToTop(window.handle);
}

// The effect of the body's answer for the events whose default action the
// queue carries out itself.
Served AfterBody(EventEngine& engine, WindowObject& window, int event, ControlObject* control,
                 int flag) {
  if (flag == kNoLoop) return Served::kLoopEnded;
  const bool skip = flag == kSkipDefault;
  switch (event) {
    case kEventCloseDown: {
      WindowObject* owner = window.owner;
      if (owner != nullptr && owner->close_state == CloseState::kWaitingForOwned &&
          owner->closing_down == &window) {
        owner->close_state = skip ? CloseState::kNone : CloseState::kRequested;
        owner->closing_down = nullptr;
        if (owner->thread != window.thread) {
          (void)engine.System().PostMessage(owner->handle, kQueryContinueThread);
        }
      }
      return skip ? Served::kGoOn : Served::kLoopEnded;
    }
    case kEventCloseWindow:
      if (!skip) window.close_state = CloseState::kRequested;
      return Served::kGoOn;
    case kEventOpenFailed:
      return Served::kLoopEnded;
    case kEventSelected:
      if (control != nullptr) {
        window.selected_control = control->number;
        RevealSelectedControl(engine, *control);
      }
      return Served::kGoOn;
    case kEventTimer:
      window.timer_pending = false;
      return Served::kGoOn;
    default:
      return Served::kGoOn;
  }
}

// Step 4: a requested close closes the owned windows down one at a time.
// A close request is never dropped: while the owned windows are busy closing
// on their own, or the one asked to close down goes without answering, the
// request waits; every owned window that goes wakes its owner
// (DestroyWindowObject), which then looks again.
Served ServeCloseRequest(EventEngine& engine, WindowObject& window) {
  if (window.close_state == CloseState::kWaitingForOwned && window.closing_down == nullptr) {
    window.close_state = CloseState::kRequested;
  }
  if (window.close_state != CloseState::kRequested) return Served::kGoOn;
  if (window.owned.empty()) return Served::kLoopEnded;
  for (WindowObject* owned : window.owned) {
    if (owned->close_state != CloseState::kNone || owned->close_mark) continue;
    window.close_state = CloseState::kWaitingForOwned;
    window.closing_down = owned;
    PostEventToWindow(engine, *owned, kEventCloseDown, nullptr);
    return Served::kGoOn;
  }
  return Served::kGoOn;
}

}  // namespace

bool ServeQueue(EventEngine& engine, WindowObject& window) {
  PassFocusBetweenThreads(engine);
  while (window.handle != platform::kNoWindow) {
    std::unique_ptr<EventRecord> record = window.events.TakeOldest();
    if (record == nullptr && window.accept_all) {
      record = NextOfAcceptAll(engine, window);
      // A walk that stopped may have queued the control's "EVENT:Selected".
      if (record == nullptr && !window.events.Empty()) continue;
    }
    if (record == nullptr) break;
    const int event = record->Event();
    ControlObject* control = record->control;
    if (event == kEventSelected && control != nullptr &&
        engine.System().GetFocus() != control->handle) {
      continue;  // the control lost the focus before the event was served
    }
    const int flag = DeliverEvent(engine, record);
    if (AfterBody(engine, window, event, control, flag) == Served::kLoopEnded) {
      window.looping = false;
      return false;
    }
  }
  if (window.handle == platform::kNoWindow) return false;
  if (ServeCloseRequest(engine, window) == Served::kLoopEnded) {
    window.looping = false;
    return false;
  }
  return true;
}

void Accept(EventEngine& engine, LoopBody body) {
  const int number = engine.CurrentThread();
  RuntimeThread* thread = engine.Thread(number);
  if (thread == nullptr || thread->current_window == nullptr) {
    support::RuntimeError(kErrorAcceptWithoutWindow);
  }
  WindowObject& window = *thread->current_window;
  platform::WindowSystem& system = engine.System();
  window.body = std::move(body);
  window.looping = true;
  if (!window.shown) Show(engine, window);

  int taken_in_a_row = 0;
  while (system.IsWindow(window.handle)) {
    if (!ServeQueue(engine, window)) break;
    // Keys typed ahead come before real input.
    if (FeedPressedKey(engine, number, window)) continue;
    Message message;
    bool got = false;
    // A message already waiting is taken without giving the lock up (there
    // is no wait); after a run of them the lock is given up all the same, so
    // that other threads are not kept waiting by a busy queue.
    if (++taken_in_a_row < kMostWithoutWaiting &&
        system.PeekMessage(message, platform::kPmRemove)) {
      got = true;
    } else {
      taken_in_a_row = 0;
      platform::RuntimeLock* lock = engine.Lock();
      if (lock != nullptr) lock->Release();
      got = system.GetMessage(message);
      if (lock != nullptr) lock->Acquire();
      engine.SwitchContext(number);
    }
    if (!got) break;
    if (message.message == kBringToTopMessage) {
      (void)system.BringWindowToTop(window.handle);
      continue;
    }
    TranslateKeyboard(engine, number, message);
    if (OfferKeyToTable(engine, window, message, thread->last_key_code)) continue;
    (void)system.DispatchMessage(message);
  }
  window.looping = false;
  window.body = nullptr;
  if (window.close_mark) DestroyWindowObject(engine, window);
}

}  // namespace vaultrix::windows
