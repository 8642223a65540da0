// Runtime errors and fatal internal errors: the two ways the runtime stops
// the program.
//
// A runtime error is misuse of the runtime (opening a window that is already
// open, ...): a message box titled "Runtime error" with the stop icon shows
// the string-table text of the error, then " : " and the detail text when
// there is one, and the process ends with exit code 2.
//
// A fatal internal error is a consistency check of the file engine that
// failed (a damaged page, a walk that does not add up): the box shows
// "Internal error : hvnbt line N", N identifying the check, and the process
// ends with exit code 3 before any operation runs on with bad state.
//
// Ending the process goes through a replaceable handler so that tests can
// watch it happen without the test program ending.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vaultrix::support {

inline constexpr int kRuntimeErrorExitCode = 2;
inline constexpr int kInternalErrorExitCode = 3;
inline constexpr std::string_view kRuntimeErrorCaption = "Runtime error";

// The message a runtime error shows.
[[nodiscard]] std::string RuntimeErrorText(std::int32_t id, std::string_view detail);

[[noreturn]] void RuntimeError(std::int32_t id, std::string_view detail = {});

// The text of a failed file-engine check: "Internal error : hvnbt line N".
[[nodiscard]] std::string InternalErrorText(int line);

[[noreturn]] void FatalInternalError(int line);

// The line of the last fatal internal error of this process, 0 when none.
[[nodiscard]] int LastInternalErrorLine();

// Ends the process: runs the installed handler, then (should the handler
// return) flushes the standard streams and exits without running static
// destructors, which other runtime threads may still be using.
using ProcessExitHandler = std::function<void(int exit_code)>;
[[noreturn]] void EndProcess(int exit_code);
// Installs a handler (an empty one restores the default) and returns the previous one.
ProcessExitHandler SetProcessExitHandler(ProcessExitHandler handler);

}  // namespace vaultrix::support

// Checks an invariant of the file engine; a failed check is fatal and names its line.
#define VAULTRIX_ENGINE_CHECK(condition)                                 \
  do {                                                                   \
    if (!(condition)) ::vaultrix::support::FatalInternalError(__LINE__); \
  } while (false)
