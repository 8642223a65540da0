// Controls, menus, toolbar and status bar of an opened window.
#include "runtime/windows/window_build.h"

#include "runtime/support/runtime_error.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {
using namespace rsc;  // NOLINT: the record kinds and attribute bits
namespace {

using platform::kNoWindow;
using platform::WindowCreateParams;
using platform::WindowHandle;

constexpr std::int32_t kInternalError01 = 501;

platform::Rect RectOf(const Position& at) {
  auto fixed = [](std::int32_t v, std::int32_t fallback) { return IsDefault(v) ? fallback : v; };
  return {fixed(at.x, 0), fixed(at.y, 0), fixed(at.width, 0), fixed(at.height, 0)};
}

WindowHandle MakeChild(platform::WindowSystem& system, WindowHandle parent, std::string_view cls,
                       const ControlView& control) {
  WindowCreateParams params;
  params.kind = platform::WindowKind::kControl;
  params.class_name = std::string(cls);
  params.text = std::string(control.text);
  params.rect = RectOf(control.at);
  params.parent = parent;
  params.control_id = control.number;
  return system.CreateWindow(params);
}

WindowHandle MakeBar(platform::WindowSystem& system, WindowHandle parent, std::string_view cls,
                     const Position& at) {
  WindowCreateParams params;
  params.kind = platform::WindowKind::kControl;
  params.class_name = std::string(cls);
  params.rect = RectOf(at);
  params.parent = parent;
  return system.CreateWindow(params);
}

// Creates a chain of controls whose `parent` fields index the same list.
void MakeControls(platform::WindowSystem& system, WindowObject& object, WindowHandle root,
                  const std::vector<ControlView>& controls) {
  std::vector<WindowHandle> handles(controls.size(), kNoWindow);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlView& control = controls[i];
    const std::string_view cls = ControlClassName(control.type);
    if (cls.empty()) support::RuntimeError(kInternalError01, kUnknownKindDetail);
    const WindowHandle parent =
        control.parent >= 0 ? handles[static_cast<std::size_t>(control.parent)] : root;
    handles[i] = MakeChild(system, parent, cls, control);
    (void)system.ShowWindow(handles[i], platform::kSwShow);
    object.controls.push_back(
        std::make_unique<ControlObject>(ControlObject{control.number, handles[i], &object, control.type}));
  }
}

}  // namespace

std::string_view ControlClassName(std::uint8_t type) {
  switch (type) {
    case kValueString:
    case kString: return "STRING";
    case kImage: return "IMAGE";
    case kEntry: return "ENTRY";
    case kButton: return "BUTTON";
    case kPrompt: return "PROMPT";
    case kOptionGroup: return "OPTION";
    case kCheck: return "CHECK";
    case kGroup: return "GROUP";
    case kList: return "LIST";
    case kSpin: return "SPIN";
    case kTextBox: return "TEXT";
    case kMenu: return "MENU";
    case kItem: return "ITEM";
    case kRadio: return "RADIO";
    case kProgress: return "PROGRESS";
    case kSheet: return "SHEET";
    case kTab: return "TAB";
    case kPanel: return "BOX";
    default: return {};
  }
}

void BuildWindowContents(platform::WindowSystem& system, WindowResource& window) {
  WindowObject& object = window.object();
  const WindowView& view = window.view();
  const WindowHandle contents = object.is_frame ? object.mdi_client : object.handle;
  if (view.has_menu_bar) {
    const WindowHandle bar = MakeBar(system, object.handle, kMenuBarClass, {});
    MakeControls(system, object, bar, view.menu);
  }
  if (view.has_toolbar) {
    const WindowHandle bar = MakeBar(system, object.handle, kToolbarClass, view.toolbar_at);
    MakeControls(system, object, bar, view.toolbar);
  }
  if (!object.is_frame) MakeControls(system, object, contents, view.controls);
  if (view.has_status_bar) {
    const WindowHandle bar = MakeBar(system, object.handle, kStatusBarClass, {});
    object.status_bar = bar;
    std::vector<std::string> zones(view.status_widths.empty() ? 1 : view.status_widths.size());
    zones[0] = std::string(view.status_text);
    (void)system.SetRows(bar, std::move(zones));
  }
}

}  // namespace vaultrix::windows
