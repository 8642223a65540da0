// MESSAGE: a message box asked on behalf of the calling runtime thread. The
// box belongs to the thread's current window (else the frame); the runtime
// lock is given up while it is open, so that other threads' windows go on
// serving their timers and input, and the thread's runtime context is its
// own again when the answer comes.
#pragma once

#include "platform/message_box.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

[[nodiscard]] platform::MessageBoxAnswer Message(EventEngine& engine,
                                                 const platform::MessageBoxRequest& request);

}  // namespace vaultrix::windows
