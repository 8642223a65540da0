// Measuring the program's start from outside: a caller that notes the
// monotonic clock (in nanoseconds) just before it starts the process and
// passes it in VAULTRIX_STARTUP_PROBE gets, when the frame's first event
// reaches its procedure, one line on standard error,
//   vaultrix: frame open after 61.234 ms
// and the program then closes down as if the user had closed the frame. The
// whole start is measured: loading, static set-up, the runtime, the data files
// and the frame.
#pragma once

namespace vaultrix::app {

inline constexpr const char* kStartupProbeVariable = "VAULTRIX_STARTUP_PROBE";

// Installs the probe when the variable holds a number; otherwise does nothing.
void InstallStartupProbe();

}  // namespace vaultrix::app
