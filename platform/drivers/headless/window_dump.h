// The text dump of everything the user could see: every open window, top
// first, with its caption, kind and state, its menus, toolbar, controls
// (number, class, text, value and state; a list's header lines and visible
// rows with the selected row marked; nested controls indented under their
// container), its status-bar zones and its MDI children; then the open
// message boxes, file dialogs and popup menus with their items. The form is stable and documented in
// docs/automation.md: scripts and tests compare it line by line.
//
// Threads: reads the window system only; any thread.
#pragma once

#include <string>
#include <string_view>

#include "platform/window_system.h"

namespace vaultrix::platform::headless {

// The window furniture (menu bar, toolbar, status bar): shown with its
// window whatever its own visibility says.
[[nodiscard]] bool IsFurniture(std::string_view class_name);

// The dump, one item a line, ending with a line feed (empty when nothing is
// open).
[[nodiscard]] std::string DumpWindows(const WindowSystem& system);

// A text in double quotes with \" \\ \t \n and \xHH (other control
// characters and bytes from 0x7F) escaped, as the dump and scripts write it.
// A text as names are compared: '&' dropped, lower case, trailing blanks
// cut, so "&Change " names "change".
[[nodiscard]] std::string NameKey(std::string_view text);

[[nodiscard]] std::string Quoted(std::string_view text);

}  // namespace vaultrix::platform::headless
