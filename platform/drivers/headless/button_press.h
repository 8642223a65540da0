// What the platform's button classes do when the user clicks them or presses
// Space on them, done by the headless driver as the desktop's widgets do it
// and reported to the engine by the same convention (window_classes.h): the
// new state is set in the window system first, then kWmCommand goes to the
// window that holds the control.
//   BUTTON  pressed: kBnClicked.
//   CHECK   its check toggles, then kBnClicked.
//   RADIO   it becomes its option group's choice (its check set, its
//           siblings' cleared, the group's value its position from 1), then
//           kBnClicked for the radio.
//   TAB     its sheet's value becomes its position from 1, then
//           kLbnSelChange for the sheet; choosing the tab already shown
//           reports nothing.
// Disabled controls, and hidden ones (a tab only when its sheet is hidden),
// do nothing.
//
// Threads: the driver's thread; never takes the runtime lock.
#pragma once

#include "platform/window_system.h"

namespace vaultrix::platform::headless {

// The window that holds a control: the nearest ancestor that is neither a
// control nor an MDI client (kNoWindow when there is none).
[[nodiscard]] WindowHandle HostWindow(const WindowSystem& system, WindowHandle control);

// True when the control is of a button class (BUTTON, CHECK, RADIO, TAB).
[[nodiscard]] bool IsButtonClass(const WindowSystem& system, WindowHandle control);

// Presses the control as above; false when it did nothing.
bool PressButtonClass(WindowSystem& system, WindowHandle control);

}  // namespace vaultrix::platform::headless
