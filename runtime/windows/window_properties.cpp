// Window and control properties by number, and hiding and showing ranges of
// controls.
#include "runtime/windows/window_properties.h"

#include <charconv>

#include "runtime/support/runtime_error.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/key_table.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::windows {
namespace {

using platform::WindowHandle;

std::int64_t ToNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  std::int64_t value = 0;
  (void)std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string Flag(bool on) { return on ? "1" : ""; }

WindowObject& OpenTarget(EventEngine& engine, WindowObject* target) {
  WindowObject* window = target != nullptr ? target : TargetWindow(engine);
  if (window == nullptr || window->handle == platform::kNoWindow) {
    support::RuntimeError(kErrorNotOpen);
  }
  return *window;
}

// The status bar that a window shows: its own, else the frame's.
WindowHandle StatusBarOf(EventEngine& engine, const WindowObject& window) {
  if (window.status_bar != platform::kNoWindow) return window.status_bar;
  const WindowObject* frame = engine.Frame();
  return frame != nullptr ? frame->status_bar : platform::kNoWindow;
}

std::uint32_t FrameBits(std::int32_t number) {
  switch (number) {
    case kPropDoubleFrame: return rsc::kFrameDouble;
    case kPropResizeFrame: return rsc::kFrameResizable;
    default: return rsc::kFrameNone;
  }
}

// Geometry and scroll positions shared by windows and controls.
std::optional<std::string> GetCommon(platform::WindowSystem& system, WindowHandle handle,
                                     std::int32_t number) {
  const std::optional<platform::WindowInfo> info = system.GetWindowInfo(handle);
  if (!info) return std::string();
  switch (number) {
    case kPropText: return info->text;
    case kPropX: return std::to_string(info->rect.x);
    case kPropY: return std::to_string(info->rect.y);
    case kPropWidth: return std::to_string(info->rect.width);
    case kPropHeight: return std::to_string(info->rect.height);
    case kPropVerticalScroll: return std::to_string(info->vertical_scroll);
    case kPropHorizontalScroll: return std::to_string(info->horizontal_scroll);
    default: return std::nullopt;
  }
}

bool SetCommon(platform::WindowSystem& system, WindowHandle handle, std::int32_t number,
               std::string_view value) {
  const std::optional<platform::WindowInfo> info = system.GetWindowInfo(handle);
  if (!info) return true;
  platform::Rect rect = info->rect;
  const int n = static_cast<int>(ToNumber(value));
  switch (number) {
    case kPropText: (void)system.SetText(handle, std::string(value)); return true;
    case kPropX: rect.x = n; break;
    case kPropY: rect.y = n; break;
    case kPropWidth: rect.width = n; break;
    case kPropHeight: rect.height = n; break;
    case kPropVerticalScroll:
      (void)system.SetScroll(handle, n, info->horizontal_scroll);
      return true;
    case kPropHorizontalScroll:
      (void)system.SetScroll(handle, info->vertical_scroll, n);
      return true;
    default: return false;
  }
  (void)system.MoveWindow(handle, rect);
  return true;
}

template <typename T>
std::string ByIndex(const std::vector<T>& list, std::int32_t index) {
  if (index < 1 || static_cast<std::size_t>(index) > list.size()) return {};
  if constexpr (std::is_same_v<T, std::string>) {
    return list[static_cast<std::size_t>(index - 1)];
  } else {
    return std::to_string(list[static_cast<std::size_t>(index - 1)]);
  }
}

template <typename T>
void SetByIndex(std::vector<T>& list, std::int32_t index, T value) {
  if (index < 1 || index > 1024) return;
  if (static_cast<std::size_t>(index) > list.size()) list.resize(static_cast<std::size_t>(index));
  list[static_cast<std::size_t>(index - 1)] = std::move(value);
}

std::string GetWindowProperty(EventEngine& engine, WindowObject& window, std::int32_t number,
                              std::int32_t index) {
  platform::WindowSystem& system = engine.System();
  if (std::optional<std::string> common = GetCommon(system, window.handle, number)) {
    return *common;
  }
  const std::optional<platform::WindowInfo> info = system.GetWindowInfo(window.handle);
  switch (number) {
    case kPropDoubleFrame:
    case kPropResizeFrame:
    case kPropNoFrame:
      return Flag((window.attributes & rsc::kFrameMask) == FrameBits(number));
    case kPropMaximizeBox: return Flag((window.attributes & rsc::kAttrMaximizeBox) != 0);
    case kPropCursor: return window.cursor;
    case kPropMinimized: return Flag(info->show_state == platform::ShowState::kMinimized);
    case kPropMaximized: return Flag(info->show_state == platform::ShowState::kMaximized);
    case kPropTimer: return std::to_string(window.timer_period);
    case kPropThread: return std::to_string(window.thread);
    case kPropHandle: return std::to_string(window.handle);
    case kPropAcceptAll: return Flag(window.accept_all);
    case kPropStatusBar: {
      const WindowHandle bar = StatusBarOf(engine, window);
      if (bar == platform::kNoWindow) return {};
      return std::to_string(system.GetWindowInfo(bar)->rows.size());
    }
    case kPropStatusText: {
      const WindowHandle bar = StatusBarOf(engine, window);
      if (bar == platform::kNoWindow) return {};
      return ByIndex(system.GetWindowInfo(bar)->rows, index);
    }
    case kPropDropId: return ByIndex(window.drop_ids, index);
    case kPropAlertKey: return ByIndex(window.alert_keys, index);
    default: return {};
  }
}

void SetWindowProperty(EventEngine& engine, WindowObject& window, std::int32_t number,
                       std::int32_t index, std::string_view value) {
  platform::WindowSystem& system = engine.System();
  if (number == kPropThread || number == kPropHandle || number == kPropAcceptAll) return;
  if (SetCommon(system, window.handle, number, value)) return;
  const bool on = ToNumber(value) != 0;
  switch (number) {
    case kPropDoubleFrame:
    case kPropResizeFrame:
    case kPropNoFrame:
      if (on) window.attributes = (window.attributes & ~rsc::kFrameMask) | FrameBits(number);
      return;
    case kPropMaximizeBox:
      window.attributes = on ? window.attributes | rsc::kAttrMaximizeBox
                             : window.attributes & ~rsc::kAttrMaximizeBox;
      return;
    case kPropCursor: window.cursor = std::string(value); return;
    case kPropMinimized:
      (void)system.ShowWindow(window.handle, on ? platform::kSwMinimize : platform::kSwRestore);
      return;
    case kPropMaximized:
      (void)system.ShowWindow(window.handle,
                              on ? platform::kSwShowMaximized : platform::kSwRestore);
      return;
    case kPropTimer: {
      const std::int64_t period = ToNumber(value);
      window.timer_period = period > 0 ? static_cast<std::int32_t>(period) : 0;
      if (window.timer_period > 0) {
        (void)system.SetTimer(window.handle, kWindowTimerId, period * 10);
      } else {
        (void)system.KillTimer(window.handle, kWindowTimerId);
      }
      return;
    }
    case kPropStatusText: {
      const WindowHandle bar = StatusBarOf(engine, window);
      if (bar == platform::kNoWindow || index < 1) return;
      std::vector<std::string> rows = system.GetWindowInfo(bar)->rows;
      if (static_cast<std::size_t>(index) > rows.size()) return;
      rows[static_cast<std::size_t>(index - 1)] = std::string(value);
      (void)system.SetRows(bar, std::move(rows));
      return;
    }
    case kPropDropId: SetByIndex(window.drop_ids, index, std::string(value)); return;
    case kPropAlertKey:
      SetByIndex(window.alert_keys, index, static_cast<std::int32_t>(ToNumber(value)));
      PublishClaimedKeys(engine, window);
      return;
    default: return;
  }
}

// Runs `act` on the target window's controls numbered first to last (to
// first when last is 0; every control when first is 0).
template <typename Act>
void ForRange(EventEngine& engine, std::int32_t first, std::int32_t last, Act act) {
  WindowObject& window = OpenTarget(engine, nullptr);
  if (last == 0) last = first;
  for (const auto& control : window.controls) {
    if (first != 0 && (control->number < first || control->number > last)) continue;
    act(*control);
  }
}

void ShowRange(EventEngine& engine, std::int32_t first, std::int32_t last, bool show) {
  ForRange(engine, first, last, [&](ControlObject& control) {
    (void)engine.System().ShowWindow(control.handle, show ? platform::kSwShow : platform::kSwHide);
  });
}

void EnableRange(EventEngine& engine, std::int32_t first, std::int32_t last, bool enable) {
  ForRange(engine, first, last, [&](ControlObject& control) {
    (void)engine.System().EnableWindow(control.handle, enable);
  });
}

}  // namespace

