// Buttons, check boxes, radios and tabs pressed as the desktop's widgets
// press them.
#include "platform/drivers/headless/button_press.h"

#include <vector>

#include "platform/window_classes.h"

namespace vaultrix::platform::headless {
namespace {

std::uintptr_t CommandParam(std::uint32_t code, int control_id) {
  return (static_cast<std::uintptr_t>(code) << 16) |
         (static_cast<std::uint32_t>(control_id) & 0xFFFF);
}

bool Report(WindowSystem& system, const WindowInfo& control, std::uint32_t code) {
  return system.InjectInput(HostWindow(system, control.handle), kWmCommand,
                            CommandParam(code, control.control_id),
                            static_cast<std::intptr_t>(control.handle));
}

// The control's position among its parent's children of its own class,
// from 1.
int PositionAmongSiblings(const WindowSystem& system, const WindowInfo& control) {
  int position = 0;
  for (WindowHandle sibling : system.Children(control.parent)) {
    const std::optional<WindowInfo> info = system.GetWindowInfo(sibling);
    if (!info || info->class_name != control.class_name) continue;
    ++position;
    if (sibling == control.handle) return position;
  }
  return 0;
}

bool ChooseRadio(WindowSystem& system, const WindowInfo& radio) {
  for (WindowHandle sibling : system.Children(radio.parent)) {
    (void)system.SetCheck(sibling, sibling == radio.handle ? 1 : 0);
  }
  (void)system.SetValue(radio.parent, PositionAmongSiblings(system, radio));
  return Report(system, radio, kBnClicked);
}

bool ChooseTab(WindowSystem& system, const WindowInfo& tab) {
  const std::optional<WindowInfo> sheet = system.GetWindowInfo(tab.parent);
  if (!sheet || !sheet->visible || !sheet->enabled) return false;
  const int position = PositionAmongSiblings(system, tab);
  if (position == sheet->value) return false;
  (void)system.SetValue(sheet->handle, position);
  return Report(system, *sheet, kLbnSelChange);
}

}  // namespace

WindowHandle HostWindow(const WindowSystem& system, WindowHandle control) {
  std::optional<WindowInfo> info = system.GetWindowInfo(control);
  while (info && (info->kind == WindowKind::kControl || info->kind == WindowKind::kMdiClient)) {
    info = system.GetWindowInfo(info->parent);
  }
  return info ? info->handle : kNoWindow;
}

bool IsButtonClass(const WindowSystem& system, WindowHandle control) {
  const std::optional<WindowInfo> info = system.GetWindowInfo(control);
  if (!info || info->kind != WindowKind::kControl) return false;
  const std::string& name = info->class_name;
  return name == kButtonClass || name == kCheckClass || name == kRadioClass || name == kTabClass;
}

bool PressButtonClass(WindowSystem& system, WindowHandle control) {
  if (!IsButtonClass(system, control)) return false;
  const WindowInfo info = *system.GetWindowInfo(control);
  if (!info.enabled) return false;
  if (info.class_name == kTabClass) return ChooseTab(system, info);
  if (!info.visible) return false;
  if (info.class_name == kCheckClass) {
    (void)system.SetCheck(control, info.check != 0 ? 0 : 1);
  } else if (info.class_name == kRadioClass) {
    return ChooseRadio(system, info);
  }
  return Report(system, info, kBnClicked);
}

}  // namespace vaultrix::platform::headless
