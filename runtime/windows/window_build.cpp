// Controls, menus, toolbar and status bar of an opened window.
#include "runtime/windows/window_build.h"

#include "runtime/support/runtime_error.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/use_variable.h"
#include "runtime/windows/ctllist_window.h"
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
                       const ControlView& control, platform::WindowProc procedure) {
  WindowCreateParams params;
  params.procedure = std::move(procedure);
  params.kind = platform::WindowKind::kControl;
  params.class_name = std::string(cls);
  params.text = std::string(control.type == kImage ? control.image : control.text);
  params.rect = RectOf(control.at);
  params.parent = parent;
  params.control_id = control.number;
  return system.CreateWindow(params);
}

// The description's settings that the control's behaviour reads.
void DescribeControl(ControlObject& made, const ControlView& control, ControlObject* container) {
  made.container = container;
  made.flags = control.flags;
  made.low = control.low;
  made.high = control.high;
  made.step = control.step;
  made.value_text = std::string(control.value);
  made.key = control.key;
  made.action = control.action;
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
void MakeControls(EventEngine& engine, WindowObject& object, WindowHandle root,
                  const std::vector<ControlView>& controls) {
  platform::WindowSystem& system = engine.System();
  std::vector<WindowHandle> handles(controls.size(), kNoWindow);
  std::vector<ControlObject*> made_list(controls.size(), nullptr);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlView& control = controls[i];
    const std::string_view cls = ControlClassName(control.type);
    if (cls.empty()) support::RuntimeError(kInternalError01, kUnknownKindDetail);
    // A variable of a type no control can hold cannot be bound.
    if (control.use_address != nullptr && !KnownUseType(control.use.type)) {
      support::RuntimeError(kInternalError01, kUnknownKindDetail);
    }
    const auto up = static_cast<std::size_t>(control.parent);
    const WindowHandle parent = control.parent >= 0 ? handles[up] : root;
    auto made = std::make_unique<ControlObject>(
        ControlObject{control.number, platform::kNoWindow, &object, control.type});
    handles[i] = MakeChild(system, parent, cls, control, ControlWindowProc(engine, *made));
    made->handle = handles[i];
    made->use_address = control.use_address;
    made->use_type = control.use.type;
    made->use_size = control.use.size;
    made->picture = std::string(control.picture);
    DescribeControl(*made, control, control.parent >= 0 ? made_list[up] : nullptr);
    made_list[i] = made.get();
    if (control.type == kList) AttachList(engine, *made, control);
    (void)system.ShowWindow(handles[i], platform::kSwShow);
    object.controls.push_back(std::move(made));
  }
  // Containers show their contents' state once the contents exist.
  for (ControlObject* made : made_list) SetUpControl(engine, *made);
}

}  // namespace

platform::WindowProc ControlWindowProc(EventEngine& engine, ControlObject& control) {
  return [&engine, &control](platform::WindowSystem& system,
                             const platform::Message& m) -> std::intptr_t {
    if (control.window == nullptr) return platform::WindowSystem::DefaultWindowProc(system, m);
    if (control.list != nullptr && ListMessage(engine, control, m)) return 0;
    if (ControlInput(engine, control, m)) return 0;
    if (m.message == platform::kWmSetFocus) {
      // Taking the focus makes it the window's focus control and raises
      // "EVENT:Selected" for it, in order with other input.
      WindowObject& window = *control.window;
      window.focus_control = &control;
      window.events.Append(MakeEventRecord(engine, window, kEventSelected, &control));
      return 0;
    }
    return platform::WindowSystem::DefaultWindowProc(system, m);
  };
}

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

void BuildWindowContents(EventEngine& engine, WindowResource& window) {
  platform::WindowSystem& system = engine.System();
  WindowObject& object = window.object();
  const WindowView& view = window.view();
  const WindowHandle contents = object.is_frame ? object.mdi_client : object.handle;
  if (view.has_menu_bar) {
    const WindowHandle bar = MakeBar(system, object.handle, kMenuBarClass, {});
    MakeControls(engine, object, bar, view.menu);
  }
  if (view.has_toolbar) {
    const WindowHandle bar = MakeBar(system, object.handle, kToolbarClass, view.toolbar_at);
    MakeControls(engine, object, bar, view.toolbar);
  }
  if (!object.is_frame) MakeControls(engine, object, contents, view.controls);
  if (view.has_status_bar) {
    const WindowHandle bar = MakeBar(system, object.handle, kStatusBarClass, {});
    object.status_bar = bar;
    std::vector<std::string> zones(view.status_widths.empty() ? 1 : view.status_widths.size());
    zones[0] = std::string(view.status_text);
    (void)system.SetRows(bar, std::move(zones));
  }
}

}  // namespace vaultrix::windows
