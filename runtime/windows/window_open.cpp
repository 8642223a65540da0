// WindowOpen: the common part of opening every kind of window, and the rules
// of the APPLICATION frame, MDI children and plain windows.
#include "runtime/windows/window_open.h"

#include "runtime/support/runtime_error.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/key_table.h"
#include "runtime/windows/display_attributes.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_build.h"

namespace vaultrix::windows {
using namespace rsc;  // NOLINT: the record kinds and attribute bits
namespace {

using platform::kNoWindow;
using platform::WindowCreateParams;
using platform::WindowHandle;

// Finds and reads the description; a window that has none cannot be made.
bool LoadDescription(WindowResource& window) {
  if (window.loaded()) return true;
  const ResourceStatus status = window.Load();
  if (status == ResourceStatus::kUnknownKind) {
    support::RuntimeError(kErrorInternal01, kUnknownKindDetail);
  }
  return status == ResourceStatus::kOk;
}

// Resets what a window carries from an earlier opening.
void ResetForOpening(WindowObject& object, int thread) {
  object.thread = thread;
  object.focus_control = nullptr;
  object.selected_control = 0;
  object.close_state = CloseState::kNone;
  object.closing_down = nullptr;
  object.close_mark = false;
  object.accept_all = false;
  object.events.Clear();
  object.in_flight.clear();
  object.current_event.reset();
  object.body = nullptr;
  object.looping = false;
  object.in_body = false;
  object.suspended = false;
  object.shown = false;
  object.timer_pending = false;
  object.raised_modal = false;
  object.is_frame = false;
  object.mdi_client = kNoWindow;
  object.size_state = 0;
  object.owner = nullptr;
  object.owned.clear();
  object.controls.clear();
  object.cursor.clear();
  object.alert_keys.clear();
  object.key_table.clear();
  object.status_bar = kNoWindow;
}

void RemoveFromOwner(WindowObject& object) {
  if (object.owner == nullptr) return;
  std::erase(object.owner->owned, &object);
  object.owner = nullptr;
}

// Puts a created window on its thread's stack with its controls and timer.
void Enter(EventEngine& engine, WindowResource& window, WindowHandle handle) {
  WindowObject& object = window.object();
  RuntimeThread& thread = *engine.Thread(object.thread);
  object.handle = handle;
  object.previous = thread.current_window;
  thread.current_window = &object;
  thread.target_window = nullptr;
  if (object.owner != nullptr) object.owner->owned.push_back(&object);
  object.attributes = window.view().attributes;
  object.drop_ids.assign(window.view().drop_targets.begin(), window.view().drop_targets.end());
  object.event_flags = window.view().event_flags;
  object.has_menu = window.view().has_menu_bar;
  BuildWindowContents(engine, window);
  BuildKeyTable(object);
  PublishDisplayAttributes(engine, window);
  object.can_accept = [&engine](ControlObject& control) {
    return TypedTextAcceptable(engine, control);
  };
  if (window.view().timer != 0) {
    object.timer_period = static_cast<std::int32_t>(window.view().timer);
    (void)engine.System().SetTimer(handle, kWindowTimerId, std::int64_t{object.timer_period} * 10);
  }
  const bool modal = (window.view().attributes & kAttrModal) != 0 || engine.ModalCount() > 0;
  if (modal && !object.is_frame) {
    object.raised_modal = true;
    engine.RaiseModalCount();
  }
}

WindowCreateParams ParamsFor(const WindowResource& window, platform::WindowKind kind) {
  WindowCreateParams params;
  params.kind = kind;
  params.class_name = kind == platform::WindowKind::kFrame ? "FRAME" : "WINDOW";
  params.text = std::string(window.view().title);
  if (!params.text.empty()) params.style |= platform::kWsCaption;
  const Position& at = window.view().at;
  params.rect = {IsDefault(at.x) ? 0 : at.x, IsDefault(at.y) ? 0 : at.y,
                 IsDefault(at.width) ? 200 : at.width, IsDefault(at.height) ? 120 : at.height};
  return params;
}

void OpenFrame(EventEngine& engine, WindowResource& window) {
  if (engine.Frame() != nullptr) support::RuntimeError(kErrorApplicationActive);
  if (engine.ModalCount() > 0) support::RuntimeError(kErrorApplicationModal);
  if (!LoadDescription(window)) support::RuntimeError(kErrorApplicationCreate);
  WindowObject& object = window.object();
  ResetForOpening(object, engine.CurrentThread());
  object.is_frame = true;
  WindowCreateParams params = ParamsFor(window, platform::WindowKind::kFrame);
  params.procedure = EngineWindowProc(engine, object);
  const WindowHandle handle = engine.System().CreateWindow(params);
  if (handle == kNoWindow) support::RuntimeError(kErrorApplicationCreate);
  WindowCreateParams client;
  client.kind = platform::WindowKind::kMdiClient;
  client.class_name = "MDICLIENT";
  client.parent = handle;
  object.mdi_client = engine.System().CreateWindow(client);
  engine.SetFrame(&object);
  Enter(engine, window, handle);
}

void OpenMdiChild(EventEngine& engine, WindowResource& window) {
  WindowObject* frame = engine.Frame();
  if (frame == nullptr || frame->close_state != CloseState::kNone) {
    support::RuntimeError(kErrorMdiNoApplication);
  }
  if (engine.ModalCount() > 0) support::RuntimeError(kErrorMdiModal);
  if (engine.CurrentThread() == frame->thread) {
    support::RuntimeError(kErrorMdiOnApplicationThread);
  }
  if (!LoadDescription(window)) support::RuntimeError(kErrorMdiCreate);
  WindowObject& object = window.object();
  ResetForOpening(object, engine.CurrentThread());
  object.owner = frame;
  WindowCreateParams params = ParamsFor(window, platform::WindowKind::kMdiChild);
  params.parent = frame->mdi_client;
  params.procedure = EngineWindowProc(engine, object);
  const WindowHandle handle = engine.System().CreateWindow(params);
  if (handle == kNoWindow) support::RuntimeError(kErrorMdiCreate);
  Enter(engine, window, handle);
}

void OpenPlain(EventEngine& engine, WindowResource& window, WindowResource* parent) {
  if (!LoadDescription(window)) support::RuntimeError(kErrorWindowCreate);
  const RuntimeThread& thread = *engine.Thread(engine.CurrentThread());
  WindowObject* owner = engine.Frame();
  WindowObject* parent_window = nullptr;
  if (parent != nullptr && parent->object().handle != kNoWindow) {
    owner = parent_window = &parent->object();
  } else if (thread.current_window != nullptr) {
    parent_window = thread.current_window;
    // A window on top of the frame (which has no owner) is the frame's own.
    owner = thread.current_window->owner != nullptr ? thread.current_window->owner
                                                    : thread.current_window;
  }
  WindowObject& object = window.object();
  ResetForOpening(object, engine.CurrentThread());
  object.owner = owner;
  WindowCreateParams params = ParamsFor(window, platform::WindowKind::kPlain);
  if (parent_window != nullptr) {
    params.owner = parent_window->handle;
  } else if (owner != nullptr) {
    params.owner = owner->handle;
  }
  params.procedure = EngineWindowProc(engine, object);
  const WindowHandle handle = engine.System().CreateWindow(params);
  if (handle == kNoWindow) support::RuntimeError(kErrorWindowCreate);
  Enter(engine, window, handle);
}

}  // namespace

void WindowOpen(EventEngine& engine, WindowResource& window, WindowResource* parent) {
  if (window.object().handle != kNoWindow) support::RuntimeError(kErrorAlreadyOpen);
  switch (window.kind()) {
    case WindowKind::kApplication:
      OpenFrame(engine, window);
      break;
    case WindowKind::kMdiWindow:
      OpenMdiChild(engine, window);
      break;
    case WindowKind::kPlainWindow:
    case WindowKind::kReport:
      OpenPlain(engine, window, parent);
      break;
  }
}

void DestroyWindowObject(EventEngine& engine, WindowObject& object) {
  if (object.handle == kNoWindow) return;
  platform::WindowSystem& system = engine.System();
  (void)system.KillTimer(object.handle, kWindowTimerId);
  (void)system.DestroyWindow(object.handle);
  object.handle = kNoWindow;
  WindowObject* owner = object.owner;
  RemoveFromOwner(object);
  if (owner != nullptr && owner->closing_down == &object) owner->closing_down = nullptr;
  for (WindowObject* owned : object.owned) owned->owner = nullptr;
  object.owned.clear();
  if (RuntimeThread* thread = engine.Thread(object.thread); thread != nullptr) {
    if (thread->current_window == &object) thread->current_window = object.previous;
    if (thread->target_window == &object) thread->target_window = nullptr;
  }
  object.previous = nullptr;
  if (object.raised_modal) engine.LowerModalCount();
  object.raised_modal = false;
  if (engine.Frame() == &object) engine.SetFrame(nullptr);
  object.events.Clear();
  object.in_flight.clear();
  object.current_event.reset();
  object.controls.clear();
  object.body = nullptr;
  object.looping = false;
  // An owner waiting for its windows to close down looks again.
  if (owner != nullptr && owner->close_state != CloseState::kNone) {
    (void)system.PostMessage(owner->handle, kQueryContinueThread);
  }
}

}  // namespace vaultrix::windows
