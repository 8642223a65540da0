// The application's message boxes. On a runtime thread of the running
// program they go through the window engine's MESSAGE, which gives the
// runtime lock up while the box is open, so that the frame's timers, the
// countdown and every other window keep running. Services used outside a run
// (the start-up checks before the frame, tools, tests of the services) ask
// the platform's message box handler.
#pragma once

#include "platform/message_box.h"

namespace vaultrix::app {

[[nodiscard]] platform::MessageBoxAnswer Message(const platform::MessageBoxRequest& request);

}  // namespace vaultrix::app
