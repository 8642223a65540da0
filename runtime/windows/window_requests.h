// The system commands a window answers at once (window_requests.cpp).
//
// Locks: takes the runtime lock for the call when the calling thread does
// not hold it (a sent message answered while the thread waits).
#pragma once

#include <cstdint>

#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

// kWmSysCommand: close queues "EVENT:CloseWindow"; move, size, restore,
// maximize and minimize are asked of the loop body when the window wants
// the requests, and restore, maximize and minimize are then carried out.
// Answers 1 when the command goes ahead, 0 when it was refused.
[[nodiscard]] std::intptr_t AnswerSystemCommand(EventEngine& engine, WindowObject& window,
                                                std::uintptr_t command);

}  // namespace vaultrix::windows
