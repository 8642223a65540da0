// Building an opened window's contents in the window system from its
// description: the controls (containers first, their contents inside them),
// the menu bar with its menus and items, the toolbar and the status bar.
// Each control keeps its state in the window system; the window object gets
// a ControlObject for every control, item and toolbar button.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/window_system.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::windows {

// The class names under which the controls appear in the window system.
inline constexpr std::string_view kMenuBarClass = "MENUBAR";
inline constexpr std::string_view kToolbarClass = "TOOLBAR";
inline constexpr std::string_view kStatusBarClass = "STATUSBAR";

// The class name of a control kind; empty for a kind the runtime does not know.
[[nodiscard]] std::string_view ControlClassName(std::uint8_t type);

// The procedure of a control's window: the control's own input first (see
// controls.h), then taking the focus raises "EVENT:Selected".
[[nodiscard]] platform::WindowProc ControlWindowProc(EventEngine& engine, ControlObject& control);

// REQUIRES: the window object has its handle. An unknown control kind stops
// the program with "Internal error 01" and the detail "CTLUSE".
void BuildWindowContents(EventEngine& engine, WindowResource& window);

}  // namespace vaultrix::windows
