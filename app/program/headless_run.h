// The program without a display: `vaultrix --headless [--script FILE]`. The
// program's procedure runs on its own thread over the headless driver and a
// simulated clock, while the script (the file, or standard input) drives it
// line by line; see docs/automation.md.
#pragma once

#include <functional>
#include <iosfwd>

#include "app/program/command_line.h"
#include "platform/window_system.h"

namespace vaultrix::app {

// The program's first procedure, given the window system it runs on.
using HeadlessProgram = std::function<void(platform::WindowSystem&)>;

// Runs `program` (none: no window opens) under the script and answers the
// exit code: 0 when every line was carried out and the program closed, 1
// when a line failed (reported on `err`), 2 when the script cannot be read.
// A program that does not end after the script has closed it ends the
// process with the code reached.
[[nodiscard]] int RunHeadless(const CommandLine& line, const HeadlessProgram& program,
                              std::istream& standard_input, std::ostream& out,
                              std::ostream& err);

}  // namespace vaultrix::app