WindowObject* TargetWindow(EventEngine& engine) {
  if (const RuntimeThread* thread = engine.Thread(engine.CurrentThread()); thread != nullptr) {
    if (thread->target_window != nullptr) return thread->target_window;
    if (thread->current_window != nullptr) return thread->current_window;
  }
  return engine.Frame();
}

std::string GetProperty(EventEngine& engine, WindowObject* target, std::int32_t control,
                        std::int32_t number, std::int32_t index) {
  WindowObject& window = OpenTarget(engine, target);
  if (control == 0) return GetWindowProperty(engine, window, number, index);
  ControlObject* object = window.FindControl(control);
  if (object == nullptr) return {};
  if (auto list = GetListProperty(*object, number, index)) return *list;
  platform::WindowSystem& system = engine.System();
  if (number < kFirstAttributeProperty) return ControlValue(engine, *object);
  if (std::optional<std::string> own = GetControlAttribute(engine, *object, number)) return *own;
  return GetCommon(system, object->handle, number).value_or(std::string());
}

void SetProperty(EventEngine& engine, WindowObject* target, std::int32_t control,
                 std::int32_t number, std::int32_t index, std::string_view value) {
  WindowObject& window = OpenTarget(engine, target);
  if (control == 0) {
    SetWindowProperty(engine, window, number, index, value);
    return;
  }
  ControlObject* object = window.FindControl(control);
  if (object == nullptr) return;
  if (SetListProperty(engine.System(), *object, number, index, value)) return;
  if (number < kFirstAttributeProperty) {
    SetControlValue(engine, *object, value);
    return;
  }
  if (SetControlAttribute(engine, *object, number, value)) return;
  (void)SetCommon(engine.System(), object->handle, number, value);
}

void HideControls(EventEngine& engine, std::int32_t first, std::int32_t last) {
  ShowRange(engine, first, last, false);
}

void UnhideControls(EventEngine& engine, std::int32_t first, std::int32_t last) {
  ShowRange(engine, first, last, true);
}

void DisableControls(EventEngine& engine, std::int32_t first, std::int32_t last) {
  EnableRange(engine, first, last, false);
}

void EnableControls(EventEngine& engine, std::int32_t first, std::int32_t last) {
  EnableRange(engine, first, last, true);
}

void DisplayControls(EventEngine& engine, std::int32_t first, std::int32_t last) {
  ForRange(engine, first, last, [&](ControlObject& control) { DisplayControl(engine, control); });
}

}  // namespace vaultrix::windows
