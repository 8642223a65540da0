// The window's description, read once more after its contents were built,
// for what the display drivers show.
#include "runtime/windows/display_attributes.h"

#include <cctype>

#include "platform/window_classes.h"
#include "runtime/windows/key_table.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {
using namespace rsc;  // NOLINT: the record kinds and attribute bits
namespace {

using platform::DisplayAttributes;
using platform::WindowHandle;

constexpr std::uint32_t kDefaultButtonFlag = 0x1;

DisplayAttributes OfControl(const ControlView& control) {
  DisplayAttributes display;
  display.tooltip = std::string(control.tip);
  if (!control.image.empty()) display.image = ResourceNameOfFile(control.image);
  display.action = control.action;
  display.accelerator = control.key;
  display.separator = control.separator;
  display.default_button = control.type == kButton && (control.flags & kDefaultButtonFlag) != 0;
  display.low = control.low;
  display.high = control.high;
  display.step = control.step;
  return display;
}

WindowHandle ChildOfClass(platform::WindowSystem& system, WindowHandle window,
                          std::string_view cls) {
  for (WindowHandle child : system.Children(window)) {
    std::optional<platform::WindowInfo> info = system.GetWindowInfo(child);
    if (info && info->class_name == cls) return child;
  }
  return platform::kNoWindow;
}

}  // namespace

std::uint32_t StyleOfAttributes(std::uint32_t attributes, bool has_title, bool has_icon,
                                bool mdi_child, bool has_menu) {
  std::uint32_t style = has_title ? platform::kWsCaption : 0;
  const bool maximize_box = (attributes & kAttrMaximizeBox) != 0;
  const bool minimize_box = has_icon;
  if (maximize_box) style |= platform::kWsMaximizeBox | platform::kWsSysMenu;
  if (minimize_box) style |= platform::kWsMinimizeBox | platform::kWsSysMenu;
  if ((attributes & kAttrSystemMenu) != 0) style |= platform::kWsSysMenu;
  switch (attributes & kFrameMask) {
    case kFrameSingle: style |= platform::kWsBorder; break;
    case kFrameResizable: style |= platform::kWsThickFrame; break;
    case kFrameDouble:
      style |= (mdi_child || has_menu) && !minimize_box && !maximize_box ? platform::kWsBorder
                                                                          : platform::kWsDlgFrame;
      break;
    default: break;  // no frame
  }
  if ((attributes & kAttrMaximized) != 0) {
    style |= platform::kWsMaximize;
  } else if ((attributes & kAttrMinimized) != 0) {
    style |= platform::kWsMinimize;
  }
  return style;
}

std::string ResourceNameOfFile(std::string_view file) {
  if (!file.empty() && file.front() == '~') file.remove_prefix(1);
  std::string name;
  for (char c : file) {
    name.push_back(c == '.' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  }
  return name;
}

void PublishDisplayAttributes(EventEngine& engine, WindowResource& window) {
  platform::WindowSystem& system = engine.System();
  WindowObject& object = window.object();
  const WindowView& view = window.view();
  std::optional<platform::WindowInfo> info = system.GetWindowInfo(object.handle);
  if (!info) return;

  DisplayAttributes display;
  if (view.has_font) {
    display.font_face = std::string(view.font.face);
    display.font_points = static_cast<int>(view.font.points);
    display.font_weight = view.font.weight;
  }
  if (!view.icon.empty()) display.icon = ResourceNameOfFile(view.icon);
  // As the opening counts it: modal by its attribute or because the system is.
  display.modal = !object.is_frame &&
                  ((view.attributes & kAttrModal) != 0 || engine.ModalCount() > 0);
  display.claimed_keys = ClaimedKeys(object);
  const bool mdi_child = info->kind == platform::WindowKind::kMdiChild;
  const std::uint32_t style =
      StyleOfAttributes(view.attributes, !view.title.empty(), !view.icon.empty(), mdi_child,
                        view.has_menu_bar);
  // The look comes from the attributes; state bits (visible, disabled) stay.
  constexpr std::uint32_t kLook = platform::kWsCaption | platform::kWsThickFrame |
                                  platform::kWsSysMenu | platform::kWsMinimizeBox |
                                  platform::kWsMaximizeBox | platform::kWsMaximize |
                                  platform::kWsMinimize;
  (void)system.SetStyle(object.handle, (info->style & ~kLook) | style);
  (void)system.SetDisplayAttributes(object.handle, std::move(display));

  // The controls were made in the order of menu, toolbar, then contents.
  std::size_t next = 0;
  auto publish = [&](const std::vector<ControlView>& controls) {
    for (const ControlView& control : controls) {
      if (next >= object.controls.size()) return;
      (void)system.SetDisplayAttributes(object.controls[next++]->handle, OfControl(control));
    }
  };
  publish(view.menu);
  publish(view.toolbar);
  if (!object.is_frame) publish(view.controls);

  if (view.has_status_bar) {
    const WindowHandle bar = ChildOfClass(system, object.handle, platform::kStatusBarClass);
    DisplayAttributes zones;
    zones.zone_widths.assign(view.status_widths.begin(), view.status_widths.end());
    if (zones.zone_widths.empty()) zones.zone_widths.push_back(platform::kStretchZone);
    (void)system.SetDisplayAttributes(bar, std::move(zones));
  }
}

}  // namespace vaultrix::windows
