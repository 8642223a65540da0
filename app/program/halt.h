// The application's halt: ending the program on purpose after a failure it
// cannot go past ("Invalid File!", "Disk Error"). The text is shown in a
// message box with the stop icon, then the process ends with kHaltExitCode.
//
// The halt goes through a replaceable handler, so that tests can watch it
// (a handler that throws unwinds back to the test); should the handler
// return, the process still ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vaultrix::app {

inline constexpr int kHaltExitCode = 1;
inline constexpr std::string_view kHaltCaption = "Vaultrix";

using HaltHandler = std::function<void(const std::string& text)>;

[[noreturn]] void Halt(std::string_view text);

// Installs a handler (an empty one restores the default) and returns the previous one.
HaltHandler SetHaltHandler(HaltHandler handler);

}  // namespace vaultrix::app
