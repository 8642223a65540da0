// Where `choose` looks for a menu path: the menu bar of the window the user
// is in first (the active MDI child's own bar, else the active window's),
// then the frame's, then any other bar shown, in the order of the dump. So a
// window with a menu of its own (a report preview) is driven through its
// own bar while the frame's menu still answers for everything else.
//
// Threads: reads the window system only; any thread.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

namespace vaultrix::platform::headless {

// `shown` holds the menu bars shown, in the order of the dump; answers them
// in search order.
[[nodiscard]] std::vector<WindowHandle> MenuBarsInSearchOrder(const WindowSystem& system,
                                                              std::vector<WindowHandle> shown);

// The item that the texts of `path` lead to from `bar` ('&', letter case and
// trailing blanks ignored), or kNoWindow with the missing step in *error
// ("no menu item \"&File\" > \"E&xit\"").
[[nodiscard]] WindowHandle FindMenuItem(const WindowSystem& system, WindowHandle bar,
                                        const std::vector<std::string>& path, std::string* error);

}  // namespace vaultrix::platform::headless
