// Running the program on the desktop: the process's main thread becomes the
// Qt driver's thread and the program itself runs on a thread of its own, as
// the window system expects (the driver never takes the runtime lock).
#pragma once

#include <functional>

#include "platform/window_system.h"

namespace vaultrix::platform::qt {

// True when Qt has somewhere to show windows: a platform named in
// QT_QPA_PLATFORM, or a Wayland or X display.
[[nodiscard]] bool DisplayAvailable();

// The one line that `vaultrix` prints when there is no display.
inline constexpr const char* kNoDisplayMessage =
    "vaultrix: no display found; start it with --headless to run without one";

// Makes the QApplication and the driver, runs `program` on its own thread
// and the driver on the calling thread until the program returns; answers
// the program's exit code. Without a display it prints kNoDisplayMessage to
// standard error and answers 1.
int RunWithDisplay(int argc, char** argv, std::function<int(WindowSystem&)> program);

}  // namespace vaultrix::platform::qt
