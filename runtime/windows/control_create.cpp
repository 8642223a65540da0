// Controls created at run time on the target window.
#include <algorithm>

#include "runtime/support/runtime_error.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/description_view.h"
#include "runtime/windows/window_build.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::windows {

int CreateControl(EventEngine& engine, std::uint8_t type, int number, int container,
                  std::string_view text, const platform::Rect& rect) {
  WindowObject* window = TargetWindow(engine);
  if (window == nullptr || window->handle == platform::kNoWindow) {
    support::RuntimeError(kErrorNotOpen);
  }
  // A modal window may still add to itself; nothing else changes while one is open.
  if (engine.ModalCount() > 0 && !window->raised_modal) {
    support::RuntimeError(kErrorCreateControlModal);
  }
  const std::string_view cls = ControlClassName(type);
  if (cls.empty()) support::RuntimeError(kErrorInternal01, kUnknownKindDetail);
  if (number == 0) {
    for (const auto& control : window->controls) number = std::max(number, control->number);
    ++number;
  } else if (window->FindControl(number) != nullptr) {
    return 0;  // the number is taken
  }
  ControlObject* holder = window->FindControl(container);
  auto made = std::make_unique<ControlObject>(ControlObject{number, platform::kNoWindow, window, type});
  made->container = holder;
  platform::WindowCreateParams params;
  params.kind = platform::WindowKind::kControl;
  params.class_name = std::string(cls);
  params.text = std::string(text);
  params.rect = rect;
  params.parent = holder != nullptr           ? holder->handle
                  : window->mdi_client != 0 ? window->mdi_client
                                              : window->handle;
  params.control_id = number;
  params.procedure = ControlWindowProc(engine, *made);
  made->handle = engine.System().CreateWindow(params);
  if (made->handle == platform::kNoWindow) return 0;
  (void)engine.System().ShowWindow(made->handle, platform::kSwShow);
  ControlObject& control = *made;
  window->controls.push_back(std::move(made));
  SetUpControl(engine, control);
  return number;
}

}  // namespace vaultrix::windows
